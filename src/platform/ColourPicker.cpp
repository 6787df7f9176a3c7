#include "platform/ColourPicker.h"

namespace kvt {
namespace {

ColourPicker* installedPicker = nullptr;

}  // namespace

bool chooseColour(Colour initial, Colour& chosen) {
    return installedPicker != nullptr && installedPicker->pick(initial, chosen);
}

ColourPicker* installColourPicker(ColourPicker* picker) {
    ColourPicker* previous = installedPicker;
    installedPicker = picker;
    return previous;
}

}  // namespace kvt
