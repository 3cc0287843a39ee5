// The IDE stand-in's window: main menu (File, Edit, View), the action list, the edit tabs
// with one editor control per open file, the editor's local menu and a status bar. Its class
// name is the IDE's edit window's; its menus and actions carry the names the IDE's have, since
// add-ins find them by name.
#pragma once

#include <QMainWindow>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

namespace kolva {

class TEditControl;
class TFormPanel;
class THostIDE;
class THostModule;

/// Where the closed files are remembered (current user), most recent first.
inline constexpr const char* ClosedFilesKey = "Software\\Borland\\Delphi\\5.0\\Closed Files";
inline constexpr int MaxClosedFiles = 8;

class TEditWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TEditWindow(THostIDE& IDE);

    /// Adds a tab with an editor control for Module and brings it to the front.
    TEditControl* AddTab(THostModule& Module);
    /// Brings the tab showing Control to the front.
    void ShowTab(TEditControl* Control);
    void RemoveTab(TEditControl* Control);
    /// The control of the front tab; nil when none.
    TEditControl* FrontControl() const;
    /// The controls in tab order.
    std::vector<TEditControl*> Controls() const;

    QMenu* LocalMenu() const { return FLocalMenu; }
    /// The form designer panel (shown by View | Object Inspector); it follows the front tab.
    TFormPanel* FormPanel() const { return FFormPanel; }
    QObject* ActionList() const { return FActionList; }
    /// The action of that name in the action list; nil when none.
    QAction* Action(const char* Name) const;

    /// The recently closed files, most recent first.
    std::vector<std::string> ClosedFiles() const;
    void RememberClosedFile(const std::string& FileName);

    /// File commands, also for tests: each asks and reports as the menu command does.
    void OpenWithDialog();
    bool SaveFront();
    bool SaveFrontAs();
    void CloseFront();
    void FindText();
    void FindNext();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    THostIDE& FIDE;
    QTabWidget* FTabs;
    QMenu* FLocalMenu;
    QObject* FActionList;
    QMenu* FReopenMenu = nullptr;
    QLabel* FPosition;
    TFormPanel* FFormPanel;
    QString FLastFind;

    QAction* NewAction(const char* Name, const QString& Caption, const char* Category,
                       const QKeySequence& Shortcut = {});
    void BuildMenus();
    void BuildLocalMenu();
    void FillReopenMenu();
    void UpdateStatus();
    THostModule* ModuleOf(TEditControl* Control) const;
};

} // namespace kolva
