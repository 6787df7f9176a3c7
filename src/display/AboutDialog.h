#pragma once
#include "platform/Dialog.h"

namespace kvt {

// The version box of the system menu: icon, version text and OK.
class AboutDialog final : public Dialog {
public:
    AboutDialog();
    static const DialogTemplate& layout();
};

}  // namespace kvt
