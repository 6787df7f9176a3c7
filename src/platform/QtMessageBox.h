#pragma once
#include <string>

#include "platform/MessageBox.h"

namespace kvt {

// Message boxes as toolkit dialogs, captioned with the program's title.
// The Cancel button is labelled in the language of the user interface.
class QtMessageBoxProvider final : public MessageBoxProvider {
public:
    QtMessageBoxProvider(std::string caption, bool japanese);
    int show(std::string_view text, MessageBoxButtons buttons) override;
    void setJapanese(bool japanese) { japanese_ = japanese; }

private:
    std::string caption_;
    bool japanese_;
};

}  // namespace kvt
