#include "display/MainWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "core/RunFlags.h"
#include "display/AboutDialog.h"
#include "display/ButtonLayout.h"
#include "display/CommunicationStatusDialog.h"
#include "display/DisplayColours.h"
#include "display/DisplayState.h"
#include "display/PlaybackNavigation.h"
#include "display/ProgramIcon.h"
#include "display/ReleaseGestures.h"
#include "display/ScreenDrawing.h"
#include "display/SettingsTakeover.h"
#include "display/TrendGraph.h"
#include "display/UiRequests.h"
#include "display/WindowCommandActions.h"
#include "platform/Clock.h"
#include "platform/DeviceContextImage.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowCommands.h"

namespace kvt {
namespace {

constexpr int kPressedLookMs = 100;
constexpr int kAboutCommand = 16;
constexpr int kCommunicationStatusCommand = 32;

}  // namespace

MainWindow::MainWindow(WorkerControl workers) : workers_(workers) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("KVT936PUS"));
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The grey border round the image; nothing draws there afterwards, so
    // redraws and paints only copy the image in.
    surface_.fillSolidRect(0, 0, kClientWidth, kClientHeight, kBarGrey);
    initialiseDisplayState();

    int descriptor = windowCommandReadDescriptor();
    if (descriptor >= 0) {
        notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { handlePendingCommands(); });
    }
    watchTerminationSignals();
    if (workers_.start != nullptr) workers_.start();
    workersRunning_ = true;
}

// SIGTERM, SIGINT or SIGHUP end the program as the exit command does after
// its question, whatever dialog is open.
void MainWindow::watchTerminationSignals() {
    int descriptor = terminationSignalDescriptor();
    if (descriptor < 0) return;
    auto* watch = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(watch, &QSocketNotifier::activated, this, [this] {
        if (takeTerminationSignal() != 0) exitProgram();
    });
}

MainWindow::~MainWindow() {
    // No worker outlives the window, whatever way it goes.
    if (workersRunning_) {
        store(exitRequested, 1);
        if (workers_.stop != nullptr) workers_.stop();
    }
}

void MainWindow::drawScreen(int reason, DeviceContext& target) {
    (void)reason;
    buildImage();
    target.copyFrom(image_, 1, 1);
}

void MainWindow::buildImage() {
    processUiRequest(image_);
    applyPaneTimeRequests();
    drawScreenImage(image_, currentTopBarState());
    forgetShownLiveFrame();
}

// While only the perpendicular live graph moves on, the rows it keeps are
// moved down in the image only, and only the fresh rows are compared. On
// a refresh the window moves its own copy of the kept rows (the display
// does that where it can, without sending them again); a paint the window
// did not ask for paints them from the image.
QRegion MainWindow::redrawSurface(bool scrollWindow) {
    processUiRequest(image_);
    applyPaneTimeRequests();
    holdLiveFrame();
    TopBarState state = currentTopBarState();
    ScreenRedraw plan = planScreenRedraw(state.operatingMode == kDemoMode);
    redrawScreenImage(image_, state, plan);
    releaseLiveFrame();
    changed_.clear();
    if (plan.moved < 0) {
        compareRows(0, DeviceContext::kScreenHeight, true);
        staleTop_ = staleBottom_ = 0;
        return regionOf(changed_);
    }
    for (int index = 0; index < plan.freshCount; ++index) {
        ScreenRows fresh = plan.fresh[index];
        // Nothing moved: fresh rows among the kept ones are drawn as they were.
        if (plan.moved == 0 && fresh.top >= plan.kept.top && fresh.bottom <= plan.kept.bottom) continue;
        compareRows(fresh.top, fresh.bottom, false);
    }
    bool stale = staleTop_ < staleBottom_;
    staleTop_ = stale ? std::min(staleTop_, plan.kept.top) : plan.kept.top;
    staleBottom_ = stale ? std::max(staleBottom_, plan.kept.bottom) : plan.kept.bottom;
    if (scrollWindow && plan.moved > 0) return regionOf(changed_) | scrollKeptRows(plan);
    // Marked row by row, the moved rows go to the screen in the same bands
    // as compared ones do (one large rectangle would have the toolkit
    // convert it on threads of its own).
    for (int row = plan.kept.top; plan.moved > 0 && row < plan.kept.bottom; ++row) {
        changed_.mark(1, row + 1, DeviceContext::kScreenWidth);
    }
    return regionOf(changed_);
}

// The window's rows that the kept rows came from, moved down to them; the
// rows they leave are returned to be painted with the rest.
QRect MainWindow::scrollKeptRows(const ScreenRedraw& plan) {
    QRect from(1, plan.kept.top - plan.moved + 1, DeviceContext::kScreenWidth, plan.kept.bottom - plan.kept.top);
    scroll(0, plan.moved, from.united(from.translated(0, plan.moved)));
    return QRect(from.topLeft(), QSize(from.width(), plan.moved));
}

void MainWindow::compareRows(int top, int bottom, bool keepUp) {
    auto compare = [&](int from, int to) {
        if (from >= to) return;
        surface_.setRowClip(from + 1, to + 1);
        surface_.copyChangesFrom(image_, 1, 1, changed_);
        surface_.clearRowClip();
    };
    int staleFrom = std::clamp(staleTop_, top, bottom);
    int staleTo = std::clamp(staleBottom_, staleFrom, bottom);
    compare(top, staleFrom);
    compare(staleTo, bottom);
    for (int row = staleFrom; row < staleTo; ++row) changed_.mark(1, row + 1, DeviceContext::kScreenWidth);
    if (keepUp && staleFrom < staleTo) {
        surface_.setRowClip(staleFrom + 1, staleTo + 1);
        surface_.copyFrom(image_, 1, 1);
        surface_.clearRowClip();
    }
}

const DeviceContext& MainWindow::windowSurface() const {
    if (staleTop_ < staleBottom_) {
        surface_.setRowClip(staleTop_ + 1, staleBottom_ + 1);
        surface_.copyFrom(image_, 1, 1);
        surface_.clearRowClip();
        staleTop_ = staleBottom_ = 0;
    }
    return surface_;
}

void MainWindow::drawButton(int row, int index, bool pressed, DeviceContext& target) {
    drawButtonFrame(target, row, index, pressed);
}

void MainWindow::handlePendingCommands() {
    bool refreshDue = false;
    while (int command = takeWindowCommand()) {
        if (ended_) return;
        if (command == kCommandRefresh) {
            refreshDue = true;
            continue;
        }
        if (refreshDue) {
            refresh();
            refreshDue = false;
        }
        handleCommand(command);
    }
    if (refreshDue && !ended_) refresh();
}

void MainWindow::handleCommand(int command) {
    if (ended_) return;
    switch (command) {
    case kCommandRefresh:
        refresh();
        break;
    case kCommandExit:
        if (confirmExit()) exitProgram();
        break;
    case kCommandSettings:
        openSettingsMenu();
        break;
    case kCommandDateTime:
        openDateTimeDialog();
        break;
    case kCommandAlarmHistory:
        openAlarmHistory();
        break;
    case kCommandStopQuestion:
        askToStop();
        break;
    case kCommandRaise:
        comeToFront();
        break;
    default:
        reportWorkerFailure(command);
        break;
    }
}

void MainWindow::refresh() {
    takeOverSettingsChange();
    takeOverStorageCleanup();
    QRegion changed = redrawSurface(true);
    if (!changed.isEmpty()) present(changed);
}

// Only what changed goes to the screen; the rest of the window already
// shows the surface as it is.
void MainWindow::present(const QRegion& changed) {
    presentOnly_ = true;
    repaint(changed);
    presentOnly_ = false;
}

void MainWindow::exitProgram() {
    if (ended_) return;
    store(exitRequested, 1);
    if (workers_.stop != nullptr) workers_.stop();
    workersRunning_ = false;
    ended_ = true;
    close();
    QCoreApplication::exit(0);
}

// A second start asked for the window: back from the task bar, on top and
// with the focus, so the user finds the recorder already running.
void MainWindow::comeToFront() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

// The pressed look goes on the window only, so the next redraw shows the
// button raised again.
void MainWindow::showPressed(int row, int index) {
    Point previous = surface_.setOrigin(1, 1);
    drawButton(row, index, true, surface_);
    surface_.setOrigin(previous.x, previous.y);
    present(rect());
    activeClock().sleepMs(kPressedLookMs);
}

void MainWindow::pressAt(int x, int y) {
    int imageX = x - 1;
    int imageY = y - 1;
    int small = smallButtonAt(imageX, imageY);
    int command = commandButtonAt(imageX, imageY, commandButtonCount(displayMode));
    if (small >= 0) {
        bool always = small == kButtonExit || small == kButtonMinimise;
        if (always || pendingUiRequest == kNoRequest) {
            showPressed(kSmallButtonRow, small);
            actOnSmallButton(small);
        }
    } else if (command >= 0 && commandButtonActs(command)) {
        showPressed(kCommandButtonRow, command);
        actOnCommandButton(command);
    }
    if (isPlaybackMode(displayMode)) {
        dragAnchorX = imageX;
        dragAnchorY = imageY;
    }
    if (pendingUiRequest == kNoRequest) {
        int request = scaleOrPanelRequestAt(imageX, imageY);
        if (request != kNoRequest) storeUiRequest(request);
    }
}

// In playback a release after a press in the graph places the cursor or
// scrolls a pane; the request waits for the next redraw like any other.
void MainWindow::releaseAt(int x, int y) {
    if (pendingUiRequest != kNoRequest || !isPlaybackMode(displayMode)) return;
    int request = releaseRequestAt(x - 1, y - 1);
    if (request != kNoRequest) storeUiRequest(request);
}

bool MainWindow::commandButtonActs(int index) const {
    bool playback = isPlaybackMode(displayMode);
    switch (index) {
    case kButtonSetting:
        return true;
    case kButtonAlarmHistory:
        return liveConfiguration.operatingMode != kHighSpeedMode;
    case kButtonDateTime:
        return playback;
    default:
        return pendingUiRequest == kNoRequest;
    }
}

void MainWindow::actOnSmallButton(int index) {
    static const int requests[kSmallButtonCount] = {
        kNoRequest, kNoRequest, kRequestNextGroup, kRequestPreviousGroup,
        kRequestNextPen, kRequestPreviousPen, kRequestSaveImage};
    if (index == kButtonExit) {
        postWindowCommand(kCommandExit);
    } else if (index == kButtonMinimise) {
        showMinimized();
    } else {
        storeUiRequest(requests[index]);
    }
}

void MainWindow::actOnCommandButton(int index) {
    static const int liveRequests[kLiveCommandButtons] = {
        kNoRequest, kRequestRetrieve, kNoRequest, kRequestDigital, kRequestStartStop};
    static const int playbackRequests[kPlaybackCommandButtons] = {
        kNoRequest, kRequestRecord, kNoRequest, kRequestRealValue, kRequestCurrent, kNoRequest,
        kRequestDivide};
    if (index == kButtonSetting) {
        postWindowCommand(kCommandSettings);
    } else if (index == kButtonAlarmHistory) {
        postWindowCommand(kCommandAlarmHistory);
    } else if (isPlaybackMode(displayMode)) {
        if (index == kButtonDateTime) {
            postWindowCommand(kCommandDateTime);
        } else {
            storeUiRequest(playbackRequests[index]);
        }
    } else {
        storeUiRequest(liveRequests[index]);
    }
}

void MainWindow::handleSystemCommand(int command) {
    if ((command & ~0xF) == kAboutCommand) {
        AboutDialog about;
        about.doModal();
    } else if ((command & ~0xF) == kCommunicationStatusCommand) {
        CommunicationStatusDialog status;
        status.doModal();
    }
}

// A paint the window did not ask for (shown, uncovered, grabbed) redraws
// too; what that changes outside the asked part is painted next.
void MainWindow::paintEvent(QPaintEvent* event) {
    if (!presentOnly_) {
        QRegion outside = redrawSurface(false) - event->region();
        if (!outside.isEmpty()) update(outside);
    }
    QPainter painter(this);
    QRect fromImage(1, staleTop_ + 1, DeviceContext::kScreenWidth, staleBottom_ - staleTop_);
    paintBands(painter, imageView(surface_), event->region() - fromImage, {0, 0});
    paintBands(painter, imageView(image_), event->region() & fromImage, {1, 1});
}

// In bands of a few rows: the toolkit draws a large area on threads of its
// own, which costs more than it gains here. `at` is where the source's
// (0, 0) lies in the window.
void MainWindow::paintBands(QPainter& painter, const QImage& source, const QRegion& region, QPoint at) {
    for (const QRect& area : region) {
        for (int top = area.top(); top <= area.bottom(); top += ChangedAreas::kTileHeight) {
            QRect band(area.left(), top, area.width(), std::min(ChangedAreas::kTileHeight, area.bottom() + 1 - top));
            painter.drawImage(band.topLeft(), source, band.translated(-at));
        }
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    pressAt(at.x(), at.y());
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    releaseAt(at.x(), at.y());
}

// Enter and Escape end nothing here.
void MainWindow::keyPressEvent(QKeyEvent* event) { event->accept(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
    } else {
        event->ignore();
    }
}

// The system menu's version entry, and the communication status beside
// it, on the window's context menu.
void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* about = menu.addAction(QStringLiteral("KVT936P Version Information(&A)..."));
    QAction* status = menu.addAction(
        QString::fromUtf8(byLanguage("Communication status(&C)...", "通信状態(&C)...")));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == about) handleSystemCommand(kAboutCommand);
    if (chosen == status) handleSystemCommand(kCommunicationStatusCommand);
}

void MainWindow::pressStart() {
    if (ended_ || isPlaybackMode(displayMode)) return;
    ButtonBox button = buttonBox(kCommandButtonRow, kButtonStartOrCurrent);
    // Client coordinates: the image stands at (1, 1).
    int x = (button.left + button.right) / 2 + 1;
    int y = (button.top + button.bottom) / 2 + 1;
    pressAt(x, y);
    releaseAt(x, y);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_) {
        placed_ = true;
        placeOnDesktop();
    }
}

// On a desktop at most 800 pixels wide the frame goes off screen so the
// image fills it; otherwise the window stands at the top left.
void MainWindow::placeOnDesktop() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && screen->geometry().width() <= DeviceContext::kScreenWidth) {
        QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
        move(-1 - frameOffset.x(), -1 - frameOffset.y());
    } else {
        move(0, 0);
    }
}

}  // namespace kvt
