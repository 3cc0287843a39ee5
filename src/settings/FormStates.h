// Window states: where each dialog was left and, for a window the user can resize, how
// large it was, kept in the registry from one run to the next. A dialog restores its state
// when it is created and stores it when it closes; dialogs of one class share one state.
// The store knows windows only through `IFormWindow`, which the window library implements.
#pragma once

#include "foundation/Containr.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kolva {

class TRegistry;

/// What the store needs of a window: its class name, its bounds and whether its border
/// lets the user resize it.
class IFormWindow {
public:
    /// The class name of the window ("TFieldEditForm"), the key of its state by default.
    virtual std::string FormClassName() const = 0;
    virtual int32_t Left() const = 0;
    virtual int32_t Top() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    /// A sizeable frame or a sizeable tool-window frame.
    virtual bool Sizeable() const = 0;
    virtual void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) = 0;

protected:
    ~IFormWindow() = default;
};

/// The remembered bounds of the windows of one name.
class TFormState : public TObject {
public:
    TFormState() = default;
    explicit TFormState(std::string AName) : Name(std::move(AName)) {}

    int32_t Left = 0;
    std::string Name;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    /// Width and Height hold a size: the window was sizeable when it was stored.
    bool HasSize = false;
};

/// Window states sorted by name (ASCII case ignored), one per name; it owns them.
class TFormStateList : public TCollection {
public:
    TFormStateList();
    ~TFormStateList() override = default;
    const void* KeyOf(const TObject* Item) const override;
    /// Keys are names (std::string), compared without regard to ASCII case.
    int Compare(const void* Key1, const void* Key2) const override;

    TFormState& State(int Index) const { return static_cast<TFormState&>(*Items(Index)); }
    /// The state of that name, or null.
    TFormState* Find(std::string_view Name) const;
};

class TFormStateStore : public TObject {
public:
    /// Applies the state of Name (the window's class name when empty) when there is one: a
    /// sizeable window gets its stored position and, when the state holds one, its size;
    /// any other window is only moved. Returns whether a state existed; a dialog then uses
    /// the restored bounds instead of its designed placement.
    bool RestoreForm(IFormWindow& Form, std::string_view Name = {});
    /// Records the window's bounds and sizeability under Name (the class name when empty),
    /// adding a state when there is none.
    void StoreForm(const IFormWindow& Form, std::string_view Name = {});

    /// Replaces every state by those of the subkeys of Registry's open key: one state per
    /// subkey, named after it, with its "Left", "Top", "Width" and "Height" integers (a value
    /// missing or not an integer reads as 0); a state holds a size when both size values are
    /// there. The open key is open (read-only) again afterwards.
    void LoadStates(TRegistry& Registry);
    /// Writes every state to the subkey of its name below Registry's open key (created when
    /// missing): "Left", "Top" and, when the state holds a size, "Width" and "Height".
    /// Subkeys of other names are left alone. The open key is open again afterwards.
    void SaveStates(TRegistry& Registry);

    TFormStateList States;
};

/// The requests to FormStateStore.
enum TStoreRequest : int { srCurrent = 0, srCreate = 1, srForget = 2 };

/// The process's window-state store: srCurrent gives it (null when there is none),
/// srCreate creates it first when there is none, srForget frees it and gives null. Any other
/// request raises "Illegal request %d in AccessInstance".
TFormStateStore* FormStateStore(int Request);

} // namespace kolva
