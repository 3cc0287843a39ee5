// The small vocabulary of the code model: visibility, binding, calling convention, routine
// kind, property access and code item kind, with the keyword text of each member.
//
// Ordinals are fixed: stored settings and the code generation preferences hold them as
// numbers, so members may never be reordered.
#pragma once

#include "platform/System.h"

#include <cstdint>

namespace kolva {

enum TVisibility : uint8_t {
    scDefault,
    scPrivate,
    scProtected,
    scPublic,
    scPublished,
    scAutomated,
    scStrictPrivate,
    scStrictProtected
};
constexpr int VisibilityCount = scStrictProtected + 1;
using TVisibilities = TSet<TVisibility, VisibilityCount>;

enum TBindingKind : uint8_t { bkStatic, bkVirtual, bkAbstract, bkOverride, bkDynamic, bkMessage };
constexpr int BindingKindCount = bkMessage + 1;

enum TCallConvention : uint8_t {
    ccDefault,
    ccRegister,
    ccPascal,
    ccCDecl,
    ccStdCall,
    ccExport,
    ccSafeCall,
    ccFar
};
constexpr int CallConventionCount = ccFar + 1;

/// pkOperator: a global operator or a record's class operator; it has a result like a
/// function.
enum TProcKind : uint8_t { pkConstructor, pkDestructor, pkProcedure, pkFunction, pkOperator };
constexpr int ProcKindCount = pkOperator + 1;

/// Routine directives, in the order of their bits in a routine's directive set.
enum TProcDirective : uint8_t {
    pdForward,
    pdExternal,
    pdOverload,
    pdVirtual,
    pdDynamic,
    pdAbstract,
    pdMessage,
    pdOverride,
    pdReintroduce
};
constexpr int ProcDirectiveCount = pdReintroduce + 1;
using TProcDirectives = TSet<TProcDirective, ProcDirectiveCount>;

/// How a property reads or writes: `rwCustom` only describes an existing access specifier
/// that is neither a field nor a method of the class.
enum TRWAccessEx : uint8_t { rwNone, rwField, rwMethod, rwCustom };
/// The preferred default access kinds: the subrange rwNone..rwMethod.
using TRWAccess = TRWAccessEx;
constexpr TRWAccess RWAccessLast = rwMethod;

enum TCodeItemKind : uint8_t {
    ckNone,
    ckModule,
    ckUses,
    ckFWTag,
    ckVar,
    ckVisibility,
    ckProcedure,
    ckClass,
    ckInterface,
    ckObject,
    ckDispInterface,
    ckField,
    ckMethod,
    ckProperty,
    ckResClause,
    ckMethodImpl,
    ckRecord,
    ckHelper,
    ckSection
};
constexpr int CodeItemKindCount = ckSection + 1;
using TCodeItems = TSet<TCodeItemKind, CodeItemKindCount>;

/// Procedures, method declarations and method implementations.
constexpr bool IsRoutineKind(TCodeItemKind Kind) {
    return Kind == ckProcedure || Kind == ckMethod || Kind == ckMethodImpl;
}
/// The class kinds ckClass..ckDispInterface.
constexpr bool IsClassKind(TCodeItemKind Kind) {
    return Kind >= ckClass && Kind <= ckDispInterface;
}
/// The types that have members of their own: the class kinds, records with methods
/// (ckRecord) and helpers (ckHelper).
constexpr bool IsTypeWithMembers(TCodeItemKind Kind) {
    return IsClassKind(Kind) || Kind == ckRecord || Kind == ckHelper;
}
/// Whether a routine kind returns a value: functions and operators.
constexpr bool HasResult(TProcKind Kind) {
    return Kind == pkFunction || Kind == pkOperator;
}

/// Keyword text of each member: "private", "virtual" (for bkAbstract too), "stdcall",
/// "function". "default" (scDefault, ccDefault) is for display only, never for source.
const char* KeywordText(TVisibility Value);
const char* KeywordText(TBindingKind Value);
const char* KeywordText(TCallConvention Value);
const char* KeywordText(TProcKind Value);
/// "class", "interface", "object", "dispinterface", "record" or "helper".
/// EXPECTS: IsTypeWithMembers(Kind).
const char* ClassKindText(TCodeItemKind Kind);

/// The member names themselves ("ckClass", "scPublic"), for outlines and diagnostics.
const char* CodeItemKindName(TCodeItemKind Kind);
const char* VisibilityName(TVisibility Value);

} // namespace kolva
