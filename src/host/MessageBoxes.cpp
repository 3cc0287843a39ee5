// A "\r" in the system's messages breaks the line, as it did on the original platform.
#include "host/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace kolva {

TModalResult TQtMessageService::MessageDlg(const std::string& Msg, TMsgDlgType Type,
                                           TMsgDlgButtons Buttons) {
    QString text = QString::fromStdString(Msg).replace('\r', '\n');
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    box.setWindowTitle(QApplication::applicationDisplayName());
    switch (Type) {
    case mtWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case mtError:
        box.setIcon(QMessageBox::Critical);
        break;
    case mtInformation:
        box.setIcon(QMessageBox::Information);
        break;
    case mtConfirmation:
        box.setIcon(QMessageBox::Question);
        break;
    case mtCustom:
        break;
    }
    QMessageBox::StandardButtons buttons;
    if (Buttons.Contains(mbYes)) buttons |= QMessageBox::Yes;
    if (Buttons.Contains(mbNo)) buttons |= QMessageBox::No;
    if (Buttons.Contains(mbOK)) buttons |= QMessageBox::Ok;
    if (Buttons.Contains(mbCancel)) buttons |= QMessageBox::Cancel;
    box.setStandardButtons(buttons);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Cancel:
        return mrCancel;
    default:
        return DecliningAnswer(Buttons);
    }
}

} // namespace kolva
