#include "settings/AnalogTypeRules.h"

#include "core/DeviceTables.h"
#include "core/FieldText.h"

namespace kvt {
namespace {

// By device type 0-14. Entries beyond the table's 15 types (and the end
// marker row, 15) have no analog type to give.
constexpr int kDefaultAnalogType[kDeviceTypeCount] = {1,   48,  113, 96,  16, 15, 128, 128,
                                                      16,  114, 114, 7,   128, 0,  0};
constexpr int kAnalogTypeCount = kAnalogTypeRows - 1;  // without the end marker

bool isDeviceType(int type) { return type >= 0 && type < kDeviceTypeCount; }

// Device type of the node a pen of `group` reads, or -1 for none.
int deviceTypeOfPen(const ConfigurationRecord& config, int group, const PenSettings& pen) {
    if (group == 0) return config.highSpeedNode.type;
    if (pen.node < 1 || pen.node > kNodeCount) return -1;
    return config.nodeType[pen.node - 1];
}

void giveDefaultAnalogType(PenSettings& pen, int analogType, int temperatureUnit) {
    const AnalogTypeInfo& row = analogTypes[analogType];
    const char* const* ranges = temperatureUnit == 1 ? row.fahrenheitRange : row.celsiusRange;
    pen.analogType = analogType;
    setTypedValue(pen.inputLow, pen.inputLowText, ranges[2]);
    setTypedValue(pen.scaleLow, pen.scaleLowText, ranges[2]);
    setTypedValue(pen.inputHigh, pen.inputHighText, ranges[3]);
    setTypedValue(pen.scaleHigh, pen.scaleHighText, ranges[3]);
}

}  // namespace

bool analogTypeFitsDevice(int analogType, int deviceType) {
    if (analogType < 0 || analogType >= kAnalogTypeCount) return false;
    int rowType = analogTypes[analogType].deviceType;
    int kind = analogTypes[analogType].dataKind;
    if (rowType == deviceType) return true;
    if (deviceType == 10) return rowType == 9;
    if ((deviceType == 4 || deviceType == 8 || deviceType == 11) && rowType == 0 && kind == 1) {
        return true;
    }
    if (deviceType == 8) return rowType == 5;
    if (deviceType == 7 || deviceType == 12) return rowType == 6;
    return false;
}

int defaultAnalogTypeOf(int deviceType) {
    if (!isDeviceType(deviceType)) return -1;
    int analogType = kDefaultAnalogType[deviceType];
    return analogType < kAnalogTypeCount ? analogType : -1;
}

void alignPensWithNodes(ConfigurationRecord& config) {
    for (int group = 0; group < kGroupCount; ++group) {
        for (int index = 0; index < pensOfGroup(group); ++index) {
            PenSettings& pen = config.pen(group, index);
            int deviceType = deviceTypeOfPen(config, group, pen);
            if (!isDeviceType(deviceType) || analogTypeFitsDevice(pen.analogType, deviceType)) {
                continue;
            }
            int analogType = defaultAnalogTypeOf(deviceType);
            if (analogType >= 0) giveDefaultAnalogType(pen, analogType, config.temperatureUnit);
        }
    }
}

}  // namespace kvt
