#pragma once
#include <string_view>

namespace kvt {

// Message box buttons and answers; dialogs compare results with the same
// IDOK and IDCANCEL.
enum MessageBoxButtons : int { kButtonsOk = 0, kButtonsOkCancel = 1 };
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// How grave the news of a box is, for whoever keeps a record of them (the
// journal tells a failure as an error); the box itself looks the same.
enum class MessageSeverity : int { Notice = 0, Error = 1 };

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
// IDOK. `englishText` is the same message in English when `text` is in
// another language: the observer is told the English text.
int messageBox(std::string_view text, MessageBoxButtons buttons = kButtonsOk,
               std::string_view englishText = {},
               MessageSeverity severity = MessageSeverity::Notice);

// Installs the provider in force; nullptr removes it. Returns the previous one.
MessageBoxProvider* installMessageBoxProvider(MessageBoxProvider* provider);

// Told of every message box as it is shown, by its English text, whether
// it asks a question (OK and Cancel) and how grave it is. nullptr removes it.
using MessageBoxObserver = void (*)(std::string_view englishText, bool question,
                                    MessageSeverity severity);
void installMessageBoxObserver(MessageBoxObserver observer);

}  // namespace kvt
