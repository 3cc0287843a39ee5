// The module parser's readers of routines: headings with their names (qualified, generic,
// operators), parameters, results and directives, and conditional twins of a heading.
#include "model/ModuleParser.h"
#include "platform/SysUtils.h"

namespace kolva {

using TParser = TModuleExplorer::TParser;
// ---------------------------------------------------------------------------------------
// Routines

std::string TParser::OperatorName() {
    if (IsWord()) return std::string(FText);
    std::string name;
    while (FKind == tkSymbol && !IsSymbol('(') && !IsSymbol(';')) {
        name += FText;
        Expect();
    }
    if (name.empty()) Unexpected();
    PushBack();
    return name;
}

void TParser::Routine(TProcKind Kind) {
    // A procedural type: "= procedure", ": function", "reference to procedure".
    if (FPrevKind == tkSymbol && (FPrevChar == '=' || FPrevChar == ':')) return;
    if (FPrevKind == tkWord && SameText(FPrevWord, "to")) return;
    const bool classMethod = FPrevKind == tkWord && SameText(FPrevWord, "class");
    int line = classMethod ? FPrevWordLine : FLine;
    int column = classMethod ? FPrevWordColumn - int(FPrevWord.size()) : FColumn;
    const bool genericWord = FGenericToken == FTokenNumber - 1;
    if (genericWord) {
        line = FGenericLine;
        column = FGenericColumn;
    }
    // An item closed before this routine ends where the token before it stands.
    const int closeLine = classMethod ? FPrev2Line : FPrevLine;
    if (FInClass) FSection = snFields;

    TReservedWord word;
    std::string_view name; // a view of the token, or of operatorName
    std::string operatorName;
    std::string params;    // the last part's type parameters
    std::string className; // the qualifier without type parameters
    std::string qualifier; // the qualifier as written, made only when it has type parameters
    bool qualifierParams = false;
    Expect();
    // An operator is named by symbols or a word; a class operator's implementation by a
    // qualified name like any method.
    if (Kind == pkOperator && (!IsWord() || PeekChar() != '.')) {
        operatorName = OperatorName();
        name = operatorName;
    } else {
        if (!IsWord() || StructureWord(word)) Unexpected();
        name = FText;
        for (;;) {
            Next();
            if (IsSymbol('<')) {
                params = TypeParamsText();
                if (params.empty()) Unexpected();
                Next();
            }
            if (!IsSymbol('.')) break;
            if (!className.empty()) className += '.';
            if (qualifierParams) {
                qualifier += '.';
            } else if (!params.empty()) {
                qualifier = className; // the parts before, which have none
                qualifierParams = true;
            }
            if (qualifierParams) {
                qualifier += name;
                qualifier += params;
            }
            className += name;
            params.clear();
            Expect();
            if (!IsWord() || StructureWord(word)) Unexpected();
            name = FText;
        }
        PushBack();
    }
    // What every method item takes from the heading read so far.
    const auto start = [&](TMethodItem& Item) {
        Item.Name = name;
        Item.SetTypeParams(std::move(params));
        Item.GenericWord = genericWord;
        Item.ProcKind = Kind;
        Item.ClassMethod = classMethod;
        Item.StartLine = line;
        Item.StartColumn = column;
    };
    if (!className.empty()) {
        if (FInClass) return ResClause(Kind, className + "." + std::string(name), line, column);
        if (TwinHeading(className, name, Kind, column)) return;
        CloseAll(closeLine);
        if (FOwner.FImplementationLine == -1) FOwner.FImplementationLine = line;
        auto* impl = new TMethodImplItem(FOwner.FModule.get());
        impl->ClassName = std::move(className);
        if (qualifierParams) impl->SetQualifierText(std::move(qualifier));
        start(*impl);
        // The body follows even when the heading is malformed.
        FContainer = impl;
        RoutineHeader(*impl);
        if (impl->Directives.Contains(pdForward) || impl->Directives.Contains(pdExternal))
            Report("Unexpected directive");
        return;
    }
    if (FInClass) {
        auto* method = new TMethodItem(FContainer);
        method->Visibility = FVisibility;
        start(*method);
        RoutineHeader(*method);
        if (method->Directives.Contains(pdForward)) Report("Unexpected directive");
        return;
    }
    if (!OnlyModuleOnStack()) CloseAll(closeLine);
    if (TwinHeading(std::string_view(), name, Kind, column)) return;
    auto* proc = new TProcData(FContainer);
    proc->Name = name;
    proc->SetTypeParams(std::move(params));
    proc->GenericWord = genericWord;
    proc->ProcKind = Kind;
    proc->StartLine = line;
    proc->StartColumn = column;
    // A routine with a body becomes the container of its local routines and body, also
    // when its heading is malformed.
    auto becomeContainer = [&] {
        if (!proc->Directives.Contains(pdForward) && !proc->Directives.Contains(pdExternal) &&
            FOwner.FImplementationLine != -1)
            FContainer = proc;
    };
    try {
        RoutineHeader(*proc);
    } catch (const ETokenError&) {
        becomeContainer();
        throw;
    }
    becomeContainer();
    if (!(proc->Directives - TProcDirectives{pdForward, pdExternal, pdOverload}).Empty())
        Report("Illegal procedure directives");
}

// The current container is a routine whose body has not begun. A heading of the same name
// is its twin from another conditional branch: read and dropped, so that the body belongs
// to the routine once. In text without a heading, a heading not indented further than the
// routine shows that the routine had no body (a file of declarations).
bool TParser::TwinHeading(std::string_view ClassName, std::string_view Name, TProcKind Kind,
                          int Column) {
    while (OnlyModuleOnStack() &&
           (FContainer->Kind() == ckProcedure || FContainer->Kind() == ckMethodImpl)) {
        const std::string_view ownClass =
            FContainer->Kind() == ckMethodImpl
                ? std::string_view(static_cast<TMethodImplItem*>(FContainer)->ClassName)
                : std::string_view();
        if (SameText(FContainer->Name, Name) && SameText(ownClass, ClassName)) {
            TProcData twin(nullptr);
            twin.ProcKind = Kind;
            RoutineHeader(twin);
            return true;
        }
        if (!FNoHeading || Column > FContainer->StartColumn) return false;
        FContainer = FContainer->Parent() ? FContainer->Parent() : FOwner.FModule.get();
    }
    return false;
}

void TParser::RoutineHeader(TProcItem& Item) {
    Next();
    const bool params = IsSymbol('(');
    if (params) {
        ReadParams(Item);
        Next();
    }
    if (Item.ProcKind == pkOperator && IsWord()) {
        Item.SetResultName(std::string(FText));
        Next();
    }
    const bool result = IsSymbol(':');
    if (result) {
        if (!HasResult(Item.ProcKind)) Unexpected();
        Item.SetDataTypeText(TypeReference());
        Next();
    }
    Item.ShortHeading = !params && !result;
    if (!IsSymbol(';')) Unexpected();
    Item.DeclEndLine = FLine;
    for (;;) {
        Next();
        TReservedWord word;
        if (FKind == tkWord) {
            if (!(DirectiveWord(word) && ReadDirective(Item, word)) && !ReadOtherDirective(Item)) {
                PushBack();
                return;
            }
        } else if (IsSymbol('[') && !FInClass) {
            // Directives in brackets ("[public, alias: 'X'];"), else an attribute of what
            // follows.
            FTokenizer.StartMark();
            SkipBrackets('[', ']');
            const std::string text = "[" + FTokenizer.GetMarkedText(true);
            if (Next() != tkSymbol || !IsSymbol(';')) {
                PushBack();
                return;
            }
            Item.AddHint(text);
            Item.DeclEndLine = FLine;
            continue;
        } else {
            PushBack();
            return;
        }
        if (Next() != tkSymbol || !IsSymbol(';')) {
            PushBack();
            Item.DeclEndLine = FPrevLine;
            return;
        }
        Item.DeclEndLine = FLine;
    }
}
void TParser::ReadParams(TProcItem& Item) {
    FTokenizer.StartMark();
    int depth = 1;
    for (;;) {
        Expect();
        TReservedWord word;
        if (FKind == tkTag || FKind == tkError) Unexpected();
        // Some of these words name parameters in other modes ("property").
        if (StructureWord(word) && word != rwVar && word != rwConst && word != rwType &&
            word != rwRecord && word != rwProcedure && word != rwFunction && word != rwClass &&
            word != rwProperty)
            Unexpected();
        if (IsSymbol('(')) ++depth;
        if (IsSymbol(')') && --depth == 0) break;
    }
    Item.Params = FTokenizer.GetMarkedText(false);
}

namespace {

// Routine directives that the model keeps as written text. "public" names a directive of
// global routines only; inside a type it is a visibility.
bool IsOtherDirective(std::string_view Word, bool InType) {
    static constexpr std::string_view words[] = {
        "inline",         "static",        "final",          "deprecated",   "platform",
        "experimental",   "library",       "unimplemented",  "varargs",      "assembler",
        "nostackframe",   "noreturn",      "compilerproc",   "local",        "interrupt",
        "iocheck",        "alias",         "winapi",         "vectorcall",   "softfloat",
        "hardfloat",      "mwpascal",      "ms_abi_default", "ms_abi_cdecl", "sysv_abi_default",
        "sysv_abi_cdecl", "saveregisters", "oldfpccall",     "syscall",      "enumerator",
        "weakexternal",   "cppdecl",       "rtlproc",        "internproc",   "internconst",
        "noinline",       "cblock",        "near",           "far16",        "section",
        "cvar",           "unimplemented", "nodefault"};
    if (!InType && SameText(Word, "public")) return true;
    // Most words that follow a heading are names: ruled out by their first letter.
    constexpr uint32_t firsts = [] {
        uint32_t bits = 0;
        for (std::string_view w : words)
            bits |= 1u << (w[0] & 31);
        return bits;
    }();
    if (Word.size() < 4 || !((firsts >> (Word[0] & 31)) & 1)) return false;
    for (std::string_view w : words)
        if (SameText(Word, w)) return true;
    return false;
}

} // namespace

// Reads one directive of a routine heading; false when Word is not one.
bool TParser::ReadDirective(TProcItem& Item, TReservedWord Word) {
    switch (Word) {
    case rwForward:
    case rwOverload:
    case rwVirtual:
    case rwDynamic:
    case rwAbstract:
    case rwOverride:
    case rwReintroduce:
        Item.Directives.Include(ReservedToProcDirective(Word));
        return true;
    case rwExternal: {
        Item.Directives.Include(pdExternal);
        FTokenizer.StartMark();
        for (;;) {
            Expect();
            if (IsSymbol(';')) break;
            if (!IsWord() && FKind != tkString && !IsSymbol('+')) Unexpected();
        }
        Item.ExternalText = FTokenizer.GetMarkedText(false);
        PushBack();
        return true;
    }
    case rwRegister:
    case rwPascal:
    case rwCDecl:
    case rwStdCall:
    case rwExport:
    case rwSafeCall:
    case rwFar:
        // A second convention ("stdcall; export;") is kept as written.
        if (Item.CallConvention != ccDefault)
            Item.AddHint(LowerCase(FText));
        else
            Item.CallConvention = ReservedToCallConvention(Word);
        return true;
    case rwMessage:
        Item.Directives.Include(pdMessage);
        Item.SetDataType(dtUserDefined);
        Item.SetTypeName(Expression(true, rwBegin));
        return true;
    default:
        return false;
    }
}

// A directive the model has no field for: kept with what follows it up to its ";". A word
// followed by ":", "," or "=" starts the next declaration instead.
bool TParser::ReadOtherDirective(TProcItem& Item) {
    // Most headings are followed by the next declaration's keyword.
    if (FReserved && FWord <= LastStructureWord) return false;
    if (NameFollows() || PeekChar() == '=') return false;
    if (IsWordText("dispid")) {
        Item.DispID = Expression(false, rwBegin);
        return true;
    }
    if (!IsOtherDirective(FText, FInClass)) return false;
    std::string text(FText);
    FTokenizer.StartMark();
    for (int depth = 0;;) {
        Expect();
        if (IsSymbol('(') || IsSymbol('[')) ++depth;
        if ((IsSymbol(')') || IsSymbol(']')) && depth > 0) --depth;
        if (IsSymbol(';') && depth == 0) break;
        TReservedWord word;
        if (StructureWord(word)) Unexpected();
    }
    const std::string rest = FTokenizer.GetMarkedText(false);
    PushBack();
    Item.AddHint(rest.empty() ? text : text + " " + rest);
    return true;
}

} // namespace kolva
