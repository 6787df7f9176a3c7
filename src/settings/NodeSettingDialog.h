#pragma once
#include <string>

#include "core/ConfigurationRecord.h"
#include "platform/Dialog.h"

namespace kvt {

// Which of the 31 nodes are polled in normal mode and of which device type
// each is (only MOD-15 is offered), plus a hidden high-speed section. OK
// brings every pen in line with its node's device type and commits,
// except while a measurement runs: then it closes without committing.
class NodeSettingDialog final : public Dialog {
public:
    NodeSettingDialog();
    static const DialogTemplate& layout();

    // Control ids of node n (1 to 31).
    static int checkBoxIdOf(int node);
    static int listIdOf(int node);

    // 0 = done (committed unless a measurement runs), 1 = rejected.
    virtual int Apply();

protected:
    bool onInitDialog() override;
    void onTextChanged(int id) override;
    void onOk() override;

private:
    void readControls();
    void writeControls();
    void loadFromWorkingConfiguration();
    void enableSections();
    void fillDeviceLists();
    void storeIntoWorkingConfiguration();
    void filterNodeNumber();

    std::string highSpeedNumber_;
    int enabled_[kNodeCount] = {};
    int highSpeedListIndex_ = -1;
    int listIndex_[kNodeCount];
};

}  // namespace kvt
