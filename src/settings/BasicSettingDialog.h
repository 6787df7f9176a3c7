#pragma once
#include <string>

#include "platform/Dialog.h"

namespace kvt {

// The system-wide settings: operating mode, graph direction and drawing
// mode, storage period, communication port and the gateway's IP address.
// The temperature unit is kept in hidden controls and passes through
// unchanged. While a measurement runs only the graph direction can change.
class BasicSettingDialog final : public Dialog {
public:
    BasicSettingDialog();
    static const DialogTemplate& layout();

    // 0 = committed, 1 = rejected after a message.
    virtual int Apply();
    virtual void UpdateControlStates();
    virtual void FilterAddressOctet(int n);  // n = 1 to 4

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;
    void onTextChanged(int id) override;
    void onOk() override;

private:
    void readControls();
    void writeControls();
    void loadFromWorkingConfiguration();
    void selectHighSpeed();
    void filterStoragePeriod();

    int operatingMode_ = -1;
    int graphDirection_ = -1;
    int graphMode_ = -1;
    int temperatureUnit_ = -1;
    std::string storagePeriod_;
    int commPort_ = -1;
    std::string octets_[4];
};

}  // namespace kvt
