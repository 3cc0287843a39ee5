// Objects that can be copied deeply and edited in a dialog chosen by their kind.
//
// `TEditable::Clone` copies through the streaming of Filters.h, so only registered classes
// can be cloned. `Edit` asks the process-wide editor factory for the editor registered under
// the object's 16-bit `EditorID`; a number without an editor gets the base editor, which
// says that default properties will be used. Any front end (the window library, the command
// line, the tests) registers the editors it brings, each under its number; the first
// registration of a number wins.
//
// `TListable` adds what an object needs to live in a sorted, owning, displayable
// `TEditableList`: a key, a key comparison and a default sortedness that belong to its class
// (the list's item class decides them for the whole list), and a display text.
//
// Declaring a listable class and its editor:
//   class TMacro : public TListable {
//   public:
//       static const TListableClass ClassInfo;
//       const TStreamableClass& ClassType() const override { return ClassInfo; }
//       static int CompareKeys(const void* Key1, const void* Key2); // hides TListable's
//       static bool SortedByDefault() { return true; }
//       const void* KeyOf() const override { return &FName; }
//       uint16_t EditorID() const override { return 30; }
//       ...
//   };
//   constinit const TListableClass TMacro::ClassInfo = ListableClass<TMacro, TListable>("TMacro");
//   static const TStreamableRegistrar RegisterMacro(TMacro::ClassInfo);
//
//   class TMacroEditor : public TFWEditor {
//   public:
//       static const TFWEditorClass ClassInfo;
//       static constexpr uint16_t EditorID() { return 30; }
//       explicit TMacroEditor(TEditable& Entity) : TFWEditor(Entity), FMacro(As<TMacro>(Entity)) {}
//       bool Execute() override;
//   };
//   constinit const TFWEditorClass TMacroEditor::ClassInfo =
//   EditorClass<TMacroEditor>("TMacroEditor"); static const TEditorRegistrar
//   RegisterMacroEditor({&TMacroEditor::ClassInfo});
#pragma once

#include "foundation/Containr.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kolva {

class TEditable : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    /// A deep copy that shares nothing with this object. Raises EStreamableError when the
    /// class is not registered as streamable, EInvalidCast when the copy is not a TEditable.
    virtual std::unique_ptr<TEditable> Clone() const;
    /// Runs the editor registered for EditorID() on this object; true when the user
    /// confirmed. The editor is freed whatever it returned.
    virtual bool Edit();
    /// The number of the editor for this kind of object; 0 has none of its own.
    virtual uint16_t EditorID() const { return 0; }
};

class TListable;

/// The class reference of a listable class: its virtual constructor `Create` (an empty
/// object) and the class operations that a TEditableList asks of its item class.
struct TListableClass : TStreamableClass {
    using TCreateFunc = std::unique_ptr<TListable> (*)();
    using TCompareKeysFunc = int (*)(const void* Key1, const void* Key2);
    using TSortedByDefaultFunc = bool (*)();

    constexpr TListableClass(const TStreamableClass& Base, TCreateFunc ACreate,
                             TCompareKeysFunc ACompareKeys, TSortedByDefaultFunc ASortedByDefault)
        : TStreamableClass(Base), Create(ACreate), CompareKeys(ACompareKeys),
          SortedByDefault(ASortedByDefault) {}

    TCreateFunc Create;
    TCompareKeysFunc CompareKeys;
    TSortedByDefaultFunc SortedByDefault;
};

class TListable : public TEditable {
public:
    static const TListableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    /// Class operation: 0 for the same key pointer, else -1.
    static int CompareKeys(const void* Key1, const void* Key2);
    /// Class operation: whether a list of this item class starts sorted.
    static bool SortedByDefault() { return false; }

    /// The key under which the object is compared in a list; the base gives the object.
    virtual const void* KeyOf() const;
    /// Clone() as a TListable; raises EInvalidCast when the copy is not one.
    virtual std::unique_ptr<TListable> CloneListable() const;
    /// Fills Rect with the canvas's brush and draws the display text 2 pixels in.
    virtual void DrawItem(TCanvas& Canvas, const TRect& Rect) const;
    /// The object's name; the base leaves Text unchanged.
    virtual void GetName(std::string& Text) const;
    virtual int ItemHeight() const { return 0; }
    /// The text shown in lists; the base gives the name.
    virtual void GetDisplayText(std::string& Text) const { GetName(Text); }
    /// Raises Height to ItemHeight() when that is larger.
    virtual void MeasureItem(int& Height) const;
};

template <class T>
std::unique_ptr<TListable> CreateListable() {
    return std::make_unique<T>();
}

/// The class record of a listable class T whose direct base is Parent; the class
/// operations are T's static CompareKeys and SortedByDefault (inherited unless T hides them).
template <class T, class Parent>
consteval TListableClass ListableClass(const char* Name) {
    static_assert(std::is_base_of_v<TListable, T>);
    return TListableClass(StreamableClass<T, Parent>(Name), &CreateListable<T>, &T::CompareKeys,
                          &T::SortedByDefault);
}

/// An owning list of listables whose item class decides key comparison, key extraction and
/// whether the list starts sorted. Its stream body is the container body followed by the
/// item class's name, or "NoClassRef" without one.
class TEditableList : public TCollection {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    /// Every flag off and no item class: the state in which reading begins. Lists for use
    /// are made with the item-class constructor.
    TEditableList() = default;
    /// Sortable, not sorted, dupFreeAndError, owning its items; then SetItemClass.
    explicit TEditableList(const TListableClass* ItemClass);

    const TListableClass* ItemClass() const { return FItemClass; }
    /// A different class frees every item, is stored, and sorts the list when the class
    /// is sorted by default (unsorts it otherwise).
    virtual void SetItemClass(const TListableClass* Class);
    /// An empty object of the item class, not yet in the list; null without item class.
    virtual std::unique_ptr<TListable> NewItem() const;

    /// The item class's CompareKeys; identity without item class.
    int Compare(const void* Key1, const void* Key2) const override;
    /// The item's own KeyOf. Raises EInvalidCast for an item that is not a TListable.
    const void* KeyOf(const TObject* Item) const override;
    /// The item's display text.
    void GetItemText(int Index, std::string& Text) const override;

protected:
    void Load(TFilter& Filter) override;
    void Store(TFilter& Filter) const override;

private:
    const TListableClass* FItemClass = nullptr;
};

// ---------------------------------------------------------------------------------------
// Editors

class TFWEditor;

/// The class reference of an editor class: its name, number and virtual constructor.
struct TFWEditorClass {
    using TCreateFunc = std::unique_ptr<TFWEditor> (*)(TEditable& Entity);
    const char* Name;
    uint16_t EditorID;
    TCreateFunc Create;
};

/// The base of every edit dialog wrapper. A subclass takes the object in its constructor
/// (As<TModelClass>(Entity), so a wrong class raises EInvalidCast), shows its dialog in
/// Execute and returns whether the user confirmed. The base has no dialog: it tells the
/// user that default properties will be used.
class TFWEditor : public TObject {
public:
    static const TFWEditorClass ClassInfo;
    /// Class operation: the editor number served; 0 for the base.
    static constexpr uint16_t EditorID() { return 0; }

    explicit TFWEditor(TEditable&) {}
    /// The base shows "No editor found for this entity. Default properties will be used."
    /// with an OK button and returns true when it is closed with OK.
    virtual bool Execute();
};

template <class T>
std::unique_ptr<TFWEditor> CreateEditorOf(TEditable& Entity) {
    return std::make_unique<T>(Entity);
}

/// The class record of editor class T; T declares `static constexpr uint16_t EditorID()`.
template <class T>
consteval TFWEditorClass EditorClass(const char* Name) {
    static_assert(std::is_base_of_v<TFWEditor, T>);
    return TFWEditorClass{Name, T::EditorID(), &CreateEditorOf<T>};
}

/// Editor classes kept in ascending order of their numbers, at most one per number.
class TEditorFactory : public TObject {
public:
    /// Inserts Class in number order; a number already registered keeps its first class.
    void RegisterEditor(const TFWEditorClass& Class);
    void RegisterEditors(std::initializer_list<const TFWEditorClass*> Classes);
    /// Removes Class (this very record). The system keeps its registrations until shutdown;
    /// this lets a test or a front end put another editor in the place of one.
    void UnregisterEditor(const TFWEditorClass& Class);
    /// The class registered for ID and its index, or null (Index -1).
    const TFWEditorClass* FindEditor(uint16_t ID, int& Index) const;
    /// The class registered for ID, or the base editor.
    const TFWEditorClass& EditorClassFor(uint16_t ID) const;
    /// A new editor for Entity, chosen by Entity.EditorID().
    std::unique_ptr<TFWEditor> CreateEditor(TEditable& Entity) const;

    int Count() const { return static_cast<int>(FEditors.size()); }
    const TFWEditorClass& Editors(int Index) const { return *FEditors.at(size_t(Index)); }

private:
    std::vector<const TFWEditorClass*> FEditors;
};

/// The process-wide editor factory, created on first use and freed at shutdown.
TEditorFactory& EditorFactory();

/// Registers editor classes with the process-wide factory at start-up when declared at
/// namespace scope; registrations stay until shutdown.
class TEditorRegistrar {
public:
    explicit TEditorRegistrar(std::initializer_list<const TFWEditorClass*> Classes) {
        EditorFactory().RegisterEditors(Classes);
    }
};

} // namespace kolva
