#pragma once
#include <span>

#include "core/DeviceTables.h"

namespace kvt {

// Whether an analog-type row applies to a node of the given device type.
bool analogTypeCompatible(const AnalogTypeInfo& row, int deviceType);

// Default range texts of a row in the given temperature unit (1
// Fahrenheit, anything else Celsius): input low, input high, scale low,
// scale high.
const char* const* defaultRangeTexts(const AnalogTypeInfo& row, int temperatureUnit);
enum RangeText : int { kInputLowText = 0, kInputHighText, kScaleLowText, kScaleHighText };

// The analog types a pen on one node can choose from, in table order,
// with the default range texts of each.
struct AnalogTypeChoices {
    static constexpr int kMaxEntries = kAnalogTypeRows;
    int count = 0;
    int analogType[kMaxEntries] = {};
    const char* const* defaults[kMaxEntries] = {};
};

// Fills `choices` with the rows of `table` (up to its end marker) that
// apply to `deviceType`. Returns the entry of `storedType`, or 0 when the
// stored type has no entry.
int collectAnalogTypeChoices(std::span<const AnalogTypeInfo> table, int deviceType,
                             int temperatureUnit, int storedType, AnalogTypeChoices& choices);

}  // namespace kvt
