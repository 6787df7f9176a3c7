#include "support/ToolkitDialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "core/RunFlags.h"
#include "platform/QtDialogHost.h"
#include "support/QtTestApplication.h"

namespace kvt::test {
namespace {

ShownControl readWidget(QWidget* widget) {
    ShownControl shown;
    shown.kind = widget->metaObject()->className();
    shown.enabled = widget->isEnabled();
    shown.visible = widget->isVisible();
    QRect place = widget->geometry();
    shown.pixels = {place.x(), place.y(), place.width(), place.height()};
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        shown.text = edit->text().toStdString();
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        shown.text = group->title().toStdString();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        shown.text = button->text().toStdString();
        shown.checked = button->isChecked();
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        shown.text = label->text().toStdString();
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        shown.text = combo->currentText().toStdString();
        shown.itemCount = combo->count();
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        shown.itemCount = list->count();
    }
    return shown;
}

}  // namespace

void expectControls(const ShownDialog& shown, int language,
                    std::span<const ExpectedControl> expected) {
    for (const ExpectedControl& row : expected) {
        auto found = shown.controls.find(row.id);
        if (found == shown.controls.end()) {
            ADD_FAILURE() << "no control " << row.id;
            continue;
        }
        EXPECT_EQ(found->second.text, language ? row.english : row.japanese) << row.id;
        EXPECT_EQ(found->second.visible, row.visible) << row.id;
        EXPECT_EQ(found->second.enabled, row.enabled) << row.id;
    }
}

int runInToolkit(Dialog& dialog, const std::function<void(QWidget*)>& whileOpen) {
    ensureQtApplication();
    QtDialogHost host;
    DialogHost* previous = installDialogHost(&host);
    int result = 0;
    runInEventLoop([&] {
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            if (window != nullptr) whileOpen(window);
        });
        result = dialog.doModal();
    });
    installDialogHost(previous);
    return result;
}

ShownDialog showInToolkit(Dialog& dialog) {
    ShownDialog shown;
    runInToolkit(dialog, [&](QWidget* window) {
        shown.title = window->windowTitle().toStdString();
        shown.width = window->width();
        shown.height = window->height();
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            bool isNumber = false;
            int id = widget->objectName().toInt(&isNumber);
            if (!isNumber || widget->parentWidget() != window) continue;
            shown.controls[id] = readWidget(widget);
        }
        window->close();
    });
    return shown;
}

void expectShownInBothLanguages(const std::function<ShownDialog()>& show,
                                const ExpectedWindow& window,
                                std::span<const ExpectedControl> rows,
                                const std::function<void(ShownDialog&, int)>& alsoCheck) {
    for (int language : {0, 1}) {
        SCOPED_TRACE(language ? "English" : "Japanese");
        languageFlag = language;
        ShownDialog shown = show();
        EXPECT_EQ(shown.title, language ? window.englishTitle : window.japaneseTitle);
        EXPECT_EQ(shown.width, dialogUnitsToPixelsX(window.widthUnits));
        EXPECT_EQ(shown.height, dialogUnitsToPixelsY(window.heightUnits));
        expectControls(shown, language, rows);
        if (alsoCheck) alsoCheck(shown, language);
    }
}

}  // namespace kvt::test
