#pragma once
#include "platform/Dialog.h"

namespace kvt {

// "Communication status" of the window's menu: the mode, whether a
// measurement runs, and the exchanges with every polled node (requests,
// good answers, timeouts, wrong answers, last good answer) as
// `kvt936p --status` tells them, refreshed every second while it is open.
class CommunicationStatusDialog final : public Dialog {
public:
    CommunicationStatusDialog();
    static const DialogTemplate& layout();

    static constexpr int kRefreshMs = 1000;

protected:
    bool onInitDialog() override;
    void onTick() override;

private:
    void showStatus();
};

}  // namespace kvt
