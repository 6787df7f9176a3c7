#pragma once
#include "platform/Colour.h"

namespace kvt {

// Lets the user pick a colour: the toolkit's colour dialog in the program,
// a script in tests.
class ColourPicker {
public:
    virtual ~ColourPicker() = default;
    // Starts from `initial`; true with `chosen` set when the user confirms.
    virtual bool pick(Colour initial, Colour& chosen) = 0;
};

// Asks the installed picker; without one nothing is chosen.
bool chooseColour(Colour initial, Colour& chosen);

// Installs the picker in force; nullptr removes it. Returns the previous one.
ColourPicker* installColourPicker(ColourPicker* picker);

}  // namespace kvt
