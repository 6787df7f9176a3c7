#include "settings/AnalogTypeChoices.h"

namespace kvt {
namespace {

// Data kind of rows that measure a sensor range rather than a scaled input.
constexpr int kSensorKind = 1;

}  // namespace

bool analogTypeCompatible(const AnalogTypeInfo& row, int deviceType) {
    if (row.deviceType == deviceType) return true;
    if (deviceType == 10) return row.deviceType == 9;
    if ((deviceType == 4 || deviceType == 8 || deviceType == 11) && row.deviceType == 0 &&
        row.dataKind == kSensorKind) {
        return true;
    }
    if (deviceType == 8) return row.deviceType == 5;
    if (deviceType == 7 || deviceType == 12) return row.deviceType == 6;
    return false;
}

const char* const* defaultRangeTexts(const AnalogTypeInfo& row, int temperatureUnit) {
    return temperatureUnit == 1 ? row.fahrenheitRange : row.celsiusRange;
}

int collectAnalogTypeChoices(std::span<const AnalogTypeInfo> table, int deviceType,
                             int temperatureUnit, int storedType, AnalogTypeChoices& choices) {
    choices.count = 0;
    int storedEntry = 0;
    for (size_t row = 0; row < table.size() && choices.count < AnalogTypeChoices::kMaxEntries;
         ++row) {
        if (table[row].deviceType == kAnalogTypeEndMarker) break;
        if (!analogTypeCompatible(table[row], deviceType)) continue;
        if (static_cast<int>(row) == storedType) storedEntry = choices.count;
        choices.analogType[choices.count] = static_cast<int>(row);
        choices.defaults[choices.count] = defaultRangeTexts(table[row], temperatureUnit);
        ++choices.count;
    }
    return storedEntry;
}

}  // namespace kvt
