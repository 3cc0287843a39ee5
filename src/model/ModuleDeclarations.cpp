// The module parser's readers of declarations: types, routines with their headers and
// directives, resolution clauses, fields, properties, uses clauses and visibility sections.
#include "model/ModuleParser.h"
#include "platform/SysUtils.h"

namespace kolva {

using TParser = TModuleExplorer::TParser;

TVisibility TParser::ModuleLevelVisibility(int Line) const {
    const int impl = FOwner.FImplementationLine;
    return FOwner.FModuleKind == mkUnit && impl != -1 && impl <= Line ? scPrivate : scPublic;
}

// Most names are one word, which is returned as the token's own text: no copy is made for a
// name that is then copied into its item anyway.
std::string_view TParser::DottedName() {
    Expect();
    if (!IsWord()) Unexpected();
    const std::string_view first = FText;
    if (Next() != tkSymbol || !IsSymbol('.')) {
        PushBack();
        return first;
    }
    FNameBuf = first;
    do {
        Expect();
        if (!IsWord()) Unexpected();
        FNameBuf += '.';
        FNameBuf += FText;
    } while (Next() == tkSymbol && IsSymbol('.'));
    PushBack();
    return FNameBuf;
}

std::string TParser::Expression(bool StopAtSpecifier, TReservedWord StopFrom) {
    FTokenizer.StartMark();
    for (;;) {
        Expect();
        if (IsSymbol(';')) break;
        TReservedWord word;
        if (StopAtSpecifier && DirectiveWord(word) && word >= StopFrom) break;
    }
    std::string text = FTokenizer.GetMarkedText(false);
    PushBack();
    return text;
}

// ---------------------------------------------------------------------------------------
// Types

void TParser::TypeDeclaration(TReservedWord Keyword) {
    LeaveClassBody();
    const TTypeName name{FPrevWord, FPrevWordLine,
                         FPrevWordColumn - static_cast<int>(FPrevWord.size())};
    const int kindIndex = Keyword - rwClass;
    Expect();
    if (IsWord()) {
        if (SameText(FText, "of")) return; // a class reference type
        TReservedWord word;
        if (StructureWord(word) && word != rwEnd && word != rwClass && word != rwConstructor &&
            word != rwDestructor && word != rwProcedure && word != rwFunction && word != rwProperty)
            Unexpected();
        TClassItem* cls = CreateClass(name, kindIndex);
        cls->DeclEndLine = FPrevLine;
        // The keyword is not the "class" of a class method that the next word may start.
        FPrevKind = tkNone;
        FPrevWord = std::string_view();
        PushBack();
        EnterClassBody(cls);
        return;
    }
    if (FKind != tkSymbol) Unexpected();
    if (IsSymbol(';')) return; // a forward declaration
    TCodeItem* outer = FContainer;
    TClassItem* cls = CreateClass(name, kindIndex);
    if (IsSymbol('(')) {
        ReadAncestors(*cls);
        Expect();
        if (!IsWord() && !IsSymbol(';') && !IsSymbol('[')) Unexpected();
    }
    if (IsSymbol('[')) {
        if (cls->Kind() != ckInterface && cls->Kind() != ckDispInterface) Unexpected();
        ReadGuid(*cls);
        Next();
    }
    if (IsSymbol(';')) {
        // Declared in one line, such as "EFoo = class(Exception);": no body to enter, and
        // what follows does not belong to it.
        cls->DeclEndLine = FLine;
        cls->HasBody = false;
        FContainer = outer;
        return;
    }
    cls->DeclEndLine = FPrevLine;
    PushBack();
    EnterClassBody(cls);
}

TClassItem* TParser::CreateClass(const TTypeName& Name, int KindIndex) {
    TModuleItem* module = FOwner.FModule.get();
    auto* cls = new TClassItem(module, KindIndex);
    cls->Name = std::string(Name.Text);
    cls->StartLine = Name.Line;
    cls->StartColumn = Name.Column;
    cls->Visibility = ModuleLevelVisibility(cls->StartLine);
    cls->HasBody = true;
    FContainer = cls;
    FVisibility = scDefault;
    return cls;
}

void TParser::ReadAncestors(TClassItem& Class) {
    if (Class.Kind() == ckDispInterface) Unexpected();
    Class.Ancestor = DottedName();
    std::string interfaces;
    while (Next() == tkSymbol && IsSymbol(',')) {
        if (Class.Kind() != ckClass) Unexpected();
        if (!interfaces.empty()) interfaces += ", ";
        interfaces += DottedName();
    }
    if (!IsSymbol(')')) Unexpected();
    Class.InterfacesText = interfaces;
}

void TParser::ReadGuid(TClassItem& Class) {
    Expect();
    if (FKind != tkString && !IsWord()) Unexpected();
    Class.InterfacesText = std::string(FText);
    Expect();
    if (!IsSymbol(']')) Unexpected();
}

// ---------------------------------------------------------------------------------------
// Routines

void TParser::Routine(TReservedWord Keyword) {
    if (FPrevKind == tkSymbol && (FPrevChar == '=' || FPrevChar == ':')) return; // a type
    const TProcKind kind = ReservedToProcKind(Keyword);
    const bool classMethod = FPrevKind == tkWord && SameText(FPrevWord, "class");
    const int line = classMethod ? FPrevWordLine : FLine;
    const int column = classMethod ? FPrevWordColumn - int(FPrevWord.size()) : FColumn;

    TReservedWord word;
    Expect();
    if (!IsWord() || StructureWord(word)) Unexpected();
    std::string name(FText);
    Next();
    if (IsSymbol('.')) {
        Expect();
        if (!IsWord() || StructureWord(word)) Unexpected();
        if (FInClass) return ResClause(kind, name + "." + std::string(FText), line, column);
        CloseAll();
        if (FOwner.FImplementationLine == -1) FOwner.FImplementationLine = line;
        auto* impl = new TMethodImplItem(FOwner.FModule.get());
        impl->ClassName = std::move(name);
        impl->Name = std::string(FText);
        impl->ProcKind = kind;
        impl->ClassMethod = classMethod;
        impl->StartLine = line;
        impl->StartColumn = column;
        // The body follows even when the heading is malformed.
        FContainer = impl;
        RoutineHeader(*impl);
        if (impl->Directives.Contains(pdForward) || impl->Directives.Contains(pdExternal))
            Report("Unexpected directive");
        return;
    }
    PushBack();
    if (FInClass) {
        auto* method = new TMethodItem(FContainer);
        method->Name = std::move(name);
        method->ProcKind = kind;
        method->Visibility = FVisibility;
        method->ClassMethod = classMethod;
        method->StartLine = line;
        method->StartColumn = column;
        RoutineHeader(*method);
        if (method->Directives.Contains(pdForward)) Report("Unexpected directive");
        return;
    }
    if (!OnlyModuleOnStack()) CloseAll();
    auto* proc = new TProcData(FContainer);
    proc->Name = std::move(name);
    proc->ProcKind = kind;
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

void TParser::RoutineHeader(TProcItem& Item) {
    Next();
    if (IsSymbol('(')) {
        ReadParams(Item);
        Next();
    }
    if (IsSymbol(':')) {
        if (Item.ProcKind != pkFunction) Unexpected();
        Item.SetDataTypeText(DottedName());
        Next();
    }
    if (!IsSymbol(';')) Unexpected();
    Item.DeclEndLine = FLine;
    for (;;) {
        TReservedWord word;
        if (Next() != tkWord || !DirectiveWord(word) || !ReadDirective(Item, word)) {
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
        if (StructureWord(word) && word != rwVar && word != rwConst) Unexpected();
        if (IsSymbol('(')) ++depth;
        if (IsSymbol(')') && --depth == 0) break;
    }
    Item.Params = FTokenizer.GetMarkedText(false);
}

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

void TParser::ResClause(TProcKind Kind, const std::string& Name, int Line, int Column) {
    auto* clause = new TResClauseItem(FContainer);
    clause->ProcKind = Kind;
    clause->Name = Name;
    clause->Visibility = FVisibility;
    clause->StartLine = Line;
    clause->StartColumn = Column;
    Expect();
    if (!IsSymbol('=')) Unexpected();
    Expect();
    if (!IsWord()) Unexpected();
    clause->ImplementingName = std::string(FText);
    Expect();
    if (!IsSymbol(';')) Unexpected();
    clause->DeclEndLine = FLine;
}

// ---------------------------------------------------------------------------------------
// Members

void TParser::Field() {
    std::string names(FText);
    const int line = FLine;
    const int column = FColumn;
    for (;;) {
        Expect();
        if (IsSymbol(':')) break;
        if (!IsSymbol(',')) Unexpected();
        Expect();
        TReservedWord word;
        if (!IsWord() || StructureWord(word)) Unexpected();
        names += ", ";
        names += FText;
    }
    auto* field = new TFieldItem(FContainer);
    field->Name = std::move(names);
    field->Visibility = FVisibility;
    field->StartLine = line;
    field->StartColumn = column;
    ReadFieldType(*field);
}

// The type runs to the ";" outside records and parentheses. Besides records and variant
// parts, a procedural type may stand here ("procedure(Sender: TObject) of object"): its
// parameter list has semicolons of its own.
void TParser::ReadFieldType(TFieldItem& Field) {
    FTokenizer.StartMark();
    int records = 0;
    int parens = 0;
    bool first = true;
    bool afterOf = false;
    for (;; first = false) {
        Expect();
        TReservedWord word;
        if (StructureWord(word)) {
            switch (word) {
            case rwRecord:
                ++records;
                break;
            case rwEnd:
                if (--records < 0) Unexpected();
                break;
            case rwCase:
                break;
            case rwProcedure:
            case rwFunction:
                if (!first) Unexpected();
                break;
            case rwObject:
                if (!afterOf) Unexpected();
                break;
            default:
                Unexpected();
            }
        } else if (IsSymbol('(')) {
            ++parens;
        } else if (IsSymbol(')')) {
            if (parens > 0) --parens;
        } else if (IsSymbol(';') && records == 0 && parens == 0) {
            break;
        }
        afterOf = IsWord() && SameText(FText, "of");
    }
    Field.SetDataTypeText(FTokenizer.GetMarkedText(false));
    Field.DeclEndLine = FLine;
}

void TParser::Property() {
    const int line = FLine;
    const int column = FColumn;
    Expect();
    TReservedWord word;
    if (!IsWord() || StructureWord(word)) Unexpected();
    auto* property = new TPropertyItem(FContainer);
    property->Name = std::string(FText);
    property->Visibility = FVisibility;
    property->StartLine = line;
    property->StartColumn = column;
    Next();
    if (IsSymbol('[')) {
        FTokenizer.StartMark();
        for (int depth = 1; depth > 0;) {
            Expect();
            if (IsSymbol('[')) ++depth;
            if (IsSymbol(']')) --depth;
        }
        property->IndexParams = FTokenizer.GetMarkedText(false);
        property->Flags.Include(pfHasParams);
        Expect();
        if (!IsSymbol(':')) Unexpected();
    }
    if (IsSymbol(':')) {
        property->SetDataTypeText(DottedName());
    } else {
        property->Flags.Include(pfRedeclaration);
        PushBack();
    }
    PropertySpecifiers(*property);
}

void TParser::PropertySpecifiers(TPropertyItem& Property) {
    for (;;) {
        Expect();
        if (IsSymbol(';')) break;
        TReservedWord word;
        if (!DirectiveWord(word) || word < rwRead || word > rwNoDefault) Unexpected();
        switch (word) {
        case rwRead:
            Property.ReadSpec = DottedName();
            break;
        case rwWrite:
            Property.WriteSpec = DottedName();
            break;
        case rwIndex:
            if (Property.Flags.Contains(pfRedeclaration)) Unexpected();
            Property.IndexExpr = Expression(true, rwRead);
            Property.Flags.Include(pfHasIndex);
            break;
        case rwStored:
            Expect();
            Property.StoredSpec = std::string(FText);
            Property.Flags.Include(pfHasStored);
            break;
        case rwDefault:
            Property.DefaultValue = Expression(true, rwRead);
            Property.DefaultKind = dkDefault;
            break;
        case rwNoDefault:
            Property.DefaultKind = dkNoDefault;
            break;
        default: { // implements
            std::string names(DottedName());
            while (Next() == tkSymbol && IsSymbol(',')) {
                names += ", ";
                names += DottedName();
            }
            PushBack();
            Property.ImplementsText = std::move(names);
            Property.Flags.Include(pfHasImplements);
        }
        }
    }
    Property.DeclEndLine = FLine;
    if (Next() == tkWord && SameText(FText, "default")) {
        Expect();
        if (!IsSymbol(';')) Unexpected();
        Property.Flags.Include(pfDefaultArray);
        Property.DeclEndLine = FLine;
        return;
    }
    PushBack();
}

void TParser::UsesClause() {
    auto* uses = new TUsesClause(FContainer);
    uses->StartLine = FLine;
    uses->StartColumn = FColumn;
    uses->Visibility = ModuleLevelVisibility(FLine);
    FTokenizer.StartMark();
    for (;;) {
        Expect();
        if (IsSymbol(';')) break;
        if (IsSymbol(',')) continue;
        TReservedWord word;
        if (!IsWord() || StructureWord(word)) Unexpected();
        uses->AddUnit(std::string(FText));
    }
    uses->ClauseText = FTokenizer.GetMarkedText(false);
    uses->DeclEndLine = FLine;
}

void TParser::VisibilitySection(TReservedWord Word) {
    FVisibility = ReservedToVisibility(Word);
    auto* section = new TVisibilityItem(FContainer);
    section->Visibility = FVisibility;
    section->StartLine = section->DeclEndLine = section->EndLine = FLine;
    section->StartColumn = FColumn;
}

} // namespace kolva
