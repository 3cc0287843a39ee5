#include "editing/Prefs.h"

#include "model/DataTyp.h"

#include <memory>

namespace kolva {

namespace {

constexpr const char* VisibilityNames[] = {"scDefault", "scPrivate",   "scProtected",
                                           "scPublic",  "scPublished", "scAutomated"};
constexpr const char* BindingKindNames[] = {"bkStatic",   "bkVirtual", "bkAbstract",
                                            "bkOverride", "bkDynamic", "bkMessage"};
constexpr const char* CallConventionNames[] = {"ccDefault", "ccRegister", "ccPascal",   "ccCDecl",
                                               "ccStdCall", "ccExport",   "ccSafeCall", "ccFar"};
// The subrange rwNone..rwMethod: rwCustom is no preference.
constexpr const char* RWAccessNames[] = {"rwNone", "rwField", "rwMethod"};
constexpr const char* PropConstParamModeNames[] = {"cpManual", "cpSmart", "cpAlways"};

constinit const TTypeInfo VisibilityType = EnumTypeInfo("TVisibility", VisibilityNames);
constinit const TTypeInfo BindingKindType = EnumTypeInfo("TBindingKind", BindingKindNames);
constinit const TTypeInfo CallConventionType = EnumTypeInfo("TCallConvention", CallConventionNames);
constinit const TTypeInfo RWAccessType = EnumTypeInfo("TRWAccess", RWAccessNames);
constinit const TTypeInfo PropConstParamModeType =
    EnumTypeInfo("TPropConstParamMode", PropConstParamModeNames);

const TPublishedRegistrar<TPreferences> RegisterPreferences;

std::unique_ptr<TPreferences>& Instance() {
    static std::unique_ptr<TPreferences> preferences;
    return preferences;
}

} // namespace

const TPropTable& TPreferences::PropTable() {
    using T = TPreferences;
    constexpr TPropInfo::TStoredFunc unrestricted = StoredBy<&T::StoresAll>;
    static const TPropTable table(
        "TPreferences", "Prefs", nullptr,
        {
            Prop<&T::AccessVisibility, &T::SetAccessVisibility>("AccessVisibility",
                                                                &VisibilityType),
            Prop<&T::ApplyPropCats, &T::SetApplyPropCats>("ApplyPropCats").SetStored(unrestricted),
            Prop<&T::DefaultReadAccess, &T::SetDefaultReadAccess>("DefaultReadAccess",
                                                                  &RWAccessType)
                .SetDefault(rwField),
            Prop<&T::DefaultWriteAccess, &T::SetDefaultWriteAccess>("DefaultWriteAccess",
                                                                    &RWAccessType)
                .SetDefault(rwMethod),
            Prop<&T::EventDispatchBinding, &T::SetEventDispatchBinding>("EventDispatchBinding",
                                                                        &BindingKindType)
                .SetStored(unrestricted),
            Prop<&T::EventDispatchPrefix, &T::SetEventDispatchPrefix>("EventDispatchPrefix")
                .SetStored(unrestricted),
            Prop<&T::EventDispatchVisibility, &T::SetEventDispatchVisibility>(
                "EventDispatchVisibility", &VisibilityType)
                .SetStored(unrestricted),
            Prop<&T::IntfCallConvention, &T::SetIntfCallConvention>("IntfCallConvention",
                                                                    &CallConventionType),
            Prop<&T::PropConstParamMode, &T::SetPropConstParamMode>("PropConstParamMode",
                                                                    &PropConstParamModeType)
                .SetDefault(cpSmart),
            Prop<&T::ReadMethodPrefix, &T::SetReadMethodPrefix>("ReadMethodPrefix"),
            Prop<&T::SmartConsts, &T::SetSmartConsts>("SmartConsts").SetStored(unrestricted),
            Prop<&T::StateFieldPrefix, &T::SetStateFieldPrefix>("StateFieldPrefix"),
            Prop<&T::StateFieldVisibility, &T::SetStateFieldVisibility>("StateFieldVisibility",
                                                                        &VisibilityType),
            Prop<&T::UpcaseString, &T::SetUpcaseString>("UpcaseString"),
            Prop<&T::WriteMethodPrefix, &T::SetWriteMethodPrefix>("WriteMethodPrefix"),
        });
    return table;
}

// Only the user's preferences name the type: a working copy (a dialog's, a test's) must not
// change how every declaration is written.
void TPreferences::SetUpcaseString(bool Value) {
    FUpcaseString = Value;
    if (Instance().get() == this) SetUpcaseStringTypeName(Value);
}

TPreferences& Preferences() {
    std::unique_ptr<TPreferences>& preferences = Instance();
    if (!preferences) preferences = std::make_unique<TPreferences>();
    return *preferences;
}

} // namespace kolva
