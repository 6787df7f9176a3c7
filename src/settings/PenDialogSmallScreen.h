#pragma once
#include "platform/Dialog.h"

namespace kvt {

// Pixel layout of the English pen settings dialog for desktops at most
// 640 pixels wide.
constexpr int kSmallDesktopWidth = 640;
void layOutPenDialogForSmallScreen(Dialog& dialog);

}  // namespace kvt
