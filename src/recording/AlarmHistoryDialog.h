#pragma once
#include "platform/Dialog.h"

namespace kvt {

// Lists the alarm history newest first, at most 1000 events, filtered by
// group and by a last date; Clear empties the history after a question.
class AlarmHistoryDialog final : public Dialog {
public:
    AlarmHistoryDialog();
    static const DialogTemplate& layout();

    // Control id of the check box of group 1 to 10.
    static int groupCheckBoxId(int group);

    void Reload();
    void Clear();

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;
    void onTextChanged(int id) override;
};

}  // namespace kvt
