#pragma once

namespace kvt {

// What a node of each device type answers.
struct DeviceTypeInfo {
    const char* name;
    int analogChannels;
    int startRegister;    // first register of the analog block read
    int registerCount;    // registers of the analog block read
    int responseBytes;    // RTU response length: 5 + 2 x registers
    int highestDiscreteChannel;
};

constexpr int kDeviceTypeCount = 15;
constexpr int kMod15Type = 14;
constexpr int kAlarmOutputRegister = 0x0C20;
constexpr int kOutputCountRegister = 0x2598;
constexpr int kDiscreteInputRegister = 0x0C00;
constexpr int kMod15BlockCount = 34;  // registers 1-2176 in blocks of 64
constexpr int kMod15BlockRegisterCount = 64;

extern const DeviceTypeInfo deviceTypes[kDeviceTypeCount];

// Data kinds of analog types (register decoding).
enum DataKind : int {
    kKindInt32 = 21,        // 32-bit integer, factor 1
    kKindInt32Tenth = 22,   // factor 0.1
    kKindInt32Hundredth = 23,  // factor 0.01
    kKindPowerFactor = 24,  // factor 0.0001 with a sign register
    kKindInt16Tenth = 25,   // one signed 16-bit register, factor 0.1
};

// What an analog pen on a power-meter node measures and its default ranges.
struct AnalogTypeInfo {
    int deviceType;  // type the row applies to; 9999 ends the table
    int dataKind;
    const char* name;
    // Input low, input high, scale low, scale high: Celsius, then Fahrenheit.
    const char* celsiusRange[4];
    const char* fahrenheitRange[4];
};

constexpr int kAnalogTypeRows = 16;  // 15 types and the end marker
constexpr int kAnalogTypeEndMarker = 9999;
constexpr int kAnalogTypePowerFactor = 5;
constexpr int kAnalogTypePhaseAngle = 14;

extern const AnalogTypeInfo analogTypes[kAnalogTypeRows];

// Data kind of a pen's analog type; rows outside the table count as kind 21.
int dataKindOf(int analogType);

}  // namespace kvt
