#pragma once
#include <QIcon>

namespace kvt {

// The program's icon: a small trend recorder face, drawn at start-up.
QIcon programIcon();

}  // namespace kvt
