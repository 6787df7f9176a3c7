// The analog details of the pen on screen: the analog-type list, the
// range rows, alarms and functions; their validation and storing.
#include <cmath>

#include "core/FieldText.h"
#include "core/NumberText.h"
#include "core/RunFlags.h"
#include "settings/SettingsCommit.h"
#include "settings/EditFilters.h"
#include "settings/PenFieldTexts.h"
#include "settings/PenSettingDialog.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr int kLowestLogExponent = -9;
constexpr int kHighestLogExponent = 8;
constexpr int kLogExponentEditLength = 2;
constexpr int kOutputNodeEditLength = 2;
constexpr int kOutputChannelEditLength = 1;
constexpr int kLogDecadesChoices = 5;
constexpr int kDecimalPlacesChoices = 4;
constexpr int kMovingAverageChoices = 16;
// Data kinds whose rows measure a fixed sensor range: no input or scale
// is typed for them.
constexpr int kSensorKind = 1;
constexpr int kSensorKindAlternative = 7;

bool isSensorKind(int dataKind) {
    return dataKind == kSensorKind || dataKind == kSensorKindAlternative;
}

// Power factor and phase angle show a fixed engineering range.
bool hasFixedRange(int analogType) {
    return analogType == kAnalogTypePowerFactor || analogType == kAnalogTypePhaseAngle;
}

int clampedIndex(int value, int choices) {
    if (value < 0) return 0;
    return value >= choices ? choices - 1 : value;
}

double decimalValue(const std::string& text) { return parseNumberText(text.c_str()); }

// A low/high pair is accepted when high is above low and the span is a
// finite number (a text like 9e999 would otherwise store infinity).
bool orderedPair(const std::string& lowText, const std::string& highText) {
    double low = decimalValue(lowText);
    double high = decimalValue(highText);
    return high > low && std::isfinite(high - low);
}

// An alarm setpoint or dead band: the no-data value when empty.
double valueOrNoData(const std::string& text) {
    return text.empty() ? kNoData : decimalValue(text);
}

}  // namespace

int PenSettingDialog::FillAnalogTypeList() {
    clearItems(kAnalogTypeList);
    int deviceType = -1;
    if (currentGroup_ == 0) {
        deviceType = workingConfiguration.highSpeedNode.type;
    } else {
        // Without a valid node on screen, the list offers what the stored
        // node offers.
        int node = nodeNumberFromText(nodeText_);
        if (node < 1 || node > kNodeCount) node = penOnScreen().node;
        if (node >= 1 && node <= kNodeCount) deviceType = workingConfiguration.nodeType[node - 1];
    }
    int entry = collectAnalogTypeChoices(analogTypes, deviceType,
                                         workingConfiguration.temperatureUnit,
                                         penOnScreen().analogType, choices_);
    for (int at = 0; at < choices_.count; ++at) {
        addItem(kAnalogTypeList, analogTypes[choices_.analogType[at]].name);
    }
    return entry;
}

PenSettingDialog::SelectedAnalogType PenSettingDialog::selectedAnalogType() const {
    if (analogTypeIndex_ >= 0 && analogTypeIndex_ < choices_.count) {
        int type = choices_.analogType[analogTypeIndex_];
        return {type, dataKindOf(type), choices_.defaults[analogTypeIndex_]};
    }
    int stored = penOnScreen().analogType;
    if (stored < 0 || stored >= kAnalogTypeRows - 1) return {-1, dataKindOf(-1), nullptr};
    return {stored, dataKindOf(stored),
            defaultRangeTexts(analogTypes[stored], workingConfiguration.temperatureUnit)};
}

void PenSettingDialog::loadAnalogDetails(const PenSettings& pen) {
    bool stopped = !measurementRunning();
    analogTypeIndex_ = FillAnalogTypeList();
    enableAll({kAnalogTypeLabel, kAnalogTypeList}, stopped);
    logIndex_ = pen.logScale == 1 ? 1 : 0;
    enableAll({kNormalRadio, kLogRadio}, stopped);
    SelectedAnalogType selected = selectedAnalogType();
    loadInputRows(pen, selected);
    loadPlotRow(pen, selected);
    loadAlarmRows(pen);
    loadFunctionMembers(pen);
}

void PenSettingDialog::loadInputRows(const PenSettings& pen, const SelectedAnalogType& selected) {
    bool stopped = !measurementRunning();
    bool english = languageFlag != 0;
    std::string* texts = analogTexts_;
    if (selected.defaults != nullptr &&
        (hasFixedRange(selected.analogType) || isSensorKind(selected.dataKind))) {
        texts[kInputLow] = selected.defaults[kInputLowText];
        texts[kInputHigh] = selected.defaults[kInputHighText];
    }
    if (selected.defaults != nullptr && hasFixedRange(selected.analogType)) {
        texts[kScaleLow] = texts[kInputLow];
        texts[kScaleHigh] = texts[kInputHigh];
        setText(kInputLabel, english ? "Input range" : "入力ﾚﾝｼﾞ");
        setText(kScaleLabel, english ? "Eng. range" : "ｽｹｰﾙ");
        enableAll({kInputLabel, kInputLowEdit, kInputHighEdit, kScaleLabel, kScaleLowEdit,
                          kScaleHighEdit},
                  false);
    } else if (selected.defaults != nullptr && isSensorKind(selected.dataKind)) {
        texts[kScaleLow].clear();
        texts[kScaleHigh].clear();
        setText(kInputLabel, english ? "Sensor range" : "測定範囲");
        enable(kInputLabel, stopped);
        setText(kScaleLabel, "");
        enableAll({kInputLowEdit, kInputHighEdit, kScaleLowEdit, kScaleHighEdit}, false);
    } else {
        texts[kInputLow] = fieldText(pen.inputLowText);
        texts[kInputHigh] = fieldText(pen.inputHighText);
        texts[kScaleLow] = fieldText(pen.scaleLowText);
        texts[kScaleHigh] = fieldText(pen.scaleHighText);
        setText(kInputLabel, english ? "Input range" : "入力ﾚﾝｼﾞ");
        setText(kScaleLabel, english ? "Eng. range" : "ｽｹｰﾙ");
        enableAll({kInputLabel, kInputLowEdit, kInputHighEdit, kScaleLabel, kScaleLowEdit,
                          kScaleHighEdit},
                  stopped);
    }
}

void PenSettingDialog::loadPlotRow(const PenSettings& pen, const SelectedAnalogType& selected) {
    if (selected.defaults != nullptr && hasFixedRange(selected.analogType)) {
        analogTexts_[kPlotLow] = selected.defaults[kInputLowText];
        analogTexts_[kPlotHigh] = selected.defaults[kInputHighText];
        enableAll({kPlotLabel, kPlotLowEdit, kPlotHighEdit}, false);
        return;
    }
    analogTexts_[kPlotLow] = fieldText(pen.plotLowText);
    analogTexts_[kPlotHigh] = fieldText(pen.plotHighText);
    enableAll({kPlotLowEdit, kPlotHighEdit}, logIndex_ != 1);
    enable(kPlotLabel, true);
}

void PenSettingDialog::loadAlarmRows(const PenSettings& pen) {
    analogTexts_[kSetpointLow] = fieldText(pen.alarmLimitLowText);
    analogTexts_[kSetpointHigh] = fieldText(pen.alarmLimitHighText);
    analogTexts_[kDeadbandLow] = fieldText(pen.deadbandLowText);
    analogTexts_[kDeadbandHigh] = fieldText(pen.deadbandHighText);
    bool trendGroup = currentGroup_ != 0;
    for (int slot = 0; slot < 2; ++slot) {
        alarmOutputFlags_[slot] = pen.alarmOutput[slot] == 1 ? 1 : 0;
        analogTexts_[kOutputNodeLow + slot] =
            trendGroup ? fittingNumberText(pen.alarmOutputNode[slot], true, kOutputNodeEditLength)
                       : std::string();
        analogTexts_[kOutputChannelLow + slot] =
            trendGroup
                ? fittingNumberText(pen.alarmOutputChannel[slot], false, kOutputChannelEditLength)
                : std::string();
    }
    enableAll({kSetpointLabel, kDeadbandLabel, kSetpointLowEdit, kSetpointHighEdit,
                      kDeadbandLowEdit, kDeadbandHighEdit, kAlarmOutputLabel, kOutputLowBox,
                      kOutputHighBox, kAlarmNodeLabel, kAlarmChannelLabel, kNormalColourLabel,
                      kAlarmColourLabel, kOutputNodeLowEdit, kOutputNodeHighEdit,
                      kOutputChannelLowEdit, kOutputChannelHighEdit, kLowNormalButton,
                      kHighNormalButton, kLowAlarmButton, kHighAlarmButton},
              trendGroup);
}

// A stored exponent that the edit cannot hold is shown as an empty edit, so
// that the store refuses it with its message like any other bad value
// instead of storing some other number in its place.
void PenSettingDialog::loadFunctionMembers(const PenSettings& pen) {
    bool stopped = !measurementRunning();
    logDecadesIndex_ = clampedIndex(pen.logDecadesIndex, kLogDecadesChoices);
    analogTexts_[kLogExponent] =
        fittingNumberText(pen.logLowExponent, false, kLogExponentEditLength);
    enableAll({kLogDecadesLabel, kLogExponentLabel, kLogDecadesList, kLogExponentEdit},
              logIndex_ != 0);
    enableAll({kDecimalPlacesLabel, kDecimalPlacesList}, logIndex_ != 1);
    decimalPlacesIndex_ = clampedIndex(pen.decimalPlaces, kDecimalPlacesChoices);
    squareRoot_ = pen.squareRoot == 1 ? 1 : 0;
    movingAverageJapaneseIndex_ = clampedIndex(pen.movingAverage, kMovingAverageChoices);
    movingAverageEnglishIndex_ = movingAverageJapaneseIndex_;
    enableAll({kSquareRootLabel, kSquareRootBox, kMovingAverageLabel}, stopped);
    enable(kMovingAverageJapanese, stopped && languageFlag == 0);
    enable(kMovingAverageEnglish, stopped && languageFlag != 0);
}

int PenSettingDialog::validateAnalog(int checkRanges) {
    if (currentGroup_ != 0) {
        for (int slot = 0; slot < 2; ++slot) {
            int node = nodeNumberFromText(analogTexts_[kOutputNodeLow + slot]);
            if (node < 1 || node > kNodeCount) return reject(kNodeMessage);
        }
        for (int slot = 0; slot < 2; ++slot) {
            int channel = integerFromText(analogTexts_[kOutputChannelLow + slot]);
            if (channel < 1 || channel > kAlarmOutputsPerNode) return reject(kOutputChannelMessage);
        }
    }
    const std::string& exponentText = analogTexts_[kLogExponent];
    int exponent = integerFromText(exponentText);
    bool hasDigit = exponentText.find_first_of("0123456789") != std::string::npos;
    if (!hasDigit || exponent < kLowestLogExponent || exponent > kHighestLogExponent) {
        return reject(kLogExponentMessage);
    }
    if (checkRanges != 1) return 0;
    return validateAnalogRanges(selectedAnalogType());
}

int PenSettingDialog::validateAnalogRanges(const SelectedAnalogType& selected) {
    const std::string* texts = analogTexts_;
    if (!isSensorKind(selected.dataKind)) {
        if (!orderedPair(texts[kInputLow], texts[kInputHigh])) return reject(kInputRangeMessage);
        if (!orderedPair(texts[kScaleLow], texts[kScaleHigh])) return reject(kScaleMessage);
    }
    if (!orderedPair(texts[kPlotLow], texts[kPlotHigh])) return reject(kPlotRangeMessage);
    if (currentGroup_ == 0) return 0;
    for (int slot = 0; slot < 2; ++slot) {
        const std::string& setpoint = texts[kSetpointLow + slot];
        if (!setpoint.empty() && !std::isfinite(decimalValue(setpoint))) {
            return reject(kSetpointMessage);
        }
    }
    if (!texts[kSetpointLow].empty() && !texts[kSetpointHigh].empty() &&
        !orderedPair(texts[kSetpointLow], texts[kSetpointHigh])) {
        return reject(kSetpointMessage);
    }
    for (int slot = 0; slot < 2; ++slot) {
        double deadband = decimalValue(texts[kDeadbandLow + slot]);
        if (!(deadband >= 0) || !std::isfinite(deadband)) return reject(kDeadbandMessage);
    }
    return 0;
}

void PenSettingDialog::storeAnalog(PenSettings& pen) const {
    SelectedAnalogType selected = selectedAnalogType();
    if (selected.analogType >= 0) pen.analogType = selected.analogType;
    pen.logScale = logIndex_ == 1 ? 1 : 0;
    const std::string* texts = analogTexts_;
    if (selected.defaults != nullptr &&
        (isSensorKind(selected.dataKind) || selected.analogType == kAnalogTypePowerFactor)) {
        const char* low = selected.defaults[kScaleLowText];
        const char* high = selected.defaults[kScaleHighText];
        setTypedValue(pen.inputLow, pen.inputLowText, low);
        setTypedValue(pen.inputHigh, pen.inputHighText, high);
        setTypedValue(pen.scaleLow, pen.scaleLowText, low);
        setTypedValue(pen.scaleHigh, pen.scaleHighText, high);
    } else {
        setTypedValue(pen.inputLow, pen.inputLowText, texts[kInputLow].c_str());
        setTypedValue(pen.inputHigh, pen.inputHighText, texts[kInputHigh].c_str());
        setTypedValue(pen.scaleLow, pen.scaleLowText, texts[kScaleLow].c_str());
        setTypedValue(pen.scaleHigh, pen.scaleHighText, texts[kScaleHigh].c_str());
    }
    setTypedValue(pen.plotLow, pen.plotLowText, texts[kPlotLow].c_str());
    setTypedValue(pen.plotHigh, pen.plotHighText, texts[kPlotHigh].c_str());
    setFieldText(pen.alarmLimitLowText, texts[kSetpointLow].c_str());
    setFieldText(pen.alarmLimitHighText, texts[kSetpointHigh].c_str());
    setFieldText(pen.deadbandLowText, texts[kDeadbandLow].c_str());
    setFieldText(pen.deadbandHighText, texts[kDeadbandHigh].c_str());
    pen.alarmLimitLow = valueOrNoData(texts[kSetpointLow]);
    pen.alarmLimitHigh = valueOrNoData(texts[kSetpointHigh]);
    pen.deadbandLow = valueOrNoData(texts[kDeadbandLow]);
    pen.deadbandHigh = valueOrNoData(texts[kDeadbandHigh]);
    for (int slot = 0; slot < 2; ++slot) {
        pen.alarmOutput[slot] = alarmOutputFlags_[slot] != 0 ? 1 : 0;
        if (currentGroup_ == 0) continue;
        pen.alarmOutputNode[slot] = nodeNumberFromText(texts[kOutputNodeLow + slot]);
        pen.alarmOutputChannel[slot] = integerFromText(texts[kOutputChannelLow + slot]);
    }
    if (logDecadesIndex_ >= 0) pen.logDecadesIndex = logDecadesIndex_;
    pen.logLowExponent = integerFromText(texts[kLogExponent]);
    if (decimalPlacesIndex_ >= 0) pen.decimalPlaces = decimalPlacesIndex_;
    pen.squareRoot = squareRoot_ != 0 ? 1 : 0;
    int movingAverage =
        languageFlag != 0 ? movingAverageEnglishIndex_ : movingAverageJapaneseIndex_;
    if (movingAverage >= 0) pen.movingAverage = movingAverage;
}

// A new analog type starts from its default input range and scale; the
// plot range and the rest of the pen stay as typed.
void PenSettingDialog::changeAnalogType() {
    int previousIndex = analogTypeIndex_;
    readControls();
    writeControls();
    if (analogTypeIndex_ == previousIndex) return;
    if (StorePen(-1, 0) != 0) {
        analogTypeIndex_ = previousIndex;
        writeControls();
        return;
    }
    SelectedAnalogType selected = selectedAnalogType();
    if (selected.defaults != nullptr) {
        PenSettings& pen = penOnScreen();
        pen.analogType = selected.analogType;
        setTypedValue(pen.inputLow, pen.inputLowText, selected.defaults[kScaleLowText]);
        setTypedValue(pen.inputHigh, pen.inputHighText, selected.defaults[kScaleHighText]);
        setTypedValue(pen.scaleLow, pen.scaleLowText, selected.defaults[kScaleLowText]);
        setTypedValue(pen.scaleHigh, pen.scaleHighText, selected.defaults[kScaleHighText]);
    }
    LoadPen();
}

void PenSettingDialog::switchLogScale() {
    int previousIndex = logIndex_;
    if (StorePen(-1, 0) != 0) {
        logIndex_ = previousIndex;
        writeControls();
        return;
    }
    LoadPen();
}

}  // namespace kvt
