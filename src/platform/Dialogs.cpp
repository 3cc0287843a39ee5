#include "platform/Dialogs.h"

namespace kolva {

namespace {

class TDecliningService : public TMessageService {
public:
    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons Buttons) override {
        return DecliningAnswer(Buttons);
    }
};

std::unique_ptr<TMessageService>& Installed() {
    static std::unique_ptr<TMessageService> service;
    return service;
}

} // namespace

TModalResult DecliningAnswer(TMsgDlgButtons Buttons) {
    if (Buttons.Contains(mbCancel)) return mrCancel;
    if (Buttons.Contains(mbNo)) return mrNo;
    return mrOk;
}

TMessageService& MessageService() {
    static TDecliningService fallback;
    return Installed() ? *Installed() : static_cast<TMessageService&>(fallback);
}

std::unique_ptr<TMessageService> SetMessageService(std::unique_ptr<TMessageService> Service) {
    std::swap(Installed(), Service);
    return Service;
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons) {
    return MessageService().MessageDlg(Msg, Type, Buttons);
}

bool ConfirmDlg(const std::string& Msg) {
    return MessageDlg(Msg, mtConfirmation, {mbOK, mbCancel}) == mrOk;
}

bool WarningOkCancel(const std::string& Msg) {
    return MessageDlg(Msg, mtWarning, {mbOK, mbCancel}) == mrOk;
}

bool QuestionDlg(const std::string& Msg) {
    return MessageDlg(Msg, mtConfirmation, {mbYes, mbNo}) == mrYes;
}

void ShowWarning(const std::string& Msg) {
    MessageDlg(Msg, mtWarning, {mbOK});
}
void ShowInformation(const std::string& Msg) {
    MessageDlg(Msg, mtInformation, {mbOK});
}
void ShowError(const std::string& Msg) {
    MessageDlg(Msg, mtError, {mbOK});
}

} // namespace kolva
