#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "platform/Dialog.h"
#include "platform/EditLimit.h"
#include "support/QtTestApplication.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ToolkitDialogs.h"

namespace kvt {
namespace {

enum : int {
    kPeriodEdit = 1016,
    kKeepBox = 1030,
    kModeDemo = 1002,
    kModeHigh = 1003,
    kModeNormal = 1004,
    kPortCom1 = 1019,
    kPortTcp = 1020,
    kDeviceList = 1046,
    kHistoryList = 1092,
    kApply = 1000,
    kHiddenLabel = 1018,
};

const DialogTemplate& testLayout() {
    static const DialogTemplate layout{
        130,
        "基本設定項目",
        190,
        155,
        {
            {1005, ControlKind::GroupBox, {5, 5, 85, 35}, "動作ﾓｰﾄﾞ"},
            {kModeDemo, ControlKind::RadioButton, {10, 15, 75, 8}, "Demo", kFirstInGroup},
            {kModeHigh, ControlKind::RadioButton, {10, 25, 75, 8}, "High", kStartHidden},
            {kModeNormal, ControlKind::RadioButton, {10, 25, 75, 8}, "Normal"},
            {kPortCom1, ControlKind::RadioButton, {105, 45, 40, 8}, "COM1", kFirstInGroup},
            {kPortTcp, ControlKind::RadioButton, {105, 55, 40, 8}, "TCP/IP"},
            {kPeriodEdit, ControlKind::Edit, {105, 15, 30, 10}, "", kCentred},
            {kHiddenLabel, ControlKind::Label, {140, 15, 30, 10}, "日", kStartHidden},
            {kKeepBox, ControlKind::CheckBox, {175, 20, 42, 8}, "Group 1"},
            {kDeviceList, ControlKind::ComboBox, {35, 20, 45, 60}, ""},
            {kHistoryList, ControlKind::ListBox, {5, 90, 160, 40}, "", kNoSelection},
            {kNoControlId, ControlKind::Label, {120, 105, 5, 10}, "."},
            {1, ControlKind::DefaultButton, {5, 135, 50, 15}, "OK"},
            {2, ControlKind::PushButton, {70, 135, 50, 15}, "Cancel"},
            {kApply, ControlKind::PushButton, {135, 135, 50, 15}, "Apply"},
        },
        "Basic setting",
        {{1005, "Operating Mode"}, {kHiddenLabel, "days"}, {2, "Cancel"}},
    };
    return layout;
}

// A dialog in the style of the settings dialogs: a three-digit filter on
// the edit, a range check on OK and Apply, handlers that count.
class TestDialog final : public Dialog {
public:
    TestDialog() : Dialog(testLayout()) {}

    int initCalls = 0;
    int modeClicks = 0;
    int keepClicks = 0;
    int selectionChanges = 0;
    int textChanges = 0;
    int applied = 0;

protected:
    bool onInitDialog() override {
        ++initCalls;
        setText(kPeriodEdit, "999");
        setRadioIndex(kModeDemo, 2);
        addItem(kDeviceList, "MOD-15");
        addItem(kDeviceList, "MOD-01");
        setSelection(kDeviceList, 0);
        return true;
    }
    void onCommand(int id) override {
        if (id == kModeDemo || id == kModeNormal) ++modeClicks;
        if (id == kKeepBox) ++keepClicks;
        if (id == kApply) apply();
        Dialog::onCommand(id);
    }
    void onTextChanged(int id) override {
        ++textChanges;
        std::string digits;
        for (char c : text(id)) {
            if (c >= '0' && c <= '9' && digits.size() < 3) digits += c;
        }
        setText(id, digits);
    }
    void onSelectionChanged(int) override { ++selectionChanges; }
    void onOk() override {
        if (apply() == 0) endDialog(IDOK);
    }

private:
    int apply() {
        int days = text(kPeriodEdit).empty() ? 0 : std::stoi(text(kPeriodEdit));
        if (days < 1 || days > 999) {
            messageBox("Available to use from 1 to 999.");
            return 1;
        }
        ++applied;
        return 0;
    }
};

TEST(DialogControls, TemplateBuildsEveryControlById) {
    TestDialog dialog;
    dialog.initialise();
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(dialog.title(), "基本設定項目");
    EXPECT_EQ(dialog.controls().size(), testLayout().controls.size());
    EXPECT_EQ(dialog.text(1005), "動作ﾓｰﾄﾞ");
    EXPECT_EQ(dialog.text(kPeriodEdit), "999");
    EXPECT_FALSE(dialog.isVisible(kModeHigh));
    EXPECT_FALSE(dialog.isVisible(kHiddenLabel));
    EXPECT_TRUE(dialog.isVisible(kModeNormal));
    EXPECT_EQ(dialog.control(kNoControlId), nullptr);
    EXPECT_EQ(dialog.control(4711), nullptr);
    EXPECT_EQ(dialog.text(4711), "");
    EXPECT_EQ(dialog.itemCount(kDeviceList), 2);
    EXPECT_EQ(dialog.item(kDeviceList, 1), "MOD-01");
    EXPECT_EQ(dialog.item(kDeviceList, 2), "");
}

TEST(DialogControls, RadioGroupsAreExclusiveWithinTheirGroupOnly) {
    TestDialog dialog;
    dialog.initialise();
    EXPECT_EQ(dialog.radioIndex(kModeDemo), 2);
    EXPECT_EQ(dialog.radioIndex(kPortCom1), -1);
    dialog.click(kPortTcp);
    EXPECT_EQ(dialog.radioIndex(kPortCom1), 1);
    EXPECT_EQ(dialog.radioIndex(kModeDemo), 2);  // the other group is untouched
    dialog.click(kModeDemo);
    EXPECT_EQ(dialog.radioIndex(kModeDemo), 0);
    EXPECT_EQ(dialog.checked(kModeNormal), 0);
    EXPECT_EQ(dialog.modeClicks, 1);
    dialog.setRadioIndex(kModeDemo, -1);
    EXPECT_EQ(dialog.radioIndex(kModeDemo), -1);
}

TEST(DialogControls, ClicksRunHandlersOnlyOnEnabledVisibleControls) {
    TestDialog dialog;
    dialog.initialise();
    dialog.click(kKeepBox);
    EXPECT_EQ(dialog.checked(kKeepBox), 1);
    dialog.click(kKeepBox);
    EXPECT_EQ(dialog.checked(kKeepBox), 0);
    EXPECT_EQ(dialog.keepClicks, 2);

    dialog.enable(kKeepBox, false);
    dialog.click(kKeepBox);
    EXPECT_EQ(dialog.checked(kKeepBox), 0);
    EXPECT_EQ(dialog.keepClicks, 2);

    dialog.click(kModeHigh);  // hidden
    EXPECT_EQ(dialog.radioIndex(kModeDemo), 2);
    dialog.typeText(kHiddenLabel, "x");  // not an edit
    EXPECT_EQ(dialog.text(kHiddenLabel), "日");
}

TEST(DialogControls, TextFilterRunsOnEveryKeystroke) {
    TestDialog dialog;
    dialog.initialise();
    dialog.typeText(kPeriodEdit, "");
    dialog.typeCharacters(kPeriodEdit, "1234");
    EXPECT_EQ(dialog.text(kPeriodEdit), "123");
    dialog.typeText(kPeriodEdit, "");
    dialog.typeCharacters(kPeriodEdit, "12a");
    EXPECT_EQ(dialog.text(kPeriodEdit), "12");
    dialog.typeText(kPeriodEdit, "1é5");  // multi-byte characters count as one keystroke
    EXPECT_EQ(dialog.text(kPeriodEdit), "15");
    // The program's own setText never calls the handler back.
    int before = dialog.textChanges;
    dialog.setText(kPeriodEdit, "abc");
    EXPECT_EQ(dialog.textChanges, before);
    EXPECT_EQ(dialog.text(kPeriodEdit), "abc");
}

TEST(DialogControls, EnglishCaptionsReplaceTheTemplatesOnRequest) {
    TestDialog dialog;
    dialog.initialise();
    EXPECT_EQ(dialog.title(), "基本設定項目");
    dialog.applyEnglishCaptions();
    EXPECT_EQ(dialog.title(), "Basic setting");
    EXPECT_EQ(dialog.text(1005), "Operating Mode");
    EXPECT_EQ(dialog.text(kHiddenLabel), "days");
    EXPECT_EQ(dialog.text(kModeNormal), "Normal");  // not in the English table: kept
}

// A limited edit keeps what was there and cuts what the change inserted,
// counting Shift-JIS bytes: two per kanji, one per half-width katakana.
TEST(DialogControls, TextLimitCutsTheInsertedPartInShiftJisBytes) {
    struct Case {
        const char* before;
        const char* typed;  // whole text after the change
        int limit;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", "abcd", 4, "abcd"},
        {"abcd", "abcde", 4, "abcd"},          // typed at the end when full
        {"abcd", "abXcd", 4, "abcd"},          // typed in the middle when full
        {"abcd", "abXYZcd", 5, "abXcd"},       // pasted in the middle, cut to fit
        {"", "漢字ｶﾅ", 5, "漢字ｶ"},            // 2 + 2 + 1 bytes
        {"", "漢字漢", 5, "漢字"},             // a kanji never goes in half
        {"abcd", "aXd", 3, "aXd"},             // replacing a selection fits
        {"abc", "abcdef", 0, "abcdef"},        // no limit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(limitInsertedText(c.before, c.typed, c.limit), c.expected)
            << c.before << " -> " << c.typed;
    }
    TestDialog dialog;
    dialog.initialise();
    dialog.setTextLimit(kPeriodEdit, 2);
    EXPECT_EQ(dialog.textLimit(kPeriodEdit), 2);
    dialog.typeText(kPeriodEdit, "");
    dialog.pasteText(kPeriodEdit, "4567");
    EXPECT_EQ(dialog.text(kPeriodEdit), "45");
    dialog.setText(kPeriodEdit, "1234");  // the program's own text is not cut
    EXPECT_EQ(dialog.text(kPeriodEdit), "1234");
    dialog.setTextLimit(1005, 3);  // not an edit
    EXPECT_EQ(dialog.textLimit(1005), 0);
}

TEST(DialogControls, SelectionChangesRunTheHandler) {
    TestDialog dialog;
    dialog.initialise();
    dialog.chooseItem(kDeviceList, 1);
    EXPECT_EQ(dialog.selection(kDeviceList), 1);
    EXPECT_EQ(dialog.selectionChanges, 1);
    dialog.chooseItem(kDeviceList, 5);  // no such item
    EXPECT_EQ(dialog.selection(kDeviceList), 1);
    EXPECT_EQ(dialog.selectionChanges, 1);

    dialog.addItem(kHistoryList, "2006/03/07 13:05:42 02 03 Upper alarm");
    dialog.chooseItem(kHistoryList, 0);  // a list without selection
    EXPECT_EQ(dialog.selection(kHistoryList), -1);
    dialog.clearItems(kDeviceList);
    EXPECT_EQ(dialog.itemCount(kDeviceList), 0);
    EXPECT_EQ(dialog.selection(kDeviceList), -1);
}

TEST(DialogResults, OkValidatesAndStaysOpenOnRejection) {
    test::ScriptedMessageBoxes boxes;
    TestDialog dialog;
    dialog.initialise();
    dialog.typeText(kPeriodEdit, "0");
    dialog.click(1);
    EXPECT_FALSE(dialog.ended());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Available to use from 1 to 999.");
    dialog.typeText(kPeriodEdit, "30");
    dialog.pressEnter();  // the default button
    EXPECT_TRUE(dialog.ended());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.applied, 1);
    dialog.click(kApply);  // an ended dialog takes no more input
    EXPECT_EQ(dialog.applied, 1);
}

TEST(DialogResults, CancelAndEscapeEndWithCancel) {
    TestDialog cancelled;
    cancelled.initialise();
    cancelled.click(kApply);
    cancelled.click(2);
    EXPECT_TRUE(cancelled.ended());
    EXPECT_EQ(cancelled.result(), IDCANCEL);
    EXPECT_EQ(cancelled.applied, 1);

    TestDialog escaped;
    escaped.initialise();
    escaped.pressEscape();
    EXPECT_EQ(escaped.result(), IDCANCEL);
}

TEST(DialogResults, DoModalRunsThroughTheInstalledHost) {
    {
        test::ScriptedDialogHost host;
        host.then([](Dialog& dialog) {
            dialog.typeText(kPeriodEdit, "45");
            dialog.click(1);
        });
        TestDialog dialog;
        EXPECT_EQ(dialog.doModal(), IDOK);
        EXPECT_EQ(dialog.text(kPeriodEdit), "45");
        TestDialog unattended;  // no script: cancelled
        EXPECT_EQ(unattended.doModal(), IDCANCEL);
        ASSERT_EQ(host.titles.size(), 2u);
        EXPECT_EQ(host.titles[0], "基本設定項目");
    }
    TestDialog withoutHost;
    EXPECT_EQ(withoutHost.doModal(), IDCANCEL);
    EXPECT_EQ(withoutHost.initCalls, 1);
}

TEST(DialogLayout, DialogUnitsBecomePixelsForTheNinePointFont) {
    TestDialog dialog;
    dialog.initialise();
    EXPECT_EQ(dialog.pixelWidth(), 332);  // 190 x 155 units at 7/4 and 13/8 pixels
    EXPECT_EQ(dialog.pixelHeight(), 251);
    DialogRect ok = dialog.pixelPlace(1);
    EXPECT_EQ(ok.x, 8);
    EXPECT_EQ(ok.y, 219);
    EXPECT_EQ(ok.width, 87);
    EXPECT_EQ(ok.height, 24);
    dialog.setPixelSize(640, 420);
    dialog.setPixelPlace(1, {20, 360, 95, 20});
    EXPECT_EQ(dialog.pixelWidth(), 640);
    EXPECT_EQ(dialog.pixelPlace(1).y, 360);
}

// The base units follow the dialog font as dialog templates are laid out
// on the desktop they come from: a quarter of the average letter width and
// an eighth of the line height.
TEST(DialogLayout, BaseUnitsAreThoseOfTheDialogFont) {
    test::ensureQtApplication();
    QFont font(QString::fromLatin1(kDialogFontFamily));
    font.setPixelSize(kDialogFontPixelSize);
    QFontMetrics metrics(font);
    int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(kDialogBaseUnitX, (alphabet / 26 + 1) / 2);
    EXPECT_EQ(kDialogBaseUnitY, metrics.height());
}

// The toolkit host end to end: keystrokes reach the filter, the widgets
// show the filtered text, a click on OK ends the run.
TEST(QtDialogHostTest, KeystrokesAndClicksReachTheDialog) {
    TestDialog dialog;
    std::string shownText;
    bool highRadioHidden = false;
    int result = test::runInToolkit(dialog, [&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("基本設定項目"));
        auto* edit = window->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        for (const char* key : {"4", "x", "2", "7", "5"}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(key));
            QCoreApplication::sendEvent(edit, &press);
        }
        shownText = edit->text().toStdString();
        for (auto* radio : window->findChildren<QRadioButton*>()) {
            if (radio->text() == QStringLiteral("High")) highRadioHidden = radio->isHidden();
        }
        for (auto* button : window->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("OK")) button->click();
        }
    });
    EXPECT_EQ(shownText, "427");
    EXPECT_EQ(dialog.text(kPeriodEdit), "427");
    EXPECT_TRUE(highRadioHidden);
    EXPECT_EQ(result, IDOK);
}

void sendKey(QWidget* target, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

// Pasted text goes through the same filter as typed text; Tab walks the
// controls in template order; Enter in an edit presses the default button,
// whose validation keeps the dialog open; Escape cancels.
TEST(QtDialogHostTest, PasteTabEnterAndEscapeActAsOnTheDesktop) {
    test::ScriptedMessageBoxes boxes;
    TestDialog dialog;
    std::string pasted;
    std::vector<std::string> tabOrder;
    bool openAfterEnter = false;
    int result = test::runInToolkit(dialog, [&](QWidget* window) {
        auto* edit = window->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("4x5y67"));
        edit->paste();
        pasted = edit->text().toStdString();

        // Every tab stop after the edit, until the chain comes back to it.
        for (QWidget* at = edit->nextInFocusChain(); at != edit; at = at->nextInFocusChain()) {
            if (!(at->focusPolicy() & Qt::TabFocus) || at->isHidden()) continue;
            tabOrder.push_back(at->metaObject()->className());
        }
        edit->selectAll();
        edit->insert(QStringLiteral("0"));
        sendKey(edit, Qt::Key_Return);  // OK refuses a period of 0
        openAfterEnter = window->isVisible();
        sendKey(window, Qt::Key_Escape);
    });
    EXPECT_EQ(pasted, "456");
    EXPECT_EQ(dialog.text(kPeriodEdit), "0");
    EXPECT_TRUE(openAfterEnter);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Available to use from 1 to 999.");
    EXPECT_EQ(result, IDCANCEL);
    // The template order after the edit, round to the radio buttons before it.
    EXPECT_EQ(tabOrder, (std::vector<std::string>{"QCheckBox", "QComboBox", "QListWidget",
                                                  "QPushButton", "QPushButton", "QPushButton",
                                                  "QRadioButton", "QRadioButton", "QRadioButton",
                                                  "QRadioButton"}));
}

// A caption too wide for its place is set in a smaller size; the size
// follows the caption when the program changes it, and stays while other
// controls change.
TEST(QtDialogHostTest, WideCaptionsShrinkAndGrowBackWithTheirText) {
    TestDialog dialog;
    std::vector<int> sizes;  // the box's caption size after each step
    test::runInToolkit(dialog, [&](QWidget* window) {
        QWidget* box = window->findChild<QWidget*>(QString::number(kKeepBox));
        auto* edit = window->findChild<QLineEdit*>();
        ASSERT_NE(box, nullptr);
        ASSERT_NE(edit, nullptr);
        auto keystroke = [&] {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("1"));
            QCoreApplication::sendEvent(edit, &press);
            sizes.push_back(box->font().pixelSize());
        };
        sizes.push_back(box->font().pixelSize());
        dialog.setText(kKeepBox, "Group 1 to 3");
        keystroke();
        keystroke();
        dialog.setText(kKeepBox, "Group 1");
        keystroke();
        window->close();
    });
    ASSERT_EQ(sizes.size(), 4u);
    EXPECT_EQ(sizes[0], kDialogFontPixelSize);
    EXPECT_LT(sizes[1], kDialogFontPixelSize);
    EXPECT_EQ(sizes[2], sizes[1]);
    EXPECT_EQ(sizes[3], kDialogFontPixelSize);
}

// A dialog opens centred over the window it belongs to and wholly on the
// screen, even when that window hangs over the screen's edge.
TEST(QtDialogHostTest, DialogSitsOverItsOwnerOnTheScreen) {
    test::ensureQtApplication();
    QWidget owner;
    owner.setGeometry(-1, -1, 802, 602);
    owner.show();
    QRect area = owner.screen()->availableGeometry();
    TestDialog dialog;
    QRect placed;
    QSize client;
    test::runInToolkit(dialog, [&](QWidget* window) {
        placed = window->frameGeometry();
        client = window->size();
        window->close();
    });
    EXPECT_EQ(client, QSize(332, 251));
    EXPECT_TRUE(area.contains(placed)) << placed.x() << "," << placed.y();
    QPoint ownerCentre = owner.frameGeometry().center();
    EXPECT_LE(std::abs(placed.center().x() - ownerCentre.x()), 4);
    EXPECT_LE(std::abs(placed.center().y() - ownerCentre.y()), 4);

    owner.move(area.right() - 100, area.bottom() - 50);  // mostly off screen
    test::runInToolkit(dialog, [&](QWidget* window) {
        placed = window->frameGeometry();
        window->close();
    });
    EXPECT_TRUE(area.contains(placed)) << placed.x() << "," << placed.y();
}

}  // namespace
}  // namespace kvt
