// The explorer's state as published properties, so that the module store and the registry
// copy it by name: the window's filters and splitter (kept in the registry), and with the
// focused member the view of one module (kept while the IDE runs).
#pragma once

#include "foundation/Propinfo.h"
#include "model/FWEngineDefs.h"
#include "platform/Persistent.h"
#include "settings/TreeviewStates.h"

#include <string>

class QTreeWidget;
class QTreeWidgetItem;

namespace kolva {

class TFWExplorerForm;

/// Reads and writes the explorer itself: it holds no values of its own.
class TExplorerFormState : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    explicit TExplorerFormState(TFWExplorerForm& Form) : FForm(Form) {}

    TCodeItems MemberFilter() const;
    void SetMemberFilter(TCodeItems Value);
    bool ShowLocalProcs() const;
    void SetShowLocalProcs(bool Value);
    /// The height of the contents tree's pane.
    int32_t Split() const;
    void SetSplit(int32_t Value);
    TVisibilities VisibilityFilter() const;
    void SetVisibilityFilter(TVisibilities Value);

protected:
    TFWExplorerForm& FForm;
};

class TMemberListState : public TExplorerFormState {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    using TExplorerFormState::TExplorerFormState;

    /// The name of the focused member; setting selects and focuses the row of that name.
    std::string SelectedMember() const;
    void SetSelectedMember(const std::string& Value);
};

/// A tree widget's nodes as the tree state store walks them.
class TTreeWidgetNodes : public ITreeNodes {
public:
    explicit TTreeWidgetNodes(QTreeWidget& Tree) : FTree(Tree) {}
    int NodeCount() const override;
    std::string NodeText(int Node) const override;
    bool HasChildren(int Node) const override;
    bool Expanded(int Node) const override;
    void SetExpanded(int Node, bool Value) override;
    int TopNode() const override;
    void SetTopNode(int Node) override;
    int SelectedNode() const override;
    void SetSelectedNode(int Node) override;

private:
    QTreeWidgetItem* At(int Node) const;
    int IndexOf(const QTreeWidgetItem* Item) const;

    QTreeWidget& FTree;
};

} // namespace kolva
