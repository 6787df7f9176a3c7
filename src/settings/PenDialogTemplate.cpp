// The pen settings dialog as laid out at design time: common information
// on the left, the analog and the discrete details stacked in the detail
// box on the right (the dialog shows one set at a time).
#include "settings/PenDialogIds.h"
#include "settings/PenSettingDialog.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kGroup = ControlKind::GroupBox;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kRadio = ControlKind::RadioButton;
constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kList = ControlKind::ComboBox;

constexpr unsigned kFirst = kFirstInGroup;
constexpr unsigned kHidden = kStartHidden;

}  // namespace

const DialogTemplate& PenSettingDialog::layout() {
    static const DialogTemplate dialogTemplate{
        137,
        "ﾍﾟﾝ設定",
        319,
        220,
        {
            {kPreviousGroup, kButton, {5, 5, 50, 10}, "<<"},
            {kGroupLabel, kLabel, {61, 5, 40, 13}, "ｸﾞﾙｰﾌﾟ", kCentred},
            {kNextGroup, kButton, {110, 5, 50, 10}, ">>"},
            {kPreviousPen, kButton, {5, 20, 50, 10}, "<"},
            {kPenLabel, kLabel, {60, 20, 40, 10}, "ﾍﾟﾝ", kCentred},
            {kNextPen, kButton, {110, 20, 50, 10}, ">"},

            {kCommonBox, kGroup, {5, 35, 160, 145}, "共通情報"},
            {kEnabledLabel, kLabel, {10, 45, 50, 8}, "無効／有効"},
            {kDisabledRadio, kRadio, {65, 45, 35, 8}, "無効", kFirst},
            {kEnabledRadio, kRadio, {105, 45, 35, 8}, "有効"},
            {kShownLabel, kLabel, {10, 61, 50, 8}, "表示／非表示"},
            {kHiddenRadio, kRadio, {65, 61, 35, 8}, "非表示", kFirst},
            {kShownRadio, kRadio, {105, 61, 35, 8}, "表示"},
            {kKindLabel, kLabel, {10, 75, 55, 8}, "ｱﾅﾛｸﾞ／ﾃﾞｼﾞﾀﾙ"},
            {kAnalogRadio, kRadio, {65, 75, 40, 8}, "ｱﾅﾛｸﾞ", kFirst},
            {kDiscreteRadio, kRadio, {105, 75, 45, 8}, "ﾃﾞｼﾞﾀﾙ"},
            {kTagLabel, kLabel, {10, 91, 50, 8}, "ﾀｸﾞ名称"},
            {kTagEdit, kEdit, {65, 91, 95, 12}, ""},
            {kUnitLabel, kLabel, {10, 105, 50, 8}, "工業単位"},
            {kUnitEdit, kEdit, {65, 105, 45, 12}, ""},
            {kNodeLabel, kLabel, {10, 121, 50, 8}, "ﾉｰﾄﾞ番号"},
            {kNodeEdit, kEdit, {65, 121, 25, 12}, ""},
            {kChannelLabel, kLabel, {10, 135, 50, 8}, "ﾁｬﾝﾈﾙ番号"},
            {kChannelEdit, kEdit, {65, 135, 25, 12}, ""},
            {kColourLabel, kLabel, {10, 151, 50, 8}, "表示色"},
            {kPenColourButton, kButton, {90, 151, 30, 10}, "変更"},
            {kThickLabel, kLabel, {10, 165, 50, 8}, "太線"},
            {kThickBox, kCheck, {65, 165, 10, 10}, ""},

            {kFunctionBox, kGroup, {5, 185, 160, 15}, "演算機能", kHidden},
            {kSquareRootLabel, kLabel, {10, 195, 50, 8}, "開平", kHidden},
            {kSquareRootBox, kCheck, {65, 195, 10, 10}, "", kHidden},
            {kMovingAverageLabel, kLabel, {10, 200, 50, 8}, "移動平均", kHidden},
            {kMovingAverageJapanese, kList, {65, 195, 40, 100}, "", kHidden},
            {kMovingAverageEnglish, kList, {75, 190, 40, 100}, "", kHidden},

            {kOk, ControlKind::DefaultButton, {5, 200, 40, 15}, "OK"},
            {kCancel, kButton, {65, 200, 40, 15}, "ｷｬﾝｾﾙ"},
            {kApply, kButton, {125, 200, 40, 15}, "適用"},

            {kDetailBox, kGroup, {170, 5, 145, 210}, "詳細情報"},

            {kAnalogTypeLabel, kLabel, {175, 20, 50, 8}, "ｱﾅﾛｸﾞﾀｲﾌﾟ"},
            {kAnalogTypeList, kList, {215, 15, 98, 100}, ""},
            {kLowerHeading, kLabel, {230, 35, 35, 8}, "下限"},
            {kUpperHeading, kLabel, {270, 35, 35, 8}, "上限"},
            {kInputLabel, kLabel, {175, 45, 55, 8}, "入力ﾚﾝｼﾞ"},
            {kInputLowEdit, kEdit, {230, 45, 35, 12}, ""},
            {kInputHighEdit, kEdit, {270, 45, 35, 12}, ""},
            {kScaleLabel, kLabel, {175, 61, 55, 8}, "ｽｹｰﾙ"},
            {kScaleLowEdit, kEdit, {230, 60, 35, 12}, ""},
            {kScaleHighEdit, kEdit, {270, 60, 35, 12}, ""},
            {kPlotLabel, kLabel, {175, 75, 55, 8}, "ﾌﾟﾛｯﾄ範囲"},
            {kPlotLowEdit, kEdit, {230, 75, 35, 12}, ""},
            {kPlotHighEdit, kEdit, {270, 75, 35, 12}, ""},
            {kSetpointLabel, kLabel, {175, 91, 55, 8}, "ｱﾗｰﾑﾘﾐｯﾄ値"},
            {kSetpointLowEdit, kEdit, {230, 90, 35, 12}, ""},
            {kSetpointHighEdit, kEdit, {270, 90, 35, 12}, ""},
            {kDeadbandLabel, kLabel, {175, 105, 55, 8}, "ｱﾗｰﾑ不感帯"},
            {kDeadbandLowEdit, kEdit, {230, 105, 35, 12}, ""},
            {kDeadbandHighEdit, kEdit, {270, 105, 35, 12}, ""},
            {kAlarmOutputLabel, kLabel, {175, 121, 55, 8}, "ｱﾗｰﾑ出力"},
            {kOutputLowBox, kCheck, {245, 120, 10, 10}, ""},
            {kOutputHighBox, kCheck, {285, 120, 10, 10}, ""},
            {kAlarmNodeLabel, kLabel, {175, 135, 55, 8}, "ｱﾗｰﾑﾉｰﾄﾞ"},
            {kOutputNodeLowEdit, kEdit, {230, 135, 35, 12}, ""},
            {kOutputNodeHighEdit, kEdit, {270, 135, 35, 12}, ""},
            {kAlarmChannelLabel, kLabel, {175, 151, 55, 8}, "ｱﾗｰﾑﾁｬﾝﾈﾙ"},
            {kOutputChannelLowEdit, kEdit, {230, 150, 35, 12}, ""},
            {kOutputChannelHighEdit, kEdit, {270, 150, 35, 12}, ""},
            {kNormalColourLabel, kLabel, {175, 165, 55, 8}, "正常色"},
            {kLowNormalButton, kButton, {245, 165, 25, 10}, "変更"},
            {kHighNormalButton, kButton, {285, 165, 25, 10}, "変更"},
            {kAlarmColourLabel, kLabel, {175, 181, 55, 8}, "ｱﾗｰﾑ色"},
            {kLowAlarmButton, kButton, {245, 180, 25, 10}, "変更"},
            {kHighAlarmButton, kButton, {285, 180, 25, 10}, "変更"},
            {kDecimalPlacesLabel, kLabel, {175, 195, 55, 8}, "小数点位置"},
            {kDecimalPlacesList, kList, {250, 195, 35, 60}, ""},
            {kLogLabel, kLabel, {175, 195, 55, 8}, "通常／対数", kHidden},
            {kNormalRadio, kRadio, {230, 195, 35, 8}, "通常", kFirst | kHidden},
            {kLogRadio, kRadio, {270, 195, 35, 8}, "対数", kHidden},
            {kLogDecadesLabel, kLabel, {175, 200, 55, 8}, "指数桁", kHidden},
            {kLogDecadesList, kList, {250, 200, 35, 60}, "", kHidden},
            {kLogExponentLabel, kLabel, {170, 200, 60, 8}, "対数ﾌﾟﾛｯﾄ範囲", kHidden},
            {kLogExponentEdit, kEdit, {250, 200, 35, 12}, "", kHidden},

            {kOffHeading, kLabel, {230, 15, 35, 8}, "ｵﾌ時"},
            {kOnHeading, kLabel, {270, 15, 35, 8}, "ｵﾝ時"},
            {kDisplayNameLabel, kLabel, {175, 25, 55, 8}, "表示名"},
            {kOffNameEdit, kEdit, {230, 25, 35, 12}, ""},
            {kOnNameEdit, kEdit, {270, 25, 35, 12}, ""},
            {kDiscreteAlarmLabel, kLabel, {175, 40, 55, 8}, "ｱﾗｰﾑ出力"},
            {kOffAlarmBox, kCheck, {245, 40, 10, 10}, ""},
            {kOnAlarmBox, kCheck, {285, 40, 10, 10}, ""},
            {kDelayLabel, kLabel, {175, 55, 55, 8}, "ｱﾗｰﾑ遅延時間"},
            {kOffDelayEdit, kEdit, {230, 55, 35, 12}, ""},
            {kOnDelayEdit, kEdit, {270, 55, 35, 12}, ""},
            {kDiscreteNodeLabel, kLabel, {175, 70, 55, 8}, "ｱﾗｰﾑﾉｰﾄﾞ"},
            {kOffNodeEdit, kEdit, {230, 70, 35, 12}, ""},
            {kOnNodeEdit, kEdit, {270, 70, 35, 12}, ""},
            {kDiscreteChannelLabel, kLabel, {175, 85, 55, 8}, "ｱﾗｰﾑﾁｬﾝﾈﾙ"},
            {kOffChannelEdit, kEdit, {230, 85, 35, 12}, ""},
            {kOnChannelEdit, kEdit, {270, 85, 35, 12}, ""},
            {kDiscreteNormalLabel, kLabel, {175, 100, 55, 8}, "正常色"},
            {kOffNormalButton, kButton, {245, 100, 25, 10}, "変更"},
            {kOnNormalButton, kButton, {285, 100, 25, 10}, "変更"},
            {kDiscreteAlarmColourLabel, kLabel, {175, 115, 55, 8}, "ｱﾗｰﾑ色"},
            {kOffAlarmButton, kButton, {245, 115, 25, 10}, "変更"},
            {kOnAlarmButton, kButton, {285, 115, 25, 10}, "変更"},
        },
    };
    return dialogTemplate;
}

}  // namespace kvt
