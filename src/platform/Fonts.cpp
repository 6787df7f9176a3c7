#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/BitmapFonts.h"
#include "platform/GlyphCache.h"

namespace kvt {
namespace {

// True when the outline family is installed; else says so on standard
// error, naming the face the toolkit draws instead.
bool outlineFontInstalled() {
    // The toolkit lists families under their names in the user's language
    // ("IPAゴシック") and knows the others only once a font was matched.
    QString family = QString::fromLatin1(kDisplayFontFamily);
    QString substitute = QFontInfo(QFont(family)).family();
    if (QFontDatabase::hasFamily(family)) return true;
    if (substitute.isEmpty()) substitute = QStringLiteral("the toolkit's default face");
    std::fprintf(stderr,
                 "kvt936p: font %s not found; install the package %s; until then the large text "
                 "and characters without a bitmap font are drawn with %s\n",
                 kDisplayFontFamily, kDisplayFontPackage, substitute.toUtf8().constData());
    return false;
}

}  // namespace

bool createDisplayFonts(const char* bitmapFolder) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    std::vector<std::string> problems = loadBitmapFonts(bitmapFolder);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
    bool outline = outlineFontInstalled();
    clearGlyphCache();
    // Render the printable ASCII range of every font now, so the first
    // screen does not pay for it.
    for (int font = 0; font < kFontCount; ++font) {
        for (uint16_t code = 0x21; code < 0x7F; ++code) glyphMask(static_cast<FontId>(font), code);
    }
    return problems.empty() && outline;
}

}  // namespace kvt
