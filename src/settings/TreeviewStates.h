// The remembered view of a tree: which nodes with children are collapsed, which node is at
// the top and which is selected, all by node text, so that a tree built anew (after a
// re-parse, or for a module shown again) comes back as the user left it. The store knows
// the tree only through `ITreeNodes`, which the window library implements.
#pragma once

#include "foundation/Propinfo.h"
#include "platform/Persistent.h"
#include "platform/StringList.h"

#include <string>

namespace kolva {

/// What the state needs of a tree view: its nodes in display order (every node, also
/// under collapsed ones), indexed from 0.
class ITreeNodes {
public:
    virtual int NodeCount() const = 0;
    virtual std::string NodeText(int Node) const = 0;
    virtual bool HasChildren(int Node) const = 0;
    virtual bool Expanded(int Node) const = 0;
    virtual void SetExpanded(int Node, bool Value) = 0;
    /// -1 when the tree is empty or nothing is selected.
    virtual int TopNode() const = 0;
    virtual void SetTopNode(int Node) = 0;
    virtual int SelectedNode() const = 0;
    virtual void SetSelectedNode(int Node) = 0;
    /// Brackets a restore, so that the tree repaints once.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

protected:
    ~ITreeNodes() = default;
};

enum TRestoreMaskItem : uint8_t { trCollapsed, trTopItem, trSelected };
using TRestoreMask = TSet<TRestoreMaskItem, trSelected + 1>;

class TTreeviewState : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    TTreeviewState();
    /// From another tree state: what it captured and its mask, not its tree.
    void Assign(const TPersistent& Source) override;

    /// Texts of the collapsed nodes that have children, sorted, ASCII case ignored.
    const TStringList* Collapsed() const { return &FCollapsed; }
    void SetCollapsed(const TStringList* Value);
    const std::string& Selected() const { return FSelected; }
    void SetSelected(const std::string& Value) { FSelected = Value; }
    const std::string& TopItem() const { return FTopItem; }
    void SetTopItem(const std::string& Value) { FTopItem = Value; }
    TRestoreMask RestoreMask() const { return FRestoreMask; }
    void SetRestoreMask(TRestoreMask Value) { FRestoreMask = Value; }

    ITreeNodes* Treeview() const { return FTreeview; }
    /// Serving another tree forgets what was captured from the last.
    void SetTreeview(ITreeNodes* Value);
    /// The tree is being destroyed: the reference and the collapsed texts go.
    void TreeviewDestroyed();

    /// Records the tree's collapsed nodes, top node and selection.
    void Capture();
    /// Applies what RestoreMask names; of nodes with equal texts the last one wins.
    void Restore();

private:
    TStringList FCollapsed;
    std::string FSelected;
    std::string FTopItem;
    TRestoreMask FRestoreMask = TRestoreMask::All();
    ITreeNodes* FTreeview = nullptr;
};

} // namespace kolva
