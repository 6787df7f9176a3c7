#include "platform/QtColourPicker.h"

#include <QApplication>
#include <QColorDialog>

namespace kvt {

bool QtColourPicker::pick(Colour initial, Colour& chosen) {
    QColor start(redOf(initial), greenOf(initial), blueOf(initial));
    QColor picked = QColorDialog::getColor(start, QApplication::activeWindow());
    if (!picked.isValid()) return false;
    chosen = rgb(picked.red(), picked.green(), picked.blue());
    return true;
}

}  // namespace kvt
