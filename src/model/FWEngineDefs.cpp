#include "model/FWEngineDefs.h"

namespace kolva {

namespace {
constexpr const char* VisibilityTexts[VisibilityCount] = {"default", "private",   "protected",
                                                          "public",  "published", "automated"};
// bkAbstract is written "virtual"; "abstract" is a directive of its own.
constexpr const char* BindingTexts[BindingKindCount] = {"static",   "virtual", "virtual",
                                                        "override", "dynamic", "message"};
constexpr const char* CallConventionTexts[CallConventionCount] = {
    "default", "register", "pascal", "cdecl", "stdcall", "export", "safecall", "far"};
constexpr const char* ProcKindTexts[ProcKindCount] = {"constructor", "destructor", "procedure",
                                                      "function"};
constexpr const char* ClassKindTexts[] = {"class", "interface", "object", "dispinterface"};
} // namespace

const char* KeywordText(TVisibility Value) {
    return VisibilityTexts[Value];
}
const char* KeywordText(TBindingKind Value) {
    return BindingTexts[Value];
}
const char* KeywordText(TCallConvention Value) {
    return CallConventionTexts[Value];
}
const char* KeywordText(TProcKind Value) {
    return ProcKindTexts[Value];
}
const char* ClassKindText(TCodeItemKind Kind) {
    return IsClassKind(Kind) ? ClassKindTexts[Kind - ckClass] : "";
}

} // namespace kolva
