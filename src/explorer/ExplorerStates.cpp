#include "explorer/ExplorerStates.h"

#include "explorer/ExplorerFrm.h"
#include "settings/PrjStore.h"

#include <QTreeWidgetItemIterator>

namespace kolva {

const TPropTable& TExplorerFormState::PropTable() {
    using T = TExplorerFormState;
    static const TPropTable table(
        "TExplorerFormState", "ExplorerFrm", nullptr,
        {
            Prop<&T::MemberFilter, &T::SetMemberFilter>("MemberFilter", &CodeItemsType()),
            Prop<&T::ShowLocalProcs, &T::SetShowLocalProcs>("ShowLocalProcs"),
            Prop<&T::Split, &T::SetSplit>("Split"),
            Prop<&T::VisibilityFilter, &T::SetVisibilityFilter>("VisibilityFilter",
                                                                &VisibilitiesType()),
        });
    return table;
}

TCodeItems TExplorerFormState::MemberFilter() const {
    return FForm.MemberFilter();
}
void TExplorerFormState::SetMemberFilter(TCodeItems Value) {
    FForm.SetMemberFilter(Value);
}
bool TExplorerFormState::ShowLocalProcs() const {
    return FForm.ShowLocalProcs();
}
void TExplorerFormState::SetShowLocalProcs(bool Value) {
    FForm.SetShowLocalProcs(Value);
}
int32_t TExplorerFormState::Split() const {
    return FForm.Split();
}
void TExplorerFormState::SetSplit(int32_t Value) {
    FForm.SetSplit(Value);
}
TVisibilities TExplorerFormState::VisibilityFilter() const {
    return FForm.VisibilityFilter();
}
void TExplorerFormState::SetVisibilityFilter(TVisibilities Value) {
    FForm.SetVisibilityFilter(Value);
}

const TPropTable& TMemberListState::PropTable() {
    using T = TMemberListState;
    static const TPropTable table(
        "TMemberListState", "ExplorerFrm", &TExplorerFormState::PropTable(),
        {
            Prop<&T::SelectedMember, &T::SetSelectedMember>("SelectedMember"),
        });
    return table;
}

std::string TMemberListState::SelectedMember() const {
    TCodeItem* Member = FForm.FocusedMember();
    return Member ? Member->Name : std::string();
}

void TMemberListState::SetSelectedMember(const std::string& Value) {
    FForm.FocusMember(FForm.Cache().IndexOfName(Value));
}

QTreeWidgetItem* TTreeWidgetNodes::At(int Node) const {
    QTreeWidgetItemIterator It(&FTree);
    for (int I = 0; *It && I < Node; ++I)
        ++It;
    return *It;
}

int TTreeWidgetNodes::IndexOf(const QTreeWidgetItem* Item) const {
    int I = 0;
    for (QTreeWidgetItemIterator It(&FTree); *It; ++It, ++I)
        if (*It == Item) return I;
    return -1;
}

int TTreeWidgetNodes::NodeCount() const {
    int Count = 0;
    for (QTreeWidgetItemIterator It(&FTree); *It; ++It)
        ++Count;
    return Count;
}

std::string TTreeWidgetNodes::NodeText(int Node) const {
    return At(Node)->text(0).toStdString();
}
bool TTreeWidgetNodes::HasChildren(int Node) const {
    return At(Node)->childCount() > 0;
}
bool TTreeWidgetNodes::Expanded(int Node) const {
    return At(Node)->isExpanded();
}
void TTreeWidgetNodes::SetExpanded(int Node, bool Value) {
    At(Node)->setExpanded(Value);
}

int TTreeWidgetNodes::TopNode() const {
    return IndexOf(FTree.itemAt(FTree.viewport()->rect().topLeft()));
}

void TTreeWidgetNodes::SetTopNode(int Node) {
    FTree.scrollToItem(At(Node), QAbstractItemView::PositionAtTop);
}

int TTreeWidgetNodes::SelectedNode() const {
    return IndexOf(FTree.currentItem());
}
void TTreeWidgetNodes::SetSelectedNode(int Node) {
    FTree.setCurrentItem(At(Node));
}

} // namespace kolva
