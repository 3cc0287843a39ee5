// The module parser's readers of types: classes and their kin, records that turn out to
// have methods, helpers, type parameters, and what stands inside a type's body besides its
// members (sections, nested types, attributes, variant parts).
#include "model/ModuleParser.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

using TParser = TModuleExplorer::TParser;
// ---------------------------------------------------------------------------------------
// Types

TParser::TTypeName TParser::PreviousTypeName() const {
    TTypeName name;
    name.Text = FPrevWord;
    name.Line = FPrevWordLine;
    name.Column = FPrevWordColumn - static_cast<int>(FPrevWord.size());
    return name;
}

void TParser::GenericTypeName() {
    TTypeName name = PreviousTypeName();
    if (FGenericToken == FTokenNumber - 2) {
        name.GenericWord = true;
        name.Line = FGenericLine;
        name.Column = FGenericColumn;
    }
    name.TypeParams = TypeParamsText();
    if (name.TypeParams.empty()) return;
    if (Next() != tkSymbol || !IsSymbol('=')) {
        PushBack();
        return;
    }
    TypeAfterEquals(std::move(name));
}

bool TParser::TypeAfterEquals(TTypeName Name) {
    Expect();
    TReservedWord word;
    if (IsWordText("packed")) {
        Name.Packed = true;
        Expect();
    }
    if (StructureWord(word)) {
        switch (word) {
        case rwClass:
        case rwInterface:
        case rwObject:
        case rwDispInterface:
            TypeDeclaration(word, std::move(Name));
            return true;
        case rwRecord:
            RecordType(std::move(Name));
            return true;
        case rwType:
            if (Name.Packed) break;
            TypeHelperOrDistinct(Name);
            return true;
        default:
            break;
        }
    } else if (IsWordText("objcclass") || IsWordText("objccategory") || IsWordText("cppclass")) {
        const std::string kindWord = LowerCase(FText);
        TypeDeclaration(rwClass, std::move(Name), kindWord.c_str());
        return true;
    } else if (IsWordText("objcprotocol")) {
        TypeDeclaration(rwInterface, std::move(Name), "objcprotocol");
        return true;
    }
    PushBack();
    return false;
}

void TParser::TypeDeclaration(TReservedWord Keyword, TTypeName Name, const char* KindWord) {
    const auto kind = static_cast<TCodeItemKind>(ckClass + (Keyword - rwClass));
    Expect();
    if (IsWord()) {
        if (SameText(FText, "of")) return; // a class reference type
        if (kind == ckClass && !KindWord && IsWordText("helper") && !NameFollows()) {
            TClassItem* helper = CreateClass(Name, ckHelper);
            helper->KindWord = "class";
            return HelperType(*helper);
        }
    }
    if (IsSymbol(';')) return; // a forward declaration
    TCodeItem* outer = FContainer;
    TClassItem* cls = CreateClass(Name, kind);
    if (KindWord) cls->KindWord = KindWord;
    ClassModifiers(*cls);
    if (IsWord()) {
        TReservedWord word;
        if (StructureWord(word) && word != rwEnd && word != rwClass && word != rwConstructor &&
            word != rwDestructor && word != rwProcedure && word != rwFunction &&
            word != rwProperty && word != rwVar && word != rwConst && word != rwType)
            Unexpected();
        cls->DeclEndLine = FPrevLine;
        // The keyword is not the "class" of a class method or section that the next word
        // may start.
        FPrevKind = tkNone;
        FPrevWord = std::string_view();
        PushBack();
        EnterClassBody(cls);
        return;
    }
    if (FKind != tkSymbol) Unexpected();
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
    if (IsWord()) {
        FPrevKind = tkNone;
        FPrevWord = std::string_view();
    }
    PushBack();
    EnterClassBody(cls);
}

// After the kind keyword: "sealed", "abstract" and "external" with what names the external
// type. Leaves the first token after them as the current one.
void TParser::ClassModifiers(TClassItem& Class) {
    for (;;) {
        if (!IsWord() || NameFollows()) return;
        if (IsWordText("sealed") || IsWordText("abstract")) {
            Class.Modifier = LowerCase(FText);
        } else if (IsWordText("external")) {
            Class.HasExternal = true;
            FTokenizer.StartMark();
            do
                Expect();
            while (FKind == tkString || IsWordText("name"));
            Class.ExternalText = FTokenizer.GetMarkedText(false);
            continue;
        } else {
            return;
        }
        Expect();
    }
}

// "helper" was read: an optional ancestor helper, "for" and the type helped.
void TParser::HelperType(TClassItem& Helper) {
    Expect();
    if (IsSymbol('(')) {
        Helper.Ancestor = TypeReference();
        Expect();
        if (!IsSymbol(')')) Unexpected();
        Expect();
    }
    if (!IsWordText("for")) Unexpected();
    Helper.HelperFor = TypeReference();
    Helper.DeclEndLine = FLine;
    FPrevKind = tkNone;
    FPrevWord = std::string_view();
    EnterClassBody(&Helper);
}

// A record is modelled as a type with members only when it has methods, properties or
// sections (an advanced record); a plain record stays a block, as in the language of old.
// Which it is shows only inside it: the block remembers where the record began, and the
// first method reads it again from its name (PromoteRecord).
void TParser::RecordType(TTypeName Name) {
    const int line = FLine;
    const int column = FColumn;
    Next();
    if (IsWordText("helper") && !NameFollows()) {
        TClassItem* helper = CreateClass(Name, ckHelper);
        helper->KindWord = "record";
        return HelperType(*helper);
    }
    PushBack();
    if (FPromoteLine == line && FPromoteColumn == column) {
        FPromoteLine = -1;
        TClassItem* record = CreateClass(Name, ckRecord);
        record->DeclEndLine = line;
        FPrevKind = tkNone;
        FPrevWord = std::string_view();
        EnterClassBody(record);
        return;
    }
    TBlock block{nullptr, rwRecord, FVisibility, FSection};
    block.NameLine = Name.Line;
    block.NameColumn = Name.Column;
    block.KeywordLine = line;
    block.KeywordColumn = column;
    FStack.push_back(block);
    SyncInClass();
}

bool TParser::RecordTrigger(TReservedWord Word, bool Structure) {
    if (NameFollows()) return false; // a field of that name
    const bool afterTypeMark = FPrevKind == tkSymbol && (FPrevChar == ':' || FPrevChar == '=');
    if (Structure) {
        switch (Word) {
        case rwProcedure:
        case rwFunction:
        case rwConstructor:
        case rwDestructor:
        case rwProperty:
        case rwClass:
            return !afterTypeMark;
        case rwConst:
        case rwType:
        case rwVar: {
            // A section starts its line; "const" and "var" elsewhere mark parameters of a
            // procedural field type.
            const std::string_view line = FTokenizer.CurrentLine();
            for (int i = 0; i < FColumn; ++i)
                if (static_cast<unsigned char>(line[size_t(i)]) > 32) return false;
            return !(FPrevKind == tkSymbol && FPrevChar == '(');
        }
        default:
            return false;
        }
    }
    TReservedWord directive;
    if (DirectiveWord(directive) && directive >= rwPrivate && directive <= rwPublished) return true;
    return IsWordText("strict") || IsWordText("operator");
}

bool TParser::PromoteRecord() {
    const TBlock block = FStack.back();
    const std::pair<int, int> keyword{block.KeywordLine, block.KeywordColumn};
    if (std::find(FPromoted.begin(), FPromoted.end(), keyword) != FPromoted.end()) return false;
    FPromoted.push_back(keyword);
    FStack.pop_back();
    FVisibility = block.Visibility;
    FSection = block.Section;
    SyncInClass();
    FPromoteLine = keyword.first;
    FPromoteColumn = keyword.second;
    FTokenizer.SetLineNumber(block.NameLine);
    FPushedBack = false;
    do {
        if (Next() == tkNone) return true;
    } while (FLine != block.NameLine || FColumn != block.NameColumn);
    PushBack();
    return true;
}

TClassItem* TParser::CreateClass(const TTypeName& Name, TCodeItemKind Kind) {
    TClassItem* outer = OpenType();
    auto* cls = new TClassItem(outer ? static_cast<TCodeItem*>(outer) : FOwner.FModule.get());
    cls->SetTypeKind(Kind);
    cls->Name = std::string(Name.Text);
    cls->StartLine = Name.Line;
    cls->StartColumn = Name.Column;
    cls->TypeParams = Name.TypeParams;
    cls->GenericWord = Name.GenericWord;
    cls->Packed = Name.Packed;
    cls->Visibility = outer ? FVisibility : ModuleLevelVisibility(cls->StartLine);
    cls->HasBody = true;
    FContainer = cls;
    return cls;
}

void TParser::ReadAncestors(TClassItem& Class) {
    if (Class.Kind() == ckDispInterface) Unexpected();
    Class.Ancestor = TypeReference();
    std::string interfaces;
    while (Next() == tkSymbol && IsSymbol(',')) {
        // An external interface or an Objective-C protocol may extend several.
        if (Class.Kind() == ckInterface && (Class.HasExternal || !Class.KindWord.empty())) {
            Class.Ancestor += ", ";
            Class.Ancestor += TypeReference();
            continue;
        }
        if (Class.Kind() != ckClass) Unexpected();
        if (!interfaces.empty()) interfaces += ", ";
        interfaces += TypeReference();
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
// Inside a type's body

void TParser::MemberWord() {
    // A name followed by ":" or "," is a field whatever word it is; the words looked for
    // below are then told apart by their length first, as most member words are names.
    if (!NameFollows() && MemberKeyword()) return;
    switch (FSection) {
    case snConst:
        return SkipDeclaration();
    case snType:
        return NestedType();
    default:
        break;
    }
    if (PeekChar() == '=') {
        // A type heading in a body: the same type's heading written again in another
        // conditional branch, else a body whose "end" was missed.
        TClassItem* type = OpenType();
        if (SameText(FText, type->Name) && type->ChildCount() == 0) return SkipTwinHeading();
        LeaveClassBody();
        return;
    }
    Field();
}

// A word of a type's body that is no structure word but begins something other than a
// member: a visibility, "strict", "threadvar", "operator", "generic", "final", and an
// Objective-C protocol's "optional" and "required". False for any other word.
bool TParser::MemberKeyword() {
    TReservedWord directive;
    if (DirectiveWord(directive)) {
        if (directive < rwPrivate || directive > rwAutomated) return false;
        VisibilitySection(ReservedToVisibility(directive), FLine, FColumn);
        return true;
    }
    switch (FText.size()) {
    case 5:
        // "final var", "final class var" of the Java dialect
        return IsWordText("final");
    case 6:
        if (!IsWordText("strict")) return false;
        {
            const int line = FLine;
            const int column = FColumn;
            Expect();
            if (!DirectiveWord(directive) || (directive != rwPrivate && directive != rwProtected))
                Unexpected();
            VisibilitySection(directive == rwPrivate ? scStrictPrivate : scStrictProtected, line,
                              column);
        }
        return true;
    case 7:
        if (!IsWordText("generic")) return false;
        FGenericToken = FTokenNumber;
        FGenericLine = FLine;
        FGenericColumn = FColumn;
        return true;
    case 8:
        if (IsWordText("operator")) {
            Routine(pkOperator);
            return true;
        }
        if ((IsWordText("optional") || IsWordText("required")) &&
            OpenType()->KindWord == "objcprotocol") {
            Section(LowerCase(FText), snFields, FLine, FColumn);
            return true;
        }
        return false;
    case 9:
        if (!IsWordText("threadvar")) return false;
        if (FPrevKind == tkWord && SameText(FPrevWord, "class"))
            Section("class threadvar", snFields, FLine, FPrevWordColumn - 5);
        else
            Section("threadvar", snFields, FLine, FColumn);
        return true;
    default:
        return false;
    }
}

void TParser::Section(std::string_view Words, TSection Kind, int Line, int Column) {
    auto* section = new TSectionItem(FContainer);
    section->Name = std::string(Words);
    section->Visibility = FVisibility;
    section->StartLine = section->DeclEndLine = section->EndLine = Line;
    section->StartColumn = Column;
    FSection = Kind;
}

// A declaration of a type section inside a type's body: types with members are modelled
// as nested types, other types are skipped.
void TParser::NestedType() {
    TTypeName name;
    name.Text = FText;
    name.Line = FLine;
    name.Column = FColumn;
    if (FGenericToken == FTokenNumber - 1) {
        name.GenericWord = true;
        name.Line = FGenericLine;
        name.Column = FGenericColumn;
    }
    Expect();
    if (IsSymbol('<')) {
        name.TypeParams = TypeParamsText();
        if (name.TypeParams.empty()) Unexpected();
        Expect();
    }
    if (!IsSymbol('=')) Unexpected();
    if (!TypeAfterEquals(std::move(name))) SkipDeclaration();
}

// Skips to the ";" that ends a declaration, outside parentheses, brackets and records. A
// word that cannot stand in one ends it without that ";".
void TParser::SkipDeclaration() {
    int depth = 0;
    int records = 0;
    for (;;) {
        Expect();
        TReservedWord word;
        if (IsSymbol('(') || IsSymbol('[')) {
            ++depth;
        } else if (IsSymbol(')') || IsSymbol(']')) {
            if (depth > 0) --depth;
        } else if (IsSymbol(';') && depth == 0 && records == 0) {
            return;
        } else if (StructureWord(word)) {
            if (word == rwRecord) {
                ++records;
            } else if (word == rwEnd && records > 0) {
                --records;
            } else if (word != rwProcedure && word != rwFunction && word != rwClass &&
                       word != rwObject && word != rwCase && word != rwConst) {
                PushBack();
                return;
            }
        }
    }
}

void TParser::SkipBrackets(char Open, char Close) {
    for (int depth = 1; depth > 0;) {
        Expect();
        if (IsSymbol(';')) {
            PushBack();
            return;
        }
        if (IsSymbol(Open)) ++depth;
        if (IsSymbol(Close)) --depth;
    }
}

// A record's variant part runs to the record's "end", which is left to close it.
void TParser::SkipVariantPart() {
    for (int records = 0;;) {
        Expect();
        TReservedWord word;
        if (!StructureWord(word)) continue;
        if (word == rwRecord) ++records;
        if (word == rwEnd && records-- == 0) {
            PushBack();
            return;
        }
    }
}

// The current token is the type's name; skip "= class(...)" and what may stand around it.
void TParser::SkipTwinHeading() {
    Expect(); // "="
    Expect(); // the kind keyword
    for (;;) {
        Next();
        if (IsSymbol('(')) {
            SkipBrackets('(', ')');
        } else if (IsSymbol('[')) {
            SkipBrackets('[', ']');
        } else if (FKind != tkString && !IsWordText("sealed") && !IsWordText("abstract") &&
                   !IsWordText("external") && !IsWordText("name")) {
            PushBack();
            return;
        }
    }
}

// A word outside statements and type bodies. Most such words are names in declarations:
// they are ruled out by their length and first letter before any comparison.
void TParser::DeclarationWord() {
    const bool afterEquals = FPrevKind == tkSymbol && FPrevChar == '=';
    const char first = static_cast<char>(FText[0] | 0x20);
    bool typeWord = false;
    switch (FText.size()) {
    case 6:
        typeWord = afterEquals && first == 'p' && IsWordText("packed");
        break;
    case 7:
        if (first == 'g' && IsWordText("generic")) {
            FGenericToken = FTokenNumber;
            FGenericLine = FLine;
            FGenericColumn = FColumn;
        }
        return;
    case 8:
        if (first == 'o' && !afterEquals && IsWordText("operator")) {
            const char next = PeekChar();
            if (!NameFollows() && next != '=' && next != ';') Routine(pkOperator);
            return;
        }
        typeWord = afterEquals && first == 'c' && IsWordText("cppclass");
        break;
    case 9:
    case 12:
        typeWord =
            afterEquals && first == 'o' &&
            (IsWordText("objcclass") || IsWordText("objcprotocol") || IsWordText("objccategory"));
        break;
    default:
        return;
    }
    if (!typeWord) return;
    const TTypeName name = PreviousTypeName();
    if (FInClass) LeaveClassBody();
    PushBack();
    TypeAfterEquals(name);
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

// After "= type": "type helper for Integer", or a distinct type ("type Integer").
void TParser::TypeHelperOrDistinct(const TTypeName& Name) {
    Next();
    if (!IsWordText("helper")) return PushBack();
    TClassItem* helper = CreateClass(Name, ckHelper);
    helper->KindWord = "type";
    HelperType(*helper);
}

} // namespace kolva
