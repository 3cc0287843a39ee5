// Menu items and actions are created once here with the names add-ins look for; every
// command goes through the host, so the menu, the tests and the tools interface share one
// path for opening, saving and closing.
#include "host/EditWindow.h"

#include "host/EditControl.h"
#include "host/FormPanel.h"
#include "host/HostIDE.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

namespace kolva {

namespace {

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

} // namespace

TEditWindow::TEditWindow(THostIDE& IDE) : FIDE(IDE) {
    setObjectName("EditWindow_0");
    setWindowTitle("Kolva IDE");
    FActionList = new QObject(this);
    FActionList->setObjectName("ActionList");
    FTabs = new QTabWidget(this);
    FTabs->setObjectName("EditorTabs");
    FTabs->setDocumentMode(true);
    FTabs->setTabsClosable(true);
    FTabs->setMovable(true);
    setCentralWidget(FTabs);
    FPosition = new QLabel(this);
    statusBar()->addPermanentWidget(FPosition);
    FFormPanel = new TFormPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, FFormPanel);
    FFormPanel->hide();
    BuildLocalMenu();
    BuildMenus();
    connect(FTabs, &QTabWidget::currentChanged, this, [this] {
        UpdateStatus();
        FFormPanel->SetModule(ModuleOf(FrontControl()));
        FIDE.FrontChanged();
    });
    connect(FTabs, &QTabWidget::tabCloseRequested, this, [this](int Index) {
        if (THostModule* module = ModuleOf(static_cast<TEditControl*>(FTabs->widget(Index))))
            FIDE.CloseModule(*module);
    });
    resize(900, 640);
}

QAction* TEditWindow::NewAction(const char* Name, const QString& Caption, const char* Category,
                                const QKeySequence& Shortcut) {
    auto* action = new QAction(Caption, FActionList);
    action->setObjectName(Name);
    action->setProperty("category", Category);
    if (!Shortcut.isEmpty()) action->setShortcut(Shortcut);
    addAction(action);
    return action;
}

QAction* TEditWindow::Action(const char* Name) const {
    return FActionList->findChild<QAction*>(Name, Qt::FindDirectChildrenOnly);
}

void TEditWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    auto item = [](QMenu* Menu, QAction* Action, const char*) { Menu->addAction(Action); };
    QAction* open = NewAction("FileOpenCommand", "&Open...", "File", QKeySequence::Open);
    connect(open, &QAction::triggered, this, &TEditWindow::OpenWithDialog);
    item(file, open, "FileOpenItem");
    FReopenMenu = file->addMenu("&Reopen");
    FReopenMenu->setObjectName("FileClosedFilesItem");
    connect(FReopenMenu, &QMenu::aboutToShow, this, &TEditWindow::FillReopenMenu);
    QAction* save = NewAction("FileSaveCommand", "&Save", "File", QKeySequence::Save);
    connect(save, &QAction::triggered, this, &TEditWindow::SaveFront);
    item(file, save, "FileSaveItem");
    QAction* saveAs = NewAction("FileSaveAsCommand", "Save &As...", "File",
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(saveAs, &QAction::triggered, this, &TEditWindow::SaveFrontAs);
    item(file, saveAs, "FileSaveAsItem");
    QAction* close =
        NewAction("FileCloseCommand", "&Close", "File", QKeySequence(Qt::CTRL | Qt::Key_F4));
    connect(close, &QAction::triggered, this, &TEditWindow::CloseFront);
    item(file, close, "FileCloseItem");
    file->addSeparator();
    QAction* exit = NewAction("FileExitCommand", "E&xit", "File", QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    item(file, exit, "FileExitItem");

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("EditMenu");
    auto onFront = [this](void (QsciScintilla::*Command)()) {
        return [this, Command] {
            if (TEditControl* control = FrontControl()) (control->*Command)();
        };
    };
    QAction* undo = NewAction("EditUndoCommand", "&Undo", "Edit", QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, onFront(&QsciScintilla::undo));
    item(edit, undo, "EditUndoItem");
    QAction* redo = NewAction("EditRedoCommand", "&Redo", "Edit",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(redo, &QAction::triggered, this, onFront(&QsciScintilla::redo));
    item(edit, redo, "EditRedoItem");
    edit->addSeparator();
    QAction* cut = NewAction("EditCutCommand", "Cu&t", "Edit", QKeySequence::Cut);
    connect(cut, &QAction::triggered, this, onFront(&QsciScintilla::cut));
    item(edit, cut, "EditCutItem");
    QAction* copy = NewAction("EditCopyCommand", "&Copy", "Edit", QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, onFront(&QsciScintilla::copy));
    item(edit, copy, "EditCopyItem");
    QAction* paste = NewAction("EditPasteCommand", "&Paste", "Edit", QKeySequence::Paste);
    connect(paste, &QAction::triggered, this, onFront(&QsciScintilla::paste));
    item(edit, paste, "EditPasteItem");
    edit->addSeparator();
    QAction* find = NewAction("SearchFindCommand", "&Find...", "Search", QKeySequence::Find);
    connect(find, &QAction::triggered, this, &TEditWindow::FindText);
    item(edit, find, "SearchFindItem");
    QAction* next = NewAction("SearchAgainCommand", "Find &Next", "Search", QKeySequence::FindNext);
    connect(next, &QAction::triggered, this, &TEditWindow::FindNext);
    item(edit, next, "SearchAgainItem");

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("ViewsMenu");
    QAction* inspector =
        NewAction("ViewObjInspCommand", "&Object Inspector", "View", QKeySequence(Qt::Key_F11));
    inspector->setObjectName("ViewObjInspItem");
    view->addAction(inspector);
    connect(inspector, &QAction::triggered, this, [this] {
        FFormPanel->SetModule(ModuleOf(FrontControl()));
        FFormPanel->show();
        FFormPanel->raise();
    });
}

void TEditWindow::BuildLocalMenu() {
    FLocalMenu = new QMenu(this);
    FLocalMenu->setObjectName("EditorLocalMenu");
    auto add = [this](const char* Name, const QString& Caption, auto Slot) {
        QAction* action = FLocalMenu->addAction(Caption);
        action->setObjectName(Name);
        connect(action, &QAction::triggered, this, Slot);
    };
    add("ecUndo", "&Undo", [this] {
        if (TEditControl* control = FrontControl()) control->undo();
    });
    add("ecRedo", "&Redo", [this] {
        if (TEditControl* control = FrontControl()) control->redo();
    });
    FLocalMenu->addSeparator();
    add("ClosePage1", "&Close Page", [this] { CloseFront(); });
}

TEditControl* TEditWindow::AddTab(THostModule& Module) {
    auto* control = new TEditControl(FTabs, FLocalMenu);
    control->LoadBytes(Module.InitialText());
    control->setReadOnly(Module.InitialReadOnly());
    Module.AttachControl(control);
    connect(control, &QsciScintilla::cursorPositionChanged, this, &TEditWindow::UpdateStatus);
    connect(control, &QsciScintilla::modificationChanged, this, &TEditWindow::UpdateStatus);
    connect(control, &QsciScintilla::textChanged, this, [this, control] {
        if (THostModule* module = ModuleOf(control)) FIDE.TextChanged(*module);
    });
    QFileInfo info(Q(Module.NativeFileName()));
    int index = FTabs->addTab(control, info.fileName());
    FTabs->setTabToolTip(index, Q(Module.GetFileName()));
    FTabs->setCurrentIndex(index);
    return control;
}

void TEditWindow::ShowTab(TEditControl* Control) {
    int index = FTabs->indexOf(Control);
    if (index >= 0) FTabs->setCurrentIndex(index);
}

void TEditWindow::RemoveTab(TEditControl* Control) {
    int index = FTabs->indexOf(Control);
    if (index < 0) return;
    FTabs->removeTab(index);
    delete Control;
    FFormPanel->SetModule(ModuleOf(FrontControl()));
}

TEditControl* TEditWindow::FrontControl() const {
    return static_cast<TEditControl*>(FTabs->currentWidget());
}

std::vector<TEditControl*> TEditWindow::Controls() const {
    std::vector<TEditControl*> controls;
    for (int i = 0; i < FTabs->count(); ++i)
        controls.push_back(static_cast<TEditControl*>(FTabs->widget(i)));
    return controls;
}

THostModule* TEditWindow::ModuleOf(TEditControl* Control) const {
    if (!Control) return nullptr;
    for (const TIntf<THostModule>& module : FIDE.OpenModules())
        if (module->Buffer() && module->Buffer()->Control() == Control) return module.Get();
    return nullptr;
}

std::vector<std::string> TEditWindow::ClosedFiles() const {
    std::vector<std::string> files;
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(ClosedFilesKey)) return files;
    for (int i = 0; i < MaxClosedFiles; ++i) {
        std::string file = reg.ReadString(Format("File_%d", i));
        if (!file.empty()) files.push_back(file);
    }
    return files;
}

void TEditWindow::RememberClosedFile(const std::string& FileName) {
    std::vector<std::string> files = ClosedFiles();
    std::erase_if(files, [&](const std::string& F) { return SameText(F, FileName); });
    files.insert(files.begin(), FileName);
    files.resize(std::min<size_t>(files.size(), MaxClosedFiles));
    TRegistry reg;
    if (!reg.OpenKey(ClosedFilesKey, true)) return;
    for (size_t i = 0; i < files.size(); ++i)
        reg.WriteString(Format("File_%d", static_cast<int>(i)), files[i]);
}

void TEditWindow::FillReopenMenu() {
    FReopenMenu->clear();
    for (const std::string& file : ClosedFiles()) {
        QAction* action = FReopenMenu->addAction(Q(file));
        connect(action, &QAction::triggered, this, [this, file] {
            try {
                FIDE.OpenFile(file);
            } catch (const std::exception& E) {
                ShowError(E.what());
            }
        });
    }
    FReopenMenu->setEnabled(!FReopenMenu->isEmpty());
}

void TEditWindow::OpenWithDialog() {
    QStringList files = QFileDialog::getOpenFileNames(
        this, "Open", QString(), "Delphi files (*.pas *.dpr *.dpk *.inc *.dfm);;All files (*)");
    for (const QString& file : files) {
        try {
            FIDE.OpenFile(file.toStdString());
        } catch (const std::exception& E) {
            ShowError(E.what());
        }
    }
}

bool TEditWindow::SaveFront() {
    THostModule* module = ModuleOf(FrontControl());
    if (!module) return false;
    try {
        module->Save();
        return true;
    } catch (const std::exception& E) {
        ShowError(E.what());
        return false;
    }
}

bool TEditWindow::SaveFrontAs() {
    THostModule* module = ModuleOf(FrontControl());
    if (!module) return false;
    QString file = QFileDialog::getSaveFileName(this, "Save As", Q(module->NativeFileName()));
    if (file.isEmpty()) return false;
    try {
        module->SaveAs(file.toStdString());
        FTabs->setTabText(FTabs->currentIndex(), QFileInfo(file).fileName());
        FTabs->setTabToolTip(FTabs->currentIndex(), Q(module->GetFileName()));
        return true;
    } catch (const std::exception& E) {
        ShowError(E.what());
        return false;
    }
}

void TEditWindow::CloseFront() {
    if (THostModule* module = ModuleOf(FrontControl())) FIDE.CloseModule(*module);
}

void TEditWindow::FindText() {
    bool ok = false;
    QString text = QInputDialog::getText(this, "Find Text", "Text to find:", QLineEdit::Normal,
                                         FLastFind, &ok);
    if (!ok || text.isEmpty()) return;
    FLastFind = text;
    FindNext();
}

void TEditWindow::FindNext() {
    TEditControl* control = FrontControl();
    if (!control || FLastFind.isEmpty()) return;
    if (!control->findFirst(FLastFind, false, false, false, true))
        ShowInformation(Format("Search string '%s' not found", FLastFind.toStdString()));
}

void TEditWindow::UpdateStatus() {
    TEditControl* control = FrontControl();
    if (!control) {
        FPosition->clear();
        return;
    }
    int line = 0, col = 0;
    control->getCursorPosition(&line, &col);
    QString state = control->isReadOnly() ? "Read only" : control->isModified() ? "Modified" : "";
    FPosition->setText(QString("%1: %2   %3").arg(line + 1).arg(col + 1).arg(state));
}

void TEditWindow::closeEvent(QCloseEvent* Event) {
    FIDE.SaveDesktop();
    if (FIDE.CloseAll())
        Event->accept();
    else
        Event->ignore();
}

} // namespace kolva
