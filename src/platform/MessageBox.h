#pragma once
#include <string_view>

namespace kvt {

// Message box buttons and answers; dialogs compare results with the same
// IDOK and IDCANCEL.
enum MessageBoxButtons : int { kButtonsOk = 0, kButtonsOkCancel = 1 };
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Shows the box on whatever presents message boxes: the toolkit in the
// program, a script in tests.
class MessageBoxProvider {
public:
    virtual ~MessageBoxProvider() = default;
    // `text` is UTF-8. Returns IDOK or IDCANCEL.
    virtual int show(std::string_view text, MessageBoxButtons buttons) = 0;
};

// Shows a modal message box with the default caption and waits for the
// answer: IDOK, or IDCANCEL (only possible with kButtonsOkCancel). Without
// an installed provider the text goes to standard error and the answer is
// IDOK.
int messageBox(std::string_view text, MessageBoxButtons buttons = kButtonsOk);

// Installs the provider in force; nullptr removes it. Returns the previous one.
MessageBoxProvider* installMessageBoxProvider(MessageBoxProvider* provider);

}  // namespace kvt
