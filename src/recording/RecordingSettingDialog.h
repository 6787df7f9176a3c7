#pragma once
#include <string>

#include "platform/Dialog.h"

namespace kvt {

// Storing cycle, storing mode and the mode's details, group by group. The
// arrows move to the neighbouring group after storing the one shown into
// the working configuration; OK stores and commits every group visited,
// unless a measurement runs, when it commits nothing.
class RecordingSettingDialog final : public Dialog {
public:
    // `group`: 0 = the high-speed group, 1 to 10.
    explicit RecordingSettingDialog(int group);
    static const DialogTemplate& layout();

    int group() const { return group_; }

    virtual void UpdateControlStates();
    // Validates the details of `mode` (-1: the mode selected now) and
    // stores the group's settings; 0 = stored, 1 = rejected after a message.
    virtual int Apply(int mode);
    virtual void OnStoringModeChanged();
    virtual void FilterDetailEdit(int n);  // n = 1 to 8: edits 1016 to 1023

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;
    void onTextChanged(int id) override;
    void onOk() override;

private:
    void readControls();
    void writeControls();
    void fillCycleLists();
    void loadGroupSettings();
    void enableInputs();
    void showDetails();
    void showNeighbour(int step);
    int selectedCycle() const;
    bool detailsValid(int mode);
    void storeGroupSettings(int detailMode);

    int japaneseCycle_ = -1;
    int mode_ = -1;
    int choice_ = -1;
    std::string texts_[8];
    int englishCycle_ = -1;
    int group_;
};

}  // namespace kvt
