// The add-in's questions and notices (a read-only buffer, an engine command's error) as
// message boxes over the IDE's window. The library has its own message service, which would
// otherwise decline every question unseen.
#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace kolva {

class TAddinMessages final : public TMessageService {
public:
    /// Boxes over Parent (the IDE's main window; it outlives the service). On a platform
    /// without a screen (offscreen) nobody can answer: the message goes to standard error
    /// and the question is declined.
    explicit TAddinMessages(QWidget* Parent) : FParent(Parent) {}
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons) override;

private:
    QWidget* FParent;
};

} // namespace kolva
