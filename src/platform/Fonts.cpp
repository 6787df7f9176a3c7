#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>

#include "platform/GlyphCache.h"

namespace kvt {

bool createDisplayFonts() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    // Render the printable ASCII range of every font now, so the first
    // screen does not pay for it.
    for (int font = 0; font < kFontCount; ++font) {
        for (uint16_t code = 0x21; code < 0x7F; ++code) glyphMask(static_cast<FontId>(font), code);
    }
    return QFontDatabase::families().contains(QString::fromLatin1(kDisplayFontFamily));
}

}  // namespace kvt
