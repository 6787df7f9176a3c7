#pragma once
#include "platform/Dialog.h"

namespace kvt {

// The door to every settings dialog: one button per dialog, each running
// it modally. While a commit waits for the main window to take it over,
// the buttons do nothing.
class SettingMenuDialog final : public Dialog {
public:
    // `group`: the group the main window shows, handed to the recording
    // and pen settings.
    explicit SettingMenuDialog(int group);
    static const DialogTemplate& layout();

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;

private:
    void runSettingsDialog(int id);

    int group_;
};

}  // namespace kvt
