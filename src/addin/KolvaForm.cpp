// The explorer lives as long as the frame: the IDE frees the frame with its desktop, before
// it releases the add-in, and the engine's notifiers must be detached while the IDE's modules
// still exist.
#include "addin/KolvaForm.h"

#include "explorer/ExplorerFrm.h"
#include "ide/KolvaDesigner.h"
#include "platform/Dialogs.h"

#include <exception>
#include <QLayout>
#include <QWidget>

namespace kolva {

namespace {

TKOLVAForm* Instance = nullptr;

/// Runs an event handler; what it raises is reported, since nothing may cross to the IDE.
template <class F>
void Guarded(F&& Handler) noexcept {
    try {
        Handler();
    } catch (const std::exception& E) {
        try {
            ShowError(E.what());
        } catch (...) {
        }
    } catch (...) {
    }
}

class TKOLVAFormClass final : public INTADesktopFormClass {
public:
    void AddRef() noexcept override {}
    void Release() noexcept override {}
    TIntf<INTADockableFormEvents> CreateForm(INTADockableForm* Frame) noexcept override {
        try {
            if (!Frame || !FServices || Instance) return {};
            return TIntf<INTADockableFormEvents>(new TKOLVAForm(*Frame, *FServices));
        } catch (const std::exception& E) {
            Guarded([&] { ShowError(E.what()); });
            return {};
        }
    }
    TIToolServices* FServices = nullptr;
};

TKOLVAFormClass FormClass;

} // namespace

TIDEDockableForm::TIDEDockableForm(INTADockableForm& Frame)
    : FFrame(&Frame), FName(Frame.GetName()) {
    if (QWidget* client = Frame.GetWidget()) client->setObjectName(QString::fromStdString(FName));
}

TKOLVAForm::TKOLVAForm(INTADockableForm& Frame, TIToolServices& Services)
    : TIDEDockableForm(Frame), FServices(Services),
      FEngine(std::make_unique<TKOLVASyncEngine>(Services)) {
    QWidget* client = Frame.GetWidget();
    FExplorer = new TFWExplorerForm(client, true, FEngine->Editor(), &FEngine->Synchronizer(),
                                    &FEngine->Designer());
    if (client->layout()) client->layout()->addWidget(FExplorer);
    FEngine->SetExplorer(FExplorer);
    FEngine->SetFrame(&Frame);
    Instance = this;
}

TKOLVAForm::~TKOLVAForm() {
    if (Instance == this) Instance = nullptr;
    OnDestroy();
}

void TKOLVAForm::ShowForm() {
    INTADockableForm* frame = Frame();
    if (!frame) return;
    if (frame->IsFloating())
        frame->Show();
    else
        FServices.DesktopServices().FocusWindow(frame);
}

void TKOLVAForm::OnShow() noexcept {
    Guarded([this] { FEngine->FormShown(); });
}

void TKOLVAForm::OnHide() noexcept {
    Guarded([this] { FEngine->FormHidden(); });
}

void TKOLVAForm::OnEndDock() noexcept {
    Guarded([this] { FEngine->FormEndDock(); });
}

void TKOLVAForm::OnUnDock() noexcept {
    Guarded([this] { FEngine->FormUnDock(); });
}

void TKOLVAForm::OnDestroy() noexcept {
    if (Instance == this) Instance = nullptr;
    if (FEngine) {
        FEngine->SetExplorer(nullptr);
        FEngine->SetFrame(nullptr);
    }
    delete FExplorer;
    FExplorer = nullptr;
    FEngine.reset();
    TIDEDockableForm::OnDestroy();
}

TKOLVAForm* KOLVAForm() {
    return Instance;
}

bool RegisterKOLVAForm(TIToolServices& Services) {
    FormClass.FServices = &Services;
    return Services.DesktopServices().RegisterDesktopFormClass(KOLVAFormName, &FormClass);
}

void UnregisterKOLVAForm(TIToolServices& Services) {
    Services.DesktopServices().UnregisterDesktopFormClass(KOLVAFormName);
}

} // namespace kolva
