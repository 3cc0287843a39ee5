// The IDE stand-in as a whole: the open modules, the edit window, the services an add-in
// reaches through the tool services, and the add-in libraries loaded at start-up. Window
// commands (File, Edit, View) live in the edit window; what an add-in can see lives here.
#pragma once

#include "host/ExpertLoader.h"
#include "host/Modules.h"
#include "host/Notifiers.h"
#include "toolsapi/ExptIntf.h"

#include <map>
#include <memory>
#include <QList>
#include <QPixmap>
#include <string>
#include <vector>

namespace kolva {

class TEditWindow;
class TDockFrame;

/// Where the desktop is kept (current user).
inline constexpr const char* DesktopKey = "Software\\Borland\\Delphi\\5.0\\Desktop";

class THostIDE final : public TIToolServices {
public:
    /// Makes the edit window (not shown). EXPECTS: a QApplication exists.
    THostIDE();
    /// Releases the experts, frees the add-ins' frames and unloads the libraries, in that
    /// order, before the window goes.
    ~THostIDE();
    THostIDE(const THostIDE&) = delete;
    THostIDE& operator=(const THostIDE&) = delete;

    TEditWindow& Window() const { return *FWindow; }

    /// Opens a file (native, Windows or relative path), or brings its tab to the front when it
    /// is open. Raises EInOutError when it cannot be read.
    TIntf<THostModule> OpenFile(const std::string& FileName);
    /// Closes the module's tab, asking first when it has unsaved changes (Yes saves, No
    /// drops them). False when the user cancelled or saving failed.
    bool CloseModule(THostModule& Module);
    /// Closes every module as CloseModule does; false when one of them stayed open.
    bool CloseAll();
    const std::vector<TIntf<THostModule>>& OpenModules() const { return FModules; }
    /// The module of the front tab; nil when none.
    TIntf<THostModule> FrontModule() const;

    /// Loads the libraries of the current user's experts key (see ExpertLoader.h).
    void LoadExperts();
    TExpertLibraries& Experts() { return FExperts; }

    /// Writes the desktop (open files, the front one, window geometry, the add-ins' forms and
    /// where they are docked) to DesktopKey of the current user.
    void SaveDesktop();
    /// Opens the files of the saved desktop that still exist, makes the saved forms whose
    /// classes are registered, and puts the window and the forms where they were.
    void RestoreDesktop();

    /// The window told that the front tab changed, or that the front text changed.
    void FrontChanged();
    void TextChanged(THostModule& Module);

    /// The dockable frames made for add-ins, by desktop name.
    const std::map<std::string, TDockFrame*>& DockFrames() const { return FDockFrames; }
    TDockFrame* MakeDockFrame(const std::string& Name);

    // TIToolServices: lives as long as the host; references are not counted.
    void AddRef() noexcept override {}
    void Release() noexcept override {}
    QWidget* GetParentHandle() noexcept override;
    IOTAServices& Services() noexcept override;
    IOTAModuleServices& ModuleServices() noexcept override;
    IOTAEditorServices& EditorServices() noexcept override;
    IOTAWizardServices& WizardServices() noexcept override;
    INTAServices& NTAServices() noexcept override;
    INTADesktopServices& DesktopServices() noexcept override;

private:
    class TServices;
    std::unique_ptr<TEditWindow> FWindow;
    std::unique_ptr<TServices> FServices;
    std::vector<TIntf<THostModule>> FModules;
    TNotifierList<IOTAIDENotifier> FIDENotifiers;
    TNotifierList<IOTAWizard> FWizards;
    QList<QPixmap> FImages;
    std::map<std::string, TIntf<INTADesktopFormClass>> FFormClasses;
    std::map<std::string, TDockFrame*> FDockFrames;
    TExpertLibraries FExperts;

    void FileNotification(TOTAFileNotification Code, const std::string& FileName);
};

} // namespace kolva
