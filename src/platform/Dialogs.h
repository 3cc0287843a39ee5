// The message-box service: every question or notice the system puts to the user goes through
// one process-wide service, so the GUI can show real message boxes, the command line can
// answer from its options and tests can script the answers and check the texts.
#pragma once

#include "platform/System.h"

#include <memory>
#include <string>

namespace kolva {

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint8_t { mbYes, mbNo, mbOK, mbCancel };
using TMsgDlgButtons = TSet<TMsgDlgBtn, mbCancel + 1>;
enum TModalResult : uint8_t { mrNone, mrOk, mrCancel, mrYes, mrNo };

class TMessageService {
public:
    virtual ~TMessageService() = default;
    /// Shows Msg with the buttons and returns the one chosen.
    virtual TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                                    TMsgDlgButtons Buttons) = 0;
};

/// The installed service. Until one is installed, every question is answered with its
/// declining button (Cancel, No, or OK when that is the only one) and nothing is shown.
TMessageService& MessageService();
/// Installs a service and returns the previous one (null for the built-in default).
std::unique_ptr<TMessageService> SetMessageService(std::unique_ptr<TMessageService> Service);

/// The declining answer for a set of buttons: Cancel, else No, else OK.
TModalResult DecliningAnswer(TMsgDlgButtons Buttons);

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons);
/// A confirmation with OK and Cancel; true for OK.
bool ConfirmDlg(const std::string& Msg);
/// A warning with OK and Cancel; true for OK.
bool WarningOkCancel(const std::string& Msg);
/// A question with Yes and No; true for Yes.
bool QuestionDlg(const std::string& Msg);
void ShowWarning(const std::string& Msg);
void ShowInformation(const std::string& Msg);
void ShowError(const std::string& Msg);

} // namespace kolva
