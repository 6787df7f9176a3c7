#include "settings/PenDialogIds.h"
#include "settings/PenDialogSmallScreen.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr int kDialogWidth = 640;
constexpr int kDialogHeight = 420;

struct PixelPlace {
    int id;
    DialogRect place;
};

// Controls placed one by one; the rows of labels and edit pairs follow below.
constexpr PixelPlace kSinglePlaces[] = {
    {kCommonBox, {10, 63, 315, 200}},
    {kDisabledRadio, {140, 80, 80, 20}},
    {kEnabledRadio, {220, 80, 80, 20}},
    {kHiddenRadio, {140, 100, 80, 20}},
    {kShownRadio, {220, 100, 80, 20}},
    {kAnalogRadio, {140, 120, 80, 20}},
    {kDiscreteRadio, {220, 120, 80, 20}},
    {kTagEdit, {140, 140, 150, 19}},
    {kUnitEdit, {140, 160, 100, 19}},
    {kNodeEdit, {140, 180, 50, 19}},
    {kChannelEdit, {140, 200, 50, 19}},
    {kPenColourButton, {186, 220, 52, 20}},
    {kThickBox, {140, 240, 20, 20}},
    {kFunctionBox, {10, 263, 315, 90}},
    {kSquareRootLabel, {20, 280, 110, 20}},
    {kSquareRootBox, {140, 280, 20, 20}},
    {kMovingAverageLabel, {20, 300, 180, 20}},
    {kMovingAverageEnglish, {170, 300, 100, 20}},
    {kOk, {20, 360, 95, 20}},
    {kCancel, {120, 360, 95, 20}},
    {kApply, {220, 360, 95, 20}},

    {kDetailBox, {330, 3, 300, 350}},
    {kAnalogTypeLabel, {340, 20, 110, 20}},
    {kAnalogTypeList, {450, 18, 174, 20}},
    {kLowerHeading, {460, 42, 80, 20}},
    {kUpperHeading, {545, 42, 80, 20}},
    {kAlarmOutputLabel, {340, 160, 110, 20}},
    {kOutputLowBox, {490, 160, 20, 20}},
    {kOutputHighBox, {575, 160, 20, 20}},
    {kNormalColourLabel, {340, 220, 110, 20}},
    {kLowNormalButton, {486, 220, 52, 20}},
    {kHighNormalButton, {571, 220, 52, 20}},
    {kAlarmColourLabel, {340, 240, 110, 20}},
    {kLowAlarmButton, {486, 240, 52, 20}},
    {kHighAlarmButton, {571, 240, 52, 20}},
    {kLogLabel, {340, 260, 110, 20}},
    {kNormalRadio, {460, 260, 80, 20}},
    {kLogRadio, {545, 260, 80, 20}},
    {kLogDecadesLabel, {340, 282, 110, 20}},
    {kLogDecadesList, {500, 280, 80, 20}},
    {kLogExponentLabel, {340, 304, 110, 20}},
    {kLogExponentEdit, {500, 304, 80, 19}},
    {kDecimalPlacesLabel, {340, 326, 110, 20}},
    {kDecimalPlacesList, {500, 324, 80, 20}},

    {kOffHeading, {460, 22, 80, 20}},
    {kOnHeading, {545, 22, 80, 20}},
    {kOffAlarmBox, {490, 80, 20, 20}},
    {kOnAlarmBox, {575, 80, 20, 20}},
    {kOffNormalButton, {486, 160, 52, 20}},
    {kOnNormalButton, {571, 160, 52, 20}},
    {kOffAlarmButton, {486, 180, 52, 20}},
    {kOnAlarmButton, {571, 180, 52, 20}},
};

constexpr int kLabelWidth = 110;
constexpr int kRowHeight = 20;
constexpr int kEditHeight = 19;
constexpr int kPairEditWidth = 80;
constexpr int kLowColumnX = 460;
constexpr int kHighColumnX = 545;

// Labels of the common area, one row each from y 80 down.
constexpr int kCommonLabels[] = {kEnabledLabel, kShownLabel,   kKindLabel,
                                 kTagLabel,     kUnitLabel,    kNodeLabel,
                                 kChannelLabel, kColourLabel,  kThickLabel};
constexpr int kCommonLabelX = 20;
constexpr int kCommonFirstRowY = 80;

// A detail row: its label at x 340 and, where it has them, its low and high edits.
struct DetailRow {
    int y;
    int label;
    int lowEdit;   // kNoControlId when the row has none
    int highEdit;
};
constexpr int kDetailLabelX = 340;

constexpr DetailRow kDetailRows[] = {
    {60, kInputLabel, kInputLowEdit, kInputHighEdit},
    {80, kScaleLabel, kScaleLowEdit, kScaleHighEdit},
    {100, kPlotLabel, kPlotLowEdit, kPlotHighEdit},
    {120, kSetpointLabel, kSetpointLowEdit, kSetpointHighEdit},
    {140, kDeadbandLabel, kDeadbandLowEdit, kDeadbandHighEdit},
    {180, kAlarmNodeLabel, kOutputNodeLowEdit, kOutputNodeHighEdit},
    {200, kAlarmChannelLabel, kOutputChannelLowEdit, kOutputChannelHighEdit},
    {40, kDisplayNameLabel, kOffNameEdit, kOnNameEdit},
    {80, kDiscreteAlarmLabel, kNoControlId, kNoControlId},
    {100, kDelayLabel, kOffDelayEdit, kOnDelayEdit},
    {120, kDiscreteNodeLabel, kOffNodeEdit, kOnNodeEdit},
    {140, kDiscreteChannelLabel, kOffChannelEdit, kOnChannelEdit},
    {160, kDiscreteNormalLabel, kNoControlId, kNoControlId},
    {180, kDiscreteAlarmColourLabel, kNoControlId, kNoControlId},
};

}  // namespace

void layOutPenDialogForSmallScreen(Dialog& dialog) {
    dialog.setPixelSize(kDialogWidth, kDialogHeight);
    for (const PixelPlace& single : kSinglePlaces) dialog.setPixelPlace(single.id, single.place);
    int y = kCommonFirstRowY;
    for (int label : kCommonLabels) {
        dialog.setPixelPlace(label, {kCommonLabelX, y, kLabelWidth, kRowHeight});
        y += kRowHeight;
    }
    for (const DetailRow& row : kDetailRows) {
        dialog.setPixelPlace(row.label, {kDetailLabelX, row.y, kLabelWidth, kRowHeight});
        dialog.setPixelPlace(row.lowEdit, {kLowColumnX, row.y, kPairEditWidth, kEditHeight});
        dialog.setPixelPlace(row.highEdit, {kHighColumnX, row.y, kPairEditWidth, kEditHeight});
    }
}

}  // namespace kvt
