#include "platform/MessageBox.h"

#include <cstdio>

namespace kvt {
namespace {

MessageBoxProvider* installedProvider = nullptr;
MessageBoxObserver installedObserver = nullptr;

}  // namespace

int messageBox(std::string_view text, MessageBoxButtons buttons, std::string_view englishText,
               MessageSeverity severity) {
    if (installedObserver != nullptr) {
        installedObserver(englishText.empty() ? text : englishText, buttons == kButtonsOkCancel,
                          severity);
    }
    if (installedProvider != nullptr) {
        int answer = installedProvider->show(text, buttons);
        if (buttons == kButtonsOk) return IDOK;
        return answer == IDOK ? IDOK : IDCANCEL;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return IDOK;
}

MessageBoxProvider* installMessageBoxProvider(MessageBoxProvider* provider) {
    MessageBoxProvider* previous = installedProvider;
    installedProvider = provider;
    return previous;
}

void installMessageBoxObserver(MessageBoxObserver observer) { installedObserver = observer; }

}  // namespace kvt
