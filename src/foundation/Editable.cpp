#include "foundation/Editable.h"

#include "platform/Dialogs.h"

#include <algorithm>

namespace kolva {

constinit const TStreamableClass TEditable::ClassInfo =
    StreamableClass<TEditable, TStreamable>("TEditable");
constinit const TListableClass TListable::ClassInfo =
    ListableClass<TListable, TEditable>("TListable");
constinit const TStreamableClass TEditableList::ClassInfo =
    StreamableClass<TEditableList, TCollection>("TEditableList");
constinit const TFWEditorClass TFWEditor::ClassInfo = EditorClass<TFWEditor>("TFWEditor");

namespace {
const TStreamableRegistrar RegisterEditableList(TEditableList::ClassInfo);

// Stands for "no item class" in a stored list; compared case-sensitively on reading.
constexpr const char* NoClassRef = "NoClassRef";
} // namespace

// ---------------------------------------------------------------------------------------
// TEditable, TListable

std::unique_ptr<TEditable> TEditable::Clone() const {
    return As<TEditable>(CloneStreamable(*this));
}

bool TEditable::Edit() {
    const std::unique_ptr<TFWEditor> editor = EditorFactory().CreateEditor(*this);
    return editor->Execute();
}

int TListable::CompareKeys(const void* Key1, const void* Key2) {
    return Key1 == Key2 ? 0 : -1;
}

const void* TListable::KeyOf() const {
    return static_cast<const TObject*>(this);
}

std::unique_ptr<TListable> TListable::CloneListable() const {
    return As<TListable>(Clone());
}

void TListable::DrawItem(TCanvas& Canvas, const TRect& Rect) const {
    Canvas.FillRect(Rect);
    std::string text;
    GetDisplayText(text);
    Canvas.TextOut(Rect.Left + 2, Rect.Top, text);
}

void TListable::GetName(std::string&) const {}

void TListable::MeasureItem(int& Height) const {
    Height = std::max(Height, ItemHeight());
}

// ---------------------------------------------------------------------------------------
// TEditableList

TEditableList::TEditableList(const TListableClass* ItemClass) {
    SetSortable(true);
    SetSorted(false);
    SetDuplicates(dupFreeAndError);
    SetOwnsItems(true);
    SetItemClass(ItemClass);
}

void TEditableList::SetItemClass(const TListableClass* Class) {
    if (Class == FItemClass) return;
    FreeAll();
    FItemClass = Class;
    SetSorted(Class && Class->SortedByDefault());
}

std::unique_ptr<TListable> TEditableList::NewItem() const {
    return FItemClass ? FItemClass->Create() : nullptr;
}

int TEditableList::Compare(const void* Key1, const void* Key2) const {
    return FItemClass ? FItemClass->CompareKeys(Key1, Key2) : TCollection::Compare(Key1, Key2);
}

const void* TEditableList::KeyOf(const TObject* Item) const {
    return Item ? As<const TListable>(*Item).KeyOf() : nullptr;
}

void TEditableList::GetItemText(int Index, std::string& Text) const {
    if (const TObject* item = GetItem(Index)) As<const TListable>(*item).GetDisplayText(Text);
}

// The item class is read after the items, so they are re-inserted by identity and keep
// their stored order; it is then stored as it stands, without re-sorting or clearing.
void TEditableList::Load(TFilter& Filter) {
    TCollection::Load(Filter);
    const std::string name = ReadString(Filter);
    if (name == NoClassRef) {
        FItemClass = nullptr;
        return;
    }
    const auto* itemClass = dynamic_cast<const TListableClass*>(&GetStreamableClass(name));
    if (!itemClass) throw EInvalidCast();
    FItemClass = itemClass;
}

void TEditableList::Store(TFilter& Filter) const {
    TCollection::Store(Filter);
    WriteString(Filter, FItemClass ? FItemClass->Name : NoClassRef);
}

// ---------------------------------------------------------------------------------------
// Editors

bool TFWEditor::Execute() {
    return MessageDlg("No editor found for this entity. Default properties will be used.",
                      mtInformation, {mbOK}) == mrOk;
}

void TEditorFactory::RegisterEditor(const TFWEditorClass& Class) {
    auto it = FEditors.begin();
    while (it != FEditors.end() && (*it)->EditorID < Class.EditorID)
        ++it;
    if (it != FEditors.end() && (*it)->EditorID == Class.EditorID) return;
    FEditors.insert(it, &Class);
}

void TEditorFactory::RegisterEditors(std::initializer_list<const TFWEditorClass*> Classes) {
    for (const TFWEditorClass* c : Classes)
        RegisterEditor(*c);
}

void TEditorFactory::UnregisterEditor(const TFWEditorClass& Class) {
    FEditors.erase(std::remove(FEditors.begin(), FEditors.end(), &Class), FEditors.end());
}

const TFWEditorClass* TEditorFactory::FindEditor(uint16_t ID, int& Index) const {
    for (size_t i = 0; i < FEditors.size(); ++i)
        if (FEditors[i]->EditorID == ID) {
            Index = static_cast<int>(i);
            return FEditors[i];
        }
    Index = -1;
    return nullptr;
}

const TFWEditorClass& TEditorFactory::EditorClassFor(uint16_t ID) const {
    int index;
    const TFWEditorClass* c = FindEditor(ID, index);
    return c ? *c : TFWEditor::ClassInfo;
}

std::unique_ptr<TFWEditor> TEditorFactory::CreateEditor(TEditable& Entity) const {
    return EditorClassFor(Entity.EditorID()).Create(Entity);
}

TEditorFactory& EditorFactory() {
    static TEditorFactory factory;
    return factory;
}

} // namespace kolva
