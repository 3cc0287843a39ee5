// The IDE operations an add-in may call, and the notifier interfaces through which the IDE
// calls it back: services, modules and their editors, edit buffers with readers, undoable
// writers and views, the main menu, action list and image list. An add-in includes these
// headers and nothing else of the IDE (object rules: toolsapi/Interfaces.h).
//
// Texts are 8-bit strings of the unit's bytes. Buffer text holds CR LF line breaks; positions
// are linear byte offsets from 0. Editor lines and columns are 1-based; a character index of
// 0 is the start of a line. File names compare without regard to case. Whatever an operation
// answers when there is nothing to answer is written on it ("nil" is an empty TIntf).
#pragma once

#include "toolsapi/Interfaces.h"

#include <string>

class QAction;
class QIcon;
class QMenuBar;
class QObject;
class QPixmap;
class QWidget;

namespace kolva {

class IOTAModule;
class IOTAEditBuffer;
class IOTAEditView;
class IOTAFormEditor;

/// A position in an editor: 1-based column and line.
struct TOTAEditPos {
    int Col = 1;
    int Line = 1;
};

/// A character of a line: CharIndex 0 is the line start; Line is 1-based.
struct TOTACharPos {
    int CharIndex = 0;
    int Line = 1;
};

/// The size of a view in character cells.
struct TOTAViewSize {
    int Columns = 0;
    int Rows = 0;
};

// ---- Notifiers: implemented by the add-in, called by the IDE -----------------------------

/// The callbacks every notifier has. The IDE holds a reference from the add call until the
/// matching remove, or until the object it is attached to is destroyed (after Destroyed).
class IOTANotifier : public IInterface {
public:
    virtual void AfterSave() noexcept = 0;
    virtual void BeforeSave() noexcept = 0;
    /// The object the notifier is attached to is going away; its index may still be removed.
    virtual void Destroyed() noexcept = 0;
    virtual void Modified() noexcept = 0;
};

enum TOTAFileNotification : int {
    ofnFileOpening,
    ofnFileOpened,
    ofnFileClosing,
    ofnDefaultDesktopLoad,
    ofnDefaultDesktopSave,
    ofnProjectDesktopLoad,
    ofnProjectDesktopSave,
    ofnPackageInstalled,
    ofnPackageUninstalled
};

class IOTAIDENotifier : public IOTANotifier {
public:
    /// Cancel, in and out, lets the add-in stop a file operation that can be stopped.
    virtual void FileNotification(TOTAFileNotification NotifyCode, const std::string& FileName,
                                  bool& Cancel) noexcept = 0;
    virtual void BeforeCompile(const std::string& Project, bool& Cancel) noexcept = 0;
};

enum TOperation : int { opInsert, opRemove };

class IOTAEditorNotifier : public IOTANotifier {
public:
    virtual void ViewNotification(IOTAEditView* View, TOperation Operation) noexcept = 0;
    /// View became the front view of its edit window.
    virtual void ViewActivated(IOTAEditView* View) noexcept = 0;
};

class IOTAModuleNotifier : public IOTANotifier {
public:
    /// False keeps the IDE from overwriting the file.
    virtual bool CheckOverwrite() noexcept = 0;
    virtual void ModuleRenamed(const std::string& NewName) noexcept = 0;
};

// ---- Modules and editors -----------------------------------------------------------------

/// One file of a module: its source text or its form. Exactly one of the As operations
/// answers for a given editor.
class IOTAEditor : public IInterface {
public:
    virtual std::string GetFileName() noexcept = 0;
    /// The module the editor belongs to; nil once the module is closed.
    virtual TIntf<IOTAModule> GetModule() noexcept = 0;
    /// Nil unless the editor holds source text.
    virtual TIntf<IOTAEditBuffer> AsEditBuffer() noexcept = 0;
    /// Nil unless the editor holds a form.
    virtual TIntf<IOTAFormEditor> AsFormEditor() noexcept = 0;
};

/// A unit open in the IDE: its source and, where it has one, its form.
class IOTAModule : public IInterface {
public:
    virtual std::string GetFileName() noexcept = 0;
    virtual int GetModuleFileCount() noexcept = 0;
    /// Nil for an index outside 0..GetModuleFileCount()-1.
    virtual TIntf<IOTAEditor> GetModuleFileEditor(int Index) noexcept = 0;
    /// Returns the index to remove the notifier by (0 or more), -1 when refused.
    virtual int AddNotifier(IOTAModuleNotifier* Notifier) noexcept = 0;
    /// An index not (or no longer) registered is ignored.
    virtual void RemoveNotifier(int Index) noexcept = 0;
};

// ---- Edit buffers ---------------------------------------------------------------------------

class IOTAEditReader : public IInterface {
public:
    /// Copies up to Count bytes from Position into Buffer and returns how many: fewer than
    /// Count only at the end of the text, 0 at or after it.
    virtual int GetText(int Position, char* Buffer, int Count) noexcept = 0;
};

/// Rewrites a buffer as a stream: the text up to a position is copied, deleted or has text
/// inserted before it, positions only moving forward. All the changes of one writer are one
/// undo step, made when its last reference is released.
class IOTAEditWriter : public IInterface {
public:
    /// Moves to Pos keeping the text passed over. Positions behind the current one are ignored.
    virtual void CopyTo(int Pos) noexcept = 0;
    /// Moves to Pos removing the text passed over.
    virtual void DeleteTo(int Pos) noexcept = 0;
    /// Inserts Text at the current position, which stays in the original text.
    virtual void Insert(const std::string& Text) noexcept = 0;
    /// The current position in the original text.
    virtual int CurrentPos() noexcept = 0;
};

/// The window that holds a buffer's views: a form of class "TEditWindow" whose controls
/// include one of class "TEditControl" and a popup menu component named "EditorLocalMenu".
class IOTAEditWindow : public IInterface {
public:
    virtual QWidget* GetForm() noexcept = 0;
};

class IOTAEditView : public IInterface {
public:
    virtual TIntf<IOTAEditBuffer> GetBuffer() noexcept = 0;
    /// The linear position of a character; a line past the end gives the text's length.
    virtual int CharPosToPos(TOTACharPos CharPos) noexcept = 0;
    virtual TOTAEditPos GetCursorPos() noexcept = 0;
    /// Puts the cursor at Pos, clamped to the text.
    virtual void SetCursorPos(TOTAEditPos Pos) noexcept = 0;
    virtual TOTAEditPos GetTopPos() noexcept = 0;
    /// Scrolls so that Pos.Line is the top line, as far as the text allows.
    virtual void SetTopPos(TOTAEditPos Pos) noexcept = 0;
    virtual TOTAViewSize GetViewSize() noexcept = 0;
    virtual void Paint() noexcept = 0;
    virtual TIntf<IOTAEditWindow> GetEditWindow() noexcept = 0;
};

/// The source editor of a module.
class IOTAEditBuffer : public IOTAEditor {
public:
    /// The view in front; nil when the buffer has none.
    virtual TIntf<IOTAEditView> GetTopView() noexcept = 0;
    virtual bool IsReadOnly() noexcept = 0;
    virtual void SetIsReadOnly(bool Value) noexcept = 0;
    virtual TIntf<IOTAEditReader> CreateReader() noexcept = 0;
    /// Nil while the buffer is read-only.
    virtual TIntf<IOTAEditWriter> CreateUndoableWriter() noexcept = 0;
    /// Returns the index to remove the notifier by (0 or more), -1 when refused.
    virtual int AddNotifier(IOTAEditorNotifier* Notifier) noexcept = 0;
    virtual void RemoveNotifier(int Index) noexcept = 0;
};

// ---- Form designer -------------------------------------------------------------------------

/// A component of a form, the form itself included.
class IOTAComponent : public IInterface {
public:
    virtual std::string GetComponentType() noexcept = 0;
    virtual std::string GetName() noexcept = 0;
    /// Renames the component in the form and its field in the unit; false when refused
    /// (an invalid or taken name, a component of an ancestor form). Renaming the form itself
    /// renames its class to "T" and the new name, in the form and in the unit.
    virtual bool SetName(const std::string& NewName) noexcept = 0;
    /// Deletes the component (and those it holds) and its field; false when refused.
    virtual bool Delete() noexcept = 0;
};

class IOTAFormDesigner : public IInterface {
public:
    /// The form; its type is the designer class.
    virtual TIntf<IOTAComponent> GetRoot() noexcept = 0;
    /// Nil when the form has no component of that name (compared without case).
    virtual TIntf<IOTAComponent> FindComponent(const std::string& Name) noexcept = 0;
    /// True when the form's class has a method of that name bound to an event or able to be.
    virtual bool MethodExists(const std::string& Name) noexcept = 0;
    /// Renames the method in the unit and in every event binding of the form.
    virtual void RenameMethod(const std::string& CurName, const std::string& NewName) noexcept = 0;
    virtual void SelectComponent(IOTAComponent* Component) noexcept = 0;
    virtual void Modified() noexcept = 0;
    /// Takes out every event binding to the method Name (ignoring case), leaving the unit
    /// alone, and returns how many there were: the add-in deletes the method itself.
    virtual int UnbindMethod(const std::string& Name) noexcept = 0;
};

class IOTAFormEditor : public IOTAEditor {
public:
    /// Nil while the form is not open in a designer.
    virtual TIntf<IOTAFormDesigner> GetFormDesigner() noexcept = 0;
};

// ---- Services ----------------------------------------------------------------------------

class IOTAModuleServices : public IInterface {
public:
    /// Nil when no module of that file is open.
    virtual TIntf<IOTAModule> FindModule(const std::string& FileName) noexcept = 0;
    virtual int ModuleCount() noexcept = 0;
    virtual TIntf<IOTAModule> Modules(int Index) noexcept = 0;
};

class IOTAEditorServices : public IInterface {
public:
    /// The buffer of the front edit window's front view; nil when none is open.
    virtual TIntf<IOTAEditBuffer> TopBuffer() noexcept = 0;
    virtual int EditBufferCount() noexcept = 0;
    /// The open buffers in the order they were opened; nil outside 0..EditBufferCount()-1.
    virtual TIntf<IOTAEditBuffer> EditBuffers(int Index) noexcept = 0;
};

class IOTAWizard : public IOTANotifier {
public:
    virtual std::string GetIDString() noexcept = 0;
    virtual std::string GetName() noexcept = 0;
    virtual void Execute() noexcept = 0;
};

class IOTAWizardServices : public IInterface {
public:
    /// Returns the index to remove the wizard by (0 or more), -1 when refused.
    virtual int AddWizard(IOTAWizard* Wizard) noexcept = 0;
    virtual void RemoveWizard(int Index) noexcept = 0;
};

class IOTAServices : public IInterface {
public:
    /// Returns the index to remove the notifier by (0 or more), -1 when refused.
    virtual int AddNotifier(IOTAIDENotifier* Notifier) noexcept = 0;
    virtual void RemoveNotifier(int Index) noexcept = 0;
};

/// The IDE's own windows, shared as the Qt objects they are.
class INTAServices : public IInterface {
public:
    /// Top-level menus carry their names (objectName): the View menu is "ViewsMenu" and holds
    /// the item "ViewObjInspItem".
    virtual QMenuBar* GetMainMenu() noexcept = 0;
    /// The action list: its children are the IDE's actions, each named, with its category in
    /// the property "category". An add-in's action joins it by taking it as parent.
    virtual QObject* GetActionList() noexcept = 0;
    /// Adds Image to the IDE's image list, pixels of MaskColor (0xRRGGBB) transparent, and
    /// returns its index.
    virtual int AddMasked(const QPixmap& Image, unsigned MaskColor) noexcept = 0;
    /// The image at Index; a null icon outside the list.
    virtual QIcon GetImage(int Index) noexcept = 0;
};

} // namespace kolva
