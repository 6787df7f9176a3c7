#pragma once
#include <QIcon>
#include <QImage>

namespace kvt {

// The program's icon: a small trend recorder face, drawn at start-up in
// the sizes a window manager asks for.
QIcon programIcon();

// The face drawn for `size` x `size` pixels (16 or more). Up to 32 pixels
// it is drawn pixel for pixel; larger faces are drawn four times as large
// and scaled down smoothly, so their edges stay clean. The desktop icons of
// the installed program are made from these.
QImage programIconImage(int size);

}  // namespace kvt
