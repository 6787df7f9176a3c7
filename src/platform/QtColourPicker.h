#pragma once
#include "platform/ColourPicker.h"

namespace kvt {

// The toolkit's colour dialog, modal over the active window.
class QtColourPicker final : public ColourPicker {
public:
    bool pick(Colour initial, Colour& chosen) override;
};

}  // namespace kvt
