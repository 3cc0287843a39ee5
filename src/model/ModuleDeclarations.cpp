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

std::string TParser::TypeReference() {
    std::string text;
    Expect();
    if (IsWordText("specialize")) {
        text = "specialize ";
        Expect();
    }
    TReservedWord word;
    if (!IsWord() || (StructureWord(word) && word != rwRecord)) Unexpected();
    text += FText;
    for (;;) {
        Next();
        if (IsSymbol('<')) {
            const std::string args = TypeParamsText();
            if (args.empty()) Unexpected();
            text += args;
        } else if (IsSymbol('.')) {
            Expect();
            if (!IsWord()) Unexpected();
            text += '.';
            text += FText;
        } else {
            break;
        }
    }
    PushBack();
    return text;
}

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
            Next();
            if (IsWordText("helper")) {
                TClassItem* helper = CreateClass(Name, ckHelper);
                helper->KindWord = "type";
                HelperType(*helper);
            } else {
                PushBack(); // a distinct type ("type Integer")
            }
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
        if (kind == ckClass && !KindWord && IsWordText("helper") && PeekChar() != ':' &&
            PeekChar() != ',') {
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
        if (!IsWord() || PeekChar() == ':' || PeekChar() == ',') return;
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
    if (IsWordText("helper") && PeekChar() != ':' && PeekChar() != ',') {
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
    const char next = PeekChar();
    if (next == ':' || next == ',') return false; // a field of that name
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
    const char next = PeekChar();
    const bool named = next == ':' || next == ','; // a field with the name of a keyword
    TReservedWord directive;
    if (!named && DirectiveWord(directive) && directive >= rwPrivate && directive <= rwAutomated)
        return VisibilitySection(ReservedToVisibility(directive), FLine, FColumn);
    if (!named && IsWordText("strict")) {
        const int line = FLine;
        const int column = FColumn;
        Expect();
        if (!DirectiveWord(directive) || (directive != rwPrivate && directive != rwProtected))
            Unexpected();
        return VisibilitySection(directive == rwPrivate ? scStrictPrivate : scStrictProtected, line,
                                 column);
    }
    if (!named) {
        const bool classWord = FPrevKind == tkWord && SameText(FPrevWord, "class");
        if (IsWordText("threadvar")) {
            const int column = classWord ? FPrevWordColumn - 5 : FColumn;
            return Section(classWord ? "class threadvar" : "threadvar", snFields, FLine, column);
        }
        if (IsWordText("operator")) return Routine(pkOperator);
        if (IsWordText("final")) return; // "final var", "final class var" of the Java dialect
        if (IsWordText("generic")) {
            FGenericToken = FTokenNumber;
            FGenericLine = FLine;
            FGenericColumn = FColumn;
            return;
        }
        if ((IsWordText("optional") || IsWordText("required")) &&
            OpenType()->KindWord == "objcprotocol")
            return Section(LowerCase(FText), snFields, FLine, FColumn);
    }
    switch (FSection) {
    case snConst:
        return SkipDeclaration();
    case snType:
        return NestedType();
    default:
        break;
    }
    if (next == '=') {
        // A type heading in a body: the same type's heading written again in another
        // conditional branch, else a body whose "end" was missed.
        TClassItem* type = OpenType();
        if (SameText(FText, type->Name) && type->ChildCount() == 0) return SkipTwinHeading();
        LeaveClassBody();
        return;
    }
    Field();
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
    std::string name;
    std::string params;    // the last part's type parameters
    std::string className; // the qualifier without type parameters
    std::string qualifier; // the qualifier as written
    bool qualifierParams = false;
    Expect();
    // An operator is named by symbols or a word; a class operator's implementation by a
    // qualified name like any method.
    if (Kind == pkOperator && (!IsWord() || PeekChar() != '.')) {
        name = OperatorName();
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
            if (!className.empty()) {
                className += '.';
                qualifier += '.';
            }
            className += name;
            qualifier += name + params;
            qualifierParams |= !params.empty();
            params.clear();
            Expect();
            if (!IsWord() || StructureWord(word)) Unexpected();
            name = FText;
        }
        PushBack();
    }
    if (!className.empty()) {
        if (FInClass) return ResClause(Kind, className + "." + name, line, column);
        if (TwinHeading(className + "." + name, Kind, column)) return;
        CloseAll(closeLine);
        if (FOwner.FImplementationLine == -1) FOwner.FImplementationLine = line;
        auto* impl = new TMethodImplItem(FOwner.FModule.get());
        impl->ClassName = std::move(className);
        if (qualifierParams) impl->QualifierText = std::move(qualifier);
        impl->Name = std::move(name);
        impl->TypeParams = std::move(params);
        impl->GenericWord = genericWord;
        impl->ProcKind = Kind;
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
    if (FInClass) {
        auto* method = new TMethodItem(FContainer);
        method->Name = std::move(name);
        method->TypeParams = std::move(params);
        method->GenericWord = genericWord;
        method->ProcKind = Kind;
        method->Visibility = FVisibility;
        method->ClassMethod = classMethod;
        method->StartLine = line;
        method->StartColumn = column;
        RoutineHeader(*method);
        if (method->Directives.Contains(pdForward)) Report("Unexpected directive");
        return;
    }
    if (!OnlyModuleOnStack()) CloseAll(closeLine);
    if (TwinHeading(name, Kind, column)) return;
    auto* proc = new TProcData(FContainer);
    proc->Name = std::move(name);
    proc->TypeParams = std::move(params);
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
bool TParser::TwinHeading(const std::string& QualifiedName, TProcKind Kind, int Column) {
    while (OnlyModuleOnStack() &&
           (FContainer->Kind() == ckProcedure || FContainer->Kind() == ckMethodImpl)) {
        if (SameText(FContainer->GetQualifiedName(), QualifiedName)) {
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
        Item.ResultName = FText;
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
            Item.Hints += Item.Hints.empty() ? text + ";" : " " + text + ";";
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
        if (StructureWord(word) && word != rwVar && word != rwConst && word != rwType &&
            word != rwRecord && word != rwProcedure && word != rwFunction && word != rwClass)
            Unexpected();
        if (IsSymbol('(')) ++depth;
        if (IsSymbol(')') && --depth == 0) break;
    }
    Item.Params = FTokenizer.GetMarkedText(false);
}

namespace {

void AddHint(TMemberItem& Item, const std::string& Text) {
    if (!Item.Hints.empty()) Item.Hints += ' ';
    Item.Hints += Text;
    Item.Hints += ';';
}

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
            AddHint(Item, LowerCase(FText));
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
    const char next = PeekChar();
    if (next == ':' || next == ',' || next == '=') return false;
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
    AddHint(Item, rest.empty() ? text : text + " " + rest);
    return true;
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
            if (next != ':' && next != ',' && next != '=' && next != ';') Routine(pkOperator);
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

// Hint directives after a field's or property's ";", and a field's "external name 'x';"
// of the Java dialect.
void TParser::MemberHints(TMemberItem& Member) {
    for (;;) {
        if (Next() != tkWord || PeekChar() == ':' || PeekChar() == ',' ||
            !(IsWordText("deprecated") || IsWordText("platform") || IsWordText("experimental") ||
              IsWordText("library") || IsWordText("unimplemented") ||
              (Member.Kind() == ckField && IsWordText("external")))) {
            PushBack();
            return;
        }
        std::string text(FText);
        const std::string rest = Expression(false, rwBegin);
        AddHint(Member, rest.empty() ? text : text + " " + rest);
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
