#include "explorer/ExplorerFrm.h"

#include "explorer/ModelImages.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"
#include "settings/PrjStore.h"

#include <algorithm>
#include <QApplication>
#include <QGridLayout>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kolva {

namespace {

constexpr int ItemRole = Qt::UserRole;
const TCodeItemKind KindOrder[4] = {ckField, ckMethod, ckProperty, ckResClause};
const TCodeItems AllKinds = {ckField, ckMethod, ckProperty, ckResClause};

// The name a type's ancestor is found by: without its type arguments ("TList<T>" is TList).
std::string AncestorName(const TCodeItem& Type) {
    const std::string& Ancestor = static_cast<const TClassItem&>(Type).Ancestor;
    return Ancestor.substr(0, Ancestor.find('<'));
}

bool ByName(const TCodeItem* A, const TCodeItem* B) {
    return CompareText(A->Name, B->Name) < 0;
}

// A double click on the filter panel switches between its one-row and two-row layouts.
class TFilterPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override {
        KOLVAOptions().SetWideFilter(!KOLVAOptions().WideFilter());
    }
};

} // namespace

TFWExplorerForm::TFWExplorerForm(QWidget* Owner, bool Embedded, TEditorInterface& Editor,
                                 TEditSynchronizer* Synchronizer, TDesignerInterface* Designer)
    : TFormEx(Owner, Embedded), FEditor(Editor), FDesigner(Designer),
      FModelEditor(std::make_unique<TKolvaEditor>(FParser, Synchronizer, Designer)) {
    setWindowTitle(QStringLiteral("Unit explorer"));
    BuildWindow();
    FTreeNodes = std::make_unique<TTreeWidgetNodes>(*FTree);
    FTreeState.SetTreeview(FTreeNodes.get());
    FParser.OnChange = [this](TModuleExplorer&) { RebuildTree(); };
    FObserver.SetOnChange([this](TKOLVAOptChanges Changes) { OptionsChanged(Changes); });
    OptionsChanged(TKOLVAOptChanges::All());
    FParser.Clear();
    RebuildTree();
    ReadWindowState();
}

TFWExplorerForm::~TFWExplorerForm() {
    WriteWindowState();
    FTreeState.TreeviewDestroyed();
    FParser.OnChange = nullptr;
    FObserver.SetOnChange(nullptr);
    FTree->disconnect(this);
}

void TFWExplorerForm::BuildWindow() {
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    FToolBar = new QToolBar(this);
    FToolBar->setIconSize(QSize(16, 16));
    FRefresh = new QToolButton(FToolBar);
    FRefresh->setText(QStringLiteral("Refresh"));
    FRefresh->setToolTip(QStringLiteral("Refresh"));
    FRefresh->setCheckable(true);
    connect(FRefresh, &QToolButton::clicked, this, [this] {
        FRefresh->setChecked(!FInStep);
        FEditor.RequestSync();
    });
    FToolBar->addWidget(FRefresh);
    BuildMenus();
    Layout->addWidget(FToolBar);

    FSplitter = new QSplitter(Qt::Vertical, this);
    connect(FSplitter, &QSplitter::splitterMoved, this, [this] { FSplit = FTree->height(); });
    FTree = new TTreeViewEx(FSplitter);
    FTree->setObjectName(QStringLiteral("ContentsTree"));
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this] {
        if (FTreeUpdate > 0) return;
        ListMembers();
        if (FTree->hasFocus()) ShowClass(false);
    });
    connect(FTree, &QTreeWidget::itemClicked, this, [this] { ShowClass(false); });
    FTree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(FTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* Node) {
        if (FTreeUpdate == 0) RenameClassNode(Node, Node->text(0).toStdString());
    });
    FTree->setDragEnabled(true);
    FTree->setAcceptDrops(true);
    FTree->setDragDropMode(QAbstractItemView::DragDrop);
    FTree->OnStartDrag = [this](TTreeViewEx&) { return BeginClassDrag(); };
    FTree->OnDragOver = [this](QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys) {
        return DropActionOn(Node, Keys);
    };
    FTree->OnDragDrop = [this](QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys) {
        DropOn(Node, Keys);
    };
    auto* Lower = new QWidget(FSplitter);
    auto* LowerLayout = new QVBoxLayout(Lower);
    LowerLayout->setContentsMargins(0, 0, 0, 0);
    LowerLayout->setSpacing(0);
    BuildFilterPanel();
    LowerLayout->addWidget(FFilterPanel);
    FList = new TAutoScrollListView(Lower);
    FList->setObjectName(QStringLiteral("DetailsList"));
    FList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FDetails = new TDetailsModel(FCache, FList);
    FDelegate = new TDetailsDelegate(FCache, FList);
    FList->setModel(FDetails);
    FList->setItemDelegate(FDelegate);
    FList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    FList->setDragEnabled(true);
    FList->setDragDropMode(QAbstractItemView::DragOnly); // nothing is dropped on the list
    FList->OnStartDrag = [this](TListViewEx&) { BeginMemberDrag(); };
    connect(FList, &QAbstractItemView::clicked, this, &TFWExplorerForm::RowClicked);
    connect(FList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& Index) {
                if (FListUpdate == 0 && FList->hasFocus() && Index.isValid()) RowClicked(Index);
            });
    // The rename parses the unit again and refills the list, which must not happen while
    // the list is still closing its editor: it runs once the edit is over, and only if the
    // row still shows the member that was edited.
    FDetails->OnRename = [this](int Row, const std::string& Text) {
        if (Row < 0 || Row >= FCache.Count()) return;
        std::string OldName = FCache.Row(Row).Item->Name;
        QMetaObject::invokeMethod(
            this,
            [this, Row, OldName, Text] {
                if (Row < FCache.Count() && FCache.Row(Row).Item->Name == OldName)
                    RenameMember(Row, Text);
            },
            Qt::QueuedConnection);
    };
    LowerLayout->addWidget(FList);
    Layout->addWidget(FSplitter);
    SetSplit(FSplit);
}

void TFWExplorerForm::BuildFilterPanel() {
    static const char* const KindHints[4] = {"Show fields", "Show methods", "Show properties",
                                             "Show method resolution clauses"};
    static const int KindImages[4] = {imField, imProcedure, imProperty, imResClause};
    FFilterPanel = new TFilterPanel(this);
    FFilterPanel->setObjectName(QStringLiteral("FilterPanel"));
    FFilterLayout = new QGridLayout(FFilterPanel);
    FFilterLayout->setContentsMargins(2, 2, 2, 2);
    FFilterLayout->setSpacing(0);
    for (int I = 0; I < 4; ++I) {
        auto* Button = new TFilterButton(FFilterPanel);
        Button->SetGroupIndex(1);
        Button->SetImageIndex(KindImages[I]);
        Button->setToolTip(QString::fromLatin1(KindHints[I]));
        Button->SetDown(true);
        Button->setFixedSize(20, 21);
        Button->OnClick = [this](TFilterButton&) { FilterChanged(); };
        FKindButtons[I] = Button;
    }
    FAllMembers = new QToolButton(FFilterPanel);
    FAllMembers->setAutoRaise(true);
    FAllMembers->setFocusPolicy(Qt::NoFocus);
    FAllMembers->setIcon(ModelIcon(imAllMembers));
    FAllMembers->setToolTip(QStringLiteral("Show all members"));
    FAllMembers->setFixedSize(20, 21);
    connect(FAllMembers, &QToolButton::clicked, this,
            [this] { SetMemberFilter(MemberFilter() == AllKinds ? TCodeItems() : AllKinds); });
    FLocalProcFilter = new TFilterButton(FFilterPanel);
    FLocalProcFilter->SetGroupIndex(2);
    FLocalProcFilter->SetImageIndex(imLocalProc);
    FLocalProcFilter->setToolTip(QStringLiteral("Show local procedures"));
    FLocalProcFilter->SetDown(true);
    FLocalProcFilter->setFixedSize(20, 21);
    FLocalProcFilter->OnClick = [this](TFilterButton&) { FilterChanged(); };
    FVisibilityFilter = new TScopeFilter(FFilterPanel);
    FVisibilityFilter->OnFilterChange = [this](TScopeFilter&) { FilterChanged(); };
}

// One row: the visibility buttons right of the kind buttons; two rows: below them.
void TFWExplorerForm::LayoutFilterPanel() {
    while (FFilterLayout->count())
        delete FFilterLayout->takeAt(0); // the layout's item only: the buttons stay
    int Column = 0;
    for (auto* Button : FKindButtons)
        FFilterLayout->addWidget(Button, 0, Column++);
    FFilterLayout->addWidget(FAllMembers, 0, Column++);
    FFilterLayout->addWidget(FLocalProcFilter, 0, Column++);
    bool Wide = KOLVAOptions().WideFilter();
    if (Wide) {
        FFilterLayout->addItem(new QSpacerItem(8, 1), 0, Column++);
        FFilterLayout->addWidget(FVisibilityFilter, 0, Column++);
    } else {
        FFilterLayout->addWidget(FVisibilityFilter, 1, 0, 1, Column);
    }
    FFilterLayout->setColumnStretch(Column, 1);
    int ButtonHeight = FVisibilityFilter->ButtonHeight();
    int Margins = 2 * 2;
    FFilterPanel->setFixedHeight((Wide ? 1 : 2) * ButtonHeight + Margins);
}

void TFWExplorerForm::OptionsChanged(TKOLVAOptChanges Changes) {
    TKOLVAOptions& Options = KOLVAOptions();
    if (Changes.Contains(ocVisibleToolbars)) {
        FToolBar->setVisible(Options.VisibleToolbars().Contains(mtToolbar));
        FFilterPanel->setVisible(Options.VisibleToolbars().Contains(mtFilterBar));
    }
    if (Changes.Contains(ocWideFilter)) LayoutFilterPanel();
    if (Changes.Contains(ocContentsDisplayMode) || Changes.Contains(ocContentsDisplayOptions))
        RebuildTree();
    else if (Changes.Contains(ocDetailsSortMode) || Changes.Contains(ocDetailsDisplayOptions) ||
             Changes.Contains(ocDesignerRestrictions))
        ListMembers();
}

void TFWExplorerForm::SetInStep(bool Value) {
    FInStep = Value;
    FRefresh->setChecked(!Value);
}

void TFWExplorerForm::Synchronize() {
    TStringList Lines;
    std::string Name;
    FEditor.GetSource(Lines, Name);
    bool NewFile = !SameText(Name, FFileName);
    if (NewFile) {
        SaveModuleState();
        FFileName = Name;
    }
    if (FFileName.empty()) return FParser.Clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        FParser.Parse(&Lines);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    if (NewFile) RestoreModuleState();
    for (TCodeItem* Item : FParser.Module().Children())
        if (IsClassKind(Item->Kind())) RegisterClassName(Item->Name, Item->Kind());
}

void TFWExplorerForm::SaveModuleState() {
    if (FFileName.empty()) return;
    TModuleInfo& Info = ModuleStore().InfoFor(FFileName);
    FTreeState.Capture();
    Info.Assign(FTreeState);
    TMemberListState State(*this);
    Info.Assign(State);
}

void TFWExplorerForm::RestoreModuleState() {
    int Index;
    if (FFileName.empty() || !ModuleStore().FindInfo(FFileName, Index)) return;
    TModuleInfo& Info = ModuleStore().Modules.Info(Index);
    BeginFilterUpdate();
    FTreeState.Assign(Info);
    FTreeState.Restore();
    TMemberListState State(*this);
    State.Assign(Info);
    std::string Member = Info.SelectedMember(); // focused once the list is filled
    EndFilterUpdate();
    State.SetSelectedMember(Member);
}

namespace {
std::string WindowStateKey() {
    return KolvaRegKey(KolvaKeyVersion) + "\\ExplorerForm";
}
} // namespace

void TFWExplorerForm::ReadWindowState() {
    TRegistry Registry(HKEY_CURRENT_USER);
    if (!Registry.OpenKeyReadOnly(WindowStateKey())) return;
    TExplorerFormState State(*this);
    try {
        LoadProperties(State, Registry);
    } catch (const Exception&) {
        // A damaged value leaves the rest of the window as it is.
    }
}

// Runs as the window goes: a registry that cannot be written must not take the IDE down.
void TFWExplorerForm::WriteWindowState() {
    try {
        TRegistry Registry(HKEY_CURRENT_USER);
        if (!Registry.OpenKey(WindowStateKey(), true)) return;
        TExplorerFormState State(*this);
        SaveProperties(State, Registry);
    } catch (...) {
    }
}

TCodeItem* TFWExplorerForm::NodeItem(const QTreeWidgetItem* Node) {
    return Node ? reinterpret_cast<TCodeItem*>(Node->data(0, ItemRole).value<quintptr>()) : nullptr;
}

TCodeItem* TFWExplorerForm::SelectedItem() const {
    return NodeItem(FTree->currentItem());
}

bool TFWExplorerForm::SelectItem(const TCodeItem* Item) {
    for (QTreeWidgetItemIterator It(FTree); *It; ++It)
        if (NodeItem(*It) == Item) {
            FTree->setCurrentItem(*It);
            FTree->scrollToItem(*It);
            return true;
        }
    return false;
}

void TFWExplorerForm::FocusMember(int Row) {
    if (Row < 0 || Row >= FCache.Count()) return;
    QModelIndex Index = FDetails->index(Row, 0);
    FList->selectionModel()->setCurrentIndex(Index, QItemSelectionModel::ClearAndSelect);
    FList->scrollTo(Index);
}

// Kept as a value, since a hidden window has no laid-out panes to measure.
int TFWExplorerForm::Split() const {
    return FSplit;
}

void TFWExplorerForm::SetSplit(int Value) {
    if (Value < 0) return; // a module info from before the explorer stored one
    FSplit = Value;
    QList<int> Sizes = FSplitter->sizes();
    int Total = std::max(Sizes.value(0) + Sizes.value(1), FSplit + 1);
    FSplitter->setSizes({FSplit, Total - FSplit});
}

TCodeItem* TFWExplorerForm::FocusedMember() const {
    int Row = FList->currentIndex().row();
    return Row >= 0 && Row < FCache.Count() ? FCache.Row(Row).Item : nullptr;
}

QTreeWidgetItem* TFWExplorerForm::AddNode(QTreeWidgetItem* Parent, TCodeItem& Item) {
    auto* Node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(FTree);
    Node->setText(0, QString::fromStdString(Item.GetDisplayText()));
    Node->setData(0, ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(&Item)));
    Node->setFlags(Node->flags() | Qt::ItemIsEditable);
    int Image = TreeStateImage(Item.Kind());
    if (FDesigner && FDesigner->IsDesignerClass(Item.Name)) Image = tsFormClass;
    if (KOLVAOptions().ContentsDisplayOptions().Contains(cdShowType))
        Node->setIcon(0, TreeStateIcon(static_cast<TTreeStateImage>(Image)));
    if (Item.Implied) FTree->SetBold(Node, true);
    return Node;
}

void TFWExplorerForm::AddDescendants(QTreeWidgetItem* Node, std::vector<TCodeItem*>& Left) {
    const std::string& Name = NodeItem(Node)->Name;
    std::vector<TCodeItem*> Children;
    for (TCodeItem* Type : Left)
        if (SameText(AncestorName(*Type), Name)) Children.push_back(Type);
    for (TCodeItem* Child : Children)
        Left.erase(std::find(Left.begin(), Left.end(), Child));
    for (TCodeItem* Child : Children)
        AddDescendants(AddNode(Node, *Child), Left);
}

void TFWExplorerForm::AddTypeNodes() {
    std::vector<TCodeItem*> Types;
    for (TCodeItem* Item : FParser.Module().Children())
        if (IsTypeWithMembers(Item->Kind())) Types.push_back(Item);
    TContentsDisplayMode Mode = KOLVAOptions().ContentsDisplayMode();
    if (Mode != dmHierarchy) {
        if (Mode == dmSorted) std::stable_sort(Types.begin(), Types.end(), ByName);
        for (TCodeItem* Type : Types)
            AddNode(nullptr, *Type);
        return;
    }
    std::stable_sort(Types.begin(), Types.end(), ByName);
    std::vector<TCodeItem*> Left = Types;
    for (TCodeItem* Type : Types) {
        std::string Ancestor = AncestorName(*Type);
        bool Inside = std::any_of(Types.begin(), Types.end(), [&](const TCodeItem* Other) {
            return Other != Type && SameText(Other->Name, Ancestor);
        });
        if (Inside) continue;
        Left.erase(std::find(Left.begin(), Left.end(), Type));
        AddDescendants(AddNode(nullptr, *Type), Left);
    }
    if (!Left.empty())
        ShowWarning("Could not display all classes in unit due to recursion in inheritance "
                    "relations.\rUse Order by Name or Code to display all classes.");
}

void TFWExplorerForm::RebuildTree() {
    if (FTreeUpdate > 0) return;
    ++FGeneration;
    ++FTreeUpdate;
    ++FListUpdate;
    // The nodes still point into the model the parse has just freed: only their texts may
    // be read now.
    FTreeState.Capture();
    FTree->clear();
    if (FParser.ModuleKind() != mkCleared) {
        AddTypeNodes();
        QTreeWidgetItem* Module = AddNode(nullptr, FParser.Module());
        Module->setText(0, QStringLiteral("Module"));
        Module->setIcon(0, TreeStateIcon(tsModule));
        Module->setFlags(Module->flags() & ~Qt::ItemIsEditable);
        FTree->expandAll();
        FTreeState.Restore();
    }
    --FListUpdate;
    --FTreeUpdate;
    if (FTree->currentItem()) FTree->scrollToItem(FTree->currentItem());
    ListMembers();
}

void TFWExplorerForm::ListMembers() {
    if (FListUpdate > 0 || FFilterLock > 0) return;
    TCodeItem* Item = SelectedItem();
    FShownKind = Item ? Item->Kind() : ckNone;
    FFormClass =
        Item && Item->Kind() != ckModule && FDesigner && FDesigner->IsDesignerClass(Item->Name);
    bool TypeShown = Item && Item->Kind() != ckModule;
    for (auto* Button : FKindButtons)
        Button->setVisible(TypeShown);
    FAllMembers->setVisible(TypeShown);
    FVisibilityFilter->setVisible(TypeShown);
    FLocalProcFilter->setVisible(Item != nullptr);

    TListingFilter Filter;
    Filter.Kinds = MemberFilter();
    Filter.Visibilities = VisibilityFilter();
    Filter.ShowLocalProcs = ShowLocalProcs();
    Filter.FormClass = FFormClass;
    Filter.Restrictions = KOLVAOptions().DesignerRestrictions();
    Filter.SortMode = KOLVAOptions().DetailsSortMode();
    FCache.List(Item, Filter);
    FDetails->Reset();
}

TFilterButton& TFWExplorerForm::KindButton(TCodeItemKind Kind) {
    for (int I = 0; I < 4; ++I)
        if (KindOrder[I] == Kind) return *FKindButtons[I];
    throw Exception("Not a member kind of the filter");
}

TCodeItems TFWExplorerForm::MemberFilter() const {
    TCodeItems Kinds;
    for (int I = 0; I < 4; ++I)
        if (FKindButtons[I]->Down()) Kinds.Include(KindOrder[I]);
    return Kinds;
}

void TFWExplorerForm::SetMemberFilter(TCodeItems Value) {
    BeginFilterUpdate();
    for (int I = 0; I < 4; ++I)
        FKindButtons[I]->SetDown(Value.Contains(KindOrder[I]));
    EndFilterUpdate();
}

void TFWExplorerForm::SetShowLocalProcs(bool Value) {
    BeginFilterUpdate();
    FLocalProcFilter->SetDown(Value);
    EndFilterUpdate();
}

void TFWExplorerForm::EndFilterUpdate() {
    if (--FFilterLock == 0) ListMembers();
}

void TFWExplorerForm::FilterChanged() {
    ListMembers();
}

void TFWExplorerForm::ResetFilter() {
    BeginFilterUpdate();
    SetMemberFilter(AllKinds);
    SetShowLocalProcs(true);
    SetVisibilityFilter(TVisibilities::FromBits(63));
    EndFilterUpdate();
}

} // namespace kolva
