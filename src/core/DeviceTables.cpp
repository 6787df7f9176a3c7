#include "core/DeviceTables.h"

namespace kvt {

const DeviceTypeInfo deviceTypes[kDeviceTypeCount] = {
    {"MOD-01", 16, 0x10, 32, 69, 32},   {"MOD-02", 16, 0x10, 32, 69, 32},
    {"MOD-03", 16, 0x00, 32, 69, 32},   {"MOD-04", 16, 0x00, 32, 69, 32},
    {"MOD-05", 8, 0x10, 16, 37, 32},    {"MOD-06", 8, 0x10, 16, 37, 32},
    {"MOD-07", 16, 0x10, 32, 69, 256},  {"MOD-08", 32, 0x20, 64, 133, 256},
    {"MOD-09", 8, 0x10, 16, 37, 32},    {"MOD-10", 12, 0x00, 24, 53, 32},
    {"MOD-11", 12, 0x00, 24, 53, 32},   {"MOD-12", 12, 0x10, 24, 53, 32},
    {"MOD-13", 64, 0x00, 64, 133, 1024}, {"MOD-14", 0, 0, 0, 0, 0},
    {"MOD-15", 64, 0x00, 64, 133, 1},
};

#define KVT_RANGE(a, b) {a, b, a, b}, {a, b, a, b}

const AnalogTypeInfo analogTypes[kAnalogTypeRows] = {
    {14, 21, "I", KVT_RANGE("0", "2e9")},
    {14, 23, "U", KVT_RANGE("0.00", "2.00e7")},
    {14, 21, "P", KVT_RANGE("-2e9", "2e9")},
    {14, 21, "Q", KVT_RANGE("-2e9", "2e9")},
    {14, 21, "S", KVT_RANGE("0", "2e9")},
    {14, 24, "PF", KVT_RANGE("-1.00", "1.00")},
    {14, 23, "F", KVT_RANGE("0.00", "70.00")},
    {14, 21, "DIR", KVT_RANGE("0", "1")},
    {14, 22, "EP", KVT_RANGE("0.0", "1.0e8")},
    {14, 22, "EQ", KVT_RANGE("0.0", "1.0e8")},
    {14, 22, "ES", KVT_RANGE("0.0", "1.0e8")},
    {14, 22, "TIMER", KVT_RANGE("0.0", "1.0e8")},
    {14, 22, "THD", KVT_RANGE("0.0", "999.9")},
    {14, 25, "HD", KVT_RANGE("0.0", "999.9")},
    {14, 21, "UT", KVT_RANGE("-180", "180")},
    {kAnalogTypeEndMarker, 0, "", {"", "", "", ""}, {"", "", "", ""}},
};

#undef KVT_RANGE

int dataKindOf(int analogType) {
    if (analogType < 0 || analogType >= kAnalogTypeRows - 1) return kKindInt32;
    return analogTypes[analogType].dataKind;
}

}  // namespace kvt
