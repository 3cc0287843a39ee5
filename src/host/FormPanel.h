// The form designer panel of the edit window: the components of the front unit's form with
// their classes and event bindings, and the commands that rename or delete a component or
// rename an event handler, changing form and unit together.
#pragma once

#include <QDockWidget>
#include <string>

class QTreeWidget;
class QTreeWidgetItem;

namespace kolva {

class THostModule;

class TFormPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit TFormPanel(QWidget* Parent);

    /// Shows the form of Module; an empty list for nil or a unit without a form.
    void SetModule(THostModule* Module);
    THostModule* Module() const { return FModule; }
    QTreeWidget* Tree() const { return FTree; }
    /// Lists the form again.
    void Refresh();

    /// The panel's commands, also for tests: false when refused or failed (a failure is
    /// reported as an error message).
    bool RenameComponent(const std::string& OldName, const std::string& NewName);
    bool DeleteComponent(const std::string& Name);
    bool RenameEventHandler(const std::string& OldName, const std::string& NewName);
    bool DeleteEventHandler(const std::string& Name);

private:
    THostModule* FModule = nullptr;
    QTreeWidget* FTree;

    template <class Op>
    bool Run(Op&& Operation);
    void RenameCurrent();
    void DeleteCurrent();
};

} // namespace kolva
