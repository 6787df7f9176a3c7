#pragma once
#include <initializer_list>
#include <string>

#include "core/ConfigurationRecord.h"
#include "platform/Dialog.h"
#include "settings/AnalogTypeChoices.h"
#include "settings/PenDialogIds.h"
#include "settings/PenDialogMessages.h"

namespace kvt {

// Edits the pens of the working configuration one at a time. The arrows
// walk through the groups and their pens; every step first validates and
// stores the pen on screen, so OK and Apply only store the last pen before
// they commit. Members hold what the controls show (texts as Shift-JIS);
// readControls and writeControls exchange them, and every text passes its
// edit's filter on the way.
class PenSettingDialog final : public Dialog {
public:
    // `group` is the main window's current group (0 to 10).
    explicit PenSettingDialog(int group);
    static const DialogTemplate& layout();

    int currentGroup() const { return currentGroup_; }
    int currentPen() const { return currentPen_; }

    // Colour swatches beside the colour buttons.
    void onPaint(DialogCanvas& canvas) override;

protected:
    bool onInitDialog() override;
    void onCommand(int id) override;
    void onTextChanged(int id) override;
    void onSelectionChanged(int id) override;
    void onOk() override;

private:
    // The selected analog type and its default range texts; without a
    // usable list entry, the stored type (or -1 and no defaults).
    struct SelectedAnalogType {
        int analogType;
        int dataKind;
        const char* const* defaults;
    };

    static int lastPenOf(int group);  // index of the group's last pen

    void LoadPen();
    int FillAnalogTypeList();
    int StorePen(int kind, int checkRanges);
    void SwitchKind();
    void FilterPenEdit(int code);

    // Member and control exchange.
    void readControls();
    void writeControls();
    std::string* memberTextOf(int editId);

    // Common information.
    void loadCommonMembers(const PenSettings& pen);
    void enableCommonControls();
    void showDetailsOfKind();
    int validateCommon();
    void storeCommon(PenSettings& pen) const;

    // Analog details.
    void loadAnalogDetails(const PenSettings& pen);
    void loadInputRows(const PenSettings& pen, const SelectedAnalogType& selected);
    void loadPlotRow(const PenSettings& pen, const SelectedAnalogType& selected);
    void loadAlarmRows(const PenSettings& pen);
    void loadFunctionMembers(const PenSettings& pen);
    int validateAnalog(int checkRanges);
    int validateAnalogRanges(const SelectedAnalogType& selected);
    void storeAnalog(PenSettings& pen) const;
    SelectedAnalogType selectedAnalogType() const;
    void changeAnalogType();
    void switchLogScale();

    // Discrete details.
    void loadDiscreteDetails(const PenSettings& pen);
    int validateDiscrete();
    void storeDiscrete(PenSettings& pen) const;

    void enableAll(std::initializer_list<int> ids, bool enabled);

    void navigate(int buttonId);
    void apply();
    void chooseColourFor(int buttonId);
    int reject(const PenMessage& message);
    PenSettings& penOnScreen() const;
    void paintSwatch(DialogCanvas& canvas, int buttonId, int width, Colour colour) const;

    // Radio groups, texts and boxes of the common information.
    int enabledIndex_ = -1;
    int shownIndex_ = -1;
    int kindIndex_ = -1;
    std::string tagText_;
    std::string unitText_;
    std::string nodeText_;
    std::string channelText_;
    int thickLine_ = 0;

    // Discrete details, OFF state first.
    int discreteAlarmFlags_[2] = {};
    std::string displayNames_[2];
    std::string delayTexts_[2];
    std::string discreteNodeTexts_[2];
    std::string discreteChannelTexts_[2];

    // Analog details: the list entry, the fifteen edits 1067 to 1081 in
    // order, and the rest.
    enum AnalogText : int {
        kInputLow = 0, kInputHigh, kScaleLow, kScaleHigh, kPlotLow, kPlotHigh,
        kSetpointLow, kSetpointHigh, kDeadbandLow, kDeadbandHigh,
        kOutputNodeLow, kOutputNodeHigh, kOutputChannelLow, kOutputChannelHigh, kLogExponent,
    };
    int analogTypeIndex_ = -1;
    std::string analogTexts_[pen_ids::kAnalogEditCount];
    int logIndex_ = -1;
    int alarmOutputFlags_[2] = {};
    int logDecadesIndex_ = -1;
    int decimalPlacesIndex_ = -1;
    int squareRoot_ = 0;
    int movingAverageJapaneseIndex_ = -1;
    int movingAverageEnglishIndex_ = -1;

    int currentGroup_;
    int currentPen_ = 0;
    AnalogTypeChoices choices_;
};

}  // namespace kvt
