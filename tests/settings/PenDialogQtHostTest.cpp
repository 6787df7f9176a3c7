#include <QImage>
#include <QWidget>
#include <cstdlib>

#include "PenDialogFixture.h"
#include "support/ToolkitDialogs.h"

namespace kvt::test {
namespace {

struct Caption {
    int id;
    const char* japanese;
    const char* english;
};

// Every captioned control of the dialog in both languages.
const Caption kCaptions[] = {
    {kPreviousGroup, "<<", "<<"}, {kNextGroup, ">>", ">>"}, {kPreviousPen, "<", "<"},
    {kNextPen, ">", ">"}, {kGroupLabel, "ｸﾞﾙｰﾌﾟ 1", "Group 1"}, {kPenLabel, "ﾍﾟﾝ 1", "Pen 1"},
    {kCommonBox, "共通情報", "Common information"}, {kEnabledLabel, "無効／有効", "Enable/Disable"},
    {kDisabledRadio, "無効", "Disable"}, {kEnabledRadio, "有効", "Enable"},
    {kShownLabel, "表示／非表示", "Graph"}, {kHiddenRadio, "非表示", "No"},
    {kShownRadio, "表示", "Yes"}, {kKindLabel, "ｱﾅﾛｸﾞ／ﾃﾞｼﾞﾀﾙ", "Analog/Discrete"},
    {kAnalogRadio, "ｱﾅﾛｸﾞ", "Analog"}, {kDiscreteRadio, "ﾃﾞｼﾞﾀﾙ", "Discrete"},
    {kTagLabel, "ﾀｸﾞ名称", "Tag"}, {kUnitLabel, "工業単位", "Unit"},
    {kNodeLabel, "ﾉｰﾄﾞ番号", "Node number"}, {kChannelLabel, "ﾁｬﾝﾈﾙ番号", "Channel number"},
    {kColourLabel, "表示色", "Color"}, {kPenColourButton, "変更", "Change"},
    {kThickLabel, "太線", "Thick line"}, {kFunctionBox, "演算機能", "Function"},
    {kSquareRootLabel, "開平", "Square root"}, {kMovingAverageLabel, "移動平均", "Moving average"},
    {kOk, "OK", "OK"}, {kCancel, "ｷｬﾝｾﾙ", "Cancel"}, {kApply, "適用", "Apply"},
    {kDetailBox, "詳細情報", "Detail information"},
    {kAnalogTypeLabel, "ｱﾅﾛｸﾞﾀｲﾌﾟ", "Analog type"}, {kLowerHeading, "下限", "Lower"},
    {kUpperHeading, "上限", "Upper"}, {kInputLabel, "入力ﾚﾝｼﾞ", "Input range"},
    {kScaleLabel, "ｽｹｰﾙ", "Eng. range"}, {kPlotLabel, "ﾌﾟﾛｯﾄ範囲", "Plot range"},
    {kSetpointLabel, "ｱﾗｰﾑﾘﾐｯﾄ値", "Alarm setpoint"}, {kDeadbandLabel, "ｱﾗｰﾑ不感帯", "Alarm deadband"},
    {kAlarmOutputLabel, "ｱﾗｰﾑ出力", "Alarm output"}, {kAlarmNodeLabel, "ｱﾗｰﾑﾉｰﾄﾞ", "Alarm node"},
    {kAlarmChannelLabel, "ｱﾗｰﾑﾁｬﾝﾈﾙ", "Alarm channel"}, {kNormalColourLabel, "正常色", "Normal color"},
    {kLowNormalButton, "変更", "Change"}, {kHighNormalButton, "変更", "Change"},
    {kAlarmColourLabel, "ｱﾗｰﾑ色", "Alarm color"}, {kLowAlarmButton, "変更", "Change"},
    {kHighAlarmButton, "変更", "Change"}, {kDecimalPlacesLabel, "小数点位置", "Decimal point"},
    {kLogLabel, "通常／対数", "Normal/Log"}, {kNormalRadio, "通常", "Normal"},
    {kLogRadio, "対数", "Log"}, {kLogDecadesLabel, "指数桁", "Exp. scale"},
    {kLogExponentLabel, "対数ﾌﾟﾛｯﾄ範囲", "Log. plot position"},
    {kOffHeading, "ｵﾌ時", "Logic 0"}, {kOnHeading, "ｵﾝ時", "Logic 1"},
    {kDisplayNameLabel, "表示名", "Description"}, {kDiscreteAlarmLabel, "ｱﾗｰﾑ出力", "Alarm output"},
    {kDelayLabel, "ｱﾗｰﾑ遅延時間", "Alarm delay(sec)"}, {kDiscreteNodeLabel, "ｱﾗｰﾑﾉｰﾄﾞ", "Alarm node"},
    {kDiscreteChannelLabel, "ｱﾗｰﾑﾁｬﾝﾈﾙ", "Alarm channel"},
    {kDiscreteNormalLabel, "正常色", "Normal color"}, {kOffNormalButton, "変更", "Change"},
    {kOnNormalButton, "変更", "Change"}, {kDiscreteAlarmColourLabel, "ｱﾗｰﾑ色", "Alarm color"},
    {kOffAlarmButton, "変更", "Change"}, {kOnAlarmButton, "変更", "Change"},
};

// Controls shown for each kind of pen; every other control is hidden.
const int kShownForBoth[] = {kPreviousGroup, kNextGroup, kPreviousPen, kNextPen, kGroupLabel,
                             kPenLabel, kCommonBox, kEnabledLabel, kDisabledRadio, kEnabledRadio,
                             kShownLabel, kHiddenRadio, kShownRadio, kKindLabel, kAnalogRadio,
                             kDiscreteRadio, kTagLabel, kTagEdit, kUnitLabel, kUnitEdit,
                             kNodeLabel, kNodeEdit, kChannelLabel, kChannelEdit, kColourLabel,
                             kPenColourButton, kThickLabel, kThickBox, kOk, kCancel, kApply,
                             kDetailBox};

bool shownForKind(int id, bool discrete) {
    for (int both : kShownForBoth) {
        if (both == id) return true;
    }
    if (discrete) return id >= kOffHeading && id <= kOnChannelEdit;
    return id == kAnalogTypeLabel || id == kLowerHeading ||
           (id >= kUpperHeading && id <= kDecimalPlacesList && id != kLogLabel &&
            id != kLogDecadesLabel && id != kLogExponentLabel && id != kNormalRadio &&
            id != kLogRadio && id != kLogDecadesList && id != kLogExponentEdit);
}

// The off-screen surface may keep fewer bits per channel than a colour has.
::testing::AssertionResult nearColour(const QImage& shot, int x, int y, Colour expected) {
    QColor pixel = shot.pixelColor(x, y);
    if (std::abs(pixel.red() - redOf(expected)) <= 8 &&
        std::abs(pixel.green() - greenOf(expected)) <= 8 &&
        std::abs(pixel.blue() - blueOf(expected)) <= 8) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                         << pixel.name().toStdString();
}

class PenDialogQtHostTest : public PenDialogTest {};

TEST_F(PenDialogQtHostTest, EveryControlShowsItsCaptionInBothLanguagesForBothKinds) {
    for (int language : {0, 1}) {
        for (bool discrete : {false, true}) {
            SCOPED_TRACE(testing::Message() << "language " << language << " discrete " << discrete);
            languageFlag = language;
            live(1, 0).isDiscrete = discrete ? 1 : 0;
            PenSettingDialog pens(1);
            ShownDialog shown = showInToolkit(pens);
            EXPECT_EQ(shown.title, language ? "Pen setting" : "ﾍﾟﾝ設定");
            for (const Caption& caption : kCaptions) {
                EXPECT_EQ(shown.controls[caption.id].text,
                          language ? caption.english : caption.japanese)
                    << caption.id;
            }
            ASSERT_EQ(shown.controls.size(), PenSettingDialog::layout().controls.size());
            for (const auto& [id, control] : shown.controls) {
                EXPECT_EQ(control.visible, shownForKind(id, discrete)) << id;
                EXPECT_EQ(control.enabled, pens.isEnabled(id)) << id;
            }
            EXPECT_EQ(shown.controls[kTagEdit].text, "Group1 Pen1");
            EXPECT_EQ(shown.controls[kAnalogTypeList].itemCount, discrete ? 0 : 15);
            EXPECT_EQ(shown.controls[kAnalogTypeList].text, discrete ? "" : "I");
            EXPECT_EQ(shown.controls[kDecimalPlacesList].text, discrete ? "" : "2");
        }
    }
}

// The swatches as the toolkit paints them: the trend colour, and the lower
// alarm colour left of its button.
TEST_F(PenDialogQtHostTest, SwatchesArePaintedInThePensColours) {
    live(1, 0).lowAlarmColour = rgb(200, 0, 100);
    for (bool discrete : {false, true}) {
        live(1, 0).isDiscrete = discrete ? 1 : 0;
        PenSettingDialog pens(1);
        runInToolkit(pens, [&](QWidget* window) {
            QImage shot = window->grab().toImage();
            DialogRect penButton = pens.pixelPlace(kPenColourButton);
            EXPECT_TRUE(nearColour(shot, penButton.x - 27, penButton.y + 5, rgb(0, 0, 255)));
            EXPECT_TRUE(nearColour(shot, penButton.x - 47, penButton.y + 5, rgb(0, 0, 0)));
            DialogRect alarm = pens.pixelPlace(discrete ? kOffAlarmButton : kLowAlarmButton);
            EXPECT_TRUE(nearColour(shot, alarm.x - 15, alarm.y + 5, rgb(200, 0, 100)));
            EXPECT_TRUE(nearColour(shot, alarm.x - 27, alarm.y + 5, rgb(0, 0, 0)));
            window->close();
        });
    }
}

}  // namespace
}  // namespace kvt::test
