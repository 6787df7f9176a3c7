#pragma once
#include "platform/Dialog.h"

namespace kvt {

// Shows dialogs as modal toolkit windows: one widget per control, placed
// from dialog units for the 9-point dialog font, kept in step with the
// dialog's state after every user action.
class QtDialogHost final : public DialogHost {
public:
    int runModal(Dialog& dialog) override;
};

}  // namespace kvt
