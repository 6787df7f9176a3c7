#pragma once
#include <QWidget>

#include "platform/DeviceContext.h"

class QImage;
class QPainter;
class QRect;
class QPoint;
class QRegion;
class QSocketNotifier;

namespace kvt {

struct ScreenRedraw;

// The program's only top-level window. Everything it shows is drawn into
// an 800 x 600 image, shown at (1, 1) on a grey client area. Worker threads
// reach it only through posted window commands (1124-1134), which it
// handles on its own thread. Only the "X" button ends it.
class MainWindow final : public QWidget {
    Q_OBJECT

public:
    // How the window starts and stops the worker threads: the application
    // passes the real ones, tests may pass functions that start none.
    struct WorkerControl {
        void (*start)();
        void (*stop)();
    };

    static constexpr int kClientWidth = DeviceContext::kScreenWidth + 2;
    static constexpr int kClientHeight = DeviceContext::kScreenHeight + 2;

    explicit MainWindow(WorkerControl workers);
    ~MainWindow() override;

    // Carries out the pending UI request and the pane time requests,
    // rebuilds the image and copies it to `target` at (1, 1). `reason`: 0 paint, 1 refresh (drawn alike).
    void drawScreen(int reason, DeviceContext& target);
    // A button frame, raised or pressed, on any surface.
    void drawButton(int row, int index, bool pressed, DeviceContext& target);

    // Takes every posted command; consecutive refreshes are drawn once.
    void handlePendingCommands();
    // One window command (1124-1134).
    void handleCommand(int command);
    // Left button pressed or released at client coordinates.
    void pressAt(int x, int y);
    void releaseAt(int x, int y);
    // System menu command; 16 opens the version box, 32 the communication
    // status.
    void handleSystemCommand(int command);
    // Presses START (at the button's middle) as a user would; what
    // `kvt936p --start` does once the window is up.
    void pressStart();

    const DeviceContext& screenImage() const { return image_; }
    // The client area as last presented (image, grey border, pressed look).
    const DeviceContext& windowSurface() const;
    bool ended() const { return ended_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    // Builds the image and brings the window surface up to it; returns
    // where the surface changed (with `scrollWindow`, the window has moved
    // the rows that only moved on already).
    QRegion redrawSurface(bool scrollWindow);
    // Brings the surface's image rows top..bottom-1 up to the image and
    // marks what changed; rows the surface leaves to the image are marked
    // changed whole (and copied when `keepUp`).
    void compareRows(int top, int bottom, bool keepUp);
    QRect scrollKeptRows(const ScreenRedraw& plan);
    static void paintBands(QPainter& painter, const QImage& source, const QRegion& region, QPoint at);
    void buildImage();
    void present(const QRegion& changed);
    void showPressed(int row, int index);
    bool commandButtonActs(int index) const;
    void actOnSmallButton(int index);
    void actOnCommandButton(int index);
    void exitProgram();
    void comeToFront();
    // The termination signals (TerminationSignals.h) end it too.
    void watchTerminationSignals();
    void placeOnDesktop();

    WorkerControl workers_;
    bool workersRunning_ = false;
    // Spare rows: the graph moving on by a sample moves where the image
    // begins, not its pixels (they move about once a minute).
    static constexpr int kSpareImageRows = 120;
    DeviceContext image_{DeviceContext::kScreenWidth, DeviceContext::kScreenHeight, kSpareImageRows};
    // Mutable: reading it brings the rows painted from the image up to it.
    mutable DeviceContext surface_{kClientWidth, kClientHeight};
    ChangedAreas changed_{kClientWidth, kClientHeight};
    // Image rows staleTop_..staleBottom_-1 are painted from the image: the
    // surface's copy of them is not kept up while the graph moves on.
    mutable int staleTop_ = 0;
    mutable int staleBottom_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    bool presentOnly_ = false;
    bool ended_ = false;
    bool placed_ = false;
};

}  // namespace kvt
