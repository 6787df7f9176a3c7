#pragma once
#include <cstdint>
#include <string>

#include "platform/Dialog.h"

namespace kvt {

// Where playback panes stand in time: row 1 shows pane 1's reference time
// of the group, row 2 (divided view only) pane 2's. A row's Apply asks the
// main window to move that pane to the typed local date and time at its
// next redraw; the dialog stays open and changes no settings.
class DateTimeDialog final : public Dialog {
public:
    // `group`: the group the main window shows; `dividedView`: whether it
    // shows two panes.
    DateTimeDialog(int group, bool dividedView);
    static const DialogTemplate& layout();

    // Checks the six fields of row 1 or 2; 0 = valid, 1 = rejected after a
    // message.
    virtual int ValidateRow(int row);
    // Keeps the first two digits of edit n (1 to 12: year to second of
    // row 1, then of row 2).
    virtual void FilterDateEdit(int n);

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;
    void onTextChanged(int id) override;

private:
    void readControls();
    void writeControls();
    void showReferenceTime(int row);
    void setRowLabels();
    void applyRow(int row);
    int64_t referenceTimeOfPane(int pane) const;
    bool typedTime(int row, int64_t& seconds) const;

    int group_;
    bool divided_;
    std::string fields_[12];  // year, month, day, hour, minute, second of row 1, then row 2
};

}  // namespace kvt
