#include "settings/PenDialogIds.h"
#include "settings/PenDialogLayouts.h"

namespace kvt {

using namespace pen_ids;

namespace {

struct Caption {
    int id;
    const char* english;
};

constexpr Caption kEnglishCaptions[] = {
    {kCommonBox, "Common information"},
    {kEnabledLabel, "Enable/Disable"},
    {kDisabledRadio, "Disable"},
    {kEnabledRadio, "Enable"},
    {kShownLabel, "Graph"},
    {kHiddenRadio, "No"},
    {kShownRadio, "Yes"},
    {kKindLabel, "Analog/Discrete"},
    {kAnalogRadio, "Analog"},
    {kDiscreteRadio, "Discrete"},
    {kTagLabel, "Tag"},
    {kUnitLabel, "Unit"},
    {kNodeLabel, "Node number"},
    {kChannelLabel, "Channel number"},
    {kColourLabel, "Color"},
    {kPenColourButton, "Change"},
    {kThickLabel, "Thick line"},
    {kFunctionBox, "Function"},
    {kSquareRootLabel, "Square root"},
    {kMovingAverageLabel, "Moving average"},
    {kOk, "OK"},
    {kCancel, "Cancel"},
    {kApply, "Apply"},
    {kDetailBox, "Detail information"},
    {kAnalogTypeLabel, "Analog type"},
    {kLowerHeading, "Lower"},
    {kUpperHeading, "Upper"},
    {kInputLabel, "Input range"},
    {kScaleLabel, "Eng. range"},
    {kPlotLabel, "Plot range"},
    {kSetpointLabel, "Alarm setpoint"},
    {kDeadbandLabel, "Alarm deadband"},
    {kAlarmOutputLabel, "Alarm output"},
    {kAlarmNodeLabel, "Alarm node"},
    {kAlarmChannelLabel, "Alarm channel"},
    {kNormalColourLabel, "Normal color"},
    {kLowNormalButton, "Change"},
    {kHighNormalButton, "Change"},
    {kAlarmColourLabel, "Alarm color"},
    {kLowAlarmButton, "Change"},
    {kHighAlarmButton, "Change"},
    {kDecimalPlacesLabel, "Decimal point"},
    {kLogLabel, "Normal/Log"},
    {kNormalRadio, "Normal"},
    {kLogRadio, "Log"},
    {kLogDecadesLabel, "Exp. scale"},
    {kLogExponentLabel, "Log. plot position"},
    {kOffHeading, "Logic 0"},
    {kOnHeading, "Logic 1"},
    {kDisplayNameLabel, "Description"},
    {kDiscreteAlarmLabel, "Alarm output"},
    {kDelayLabel, "Alarm delay(sec)"},
    {kDiscreteNodeLabel, "Alarm node"},
    {kDiscreteChannelLabel, "Alarm channel"},
    {kDiscreteNormalLabel, "Normal color"},
    {kOffNormalButton, "Change"},
    {kOnNormalButton, "Change"},
    {kDiscreteAlarmColourLabel, "Alarm color"},
    {kOffAlarmButton, "Change"},
    {kOnAlarmButton, "Change"},
};

}  // namespace

void setPenDialogEnglishCaptions(Dialog& dialog) {
    dialog.setTitle("Pen setting");
    for (const Caption& caption : kEnglishCaptions) dialog.setText(caption.id, caption.english);
}

}  // namespace kvt
