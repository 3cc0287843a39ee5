// The tree state store over a tree given as node texts: what Capture records and what
// Restore applies, with nodes of equal text and nodes without children.
#include "settings/TreeviewStates.h"

#include <vector>

#include <gtest/gtest.h>

namespace kolva {
namespace {

struct TNode {
    std::string Text;
    bool Children, Expanded;
};

class TFakeTree : public ITreeNodes {
public:
    std::vector<TNode> Nodes;
    int Top = -1, Selected = -1;
    int NodeCount() const override { return static_cast<int>(Nodes.size()); }
    std::string NodeText(int Node) const override { return Nodes[Node].Text; }
    bool HasChildren(int Node) const override { return Nodes[Node].Children; }
    bool Expanded(int Node) const override { return Nodes[Node].Expanded; }
    void SetExpanded(int Node, bool Value) override { Nodes[Node].Expanded = Value; }
    int TopNode() const override { return Top; }
    void SetTopNode(int Node) override { Top = Node; }
    int SelectedNode() const override { return Selected; }
    void SetSelectedNode(int Node) override { Selected = Node; }
};

TEST(TreeviewStateTest, CapturesAndRestoresByText) {
    TFakeTree Tree;
    Tree.Nodes = {{"TBase", true, false},
                  {"TLeaf", false, false},
                  {"TMid", true, true},
                  {"TLeaf", false, true},
                  {"Module", false, true}};
    Tree.Top = 2;
    Tree.Selected = 3;
    TTreeviewState State;
    State.SetTreeview(&Tree);
    State.Capture();
    ASSERT_EQ(State.Collapsed()->Count(), 1); // a collapsed node without children is not kept
    EXPECT_EQ((*State.Collapsed())[0], "TBase");
    EXPECT_EQ(State.TopItem(), "TMid");
    EXPECT_EQ(State.Selected(), "TLeaf");

    TFakeTree Rebuilt; // built anew: everything expanded, nothing selected
    Rebuilt.Nodes = {{"tbase", true, true},
                     {"TLeaf", false, true},
                     {"TMid", true, true},
                     {"TLeaf", false, true}};
    TTreeviewState Copy;
    Copy.SetTreeview(&Rebuilt);
    Copy.Assign(State);
    Copy.Restore();
    EXPECT_FALSE(Rebuilt.Nodes[0].Expanded);
    EXPECT_TRUE(Rebuilt.Nodes[2].Expanded);
    EXPECT_EQ(Rebuilt.Selected, 3); // of two nodes with the selected text, the later
    EXPECT_EQ(Rebuilt.Top, 2);

    Copy.SetRestoreMask({trCollapsed});
    Rebuilt.Selected = -1;
    Copy.Restore();
    EXPECT_EQ(Rebuilt.Selected, -1);

    State.SetTreeview(&Rebuilt); // serving another tree forgets the last one
    EXPECT_TRUE(State.Selected().empty());
    EXPECT_EQ(State.Collapsed()->Count(), 0);
}

} // namespace
} // namespace kolva
