#pragma once
#include "core/RunFlags.h"
#include "platform/MessageBox.h"

namespace kvt {

// The English or the Japanese literal, as the language flag says.
inline const char* byLanguage(const char* english, const char* japanese) {
    return languageFlag != 0 ? english : japanese;
}

// A message box in the language in force; its observer (the journal) is
// told the English text whatever the language.
inline int bilingualMessageBox(const char* english, const char* japanese,
                               MessageBoxButtons buttons = kButtonsOk,
                               MessageSeverity severity = MessageSeverity::Notice) {
    return messageBox(byLanguage(english, japanese), buttons, english, severity);
}

}  // namespace kvt
