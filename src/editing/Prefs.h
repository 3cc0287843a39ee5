// The code generation preferences: names and visibilities of the access methods and state
// fields generated for properties, the access kinds of a new property, the const parameter
// policy of write methods, the calling convention of methods added to interfaces and the
// spelling of the type name string. One process-wide instance; the settings store loads and
// saves its published properties under "\Preferences" (settings/KolvaReg.h).
#pragma once

#include "foundation/Propinfo.h"
#include "model/FWEngineDefs.h"

#include <cstdint>
#include <string>

namespace kolva {

/// When a write method's value parameter gets "const": cpSmart for string types only,
/// cpAlways for every type, cpManual as the user chooses.
enum TPropConstParamMode : uint8_t { cpManual, cpSmart, cpAlways };

class TPreferences : public TObject, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    /// The values of a fresh installation.
    TPreferences() = default;

    /// While set, ApplyPropCats, EventDispatchBinding, EventDispatchPrefix,
    /// EventDispatchVisibility and SmartConsts are not written by the settings store. Off
    /// after construction; the add-in never sets it.
    bool RestrictStore() const { return FRestrictStore; }
    void SetRestrictStore(bool Value) { FRestrictStore = Value; }

    TVisibility AccessVisibility() const { return FAccessVisibility; }
    void SetAccessVisibility(TVisibility Value) { FAccessVisibility = Value; }
    bool ApplyPropCats() const { return FApplyPropCats; }
    void SetApplyPropCats(bool Value) { FApplyPropCats = Value; }
    TRWAccess DefaultReadAccess() const { return FDefaultReadAccess; }
    void SetDefaultReadAccess(TRWAccess Value) { FDefaultReadAccess = Value; }
    TRWAccess DefaultWriteAccess() const { return FDefaultWriteAccess; }
    void SetDefaultWriteAccess(TRWAccess Value) { FDefaultWriteAccess = Value; }
    TBindingKind EventDispatchBinding() const { return FEventDispatchBinding; }
    void SetEventDispatchBinding(TBindingKind Value) { FEventDispatchBinding = Value; }
    const std::string& EventDispatchPrefix() const { return FEventDispatchPrefix; }
    void SetEventDispatchPrefix(const std::string& Value) { FEventDispatchPrefix = Value; }
    TVisibility EventDispatchVisibility() const { return FEventDispatchVisibility; }
    void SetEventDispatchVisibility(TVisibility Value) { FEventDispatchVisibility = Value; }
    TCallConvention IntfCallConvention() const { return FIntfCallConvention; }
    void SetIntfCallConvention(TCallConvention Value) { FIntfCallConvention = Value; }
    TPropConstParamMode PropConstParamMode() const { return FPropConstParamMode; }
    void SetPropConstParamMode(TPropConstParamMode Value) { FPropConstParamMode = Value; }
    const std::string& ReadMethodPrefix() const { return FReadMethodPrefix; }
    void SetReadMethodPrefix(const std::string& Value) { FReadMethodPrefix = Value; }
    bool SmartConsts() const { return FSmartConsts; }
    void SetSmartConsts(bool Value) { FSmartConsts = Value; }
    const std::string& StateFieldPrefix() const { return FStateFieldPrefix; }
    void SetStateFieldPrefix(const std::string& Value) { FStateFieldPrefix = Value; }
    TVisibility StateFieldVisibility() const { return FStateFieldVisibility; }
    void SetStateFieldVisibility(TVisibility Value) { FStateFieldVisibility = Value; }
    bool UpcaseString() const { return FUpcaseString; }
    /// On the process-wide preferences, generated declarations name the type string
    /// "String" instead of "string" (SetUpcaseStringTypeName); other instances only keep it.
    void SetUpcaseString(bool Value);
    const std::string& WriteMethodPrefix() const { return FWriteMethodPrefix; }
    void SetWriteMethodPrefix(const std::string& Value) { FWriteMethodPrefix = Value; }

private:
    bool StoresAll() const { return !FRestrictStore; }

    TVisibility FAccessVisibility = scPrivate;
    bool FApplyPropCats = false;
    TRWAccess FDefaultReadAccess = rwField;
    TRWAccess FDefaultWriteAccess = rwField;
    TBindingKind FEventDispatchBinding = bkStatic;
    std::string FEventDispatchPrefix;
    TVisibility FEventDispatchVisibility = scProtected;
    TCallConvention FIntfCallConvention = ccStdCall;
    TPropConstParamMode FPropConstParamMode = cpSmart;
    std::string FReadMethodPrefix = "Get";
    bool FSmartConsts = true;
    std::string FStateFieldPrefix = "F";
    TVisibility FStateFieldVisibility = scPrivate;
    bool FUpcaseString = false;
    std::string FWriteMethodPrefix = "Set";
    bool FRestrictStore = false;
};

/// The process-wide preferences, created on first use, freed at exit.
TPreferences& Preferences();

} // namespace kolva
