#pragma once
#include "platform/MessageBox.h"

namespace kvt {

// Message boxes of a recorder without a window: nothing is shown (the
// journal, as the message box observer, has the English text); a box
// answers OK, a question Cancel, since nobody is there to agree.
class SilentMessageBoxes final : public MessageBoxProvider {
public:
    int show(std::string_view, MessageBoxButtons buttons) override {
        return buttons == kButtonsOkCancel ? IDCANCEL : IDOK;
    }
};

}  // namespace kvt
