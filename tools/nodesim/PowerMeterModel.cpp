#include "PowerMeterModel.h"

#include <cmath>
#include <cstring>

namespace kvt::nodesim {
namespace {

// How a quantity is encoded (the data kinds of the analog-type table).
enum Encoding {
    kInt32 = 21,       // 32-bit integer, unit 1
    kInt32Tenth = 22,  // 32-bit, unit 0.1
    kInt32Hundredth = 23,
    kPowerFactor = 24,  // 32-bit magnitude in 0.0001 plus a sign/status register
    kInt16Tenth = 25,   // one signed 16-bit register, unit 0.1
};

// A slowly varying reading: base x (1 + swing x sin(2 pi t / period + phase)).
struct Quantity {
    int registerNumber;  // 1-based, the number a pen's channel gives
    Encoding encoding;
    double base;
    double swing;
    double periodSeconds;
    double phase;
    int statusRegister;  // power factor: companion register number, else 0
};

constexpr double kTwoPi = 6.283185307179586;

// Register map of the simulated meter (values in the quantity's unit).
constexpr Quantity kQuantities[] = {
    // Phase currents I1-I3 and neutral current, mA.
    {1, kInt32, 120000, 0.08, 300, 0.0, 0}, {3, kInt32, 118000, 0.08, 300, 2.1, 0},
    {5, kInt32, 121500, 0.08, 300, 4.2, 0}, {7, kInt32, 3100, 0.3, 170, 0.5, 0},
    // Mean phase voltage (V), total power factor with its status register, frequency (Hz).
    {9, kInt32Hundredth, 230.0, 0.01, 240, 0.3, 0},
    {11, kPowerFactor, 0.92, 0.03, 420, 1.0, 15},
    {13, kInt32Hundredth, 50.0, 0.001, 60, 0.0, 0},
    // Total active (W), reactive (var) and apparent (VA) power; power direction.
    {17, kInt32, 76000, 0.08, 300, 0.0, 0}, {19, kInt32, 32000, 0.1, 300, 0.7, 0},
    {21, kInt32, 82600, 0.08, 300, 0.2, 0}, {23, kInt32, 0, 0, 1, 0, 0},
    // Line-to-line voltages U12, U23, U31 and phase voltages U1N-U3N, V.
    {25, kInt32Hundredth, 400.0, 0.01, 240, 0.0, 0},
    {27, kInt32Hundredth, 399.2, 0.01, 240, 1.0, 0},
    {29, kInt32Hundredth, 401.1, 0.01, 240, 2.0, 0},
    {31, kInt32Hundredth, 230.4, 0.01, 240, 0.4, 0},
    {33, kInt32Hundredth, 229.8, 0.01, 240, 1.4, 0},
    {35, kInt32Hundredth, 231.0, 0.01, 240, 2.4, 0},
    // Phase active, reactive and apparent powers.
    {37, kInt32, 25300, 0.08, 300, 0.0, 0}, {39, kInt32, 25100, 0.08, 300, 2.1, 0},
    {41, kInt32, 25600, 0.08, 300, 4.2, 0}, {43, kInt32, 10700, 0.1, 300, 0.7, 0},
    {45, kInt32, -10500, 0.1, 300, 2.8, 0}, {47, kInt32, 10800, 0.1, 300, 4.9, 0},
    {49, kInt32, 27600, 0.08, 300, 0.2, 0}, {51, kInt32, 27200, 0.08, 300, 2.3, 0},
    {53, kInt32, 27900, 0.08, 300, 4.4, 0},
    // Phase angles of U2, U3 and I1 against U1, degrees.
    {55, kInt32, -120, 0.005, 90, 0.0, 0}, {57, kInt32, 120, 0.005, 90, 1.0, 0},
    {59, kInt32, -23, 0.1, 420, 1.0, 0},
    // Phase power factors with their status registers 77, 79, 81.
    {71, kPowerFactor, 0.93, 0.03, 420, 1.0, 77},
    {73, kPowerFactor, -0.91, 0.03, 420, 2.0, 79},
    {75, kPowerFactor, 0.92, 0.03, 420, 3.0, 81},
    // Total harmonic distortion of I1-I3 and U1-U3, %.
    {257, kInt32Tenth, 4.5, 0.2, 500, 0.0, 0}, {259, kInt32Tenth, 4.8, 0.2, 500, 1.0, 0},
    {261, kInt32Tenth, 4.2, 0.2, 500, 2.0, 0}, {263, kInt32Tenth, 2.1, 0.1, 500, 0.5, 0},
    {265, kInt32Tenth, 2.0, 0.1, 500, 1.5, 0}, {267, kInt32Tenth, 2.2, 0.1, 500, 2.5, 0},
};

// Energy counters (unsigned 32-bit, unit 0.1) grow with the mean power.
struct Counter {
    int registerNumber;
    double startValue;  // in the counter's unit (kWh, kvarh, kVAh, h)
    double perHour;     // growth per hour
};

constexpr Counter kCounters[] = {
    {193, 123456.7, 76.0},  // active energy imported, kWh
    {195, 812.3, 0.0},      // active energy exported, kWh
    {197, 40210.5, 32.0},   // reactive energy, lagging, kvarh
    {199, 1550.2, 0.5},     // reactive energy, leading, kvarh
    {201, 134200.9, 82.6},  // apparent energy, kVAh
    {203, 17520.0, 1.0},    // operating time, h
};

// Harmonic contents 2 to 31 of I1-I3 and U1-U3 (%, one register each) from
// register 321 on: 30 registers per signal.
constexpr int kFirstHarmonicRegister = 321;
constexpr int kHarmonicsPerSignal = 30;
constexpr int kHarmonicSignals = 6;

void putWord(uint16_t* registers, int registerNumber, int value) {
    int address = registerNumber - 1;
    if (address >= 0 && address < kMeterRegisterCount) {
        registers[address] = static_cast<uint16_t>(value & 0xFFFF);
    }
}

void putLong(uint16_t* registers, int registerNumber, int64_t value) {
    uint32_t word = static_cast<uint32_t>(value);
    putWord(registers, registerNumber, static_cast<int>(word & 0xFFFF));
    putWord(registers, registerNumber + 1, static_cast<int>(word >> 16));
}

double readingAt(const Quantity& quantity, double seconds, int node) {
    double phase = quantity.phase + 0.37 * node;
    return quantity.base *
           (1.0 + quantity.swing * std::sin(kTwoPi * seconds / quantity.periodSeconds + phase));
}

void putQuantity(uint16_t* registers, const Quantity& quantity, double value) {
    int number = quantity.registerNumber;
    switch (quantity.encoding) {
        case kInt32: putLong(registers, number, std::llround(value)); break;
        case kInt32Tenth: putLong(registers, number, std::llround(value * 10)); break;
        case kInt32Hundredth: putLong(registers, number, std::llround(value * 100)); break;
        case kPowerFactor: {
            double magnitude = std::fmin(std::fabs(value), 1.0);
            putLong(registers, number, std::llround(magnitude * 10000));
            // Status: 0 lagging (inductive), 1 leading (capacitive).
            putWord(registers, quantity.statusRegister, value < 0 ? 1 : 0);
            break;
        }
        case kInt16Tenth:
            putWord(registers, number, static_cast<int>(std::lround(value * 10)));
            break;
    }
}

void putHarmonics(uint16_t* registers, double seconds, int node) {
    for (int signal = 0; signal < kHarmonicSignals; ++signal) {
        double level = signal < 3 ? 12.0 : 3.0;  // currents carry more harmonics
        for (int index = 0; index < kHarmonicsPerSignal; ++index) {
            int order = index + 2;
            double odd = (order % 2 == 1) ? 1.0 : 0.15;
            double wobble = 1.0 + 0.1 * std::sin(kTwoPi * seconds / 600 + order + node + signal);
            double percent = level * odd * wobble / order;
            int registerNumber = kFirstHarmonicRegister + signal * kHarmonicsPerSignal + index;
            putWord(registers, registerNumber, static_cast<int>(std::lround(percent * 10)));
        }
    }
}

}  // namespace

void fillMeterRegisters(uint16_t* registers, double seconds, int node) {
    std::memset(registers, 0, sizeof(uint16_t) * kMeterRegisterCount);
    for (const Quantity& quantity : kQuantities) {
        putQuantity(registers, quantity, readingAt(quantity, seconds, node));
    }
    for (const Counter& counter : kCounters) {
        double value = counter.startValue + node * 1000.0 + counter.perHour * seconds / 3600.0;
        putLong(registers, counter.registerNumber, std::llround(value * 10));
    }
    putHarmonics(registers, seconds, node);
}

void fillFixedRegisters(uint16_t* registers) {
    for (int address = 0; address < kMeterRegisterCount; ++address) {
        registers[address] = static_cast<uint16_t>(address + 1);
    }
}

}  // namespace kvt::nodesim
