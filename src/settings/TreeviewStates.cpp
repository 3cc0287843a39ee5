#include "settings/TreeviewStates.h"

#include "platform/SysUtils.h"

namespace kolva {

namespace {
const TPublishedRegistrar<TTreeviewState> RegisterTreeviewState;
} // namespace

const TPropTable& TTreeviewState::PropTable() {
    using T = TTreeviewState;
    static const TPropTable table("TTreeviewState", "TreeviewStates", nullptr,
                                  {
                                      Prop<&T::Collapsed, &T::SetCollapsed>("Collapsed"),
                                      Prop<&T::Selected, &T::SetSelected>("Selected"),
                                      Prop<&T::TopItem, &T::SetTopItem>("TopItem"),
                                  });
    return table;
}

TTreeviewState::TTreeviewState() {
    FCollapsed.SetSorted(true);
    FCollapsed.SetDuplicates(dupIgnore);
}

void TTreeviewState::Assign(const TPersistent& Source) {
    auto* Other = dynamic_cast<const TTreeviewState*>(&Source);
    if (!Other) return TPersistent::Assign(Source);
    SetCollapsed(Other->Collapsed());
    FSelected = Other->FSelected;
    FTopItem = Other->FTopItem;
    FRestoreMask = Other->FRestoreMask;
}

void TTreeviewState::SetCollapsed(const TStringList* Value) {
    if (Value == &FCollapsed) return;
    FCollapsed.Clear();
    if (Value)
        for (int I = 0; I < Value->Count(); ++I)
            FCollapsed.Add((*Value)[I]);
}

void TTreeviewState::SetTreeview(ITreeNodes* Value) {
    if (Value == FTreeview) return;
    FTreeview = Value;
    FCollapsed.Clear();
    FSelected.clear();
    FTopItem.clear();
}

void TTreeviewState::TreeviewDestroyed() {
    FTreeview = nullptr;
    FCollapsed.Clear();
}

void TTreeviewState::Capture() {
    FCollapsed.Clear();
    if (!FTreeview) return;
    ITreeNodes& Tree = *FTreeview;
    for (int I = 0; I < Tree.NodeCount(); ++I)
        if (Tree.HasChildren(I) && !Tree.Expanded(I)) FCollapsed.Add(Tree.NodeText(I));
    int Top = Tree.TopNode(), Selected = Tree.SelectedNode();
    FTopItem = Top >= 0 ? Tree.NodeText(Top) : std::string();
    FSelected = Selected >= 0 ? Tree.NodeText(Selected) : std::string();
}

void TTreeviewState::Restore() {
    if (!FTreeview) return;
    ITreeNodes& Tree = *FTreeview;
    Tree.BeginUpdate();
    int Top = -1, Selected = -1, Index;
    for (int I = 0; I < Tree.NodeCount(); ++I) {
        std::string Text = Tree.NodeText(I);
        if (SameText(Text, FTopItem)) Top = I;
        if (SameText(Text, FSelected)) Selected = I;
        if (FRestoreMask.Contains(trCollapsed)) Tree.SetExpanded(I, !FCollapsed.Find(Text, Index));
    }
    if (FRestoreMask.Contains(trTopItem) && Top >= 0) Tree.SetTopNode(Top);
    if (FRestoreMask.Contains(trSelected) && Selected >= 0) Tree.SetSelectedNode(Selected);
    Tree.EndUpdate();
}

} // namespace kolva
