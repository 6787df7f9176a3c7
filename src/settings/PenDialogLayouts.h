#pragma once
#include "platform/Dialog.h"

namespace kvt {

// Title and English captions of the pen settings dialog. The captions of
// the input and scale rows depend on the analog type and are set when a
// pen is shown, not here.
void setPenDialogEnglishCaptions(Dialog& dialog);

// Pixel layout of the English pen settings dialog for desktops at most
// 640 pixels wide.
constexpr int kSmallDesktopWidth = 640;
void layOutPenDialogForSmallScreen(Dialog& dialog);

}  // namespace kvt
