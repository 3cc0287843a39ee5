#include "support/ScriptedDialogs.h"

namespace kolva::test {

namespace {
// The service object is owned by the platform while installed; this wrapper forwards to the
// test's object so the test keeps ownership.
class TForward : public TMessageService {
public:
    explicit TForward(TMessageService& Target) : FTarget(Target) {}
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons) override {
        return FTarget.MessageDlg(Msg, Type, Buttons);
    }

private:
    TMessageService& FTarget;
};
} // namespace

TScriptedDialogs::TScriptedDialogs()
    : FPrevious(SetMessageService(std::make_unique<TForward>(*this))) {}

TScriptedDialogs::~TScriptedDialogs() {
    SetMessageService(std::move(FPrevious));
}

TModalResult TScriptedDialogs::MessageDlg(const std::string& Msg, TMsgDlgType,
                                          TMsgDlgButtons Buttons) {
    Texts.push_back(Msg);
    if (Answers.empty()) return DecliningAnswer(Buttons);
    const TModalResult answer = Answers.front();
    Answers.pop_front();
    return answer;
}

} // namespace kolva::test
