// The explorer window's navigation between its views and the editor, its menus, and
// renaming in place.
#include "explorer/ExplorerFrm.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QToolBar>

namespace kolva {
// ---------------------------------------------------------------------------------------
// Menus, navigation and renaming

void TFWExplorerForm::BuildMenus() {
    struct TChoice {
        const char* Caption;
        int Value;
    };
    auto AddMenu = [this](const char* Title, std::initializer_list<TChoice> Choices,
                          std::function<int()> Current, std::function<void(int)> Choose) {
        auto* Menu = new QMenu(QString::fromLatin1(Title), this);
        auto* Group = new QActionGroup(Menu);
        for (const TChoice& Choice : Choices) {
            QAction* Action = Menu->addAction(QString::fromLatin1(Choice.Caption));
            Action->setCheckable(true);
            Action->setData(Choice.Value);
            Group->addAction(Action);
            connect(Action, &QAction::triggered, this, [Choose, Choice] { Choose(Choice.Value); });
        }
        connect(Menu, &QMenu::aboutToShow, this, [Menu, Current] {
            for (QAction* Action : Menu->actions())
                Action->setChecked(Action->data().toInt() == Current());
        });
        auto* Button = new QToolButton(FToolBar);
        Button->setText(Menu->title());
        Button->setMenu(Menu);
        Button->setPopupMode(QToolButton::InstantPopup);
        FToolBar->addWidget(Button);
        return Menu;
    };
    FSortingMenu = AddMenu(
        "Sorting",
        {{"Code", smCode},
         {"Name", smName},
         {"Visibility", smVisibility},
         {"Kind", smKind},
         {"Visibility, Kind", smVisKind},
         {"Kind, Visibility", smKindVis}},
        [] { return int(KOLVAOptions().DetailsSortMode()); },
        [](int Mode) { KOLVAOptions().SetDetailsSortMode(TDetailsSortMode(Mode)); });
    FOrderByMenu = AddMenu(
        "Order by", {{"Code", dmCode}, {"Name", dmSorted}, {"Hierarchy", dmHierarchy}},
        [] { return int(KOLVAOptions().ContentsDisplayMode()); },
        [](int Mode) { KOLVAOptions().SetContentsDisplayMode(TContentsDisplayMode(Mode)); });
}

void TFWExplorerForm::Run(const std::function<void()>& Command) {
    try {
        Command();
    } catch (const EAbort&) {
    } catch (const Exception& Error) {
        ShowError(Error.Message());
    }
}

void TFWExplorerForm::ShowClass(bool Focus) {
    TCodeItem* Class = SelectedItem();
    if (!Class || Class->Kind() == ckModule || Class->StartLine < 0) return;
    FEditor.ShowLines(Class->StartLine, Class->StartLine);
    if (Focus) FEditor.FocusEditor();
    if (FFormClass && FDesigner && KOLVAOptions().DesignerRestrictions().Contains(drSelectClass))
        FDesigner->SelectRoot(Class->Name);
}

void TFWExplorerForm::ShowMember(TCodeItem& Member, bool Declaration, bool Focus) {
    TCodeItem* Shown = &Member;
    int Target = Member.StartLine;
    if (IsRoutineKind(Member.Kind())) {
        Shown = Declaration ? TModuleExplorer::DeclarationOf(&Member)
                            : TModuleExplorer::ImplementationOf(&Member);
        Target = Shown->StartLine;
        auto& Routine = static_cast<TProcItem&>(*Shown);
        if (!Declaration && Routine.BodyStartLine > Routine.StartLine)
            Target = std::min(Routine.BodyStartLine + 1, Routine.LastLine());
    }
    if (Shown->StartLine < 0) return; // implied: nowhere in the text
    FEditor.ShowLines(Shown->StartLine, Target);
    if (Focus) {
        FEditor.FocusEditor();
    } else if (FFormClass && FDesigner && Member.Kind() == ckField &&
               Member.Visibility == scDefault &&
               KOLVAOptions().DesignerRestrictions().Contains(drSelectComponent)) {
        FDesigner->SelectComponent(SelectedItem()->Name, Member.Name);
    }
}

void TFWExplorerForm::RowClicked(const QModelIndex& Index) {
    int Row = Index.row();
    if (Row < 0 || Row >= FCache.Count()) return;
    bool Shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    ShowMember(*FCache.Row(Row).Item, Shift, false);
}

void TFWExplorerForm::LocateEditorPos() {
    int Line;
    if (!FEditor.GetCursorLine(Line)) return;
    TCodeItem* Item = FParser.ItemAtLine(Line);
    TCodeItem* Member = nullptr;
    while (Item && Item->Kind() != ckModule && !IsTypeWithMembers(Item->Kind())) {
        if (Item->Kind() == ckMethodImpl) Item = TModuleExplorer::DeclarationOf(Item);
        Member = Item;
        Item = Item->Parent();
    }
    if (!Item) Item = &FParser.Module();
    if (!SelectItem(Item)) return;
    FTree->setFocus();
    if (!Member) return;
    if (FCache.IndexOfItem(Member) < 0) {
        BeginFilterUpdate();
        SetVisibilityFilter(TVisibilities::FromBits(63));
        if (Item->Kind() != ckModule) SetMemberFilter(MemberFilter() + TCodeItems{Member->Kind()});
        if (Member->Parent() != Item) SetShowLocalProcs(true);
        EndFilterUpdate();
    }
    ++FListUpdate; // selecting the row here is not a request to show it in the editor
    FList->setFocus();
    FocusMember(FCache.IndexOfItem(Member));
    --FListUpdate;
}

void TFWExplorerForm::RenameMember(int Row, const std::string& NewName) {
    if (Row < 0 || Row >= FCache.Count()) return;
    std::string Name = Trim(NewName);
    TCodeItem& Member = *FCache.Row(Row).Item;
    if (Name.empty() || Name == Member.Name) return;
    Run([&] { FModelEditor->RenameMember(Member, Name); });
}

void TFWExplorerForm::RenameClassNode(QTreeWidgetItem* Node, const std::string& Typed) {
    TCodeItem* Class = NodeItem(Node);
    if (!Class || Class->Kind() == ckModule) return;
    std::string Name = Trim(Typed.substr(0, Typed.find('<')));
    if (FDesigner && FDesigner->IsDesignerClass(Class->Name) && !Name.empty()) Name[0] = 'T';
    std::string OldName = Class->Name;
    if (Name.empty() || Name == OldName) return;
    QMetaObject::invokeMethod(
        this,
        [this, Node, OldName, Name] {
            TCodeItem* Selected = SelectedItem();
            if (FTree->currentItem() != Node || !Selected || Selected->Name != OldName) return;
            Run([&] { FModelEditor->RenameMember(*Selected, Name); });
            RebuildTree(); // a refused rename leaves the typed text in the node
        },
        Qt::QueuedConnection);
}

} // namespace kolva
