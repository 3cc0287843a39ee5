// The services are one inner object with an interface each; they forward to the host. The
// host shuts down in the reverse order of what depends on what: add-ins' frames, notifiers
// and wizards first (their code lives in the libraries), then the experts and the libraries,
// and the window last.
#include "host/HostIDE.h"

#include "host/DockFrame.h"
#include "host/EditControl.h"
#include "host/EditWindow.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <QBitmap>
#include <QIcon>
#include <QMenuBar>
#include <QPixmap>

namespace kolva {

namespace {

/// The services live as long as the host: their references are not counted.
#define KOLVA_STATIC_INTERFACE                                                                     \
    void AddRef() noexcept override {}                                                             \
    void Release() noexcept override {}

} // namespace

class THostIDE::TServices final {
public:
    explicit TServices(THostIDE& IDE)
        : Services(IDE), Modules(IDE), Editors(IDE), Wizards(IDE), NTA(IDE), Desktop(IDE) {}

    struct TIDEServices final : IOTAServices {
        explicit TIDEServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        int AddNotifier(IOTAIDENotifier* Notifier) noexcept override {
            try {
                return FIDE.FIDENotifiers.Add(Notifier);
            } catch (...) {
                return -1;
            }
        }
        void RemoveNotifier(int Index) noexcept override { FIDE.FIDENotifiers.Remove(Index); }
        THostIDE& FIDE;
    } Services;

    struct TModuleServices final : IOTAModuleServices {
        explicit TModuleServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        TIntf<IOTAModule> FindModule(const std::string& FileName) noexcept override {
            try {
                std::string native = NativePath(FileName);
                for (const TIntf<THostModule>& module : FIDE.FModules)
                    if (SameText(module->NativeFileName(), native)) return module;
            } catch (...) {
            }
            return {};
        }
        int ModuleCount() noexcept override { return static_cast<int>(FIDE.FModules.size()); }
        TIntf<IOTAModule> Modules(int Index) noexcept override {
            if (Index < 0 || Index >= ModuleCount()) return {};
            return FIDE.FModules[Index];
        }
        THostIDE& FIDE;
    } Modules;

    struct TEditorServices final : IOTAEditorServices {
        explicit TEditorServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        TIntf<IOTAEditBuffer> TopBuffer() noexcept override {
            TIntf<THostModule> module = FIDE.FrontModule();
            return module ? TIntf<IOTAEditBuffer>(module->Buffer()) : TIntf<IOTAEditBuffer>();
        }
        int EditBufferCount() noexcept override { return static_cast<int>(FIDE.FModules.size()); }
        TIntf<IOTAEditBuffer> EditBuffers(int Index) noexcept override {
            if (Index < 0 || Index >= EditBufferCount()) return {};
            return FIDE.FModules[Index]->Buffer();
        }
        THostIDE& FIDE;
    } Editors;

    struct TWizardServices final : IOTAWizardServices {
        explicit TWizardServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        int AddWizard(IOTAWizard* Wizard) noexcept override {
            try {
                return FIDE.FWizards.Add(Wizard);
            } catch (...) {
                return -1;
            }
        }
        void RemoveWizard(int Index) noexcept override { FIDE.FWizards.Remove(Index); }
        THostIDE& FIDE;
    } Wizards;

    struct TNTAServices final : INTAServices {
        explicit TNTAServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        QMenuBar* GetMainMenu() noexcept override { return FIDE.FWindow->menuBar(); }
        QObject* GetActionList() noexcept override { return FIDE.FWindow->ActionList(); }
        int AddMasked(const QPixmap& Image, unsigned MaskColor) noexcept override {
            try {
                QPixmap image = Image;
                image.setMask(image.createMaskFromColor(QColor::fromRgb(MaskColor & 0xFFFFFF)));
                FIDE.FImages.append(image);
                return static_cast<int>(FIDE.FImages.size()) - 1;
            } catch (...) {
                return -1;
            }
        }
        QIcon GetImage(int Index) noexcept override {
            if (Index < 0 || Index >= FIDE.FImages.size()) return QIcon();
            return QIcon(FIDE.FImages[Index]);
        }
        THostIDE& FIDE;
    } NTA;

    struct TDesktopServices final : INTADesktopServices {
        explicit TDesktopServices(THostIDE& IDE) : FIDE(IDE) {}
        KOLVA_STATIC_INTERFACE
        bool RegisterDesktopFormClass(const std::string& Name,
                                      INTADesktopFormClass* FormClass) noexcept override {
            try {
                if (!FormClass) return false;
                for (const auto& [name, formClass] : FIDE.FFormClasses)
                    if (SameText(name, Name)) return false;
                return FIDE.FFormClasses.emplace(Name, FormClass).second;
            } catch (...) {
                return false;
            }
        }
        void UnregisterDesktopFormClass(const std::string& Name) noexcept override {
            FIDE.FFormClasses.erase(Name);
        }
        TIntf<INTADockableForm> DockableForm(const std::string& Name) noexcept override {
            try {
                return FIDE.MakeDockFrame(Name);
            } catch (...) {
                return {};
            }
        }
        void FocusWindow(INTADockableForm* Form) noexcept override {
            if (!Form) return;
            Form->Show();
            QWidget* widget = Form->GetWidget();
            widget->activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
        }
        THostIDE& FIDE;
    } Desktop;
};

THostIDE::THostIDE()
    : FWindow(std::make_unique<TEditWindow>(*this)), FServices(std::make_unique<TServices>(*this)) {
}

THostIDE::~THostIDE() {
    for (auto& [name, frame] : FDockFrames)
        delete frame;
    FDockFrames.clear();
    FFormClasses.clear();
    for (const TIntf<THostModule>& module : FModules)
        module->Close();
    FIDENotifiers.DestroyAll();
    FWizards.DestroyAll();
    FExperts.Unload();
    FModules.clear();
}

TIntf<THostModule> THostIDE::OpenFile(const std::string& FileName) {
    std::string native = NativePath(FileName);
    for (const TIntf<THostModule>& module : FModules)
        if (module->NativeFileName() == native) {
            FWindow->ShowTab(module->Buffer()->Control());
            return module;
        }
    FileNotification(ofnFileOpening, WindowsPath(native));
    TIntf<THostModule> module(new THostModule(native));
    FModules.push_back(module);
    FWindow->AddTab(*module);
    FileNotification(ofnFileOpened, module->GetFileName());
    return module;
}

bool THostIDE::CloseModule(THostModule& Module) {
    if (Module.IsModified()) {
        TModalResult answer = MessageDlg(Format("Save changes to %s?", Module.GetFileName()),
                                         mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel});
        if (answer == mrCancel || answer == mrNone) return false;
        if (answer == mrYes) {
            try {
                Module.Save();
            } catch (const std::exception& E) {
                ShowError(E.what());
                return false;
            }
        }
    }
    TIntf<THostModule> keep(&Module);
    FileNotification(ofnFileClosing, Module.GetFileName());
    TEditControl* control = Module.Buffer() ? Module.Buffer()->Control() : nullptr;
    Module.Close();
    std::erase(FModules, keep);
    FWindow->RememberClosedFile(Module.GetFileName());
    FWindow->RemoveTab(control);
    return true;
}

bool THostIDE::CloseAll() {
    while (!FModules.empty())
        if (!CloseModule(*FModules.back())) return false;
    return true;
}

TIntf<THostModule> THostIDE::FrontModule() const {
    TEditControl* front = FWindow->FrontControl();
    for (const TIntf<THostModule>& module : FModules)
        if (front && module->Buffer() && module->Buffer()->Control() == front) return module;
    return {};
}

void THostIDE::LoadExperts() {
    try {
        FExperts.Load(*this);
    } catch (const std::exception& E) {
        ShowWarning(Format("The experts could not be read: %s", E.what()));
    }
}

void THostIDE::FrontChanged() {
    if (TIntf<THostModule> module = FrontModule()) module->Buffer()->NotifyViewActivated();
}

void THostIDE::TextChanged(THostModule& Module) {
    Module.NotifyModified();
}

TDockFrame* THostIDE::MakeDockFrame(const std::string& Name) {
    auto found = FDockFrames.find(Name);
    if (found != FDockFrames.end()) return found->second;
    auto formClass = FFormClasses.find(Name);
    if (formClass == FFormClasses.end()) return nullptr;
    auto* frame = new TDockFrame(*FWindow, Name);
    FDockFrames.emplace(Name, frame);
    FWindow->restoreDockWidget(frame);
    frame->SetEvents(formClass->second->CreateForm(frame));
    return frame;
}

void THostIDE::FileNotification(TOTAFileNotification Code, const std::string& FileName) {
    bool cancel = false;
    FIDENotifiers.ForEach(
        [&](IOTAIDENotifier& Notifier) { Notifier.FileNotification(Code, FileName, cancel); });
}

QWidget* THostIDE::GetParentHandle() noexcept {
    return FWindow.get();
}
IOTAServices& THostIDE::Services() noexcept {
    return FServices->Services;
}
IOTAModuleServices& THostIDE::ModuleServices() noexcept {
    return FServices->Modules;
}
IOTAEditorServices& THostIDE::EditorServices() noexcept {
    return FServices->Editors;
}
IOTAWizardServices& THostIDE::WizardServices() noexcept {
    return FServices->Wizards;
}
INTAServices& THostIDE::NTAServices() noexcept {
    return FServices->NTA;
}
INTADesktopServices& THostIDE::DesktopServices() noexcept {
    return FServices->Desktop;
}

} // namespace kolva
