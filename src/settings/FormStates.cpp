#include "settings/FormStates.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"

namespace kolva {

namespace {

int32_t ReadCoordinate(TRegistry& Registry, const char* Name) {
    return Registry.GetDataType(Name) == rdInteger ? Registry.ReadInteger(Name) : 0;
}

std::string SubKeyPath(const std::string& Key, const std::string& Name) {
    return "\\" + (Key.empty() ? Name : Key + "\\" + Name);
}

std::string KeyName(const IFormWindow& Form, std::string_view Name) {
    return Name.empty() ? Form.FormClassName() : std::string(Name);
}

} // namespace

// ---------------------------------------------------------------------------------------
// TFormStateList

TFormStateList::TFormStateList() {
    SetSortable(true);
    SetSorted(true);
    SetOwnsItems(true);
    SetDuplicates(dupIgnore);
}

const void* TFormStateList::KeyOf(const TObject* Item) const {
    return &static_cast<const TFormState*>(Item)->Name;
}

int TFormStateList::Compare(const void* Key1, const void* Key2) const {
    return CompareText(*static_cast<const std::string*>(Key1),
                       *static_cast<const std::string*>(Key2));
}

TFormState* TFormStateList::Find(std::string_view Name) const {
    const std::string key(Name);
    int index;
    return SearchKey(&key, index) ? &State(index) : nullptr;
}

// ---------------------------------------------------------------------------------------
// TFormStateStore

bool TFormStateStore::RestoreForm(IFormWindow& Form, std::string_view Name) {
    const TFormState* state = States.Find(KeyName(Form, Name));
    if (!state) return false;
    // A state stored while the window could not be resized holds no size: applying its
    // zeros would shrink a window that has become sizeable since.
    if (Form.Sizeable() && state->HasSize)
        Form.SetBounds(state->Left, state->Top, state->Width, state->Height);
    else
        Form.SetBounds(state->Left, state->Top, Form.Width(), Form.Height());
    return true;
}

void TFormStateStore::StoreForm(const IFormWindow& Form, std::string_view Name) {
    const std::string key = KeyName(Form, Name);
    TFormState* state = States.Find(key);
    if (!state) {
        state = new TFormState(key);
        States.Add(state);
    }
    state->Left = Form.Left();
    state->Top = Form.Top();
    state->Width = Form.Width();
    state->Height = Form.Height();
    state->HasSize = Form.Sizeable();
}

void TFormStateStore::LoadStates(TRegistry& Registry) {
    States.FreeAll();
    const std::string key = Registry.CurrentPath();
    TStringList names;
    Registry.GetKeyNames(names);
    for (int i = 0; i < names.Count(); ++i) {
        if (names[i].empty() || !Registry.OpenKeyReadOnly(SubKeyPath(key, names[i]))) continue;
        auto state = std::make_unique<TFormState>(names[i]);
        state->Left = ReadCoordinate(Registry, "Left");
        state->Top = ReadCoordinate(Registry, "Top");
        state->Width = ReadCoordinate(Registry, "Width");
        state->Height = ReadCoordinate(Registry, "Height");
        state->HasSize = Registry.GetDataType("Width") == rdInteger &&
                         Registry.GetDataType("Height") == rdInteger;
        if (States.Add(state.get()) >= 0) state.release();
    }
    Registry.OpenKeyReadOnly("\\" + key);
}

void TFormStateStore::SaveStates(TRegistry& Registry) {
    const std::string key = Registry.CurrentPath();
    for (int i = 0; i < States.Count(); ++i) {
        const TFormState& state = States.State(i);
        if (!Registry.OpenKey(SubKeyPath(key, state.Name), true)) continue;
        Registry.WriteInteger("Left", state.Left);
        Registry.WriteInteger("Top", state.Top);
        if (state.HasSize) {
            Registry.WriteInteger("Width", state.Width);
            Registry.WriteInteger("Height", state.Height);
        }
    }
    Registry.OpenKey("\\" + key, false);
}

TFormStateStore* FormStateStore(int Request) {
    static std::unique_ptr<TFormStateStore> instance;
    switch (Request) {
    case srCurrent:
        break;
    case srCreate:
        if (!instance) instance = std::make_unique<TFormStateStore>();
        break;
    case srForget:
        instance.reset();
        break;
    default:
        throw Exception(Format("Illegal request %d in AccessInstance", Request));
    }
    return instance.get();
}

} // namespace kolva
