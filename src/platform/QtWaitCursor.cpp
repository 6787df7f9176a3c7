#include "platform/QtWaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace kvt {

void QtWaitCursorProvider::show() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

void QtWaitCursorProvider::restore() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace kvt
