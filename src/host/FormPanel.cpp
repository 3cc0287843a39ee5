// Rows: one per named object of the form, nested as in the form, with a child row per event
// binding ("OnClick" and its handler). The row's kind and name travel in its data, so the
// commands work on whichever row is current.
#include "host/FormPanel.h"

#include "host/Modules.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <map>
#include <QHeaderView>
#include <QInputDialog>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kolva {

namespace {

enum TRowKind { rkComponent = 1, rkEvent = 2 };
constexpr int KindRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

} // namespace

TFormPanel::TFormPanel(QWidget* Parent) : QDockWidget("Form Designer", Parent) {
    setObjectName("FormDesignerPanel");
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    FTree = new QTreeWidget(client);
    FTree->setObjectName("FormComponents");
    FTree->setHeaderLabels({"Name", "Class / handler"});
    FTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(FTree);
    auto* buttons = new QHBoxLayout;
    auto* rename = new QPushButton("&Rename...", client);
    auto* remove = new QPushButton("&Delete", client);
    buttons->addWidget(rename);
    buttons->addWidget(remove);
    layout->addLayout(buttons);
    setWidget(client);
    connect(rename, &QPushButton::clicked, this, [this] { RenameCurrent(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteCurrent(); });
}

void TFormPanel::SetModule(THostModule* Module) {
    FModule = Module;
    if (THostForm* form = Module ? Module->Form() : nullptr)
        form->OnChange = [panel = QPointer<TFormPanel>(this), form] {
            if (panel && panel->Module() && panel->Module()->Form() == form) panel->Refresh();
        };
    Refresh();
}

void TFormPanel::Refresh() {
    FTree->clear();
    THostForm* form = FModule ? FModule->Form() : nullptr;
    if (!form) return;
    const TFormFile& file = form->Form();
    std::map<int, QTreeWidgetItem*> rows;
    for (int i = 0; i < static_cast<int>(file.Objects().size()); ++i) {
        const TFormObject& object = file.Objects()[i];
        if (object.Name.empty() && i > 0) continue;
        auto parent = rows.find(object.Parent);
        auto* row =
            parent == rows.end() ? new QTreeWidgetItem(FTree) : new QTreeWidgetItem(parent->second);
        row->setText(0, Q(object.Name));
        row->setText(1, Q(object.ClassName));
        row->setData(0, KindRole, rkComponent);
        row->setData(0, NameRole, Q(object.Name));
        rows[i] = row;
    }
    for (const TFormBinding& event : file.Events()) {
        auto owner = rows.find(event.Object);
        if (owner == rows.end()) continue;
        auto* row = new QTreeWidgetItem(owner->second);
        row->setText(0, Q(event.Property));
        row->setText(1, Q(event.Value));
        row->setData(0, KindRole, rkEvent);
        row->setData(0, NameRole, Q(event.Value));
    }
    FTree->expandAll();
}

template <class Op>
bool TFormPanel::Run(Op&& Operation) {
    THostForm* form = FModule ? FModule->Form() : nullptr;
    if (!form || !FModule->Buffer()) return false;
    bool done = false;
    try {
        done = Operation(*form, *FModule->Buffer());
    } catch (const Exception& E) {
        ShowError(E.Message());
    }
    Refresh();
    return done;
}

bool TFormPanel::RenameComponent(const std::string& OldName, const std::string& NewName) {
    return Run(
        [&](THostForm& F, THostEditBuffer& B) { return F.RenameComponent(B, OldName, NewName); });
}

bool TFormPanel::DeleteComponent(const std::string& Name) {
    return Run([&](THostForm& F, THostEditBuffer& B) { return F.DeleteComponent(B, Name); });
}

bool TFormPanel::DeleteEventHandler(const std::string& Name) {
    return Run([&](THostForm& F, THostEditBuffer& B) { return F.DeleteEventHandler(B, Name); });
}

bool TFormPanel::RenameEventHandler(const std::string& OldName, const std::string& NewName) {
    return Run([&](THostForm& F, THostEditBuffer& B) {
        return F.RenameEventHandler(B, OldName, NewName);
    });
}

void TFormPanel::RenameCurrent() {
    QTreeWidgetItem* row = FTree->currentItem();
    if (!row || !row->parent()) return; // the form itself is renamed with its class
    QString name = row->data(0, NameRole).toString();
    bool ok = false;
    QString newName =
        QInputDialog::getText(this, "Rename", "New name:", QLineEdit::Normal, name, &ok);
    if (!ok || newName.isEmpty() || newName == name) return;
    if (row->data(0, KindRole).toInt() == rkEvent)
        RenameEventHandler(name.toStdString(), newName.toStdString());
    else
        RenameComponent(name.toStdString(), newName.toStdString());
}

void TFormPanel::DeleteCurrent() {
    QTreeWidgetItem* row = FTree->currentItem();
    if (!row || !row->parent()) return;
    std::string name = row->data(0, NameRole).toString().toStdString();
    if (row->data(0, KindRole).toInt() == rkEvent) {
        if (ConfirmDlg(Format("Delete Event Handler %s?", name))) DeleteEventHandler(name);
    } else if (row->data(0, KindRole).toInt() == rkComponent) {
        if (ConfirmDlg(Format("Delete %s?", name))) DeleteComponent(name);
    }
}

} // namespace kolva
