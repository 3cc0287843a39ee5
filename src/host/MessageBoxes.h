// The message-box service of the windows: every question and notice of the system shown as
// a modal QMessageBox over the active window.
#pragma once

#include "platform/Dialogs.h"

namespace kolva {

class TQtMessageService : public TMessageService {
public:
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons) override;
};

} // namespace kolva
