#include "platform/GlyphCache.h"

#include <iconv.h>

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <mutex>
#include <unordered_map>

namespace kvt {
namespace {

constexpr int kOverhang = 3;  // columns kept right of the cells for bold strokes

std::mutex cacheMutex;
std::unordered_map<uint32_t, GlyphMask> cache;
std::unordered_map<uint32_t, GlyphMask> blankCache;  // masks made before the toolkit ran

bool toolkitRunning() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}
iconv_t sjisDecoder = reinterpret_cast<iconv_t>(-1);

// The code point of one Shift-JIS character; '?' when it has none.
char32_t decodeCharacter(uint16_t code) {
    unsigned char bytes[2];
    size_t length = 0;
    if (code > 0xFF) bytes[length++] = static_cast<unsigned char>(code >> 8);
    bytes[length++] = static_cast<unsigned char>(code & 0xFF);
    if (length == 1 && bytes[0] < 0x80) return bytes[0];
    if (sjisDecoder == reinterpret_cast<iconv_t>(-1)) sjisDecoder = iconv_open("UTF-32LE", "CP932");
    if (sjisDecoder == reinterpret_cast<iconv_t>(-1)) return U'?';
    iconv(sjisDecoder, nullptr, nullptr, nullptr, nullptr);
    char32_t decoded = U'?';
    char* in = reinterpret_cast<char*>(bytes);
    char* out = reinterpret_cast<char*>(&decoded);
    size_t inLeft = length;
    size_t outLeft = sizeof decoded;
    if (iconv(sjisDecoder, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return U'?';
    return decoded;
}

QFont displayFont(FontId font) {
    const FontCell& cell = fontCell(font);
    QFont qfont(QString::fromLatin1(kDisplayFontFamily));
    qfont.setPixelSize(cell.pixelHeight);
    qfont.setWeight(cell.bold ? QFont::Bold : QFont::Normal);
    qfont.setStyleStrategy(QFont::NoAntialias);
    qfont.setHintingPreference(QFont::PreferFullHinting);
    return qfont;
}

// Draws the character white on black and keeps the lit pixels as ink.
GlyphMask renderGlyph(FontId font, uint16_t code) {
    const FontCell& cell = fontCell(font);
    GlyphMask mask;
    int cells = code > 0xFF ? 2 : 1;
    mask.width = cells * cell.advance + kOverhang;
    mask.height = cell.pixelHeight;
    mask.ink.assign(static_cast<size_t>(mask.width) * mask.height, 0);
    char32_t character = decodeCharacter(code);
    if (character <= U' ' || !toolkitRunning()) return mask;
    QImage canvas(mask.width, mask.height, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QFont qfont = displayFont(font);
    QFontMetrics metrics(qfont);
    int total = metrics.ascent() + metrics.descent();
    int baseline = total > 0 ? (cell.pixelHeight * metrics.ascent() + total / 2) / total
                             : cell.pixelHeight - 1;
    {
        QPainter painter(&canvas);
        painter.setFont(qfont);
        painter.setPen(Qt::white);
        painter.drawText(0, baseline, QString::fromUcs4(&character, 1));
    }
    for (int y = 0; y < mask.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < mask.width; ++x) {
            if (qGray(row[x]) >= 128) mask.ink[static_cast<size_t>(y) * mask.width + x] = 1;
        }
    }
    return mask;
}

}  // namespace

uint16_t sjisCharCode(const unsigned char* bytes, int length) {
    if (length >= 2) return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
    return bytes[0];
}

const GlyphMask& glyphMask(FontId font, uint16_t sjisCode) {
    uint32_t key = (static_cast<uint32_t>(font) << 16) | sjisCode;
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    // A mask made without the toolkit is blank; it is not kept in the real
    // cache so the character renders properly once the toolkit runs.
    auto& target = toolkitRunning() ? cache : blankCache;
    auto kept = target.find(key);
    if (kept != target.end()) return kept->second;
    return target.emplace(key, renderGlyph(font, sjisCode)).first->second;
}

}  // namespace kvt
