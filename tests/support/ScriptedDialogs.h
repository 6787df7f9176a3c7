#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace kvt::test {

// Runs dialogs without a screen: each modal run takes the next script from
// the queue and lets it act on the dialog as a user would (click, type,
// OK...). A dialog the script leaves open is cancelled with Escape. Records
// the title of every dialog run. Installed for its lifetime.
class ScriptedDialogHost final : public DialogHost {
public:
    using Script = std::function<void(Dialog&)>;

    ScriptedDialogHost();
    ~ScriptedDialogHost() override;

    int runModal(Dialog& dialog) override;
    void then(Script script) { scripts_.push_back(std::move(script)); }

    std::vector<std::string> titles;

private:
    std::deque<Script> scripts_;
    DialogHost* previous_;
};

}  // namespace kvt::test
