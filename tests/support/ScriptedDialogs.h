// Test support: a message-box service that records every text and answers from a script.
#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace kolva::test {

/// Installs itself for its lifetime. Answers come from `Answers` in order; when the script
/// runs out, each question gets its declining answer.
class TScriptedDialogs : public TMessageService {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons) override;

    std::deque<TModalResult> Answers;
    std::vector<std::string> Texts;

private:
    std::unique_ptr<TMessageService> FPrevious;
};

} // namespace kolva::test
