#include "platform/DesktopSize.h"

#include <QGuiApplication>
#include <QScreen>

namespace kvt {
namespace {

constexpr int kWidthWithoutScreen = 800;
int overriddenWidth = 0;

}  // namespace

int desktopWidth() {
    if (overriddenWidth > 0) return overriddenWidth;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return kWidthWithoutScreen;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : kWidthWithoutScreen;
}

void overrideDesktopWidth(int pixels) { overriddenWidth = pixels > 0 ? pixels : 0; }

}  // namespace kvt
