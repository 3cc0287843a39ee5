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
    scAutomated
};
constexpr int VisibilityCount = scAutomated + 1;
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

enum TProcKind : uint8_t { pkConstructor, pkDestructor, pkProcedure, pkFunction };
constexpr int ProcKindCount = pkFunction + 1;

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
    ckMethodImpl
};
constexpr int CodeItemKindCount = ckMethodImpl + 1;
using TCodeItems = TSet<TCodeItemKind, CodeItemKindCount>;

/// Procedures, method declarations and method implementations.
constexpr bool IsRoutineKind(TCodeItemKind Kind) {
    return Kind == ckProcedure || Kind == ckMethod || Kind == ckMethodImpl;
}
/// The class kinds ckClass..ckDispInterface.
constexpr bool IsClassKind(TCodeItemKind Kind) {
    return Kind >= ckClass && Kind <= ckDispInterface;
}

/// Keyword text of each member: "private", "virtual" (for bkAbstract too), "stdcall",
/// "function". "default" (scDefault, ccDefault) is for display only, never for source.
const char* KeywordText(TVisibility Value);
const char* KeywordText(TBindingKind Value);
const char* KeywordText(TCallConvention Value);
const char* KeywordText(TProcKind Value);
/// "class", "interface", "object" or "dispinterface". EXPECTS: IsClassKind(Kind).
const char* ClassKindText(TCodeItemKind Kind);

/// The member names themselves ("ckClass", "scPublic"), for outlines and diagnostics.
const char* CodeItemKindName(TCodeItemKind Kind);
const char* VisibilityName(TVisibility Value);

} // namespace kolva
