// A "\r" in the system's messages breaks the line, as it did on the original platform.
#include "addin/AddinMessages.h"

#include <iostream>
#include <QApplication>
#include <QMessageBox>

namespace kolva {

namespace {

QMessageBox::Icon IconOf(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

TModalResult TAddinMessages::MessageDlg(const std::string& Msg, TMsgDlgType Type,
                                        TMsgDlgButtons Buttons) {
    if (QGuiApplication::platformName() == "offscreen") {
        std::cerr << "Fernwright IDE Explorer: " << Msg << '\n';
        return DecliningAnswer(Buttons);
    }
    QMessageBox box(IconOf(Type), QApplication::applicationDisplayName(),
                    QString::fromStdString(Msg).replace('\r', '\n'), QMessageBox::NoButton,
                    QApplication::activeWindow() ? QApplication::activeWindow() : FParent);
    const std::pair<TMsgDlgBtn, QMessageBox::StandardButton> map[] = {
        {mbYes, QMessageBox::Yes},
        {mbNo, QMessageBox::No},
        {mbOK, QMessageBox::Ok},
        {mbCancel, QMessageBox::Cancel}};
    for (const auto& [button, standard] : map)
        if (Buttons.Contains(button)) box.addButton(standard);
    const int answer = box.exec();
    const std::pair<QMessageBox::StandardButton, TModalResult> results[] = {
        {QMessageBox::Yes, mrYes},
        {QMessageBox::No, mrNo},
        {QMessageBox::Ok, mrOk},
        {QMessageBox::Cancel, mrCancel}};
    for (const auto& [standard, result] : results)
        if (answer == standard) return result;
    return DecliningAnswer(Buttons);
}

} // namespace kolva
