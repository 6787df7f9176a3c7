#pragma once
#include "platform/Dialog.h"

namespace kvt {

// Title and English captions of the pen settings dialog. Showing a pen
// names the input and scale rows again after its analog type.
void setPenDialogEnglishCaptions(Dialog& dialog);

// Pixel layout of the English pen settings dialog for desktops at most
// 640 pixels wide.
constexpr int kSmallDesktopWidth = 640;
void layOutPenDialogForSmallScreen(Dialog& dialog);

}  // namespace kvt
