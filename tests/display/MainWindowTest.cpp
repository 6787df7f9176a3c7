#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <cstring>
#include <string>
#include <vector>

#include "app/RuntimeState.h"
#include "app/WorkerThreads.h"
#include "acquisition/NodeHealth.h"
#include "core/ConfigurationRecord.h"
#include "core/RunFlags.h"
#include "core/SettingsFile.h"
#include "display/AboutDialog.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/MainWindow.h"
#include "platform/Paths.h"
#include "platform/QtDialogHost.h"
#include "platform/WindowCommands.h"
#include "recording/PlaybackPanes.h"
#include "support/Eventually.h"
#include "support/FakeClock.h"
#include "support/QtTestApplication.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

// Image coordinates of the buttons used below.
constexpr int kExitX = 790, kSmallY = 10;
constexpr int kNextGroupX = 750;
constexpr int kStartX = 440, kCommandY = 30;
constexpr int kSettingX = 760;
constexpr int kAlarmHistoryX = 600;
constexpr int kRetrieveX = 680;  // "Record" in playback
constexpr int kDateTimeX = 360;

int workerStarts = 0;
int workerStops = 0;
void countStart() { ++workerStarts; }
void countStop() { ++workerStops; }

void drainCommands() {
    while (takeWindowCommand() != 0) {
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureQtApplication();
        languageFlag = 1;
        fake.clock.setLocal(2026, 3, 1, 9, 30, 0);
        loadSettings();
        liveConfiguration.operatingMode = kNormalMode;
        initialiseRuntimeState();
        drainCommands();
        workerStarts = 0;
        workerStops = 0;
    }
    void TearDown() override {
        languageFlag = 1;
        initialiseRuntimeState();
        drainCommands();
    }

    static MainWindow::WorkerControl stubWorkers() { return {countStart, countStop}; }
    static void press(MainWindow& window, int imageX, int imageY) {
        window.pressAt(imageX + 1, imageY + 1);
    }
    static void release(MainWindow& window, int imageX, int imageY) {
        window.releaseAt(imageX + 1, imageY + 1);
    }
    static void refresh(MainWindow& window) {
        postWindowCommand(kCommandRefresh);
        window.handlePendingCommands();
    }
    // The window surface at image coordinates.
    static Colour shown(const MainWindow& window, int imageX, int imageY) {
        return window.windowSurface().pixel(imageX + 1, imageY + 1);
    }

    test::TempHome home;
    test::ScopedFakeClock fake;
    test::ScriptedMessageBoxes boxes;
};

TEST_F(MainWindowTest, ExitWhileStoppedEndsWithoutAQuestion) {
    MainWindow window(stubWorkers());
    EXPECT_EQ(workerStarts, 1);
    long posted = postedWindowCommandCount(kCommandExit);
    press(window, kExitX, kSmallY);
    EXPECT_EQ(postedWindowCommandCount(kCommandExit), posted + 1);
    window.handlePendingCommands();
    EXPECT_TRUE(window.ended());
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(load(exitRequested), 1);
    EXPECT_EQ(workerStops, 1);
}

TEST_F(MainWindowTest, ExitWhileRunningAsksAndCancelKeepsItRunning) {
    MainWindow window(stubWorkers());
    store(acquisitionRequested, 1);
    boxes.answerNext(IDCANCEL);
    press(window, kExitX, kSmallY);
    window.handlePendingCommands();
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Are you sure you want to exit program?");
    EXPECT_EQ(boxes.buttons[0], kButtonsOkCancel);
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(load(exitRequested), 0);
    EXPECT_EQ(load(acquisitionRequested), 1);
    EXPECT_EQ(workerStops, 0);

    press(window, kExitX, kSmallY);
    window.handlePendingCommands();  // answered OK
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(load(exitRequested), 1);
    EXPECT_EQ(workerStops, 1);
}

TEST_F(MainWindowTest, ExitQuestionAlsoWhileOnlyActiveAndInJapanese) {
    languageFlag = 0;
    MainWindow window(stubWorkers());
    store(acquisitionActive, 1);
    boxes.answerNext(IDCANCEL);
    window.handleCommand(kCommandExit);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "終了してよろしいですか？");
    EXPECT_FALSE(window.ended());
}

TEST_F(MainWindowTest, StartIsCarriedOutAtTheNextRedraw) {
    MainWindow window(stubWorkers());
    press(window, kStartX, kCommandY);
    EXPECT_EQ(pendingUiRequest, kRequestStartStop);
    EXPECT_EQ(load(acquisitionRequested), 0);
    refresh(window);
    EXPECT_EQ(load(acquisitionRequested), 1);
    EXPECT_EQ(pendingUiRequest, kNoRequest);
}

TEST_F(MainWindowTest, StartOfTheCommandLineIsAPressOfStart) {
    MainWindow window(stubWorkers());
    window.pressStart();
    EXPECT_EQ(pendingUiRequest, kRequestStartStop);
    refresh(window);
    EXPECT_EQ(load(acquisitionRequested), 1);
}

TEST_F(MainWindowTest, StopWhileRunningAsksAndClearsTheRequestOnOk) {
    MainWindow window(stubWorkers());
    store(acquisitionRequested, 1);
    store(acquisitionActive, 1);
    boxes.answerNext(IDCANCEL);
    press(window, kStartX, kCommandY);
    refresh(window);  // posts the stop question
    window.handlePendingCommands();
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Are you sure you want to stop?");
    EXPECT_EQ(load(acquisitionRequested), 1);

    press(window, kStartX, kCommandY);
    refresh(window);
    window.handlePendingCommands();  // answered OK
    EXPECT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(load(acquisitionRequested), 0);
    EXPECT_EQ(load(acquisitionActive), 1);  // the acquisition thread stops the run
}

TEST_F(MainWindowTest, StartWhileAStartIsUnderWayDoesNothing) {
    MainWindow window(stubWorkers());
    store(acquisitionRequested, 1);
    long questions = postedWindowCommandCount(kCommandStopQuestion);
    press(window, kStartX, kCommandY);
    refresh(window);
    window.handlePendingCommands();
    EXPECT_EQ(postedWindowCommandCount(kCommandStopQuestion), questions);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(load(acquisitionRequested), 1);
}

TEST_F(MainWindowTest, FailureReportsShowTheirTextAndClearStartFailed) {
    MainWindow window(stubWorkers());
    store(startFailed, 1);
    postWindowCommand(kCommandSocketError);
    window.handlePendingCommands();
    EXPECT_EQ(load(startFailed), 0);

    store(startFailed, 1);
    store(failedNode, 26);
    postWindowCommand(kCommandNodeError);
    window.handlePendingCommands();
    EXPECT_EQ(load(startFailed), 0);

    languageFlag = 0;
    store(failedNode, 3);
    window.handleCommand(kCommandSocketError);
    window.handleCommand(kCommandNodeError);
    ASSERT_EQ(boxes.texts.size(), 4u);
    EXPECT_EQ(boxes.texts[0], "Socket connect error!");
    EXPECT_EQ(boxes.texts[1], "Node error [26]");
    EXPECT_EQ(boxes.texts[2], "ソケットコネクトエラー");
    EXPECT_EQ(boxes.texts[3], "ノードエラー [3]");
    EXPECT_EQ(boxes.buttons[1], kButtonsOk);
}

TEST_F(MainWindowTest, RefreshTakesTheWorkingConfigurationOverAndSavesIt) {
    MainWindow window(stubWorkers());
    EXPECT_EQ(displayMode, kLiveTrend);
    std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
    workingConfiguration.graphDirection = 2;
    workingConfiguration.operatingMode = kHighSpeedMode;
    workingConfiguration.storagePeriodDays = 45;

    refresh(window);  // nothing committed: nothing taken over
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 999);

    store(g_settingsChanged, 1);
    refresh(window);
    EXPECT_EQ(load(g_settingsChanged), 0);
    EXPECT_EQ(liveConfiguration.storagePeriodDays, 45);
    EXPECT_EQ(displayMode, kLiveWithPanel);  // horizontal graphs show the panel
    EXPECT_EQ(currentGroup, 0);              // high-speed mode shows group 0
    std::string saved = test::readFile(settingsFilePath());
    ASSERT_EQ(saved.size(), sizeof liveConfiguration);
    EXPECT_EQ(std::memcmp(saved.data(), &liveConfiguration, saved.size()), 0);

    workingConfiguration.operatingMode = kNormalMode;
    store(g_settingsChanged, 1);
    refresh(window);
    EXPECT_EQ(currentGroup, 1);  // normal mode never shows group 0
}

TEST_F(MainWindowTest, PressedLookIsDrawnOnTheWindowOnly) {
    MainWindow window(stubWorkers());
    refresh(window);
    EXPECT_EQ(shown(window, 740, 5), kWhite);  // raised left edge of ">>"
    uint32_t ticks = fake.clock.tickCount();
    press(window, kNextGroupX, kSmallY);
    EXPECT_EQ(shown(window, 740, 5), kDarkGrey);
    EXPECT_EQ(shown(window, 759, 5), kWhite);
    EXPECT_EQ(window.screenImage().pixel(740, 5), kWhite);
    EXPECT_GE(fake.clock.tickCount() - ticks, 100u);
    EXPECT_EQ(pendingUiRequest, kRequestNextGroup);
    refresh(window);
    EXPECT_EQ(shown(window, 740, 5), kWhite);
    EXPECT_EQ(pendingUiRequest, kNoRequest);
}

TEST_F(MainWindowTest, PendingRequestBlocksRequestButtonsButNotExitOrSetting) {
    MainWindow window(stubWorkers());
    refresh(window);
    pendingUiRequest = kRequestDigital;
    press(window, kNextGroupX, kSmallY);
    press(window, kStartX, kCommandY);
    EXPECT_EQ(shown(window, 740, 5), kWhite);
    EXPECT_EQ(shown(window, 400, 30), kWhite);
    EXPECT_EQ(pendingUiRequest, kRequestDigital);

    long settings = postedWindowCommandCount(kCommandSettings);
    press(window, kSettingX, kCommandY);
    EXPECT_EQ(shown(window, 720, 30), kDarkGrey);
    EXPECT_EQ(postedWindowCommandCount(kCommandSettings), settings + 1);
    long exits = postedWindowCommandCount(kCommandExit);
    press(window, kExitX, kSmallY);
    EXPECT_EQ(postedWindowCommandCount(kCommandExit), exits + 1);
}

TEST_F(MainWindowTest, AlarmHistoryButtonIsDeadInHighSpeedMode) {
    liveConfiguration.operatingMode = kHighSpeedMode;
    MainWindow window(stubWorkers());
    refresh(window);
    long opened = postedWindowCommandCount(kCommandAlarmHistory);
    press(window, kAlarmHistoryX, kCommandY);
    EXPECT_EQ(postedWindowCommandCount(kCommandAlarmHistory), opened);
    EXPECT_EQ(shown(window, 560, 30), kWhite);
    liveConfiguration.operatingMode = kNormalMode;
    press(window, kAlarmHistoryX, kCommandY);
    EXPECT_EQ(postedWindowCommandCount(kCommandAlarmHistory), opened + 1);
}

TEST_F(MainWindowTest, SettingAndAlarmHistoryOpenTheirDialogs) {
    test::ScriptedDialogHost host;
    std::string recordingGroup;
    host.then([](Dialog& menu) {
        menu.click(1032);  // "Store setting"
        menu.click(IDOK);
    });
    host.then([&](Dialog& recording) {
        recordingGroup = recording.text(1033);
        recording.pressEscape();
    });
    host.then([](Dialog& viewer) { viewer.pressEnter(); });
    MainWindow window(stubWorkers());
    currentGroup = 4;
    press(window, kSettingX, kCommandY);
    window.handlePendingCommands();
    long refreshes = postedWindowCommandCount(kCommandRefresh);
    press(window, kAlarmHistoryX, kCommandY);
    window.handlePendingCommands();
    EXPECT_EQ(host.titles,
              (std::vector<std::string>{"Setting menu", "Store setting", "Alarm History"}));
    EXPECT_EQ(recordingGroup, "Group 4");
    EXPECT_EQ(postedWindowCommandCount(kCommandRefresh), refreshes + 1);  // redrawn at once

    liveConfiguration.operatingMode = kHighSpeedMode;
    window.handleCommand(kCommandAlarmHistory);
    EXPECT_EQ(host.titles.size(), 3u);
}

// Playback through the window: a drag in the graph becomes a request for
// the next redraw, and "Date Time" opens its dialog only in playback.
TEST_F(MainWindowTest, PlaybackDragsAndTheDateTimeDialog) {
    test::ScriptedDialogHost host;
    std::string yearShown;
    host.then([&](Dialog& dialog) {
        yearShown = dialog.text(1016);
        dialog.pressEnter();
    });
    liveConfiguration.graphDirection = 0;
    liveConfiguration.group(1).storingCycle = kCycleHalfSecond;
    MainWindow window(stubWorkers());
    press(window, 400, 300);
    release(window, 400, 340);
    EXPECT_EQ(pendingUiRequest, kNoRequest) << "live: releases do nothing";
    window.handleCommand(kCommandDateTime);
    EXPECT_TRUE(host.titles.empty());

    press(window, kRetrieveX, kCommandY);
    refresh(window);
    ASSERT_EQ(displayMode, kPlaybackTrend);
    press(window, 400, 300);
    release(window, 400, 340);
    EXPECT_EQ(pendingUiRequest, 4040);
    press(window, 400, 300);
    release(window, 400, 200);
    EXPECT_EQ(pendingUiRequest, 4040) << "one request at a time";
    int64_t before = playbackPanes[0].referenceTime[1];
    refresh(window);
    EXPECT_EQ(playbackPanes[0].referenceTime[1], before + 20);  // 40 pixels at 0.5 s

    press(window, kDateTimeX, kCommandY);
    window.handlePendingCommands();
    EXPECT_EQ(host.titles, std::vector<std::string>{"Date time"});
    EXPECT_EQ(yearShown, "26");
}

// While a dialog runs modally the window still takes refreshes: a commit
// made there is taken over and the screen redrawn before the dialog ends.
TEST_F(MainWindowTest, RefreshesGoOnWhileADialogIsOpen) {
    QtDialogHost host;
    DialogHost* previous = installDialogHost(&host);
    MainWindow window(stubWorkers());
    window.show();
    bool takenOverWhileOpen = false;
    test::runInEventLoop([&] {
        QTimer::singleShot(0, [&] {
            QWidget* menu = QApplication::activeModalWidget();
            if (menu == nullptr) return;
            std::memcpy(&workingConfiguration, &liveConfiguration, sizeof workingConfiguration);
            workingConfiguration.storagePeriodDays = 33;
            store(g_settingsChanged, 1);
            postWindowCommand(kCommandRefresh);
            test::eventually([] {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                return load(g_settingsChanged) == 0;
            });
            takenOverWhileOpen = liveConfiguration.storagePeriodDays == 33 && menu->isVisible();
            menu->close();
        });
        window.handleCommand(kCommandSettings);
    });
    installDialogHost(previous);
    EXPECT_TRUE(takenOverWhileOpen);
}

TEST_F(MainWindowTest, EnterEscapeAndCloseDoNotEndTheWindow) {
    MainWindow window(stubWorkers());
    window.show();
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    }
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(load(exitRequested), 0);
}

TEST_F(MainWindowTest, PostedCommandsArriveThroughTheEventLoop) {
    MainWindow window(stubWorkers());
    postWindowCommand(kCommandRefresh);
    postWindowCommand(kCommandRefresh);
    postWindowCommand(kCommandSocketError);
    postWindowCommand(kCommandRefresh);
    for (int round = 0; round < 20 && boxes.texts.empty(); ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Socket connect error!");
    EXPECT_EQ(takeWindowCommand(), 0);  // all taken
}

TEST_F(MainWindowTest, SystemMenuOpensTheVersionBox) {
    test::ScriptedDialogHost host;
    std::string version;
    host.then([&](Dialog& dialog) {
        for (const Control& control : dialog.controls()) {
            if (control.kind == ControlKind::Label) version = control.text;
        }
        dialog.pressEnter();
    });
    MainWindow window(stubWorkers());
    window.handleSystemCommand(0xF060);  // another system command
    EXPECT_TRUE(host.titles.empty());
    window.handleSystemCommand(16);
    ASSERT_EQ(host.titles.size(), 1u);
    EXPECT_EQ(host.titles[0], "KVT936Pのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(version, "KVT936P Version 1.0");
}

TEST_F(MainWindowTest, SystemMenuShowsTheNodeExchangesEverySecondInBothLanguages) {
    liveConfiguration.nodeEnabled[1] = 1;  // nodes 1 and 2
    resetNodeHealth();
    noteExchange(1, 0);
    noteExchange(2, kNoAnswer);
    test::ScriptedDialogHost host;
    std::vector<std::string> header;
    host.then([&](Dialog& dialog) {
        EXPECT_EQ(dialog.tickInterval(), 1000);
        header.push_back(dialog.text(1002));
        ASSERT_EQ(dialog.itemCount(1003), 2);
        std::string wrongColumn(16, ' ');
        EXPECT_EQ(dialog.item(1003, 1), "    2         1         0         1" + wrongColumn + "0/0/0  -");
        noteExchange(2, kCrcError);
        dialog.tick();
        EXPECT_EQ(dialog.item(1003, 1), "    2         2         0         1" + wrongColumn + "0/1/0  -");
        dialog.pressEnter();
    });
    host.then([&](Dialog& dialog) {
        header.push_back(dialog.text(1002));
        dialog.pressEnter();
    });
    MainWindow window(stubWorkers());
    window.handleSystemCommand(32);
    languageFlag = 0;
    window.handleSystemCommand(32);
    EXPECT_EQ(host.titles, (std::vector<std::string>{"Communication status", "通信状態"}));
    ASSERT_EQ(header.size(), 2u);
    EXPECT_NE(header[0].find("Timeouts"), std::string::npos);
    EXPECT_NE(header[1].find("ﾀｲﾑｱｳﾄ"), std::string::npos);
    resetNodeHealth();
}

TEST_F(MainWindowTest, ImageSitsAtOneOneInsideAGreyBorder) {
    MainWindow window(stubWorkers());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KVT936PUS"));
    EXPECT_EQ(window.minimumSize(), QSize(802, 602));
    EXPECT_EQ(window.maximumSize(), QSize(802, 602));
    refresh(window);
    const DeviceContext& surface = window.windowSurface();
    EXPECT_EQ(surface.pixel(0, 300), kBarGrey);
    EXPECT_EQ(surface.pixel(801, 601), kBarGrey);
    for (int x = 0; x < 800; x += 37) {
        EXPECT_EQ(surface.pixel(x + 1, 20 + 1), window.screenImage().pixel(x, 20)) << x;
        EXPECT_EQ(surface.pixel(x + 1, 300 + 1), window.screenImage().pixel(x, 300)) << x;
    }
}

// With the real worker threads: the exit command joins every one of them.
TEST(MainWindowThreads, ExitJoinsTheWorkerThreads) {
    test::ensureQtApplication();
    test::TempHome home;
    test::ScriptedMessageBoxes boxes;
    loadSettings();
    initialiseRuntimeState();
    drainCommands();
    {
        MainWindow window({startWorkerThreads, stopWorkerThreads});
        EXPECT_TRUE(workerThreadsRunning());
        window.pressAt(kExitX + 1, kSmallY + 1);
        window.handlePendingCommands();
        EXPECT_TRUE(window.ended());
        EXPECT_FALSE(workerThreadsRunning());
    }
    initialiseRuntimeState();
}

}  // namespace
}  // namespace kvt
