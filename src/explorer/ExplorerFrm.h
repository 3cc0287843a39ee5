// The "Unit explorer": the contents tree of the unit's types with a "Module" node, and below
// it the member list of the selected node with its filter panel. It keeps its own parse of
// the unit that the editor interface gives, and edits that unit only through the model
// editor, so it knows the IDE only through the editing interfaces.
#pragma once

#include "editing/KolvaEditors.h"
#include "explorer/ASListView.h"
#include "explorer/DetailsList.h"
#include "explorer/ExplorerStates.h"
#include "explorer/FormEx.h"
#include "explorer/ImgButtons.h"
#include "explorer/Scopfltr.h"
#include "ide/EdtSyncs.h"
#include "model/ModuleExplorer.h"
#include "settings/KOLVAOpts.h"
#include "settings/TreeviewStates.h"

#include <memory>
#include <string>

class QSplitter;
class QToolBar;
class QToolButton;
class QGridLayout;
class QMenu;

namespace kolva {

/// The host window's synchronisation engine drives it as its TSyncExplorer.
class TFWExplorerForm : public TFormEx, public TSyncExplorer {
public:
    /// Editor, Synchronizer and Designer outlive the window; Designer may be null (no form
    /// designer).
    TFWExplorerForm(QWidget* Owner, bool Embedded, TEditorInterface& Editor,
                    TEditSynchronizer* Synchronizer, TDesignerInterface* Designer = nullptr);
    ~TFWExplorerForm() override;

    /// Reads the unit from the editor and parses it; the tree and list follow.
    void Synchronize();

    // What the synchronisation engine calls.
    void ReadSource() override { Synchronize(); }
    void SetOutOfStep(bool Value) override { SetInStep(!Value); }
    void BeginParserUpdate() override { FParser.BeginUpdate(); }
    void EndParserUpdate() override { FParser.EndUpdate(); }
    TModuleExplorer& Parser() { return FParser; }
    TKolvaEditor& ModelEditor() { return *FModelEditor; }
    const std::string& FileName() const { return FFileName; }
    /// The kind of the item whose members are listed: ckModule, a type kind, or ckNone.
    TCodeItemKind ShownKind() const { return FShownKind; }
    /// The listed class is the root class of an open form designer.
    bool FormClass() const { return FFormClass; }
    /// False while the host reports the model out of step; the Refresh button shows it.
    bool InStep() const { return FInStep; }
    void SetInStep(bool Value);

    TTreeViewEx& ContentsTree() { return *FTree; }
    TAutoScrollListView& DetailsList() { return *FList; }
    const TDisplayCache& Cache() const { return FCache; }
    /// The code item a tree node stands for; null for none.
    static TCodeItem* NodeItem(const QTreeWidgetItem* Node);
    /// The item of the selected tree node; null when none.
    TCodeItem* SelectedItem() const;
    /// Selects the node of Item; false when the tree has none.
    bool SelectItem(const TCodeItem* Item);
    /// The member of the focused row; null when none.
    TCodeItem* FocusedMember() const;
    /// Selects and focuses row Row of the member list; nothing for a row it does not have.
    void FocusMember(int Row);
    /// The height of the contents tree's pane.
    int Split() const;
    void SetSplit(int Value);
    TTreeviewState& TreeviewState() { return FTreeState; }

    /// Shows the selected class's declaration in the editor; Focus gives the editor the
    /// keyboard.
    void ShowClass(bool Focus);
    /// Shows Member's implementation (its declaration with Declaration) in the editor.
    void ShowMember(TCodeItem& Member, bool Declaration, bool Focus);
    /// Selects the node and row of the item at the editor's cursor, widening the filters
    /// when they hide it.
    void LocateEditorPos();
    /// Renames the member of Row through the engine; errors are reported, a refusal is
    /// silent.
    void RenameMember(int Row, const std::string& NewName);
    /// Renames the class of Node as typed in it (for a form class, "T" and the form's name),
    /// once the tree has closed its editor and only if Node is still selected then.
    void RenameClassNode(QTreeWidgetItem* Node, const std::string& Typed);

    /// Drag and drop: members of the list (drag kind 1, or 2 for the module's procedures)
    /// or the current class node (3) onto a tree node.
    void BeginMemberDrag();
    bool BeginClassDrag();
    int DragKind() const { return FDragKind; }
    /// What a drop on Node with Keys held would do: copy, move (Shift without Ctrl, for
    /// members), or Qt::IgnoreAction when it is not taken.
    Qt::DropAction DropActionOn(QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys) const;
    void DropOn(QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys);
    void EndDrag();

    /// The "Sorting" and "Order by" menus.
    QMenu& SortingMenu() { return *FSortingMenu; }
    QMenu& OrderByMenu() { return *FOrderByMenu; }

    TCodeItems MemberFilter() const;
    void SetMemberFilter(TCodeItems Value);
    bool ShowLocalProcs() const { return FLocalProcFilter->Down(); }
    void SetShowLocalProcs(bool Value);
    TVisibilities VisibilityFilter() const { return FVisibilityFilter->Scopes(); }
    void SetVisibilityFilter(TVisibilities Value) { FVisibilityFilter->SetScopes(Value); }
    /// While locked, filter changes do not re-list; releasing the last lock re-lists once.
    void BeginFilterUpdate() { ++FFilterLock; }
    void EndFilterUpdate();
    /// All member kinds, local procedures and all visibilities.
    void ResetFilter();
    /// The kind filter's buttons and the show-all-kinds button.
    TFilterButton& KindButton(TCodeItemKind Kind);
    QToolButton& AllMembersButton() { return *FAllMembers; }
    QWidget& FilterPanel() { return *FFilterPanel; }

private:
    void BuildWindow();
    void BuildFilterPanel();
    void LayoutFilterPanel();
    void OptionsChanged(TKOLVAOptChanges Changes);
    void FilterChanged();
    void RebuildTree();
    void AddTypeNodes();
    QTreeWidgetItem* AddNode(QTreeWidgetItem* Parent, TCodeItem& Item);
    void AddDescendants(QTreeWidgetItem* Node, std::vector<TCodeItem*>& Left);
    void ListMembers();
    void BuildMenus();
    void RowClicked(const QModelIndex& Index);
    /// Runs an engine command: its error as a message, a refusal silently.
    void Run(const std::function<void()>& Command);
    void SaveModuleState();
    void RestoreModuleState();
    void ReadWindowState();
    void WriteWindowState();

    TEditorInterface& FEditor;
    TDesignerInterface* FDesigner;
    TModuleExplorer FParser;
    std::unique_ptr<TKolvaEditor> FModelEditor;
    TDisplayCache FCache;
    TKOLVAOptionsObserver FObserver;
    std::unique_ptr<TTreeWidgetNodes> FTreeNodes;
    TTreeviewState FTreeState;

    QToolBar* FToolBar = nullptr;
    QToolButton* FRefresh = nullptr;
    QSplitter* FSplitter = nullptr;
    TTreeViewEx* FTree = nullptr;
    QWidget* FFilterPanel = nullptr;
    QGridLayout* FFilterLayout = nullptr;
    TFilterButton* FKindButtons[4] = {};
    QToolButton* FAllMembers = nullptr;
    TFilterButton* FLocalProcFilter = nullptr;
    TScopeFilter* FVisibilityFilter = nullptr;
    TAutoScrollListView* FList = nullptr;
    TDetailsModel* FDetails = nullptr;
    TDetailsDelegate* FDelegate = nullptr;
    QMenu* FSortingMenu = nullptr;
    QMenu* FOrderByMenu = nullptr;

    std::string FFileName;
    TCodeItemKind FShownKind = ckNone;
    bool FFormClass = false;
    bool FInStep = true;
    int FTreeUpdate = 0;
    int FListUpdate = 0;
    int FFilterLock = 0;
    int FSplit = 200;
    /// Counts the parses: a drag that outlives its model is dropped nowhere.
    int FGeneration = 0;
    int FDragGeneration = -1;
    int FDragKind = 0;
    TItemList FDragItems;
    TCodeItem* FDragSource = nullptr;
};

} // namespace kolva
