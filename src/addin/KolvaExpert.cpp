// The data modules belong to the add-in as a whole rather than to the wizard: the IDE may
// release its expert before or after the frames, and the settings must be saved only once
// the host window has written its state.
#include "addin/KolvaExpert.h"

#include "addin/AddinMessages.h"
#include "addin/KolvaDM.h"
#include "addin/KolvaForm.h"
#include "ide/QtTimerService.h"
#include "platform/Dialogs.h"

#include <memory>
#include <QApplication>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace kolva {

namespace {

TIToolServices* Services = nullptr;
// Declared before anything that starts a timer, so it outlives the timer pool.
TQtTimerService QtTimers;
ITimerService* FormerTimers = nullptr;
std::unique_ptr<TKolvaImagesDM> ImagesDM;
std::unique_ptr<TKOLVADataModule> DataModule;

/// The application's style keeps the last item of a view it laid out, with that item's icon,
/// whose painting code is the library's: a plain item takes its place before the library
/// goes.
void ForgetStyleCache() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QStyleOptionViewItem plain;
    QApplication::style()->subElementRect(QStyle::SE_ItemViewItemText, &plain, nullptr);
}

} // namespace

TExpertWrapper::TExpertWrapper(TIToolServices& Services) : FServices(Services) {
    FWizardIndex = Services.WizardServices().AddWizard(new TKOLVAExpert(Services));
}

TExpertWrapper::~TExpertWrapper() {
    if (FWizardIndex != -1) FServices.WizardServices().RemoveWizard(FWizardIndex);
}

TKOLVAExpert::TKOLVAExpert(TIToolServices& Services) {
    if (!ImagesDM) ImagesDM = std::make_unique<TKolvaImagesDM>();
    if (!DataModule) DataModule = std::make_unique<TKOLVADataModule>(Services);
    if (!RegisterKOLVAForm(Services)) ShowWarning("The explorer window could not be registered");
}

void StartAddin(TIToolServices& IDE) {
    Services = &IDE;
    FormerTimers = SetTimerService(&QtTimers);
    SetMessageService(std::make_unique<TAddinMessages>(IDE.GetParentHandle()));
}

void EndAddin() noexcept {
    try {
        DataModule.reset();
        ImagesDM.reset();
        if (Services) UnregisterKOLVAForm(*Services);
        ForgetStyleCache();
    } catch (...) {
        // The library is unloaded next: nothing may stop it.
    }
    SetTimerService(FormerTimers);
    SetMessageService(nullptr);
    Services = nullptr;
}

TIToolServices* ToolServices() {
    return Services;
}

} // namespace kolva
