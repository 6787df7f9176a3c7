#include "platform/GlyphCache.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <mutex>
#include <unordered_map>

#include "platform/BitmapFonts.h"
#include "platform/SjisText.h"

namespace kvt {
namespace {

constexpr int kOverhang = 3;  // columns kept right of the cells for bold strokes

std::mutex cacheMutex;
std::unordered_map<uint32_t, GlyphMask> cache;
std::unordered_map<uint32_t, GlyphMask> blankCache;  // masks made before the toolkit ran
unsigned generation = 0;  // moves on with every mask made and every clearing

bool toolkitRunning() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
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

GlyphMask blankMask(FontId font, uint16_t code) {
    const FontCell& cell = fontCell(font);
    GlyphMask mask;
    int cells = code > 0xFF ? 2 : 1;
    mask.width = cells * cell.advance + kOverhang;
    mask.height = cell.pixelHeight;
    mask.ink.assign(static_cast<size_t>(mask.width) * mask.height, 0);
    return mask;
}

// Draws the character white on black in the outline font and keeps the
// lit pixels as ink.
void drawOutlineGlyph(FontId font, char32_t character, GlyphMask& mask) {
    const FontCell& cell = fontCell(font);
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
}

// The character from the bitmap face made for the font's size, else from
// the outline font. False when the mask is blank only for want of the
// toolkit to draw the outline.
bool renderGlyph(FontId font, uint16_t code, GlyphMask& mask) {
    mask = blankMask(font, code);
    if (drawBitmapGlyph(font, code, mask)) return true;
    char32_t character = sjisCodePoint(code);
    if (character == 0) character = U'?';
    if (character <= U' ') return true;
    if (!toolkitRunning()) return false;
    drawOutlineGlyph(font, character, mask);
    return true;
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
    // A mask left blank for want of the toolkit is not kept in the real
    // cache, so the character renders properly once the toolkit runs.
    if (!toolkitRunning()) {
        auto kept = blankCache.find(key);
        if (kept != blankCache.end()) return kept->second;
    }
    GlyphMask mask;
    auto& target = renderGlyph(font, sjisCode, mask) ? cache : blankCache;
    ++generation;
    return target.insert_or_assign(key, std::move(mask)).first->second;
}

void clearGlyphCache() {
    std::lock_guard<std::mutex> lock(cacheMutex);
    cache.clear();
    blankCache.clear();
    ++generation;
}

unsigned glyphCacheGeneration() {
    std::lock_guard<std::mutex> lock(cacheMutex);
    return generation;
}

}  // namespace kvt
