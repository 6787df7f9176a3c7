#include "platform/QtDialogHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace kvt {
namespace {

constexpr int kComboVisibleHeight = 20;  // a drop-down list's closed height in pixels
constexpr int kSmallestCaptionPixels = 9;  // captions shrink to fit down to this size

// Closer to the desktop the templates were drawn for: a group box's caption
// sits on its frame line, and a box or radio button keeps its caption close.
constexpr const char* kDialogStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 6px; padding: 0px 2px; }"
    "QRadioButton, QCheckBox { spacing: 3px; }";
// An edit shows its frame and text without the toolkit's extra inner margin,
// so that a narrow edit shows as many digits as its template intends.
constexpr int kEditInnerMargin = -2;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window a dialog belongs to: the dialog open now (a dialog run from a
// dialog), else the active window, else the main window.
QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->isVisible() && candidate->isWindow() && !candidate->isMinimized()) {
            return candidate;
        }
    }
    return nullptr;
}

int clampTo(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// The window of one dialog run. Every user action goes to the Dialog; the
// widgets are then brought in line with the Dialog's state.
class DialogWindow final : public QDialog {
public:
    explicit DialogWindow(Dialog& dialog) : QDialog(ownerWindow()), dialog_(dialog) {
        QFont font(QString::fromLatin1(kDialogFontFamily));
        font.setPixelSize(kDialogFontPixelSize);
        setFont(font);
        setStyleSheet(QString::fromLatin1(kDialogStyle));
        setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
        buildWidgets();
        synchronise();
        placeOverOwner();
        if (dialog.tickInterval() > 0) {
            auto* ticks = new QTimer(this);
            connect(ticks, &QTimer::timeout, this, [this] { act([this] { dialog_.tick(); }); });
            ticks->start(dialog.tickInterval());
        }
    }

    void reject() override { act([this] { dialog_.pressEscape(); }); }
    void accept() override { act([this] { dialog_.pressEnter(); }); }

protected:
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        DialogCanvas canvas;
        dialog_.onPaint(canvas);
        if (canvas.rects().empty()) return;
        QPainter painter(this);
        for (const FilledRect& rect : canvas.rects()) {
            painter.fillRect(rect.x, rect.y, rect.width, rect.height,
                             QColor(redOf(rect.colour), greenOf(rect.colour), blueOf(rect.colour)));
        }
    }

private:
    // Centred over the owner window (the screen without one), and moved
    // inwards so that the whole dialog, frame included, is on the screen.
    void placeOverOwner() {
        QWidget* owner = parentWidget();
        QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) return;
        QRect area = screen->availableGeometry();
        QRect around = owner != nullptr ? owner->frameGeometry() : area;
        // The owner's frame stands in for the dialog's, unknown before it is shown.
        QMargins frame;
        if (owner != nullptr) {
            QRect inner = owner->geometry();
            frame = QMargins(inner.left() - around.left(), inner.top() - around.top(),
                             around.right() - inner.right(), around.bottom() - inner.bottom());
        }
        int outerWidth = width() + frame.left() + frame.right();
        int outerHeight = height() + frame.top() + frame.bottom();
        int left = around.center().x() - outerWidth / 2;
        int top = around.center().y() - outerHeight / 2;
        left = clampTo(left, area.left(), area.right() + 1 - outerWidth);
        top = clampTo(top, area.top(), area.bottom() + 1 - outerHeight);
        move(left, top);  // a window's position is that of its frame
    }

    template <typename Action>
    void act(Action action) {
        action();
        synchronise();
        if (dialog_.ended()) done(dialog_.result());
    }

    QWidget* createWidget(const Control& control) {
        int id = control.id;
        switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(this);
            if (control.style & kCentred) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            return label;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setTextMargins(kEditInnerMargin, 0, kEditInnerMargin, 0);
            if (control.style & kCentred) edit->setAlignment(Qt::AlignHCenter);
            connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                act([&] { dialog_.typeText(id, text.toStdString()); });
            });
            return edit;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(this);
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: {
            QAbstractButton* box = control.kind == ControlKind::CheckBox
                                       ? static_cast<QAbstractButton*>(new QCheckBox(this))
                                       : new QRadioButton(this);
            box->setAutoExclusive(false);
            if (control.style & kTextLeft) box->setLayoutDirection(Qt::RightToLeft);
            connect(box, &QAbstractButton::clicked, this,
                    [this, id] { act([&] { dialog_.click(id); }); });
            return box;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            // As on the desktop the recorder comes from, Enter presses the
            // focused push button, else the default button.
            auto* button = new QPushButton(this);
            button->setAutoDefault(true);
            button->setDefault(control.kind == ControlKind::DefaultButton);
            connect(button, &QPushButton::clicked, this,
                    [this, id] { act([&] { dialog_.click(id); }); });
            return button;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(this);
            connect(combo, &QComboBox::activated, this,
                    [this, id](int index) { act([&] { dialog_.chooseItem(id, index); }); });
            return combo;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(this);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setTextElideMode(Qt::ElideNone);
            if (control.style & kNoSelection) {
                list->setSelectionMode(QAbstractItemView::NoSelection);
            }
            connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) {
                if (!synchronising_) act([&] { dialog_.chooseItem(id, row); });
            });
            return list;
        }
        case ControlKind::Icon: {
            auto* icon = new QLabel(this);
            icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
            return icon;
        }
        }
        return new QWidget(this);
    }

    void buildWidgets() {
        for (const Control& control : dialog_.controls()) {
            QWidget* widget = createWidget(control);
            // The control id names the widget, for accessibility tools and tests.
            if (control.id != kNoControlId) widget->setObjectName(QString::number(control.id));
            if (control.kind == ControlKind::GroupBox) widget->lower();
            widgets_.push_back(widget);
            itemsRevisions_.push_back(~0u);
            fittedCaptions_.emplace_back();
        }
    }

    void synchroniseText(const Control& control, QWidget* widget) {
        QString text = fromUtf8(control.text);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->text() != text) {
                // The caret keeps the characters after it: a filtered
                // keystroke leaves it where it was.
                int after = static_cast<int>(edit->text().size()) - edit->cursorPosition();
                edit->setText(text);
                edit->setCursorPosition(std::max(0, static_cast<int>(text.size()) - after));
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(text);
            if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton) {
                button->setChecked(control.checked != 0);
            }
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (control.kind != ControlKind::Icon) label->setText(text);
        }
    }

    void synchroniseItems(const Control& control, QWidget* widget, unsigned& seenRevision) {
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            if (seenRevision != control.itemsRevision) {
                combo->clear();
                for (const std::string& item : control.items) combo->addItem(fromUtf8(item));
            }
            combo->setCurrentIndex(control.selection);
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            if (seenRevision != control.itemsRevision) {
                list->clear();
                for (const std::string& item : control.items) list->addItem(fromUtf8(item));
            }
            if (!(control.style & kNoSelection)) list->setCurrentRow(control.selection);
        }
        seenRevision = control.itemsRevision;
    }

    // A caption wider than its place (the gothic face runs wider than the
    // one the templates were drawn with, English captions most) is first set
    // in a smaller size, down to kSmallestCaptionPixels, so that it fits
    // without covering its neighbours.
    static bool hasCaption(const Control& control) {
        switch (control.kind) {
        case ControlKind::Label:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::PushButton:
        case ControlKind::DefaultButton:
            return !control.text.empty();
        default:
            return false;
        }
    }

    static int neededWidth(const Control& control, QWidget* widget) {
        bool isButton =
            control.kind == ControlKind::PushButton || control.kind == ControlKind::DefaultButton;
        // A push button's size hint has a toolkit minimum; its text is what
        // has to fit, with a little room for the frame.
        if (isButton) return widget->fontMetrics().horizontalAdvance(fromUtf8(control.text)) + 8;
        return widget->sizeHint().width();
    }

    QFont baseFont(const Control& control) const {
        if ((control.style & kFixedPitch) == 0) return font();
        QFont fixed(QString::fromLatin1(kFixedPitchFontFamily));
        fixed.setPixelSize(kDialogFontPixelSize);
        fixed.setStyleHint(QFont::Monospace);
        return fixed;
    }

    void fitCaption(const Control& control, QWidget* widget, const DialogRect& place) {
        QFont fitted = baseFont(control);
        widget->setFont(fitted);
        if (!hasCaption(control)) return;
        for (int pixels = kDialogFontPixelSize; pixels >= kSmallestCaptionPixels; --pixels) {
            fitted.setPixelSize(pixels);
            widget->setFont(fitted);
            if (neededWidth(control, widget) <= place.width) return;
        }
        widget->setFont(baseFont(control));
    }

    // A label, check box or radio button whose caption does not fit even so
    // grows to the right, within the dialog, instead of cutting its caption
    // off. Centred captions and boxes right of their caption keep their
    // place.
    int captionWidth(const Control& control, QWidget* widget, const DialogRect& place) const {
        bool grows = control.kind == ControlKind::Label || control.kind == ControlKind::CheckBox ||
                     control.kind == ControlKind::RadioButton;
        if (!grows || (control.style & (kCentred | kTextLeft)) != 0) return place.width;
        int room = dialog_.pixelWidth() - place.x;
        return std::max(place.width, std::min(widget->sizeHint().width(), room));
    }

    void synchronise() {
        synchronising_ = true;
        setWindowTitle(fromUtf8(dialog_.title()));
        setFixedSize(dialog_.pixelWidth(), dialog_.pixelHeight());
        const std::vector<Control>& controls = dialog_.controls();
        for (size_t index = 0; index < controls.size(); ++index) {
            const Control& control = controls[index];
            QWidget* widget = widgets_[index];
            QSignalBlocker blocker(widget);
            synchroniseText(control, widget);
            DialogRect place = pixelRectOf(control);
            int height = place.height;
            if (control.kind == ControlKind::ComboBox) {
                height = std::min(height, kComboVisibleHeight);
            }
            FittedCaption& fitted = fittedCaptions_[index];
            if (fitted.text != control.text || fitted.width != place.width) {
                fitCaption(control, widget, place);
                fitted = {control.text, place.width};
            }
            widget->setGeometry(place.x, place.y, captionWidth(control, widget, place), height);
            synchroniseItems(control, widget, itemsRevisions_[index]);
            widget->setEnabled(control.enabled);
            widget->setVisible(control.visible);
        }
        if (paintRevision_ != dialog_.paintRevision()) {
            paintRevision_ = dialog_.paintRevision();
            update();
        }
        synchronising_ = false;
    }

    Dialog& dialog_;
    std::vector<QWidget*> widgets_;
    std::vector<unsigned> itemsRevisions_;
    // The caption and width each widget's font was last fitted to: fitting
    // measures the text in up to four sizes, too much for every keystroke.
    struct FittedCaption {
        std::string text;
        int width = -1;
    };
    std::vector<FittedCaption> fittedCaptions_;
    unsigned paintRevision_ = 0;
    bool synchronising_ = false;
};

}  // namespace

int QtDialogHost::runModal(Dialog& dialog) {
    dialog.initialise();
    if (dialog.ended()) return dialog.result();
    DialogWindow window(dialog);
    window.exec();
    return dialog.result();
}

}  // namespace kvt
