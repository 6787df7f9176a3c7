#include "support/ScriptedDialogs.h"

namespace kvt::test {

ScriptedDialogHost::ScriptedDialogHost() : previous_(installDialogHost(this)) {}

ScriptedDialogHost::~ScriptedDialogHost() { installDialogHost(previous_); }

int ScriptedDialogHost::runModal(Dialog& dialog) {
    dialog.initialise();
    titles.push_back(dialog.title());
    if (!scripts_.empty()) {
        Script script = std::move(scripts_.front());
        scripts_.pop_front();
        if (!dialog.ended()) script(dialog);
    }
    if (!dialog.ended()) dialog.pressEscape();
    return dialog.result();
}

}  // namespace kvt::test
