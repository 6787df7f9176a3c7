#include "platform/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace kvt {

QtMessageBoxProvider::QtMessageBoxProvider(std::string caption, bool japanese)
    : caption_(std::move(caption)), japanese_(japanese) {}

int QtMessageBoxProvider::show(std::string_view text, MessageBoxButtons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(caption_));
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setIcon(buttons == kButtonsOkCancel ? QMessageBox::Question : QMessageBox::Warning);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (buttons == kButtonsOkCancel) {
        cancel = box.addButton(japanese_ ? QStringLiteral("キャンセル") : QStringLiteral("Cancel"),
                               QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? IDOK : IDCANCEL;
}

}  // namespace kvt
