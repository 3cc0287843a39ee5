// The module parser's readers of members and names: fields, properties, resolution clauses,
// uses clauses and visibility sections, and the names and type references they are made of.
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

std::string TParser::TypeParamsText() {
    FTokenizer.StartMark();
    for (int depth = 1; depth > 0;) {
        if (Next() == tkNone) {
            FTokenizer.GetMark();
            return std::string();
        }
        TReservedWord word;
        // What never stands between type parameters: the "<" was a comparison.
        if (IsSymbol('=') || IsSymbol('(') || IsSymbol(')') || FText == ":=" ||
            (StructureWord(word) && word != rwClass && word != rwRecord && word != rwConstructor &&
             word != rwInterface && word != rwObject)) {
            FTokenizer.GetMark();
            PushBack();
            return std::string();
        }
        if (IsSymbol('<')) ++depth;
        if (IsSymbol('>')) --depth;
    }
    return "<" + FTokenizer.GetMarkedText(true);
}

// A plain name is returned as the token's own text, as DottedName does.
std::string_view TParser::TypeReference() {
    Expect();
    const bool specialize = IsWordText("specialize");
    if (specialize) Expect();
    TReservedWord word;
    if (!IsWord() || (StructureWord(word) && word != rwRecord)) Unexpected();
    const std::string_view first = FText;
    Next();
    if (!specialize && !IsSymbol('<') && !IsSymbol('.')) {
        PushBack();
        return first;
    }
    FNameBuf = specialize ? "specialize " : "";
    FNameBuf += first;
    for (;; Next()) {
        if (IsSymbol('<')) {
            const std::string args = TypeParamsText();
            if (args.empty()) Unexpected();
            FNameBuf += args;
        } else if (IsSymbol('.')) {
            Expect();
            if (!IsWord()) Unexpected();
            FNameBuf += '.';
            FNameBuf += FText;
        } else {
            break;
        }
    }
    PushBack();
    return FNameBuf;
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
    bool afterTo = false;
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
                // "procedure of object", "reference to procedure"
                if (!first && !afterTo) Unexpected();
                break;
            case rwObject:
                if (!afterOf) Unexpected();
                break;
            case rwClass:
                if (!first) Unexpected(); // "class of TFoo"
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
        afterTo = IsWord() && SameText(FText, "to");
    }
    Field.SetDataTypeText(FTokenizer.GetMarkedText(false));
    Field.DeclEndLine = FLine;
    MemberHints(Field);
}

namespace {
// The hint directives, and a field's "external"; by length first.
bool IsHintWord(std::string_view Word, bool Field) {
    switch (Word.size()) {
    case 7:
        return SameText(Word, "library");
    case 8:
        return SameText(Word, "platform") || (Field && SameText(Word, "external"));
    case 10:
        return SameText(Word, "deprecated");
    case 12:
        return SameText(Word, "experimental");
    case 13:
        return SameText(Word, "unimplemented");
    default:
        return false;
    }
}
} // namespace

// Hint directives after a field's or property's ";", and a field's "external name 'x';"
// of the Java dialect.
void TParser::MemberHints(TMemberItem& Member) {
    for (;;) {
        if (Next() != tkWord || (FReserved && FWord <= LastStructureWord) || NameFollows() ||
            !IsHintWord(FText, Member.Kind() == ckField)) {
            PushBack();
            return;
        }
        std::string text(FText);
        const std::string rest = Expression(false, rwBegin);
        Member.AddHint(rest.empty() ? text : text + " " + rest);
        Expect();
        Member.DeclEndLine = FLine;
    }
}

void TParser::Property() {
    const bool classProperty = FPrevKind == tkWord && SameText(FPrevWord, "class");
    const int line = classProperty ? FPrevWordLine : FLine;
    const int column = classProperty ? FPrevWordColumn - 5 : FColumn;
    FSection = snFields;
    Expect();
    TReservedWord word;
    if (!IsWord() || StructureWord(word)) Unexpected();
    auto* property = new TPropertyItem(FContainer);
    property->Name = std::string(FText);
    property->Visibility = FVisibility;
    property->StartLine = line;
    property->StartColumn = column;
    if (classProperty) property->Flags.Include(pfClassProperty);
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
        property->SetDataTypeText(TypeReference());
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
        if (!DirectiveWord(word) || word < rwRead || word > rwNoDefault) {
            // Specifiers of dispinterfaces and later dialects.
            if (IsWordText("dispid")) {
                Property.DispID = Expression(true, rwRead);
            } else if (IsWordText("readonly") || IsWordText("writeonly")) {
                if (!Property.ExtraSpecifiers.empty()) Property.ExtraSpecifiers += ' ';
                Property.ExtraSpecifiers += FText;
            } else {
                Unexpected();
            }
            continue;
        }
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
        Next();
    }
    PushBack();
    MemberHints(Property);
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

void TParser::VisibilitySection(TVisibility Visibility, int Line, int Column) {
    FVisibility = Visibility;
    FSection = snFields;
    auto* section = new TVisibilityItem(FContainer);
    section->Visibility = FVisibility;
    section->StartLine = section->DeclEndLine = section->EndLine = Line;
    section->StartColumn = Column;
}

} // namespace kolva
