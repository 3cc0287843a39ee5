// The glyphs are the explorer's own vector images painted on the IDE's mask colour, so the
// menu shows the pictures the explorer does. The add-in's objects that join the IDE's menu
// and action list are taken out again when the module goes, since their code is the
// library's.
#include "addin/KolvaDM.h"

#include "addin/KolvaForm.h"
#include "explorer/ExplorerFrm.h"
#include "explorer/ModelImages.h"
#include "platform/Dialogs.h"
#include "settings/KolvaReg.h"

#include <QAction>
#include <QColor>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace kolva {

namespace {

constexpr int GlyphSize = 16;

QPixmap Glyph(const QIcon& Icon) {
    QPixmap glyph(GlyphSize, GlyphSize);
    glyph.fill(QColor::fromRgb(GlyphMaskColor));
    QPainter painter(&glyph);
    Icon.paint(&painter, glyph.rect());
    return glyph;
}

QAction* NewAction(QObject* Owner, const char* Name, const char* Caption) {
    auto* action = new QAction(QString::fromUtf8(Caption), Owner);
    action->setObjectName(Name);
    action->setProperty("category", "FWX");
    return action;
}

/// The View menu's item after which ours goes, the menu it goes into, or the first menu.
QMenu* TargetMenu(QMenuBar* Bar, QAction*& After) {
    After = nullptr;
    if (!Bar) return nullptr;
    if (auto* views = Bar->findChild<QMenu*>("ViewsMenu", Qt::FindDirectChildrenOnly)) {
        for (QAction* item : views->actions())
            if (item->objectName() == "ViewObjInspItem") After = item;
        return views;
    }
    for (QAction* item : Bar->actions())
        if (item->menu()) return item->menu();
    return nullptr;
}

/// A command's error is shown, as the IDE shows an action's: nothing may leave a Qt slot.
template <class F>
void Guarded(F&& Command) {
    try {
        Command();
    } catch (const std::exception& E) {
        ShowError(E.what());
    }
}

} // namespace

TKolvaImagesDM::TKolvaImagesDM() {
    for (int i = 0; i < ModelImageCount; ++i)
        FModelImages.append(ModelIcon(static_cast<TModelImage>(i)));
    for (int i = 0; i < TreeStateImageCount; ++i)
        FTreeStateImages.append(TreeStateIcon(static_cast<TTreeStateImage>(i)));
}

TKOLVADataModule::TKOLVADataModule(TIToolServices& Services) : FServices(Services) {
    BuildActions();
    AddGlyphs();
    InsertMenuItem();
    LoadSettings();
}

TKOLVADataModule::~TKOLVADataModule() {
    if (FSettingsLoaded) {
        try {
            SaveSettings();
        } catch (const std::exception& E) {
            ShowError(E.what());
        }
    }
    delete FShowItem;
    delete FMainItem;
    delete FShowAction;
    delete FSyncAction;
}

void TKOLVADataModule::BuildActions() {
    FMainItem = new QMenu("KOLVA");
    FMainItem->setObjectName("KOLVAMainItem");
    FShowItem = FMainItem->addAction("Fernwright Explorer");
    FShowItem->setObjectName("ShowKOLVAItem");
    FMainItem->addAction("Debug path")->setObjectName("Debugpath1");
    FMainItem->addAction("Restore path")->setObjectName("Restorepath1");

    QObject* list = FServices.NTAServices().GetActionList();
    FShowAction = NewAction(list, "ShowKOLVAExplorerAction", "Fernwright Explorer");
    FShowAction->setToolTip("View Fernwright IDE explorer");
    FSyncAction = NewAction(list, "SyncKolvaExplorerAction", "Locate In Explorer");
    QObject::connect(FShowAction, &QAction::triggered,
                     [this] { Guarded([this] { ShowExplorer(); }); });
    QObject::connect(FSyncAction, &QAction::triggered,
                     [this] { Guarded([this] { SyncExplorer(); }); });
    QObject::connect(FShowItem, &QAction::triggered, FShowAction, &QAction::trigger);
    FImages = {Glyph(TreeStateIcon(tsModule)), Glyph(ModelIcon(imShowAll))};
}

void TKOLVADataModule::AddGlyphs() {
    INTAServices& nta = FServices.NTAServices();
    QAction* actions[] = {FShowAction, FSyncAction};
    for (int i = 0; i < 2; ++i) {
        int index = nta.AddMasked(FImages[i], GlyphMaskColor);
        actions[i]->setProperty("imageIndex", index);
        actions[i]->setIcon(nta.GetImage(index));
    }
    FShowItem->setIcon(FShowAction->icon());
    FShowItem->setProperty("imageIndex", FShowAction->property("imageIndex"));
}

void TKOLVADataModule::InsertMenuItem() {
    for (QAction* item : FMainItem->actions())
        FMainItem->removeAction(item);
    QAction* after = nullptr;
    QMenu* menu = TargetMenu(FServices.NTAServices().GetMainMenu(), after);
    if (!menu) return;
    QAction* before = nullptr;
    if (after) {
        const QList<QAction*> items = menu->actions();
        qsizetype at = items.indexOf(after);
        if (at + 1 < items.size()) before = items[at + 1];
    }
    menu->insertAction(before, FShowItem);
}

void TKOLVADataModule::LoadSettings() {
    try {
        kolva::LoadSettings();
        FSettingsLoaded = true;
    } catch (const std::exception& E) {
        ShowError(E.what());
    }
}

void TKOLVADataModule::ShowExplorer() {
    if (!KOLVAForm()) FServices.DesktopServices().DockableForm(KOLVAFormName);
    if (TKOLVAForm* form = KOLVAForm()) form->ShowForm();
}

void TKOLVADataModule::SyncExplorer() {
    TKOLVAForm* form = KOLVAForm();
    if (form && form->Explorer()) form->Explorer()->LocateEditorPos();
}

} // namespace kolva
