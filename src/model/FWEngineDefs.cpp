#include "model/FWEngineDefs.h"

namespace kolva {

namespace {
constexpr const char* VisibilityTexts[VisibilityCount] = {
    "default",   "private",   "protected",      "public",
    "published", "automated", "strict private", "strict protected"};
// bkAbstract is written "virtual"; "abstract" is a directive of its own.
constexpr const char* BindingTexts[BindingKindCount] = {"static",   "virtual", "virtual",
                                                        "override", "dynamic", "message"};
constexpr const char* CallConventionTexts[CallConventionCount] = {
    "default", "register", "pascal", "cdecl", "stdcall", "export", "safecall", "far"};
constexpr const char* ProcKindTexts[ProcKindCount] = {"constructor", "destructor", "procedure",
                                                      "function", "operator"};
constexpr const char* ClassKindTexts[] = {"class", "interface", "object", "dispinterface"};
constexpr const char* CodeItemKindNames[CodeItemKindCount] = {
    "ckNone",          "ckModule",    "ckUses",   "ckFWTag",     "ckVar",
    "ckVisibility",    "ckProcedure", "ckClass",  "ckInterface", "ckObject",
    "ckDispInterface", "ckField",     "ckMethod", "ckProperty",  "ckResClause",
    "ckMethodImpl",    "ckRecord",    "ckHelper", "ckSection"};
constexpr const char* VisibilityNames[VisibilityCount] = {
    "scDefault",   "scPrivate",   "scProtected",     "scPublic",
    "scPublished", "scAutomated", "scStrictPrivate", "scStrictProtected"};
} // namespace

const char* CodeItemKindName(TCodeItemKind Kind) {
    return CodeItemKindNames[Kind];
}
const char* VisibilityName(TVisibility Value) {
    return VisibilityNames[Value];
}

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
    if (Kind == ckRecord) return "record";
    if (Kind == ckHelper) return "helper";
    return IsClassKind(Kind) ? ClassKindTexts[Kind - ckClass] : "";
}

} // namespace kolva
