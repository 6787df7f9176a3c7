#pragma once
#include "core/ConfigurationRecord.h"

namespace kvt {

// Whether a pen of analog type `analogType` (a row of the analog-type
// table) may measure on a node of device type `deviceType`. Rows outside
// the table, and its end marker, fit no device type.
bool analogTypeFitsDevice(int analogType, int deviceType);

// The analog type a pen gets when its type does not fit its node's device
// type, or -1 where the device type has none inside the table.
int defaultAnalogTypeOf(int deviceType);

// Brings every pen of `config` in line with its node's device type (the
// high-speed node for group 0): a pen whose analog type does not fit gets
// the device type's default analog type with that type's default input
// range and scale, in the record's temperature unit. Pens on no node, on a
// node of an unknown device type, or whose device type has no default
// inside the table are left alone.
void alignPensWithNodes(ConfigurationRecord& config);

}  // namespace kvt
