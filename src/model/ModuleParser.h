// The state of one parse of TModuleExplorer: the tokenizer with its look-back, the block
// stack, the current container and visibility. Private to the module parser's sources.
#pragma once

#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <string_view>
#include <vector>

namespace kolva {

class TModuleExplorer::TParser {
public:
    TParser(TModuleExplorer& Owner, TStringList& Lines);
    void Run();

private:
    // What the words of a type's body declare: fields (also after "var" and "class var"),
    // constants or nested types.
    enum TSection : uint8_t { snFields, snConst, snType };

    // A block stack entry: an item whose block is open, or a block code (begin, asm,
    // record, case, try). An entry that opens a type's body keeps the section and
    // visibility of the body around it, which come back when it closes, and the indentation
    // of its heading's line. A record type that is not (yet) modelled keeps where its name
    // and keyword stand, to be read again as a type with members when it turns out to have
    // methods.
    struct TBlock {
        TCodeItem* Item;
        TReservedWord Code;
        TVisibility Visibility = scDefault;
        TSection Section = snFields;
        int Indent = 0;
        int NameLine = -1;
        int NameColumn = 0;
        int KeywordLine = 0;
        int KeywordColumn = 0;
    };

    // --- tokens and look-back (ModuleExplorer.cpp)
    TTokenKind Next();
    void EscapedName();
    /// The next token, which must be there: the end of input is an error.
    TTokenKind Expect();
    void PushBack() { FPushedBack = true; }
    bool IsSymbol(char C) const { return FKind == tkSymbol && FText.size() == 1 && FText[0] == C; }
    bool IsWord() const { return FKind == tkWord; }
    /// The current token as a structure word; false for anything else.
    bool StructureWord(TReservedWord& Word) const {
        if (!FReserved || FWord > LastStructureWord) return false;
        Word = FWord;
        return true;
    }
    /// The current token as a word of the directive table; false for anything else.
    bool DirectiveWord(TReservedWord& Word) const {
        if (!FReserved) return false;
        Word = FWord;
        return true;
    }
    int Line() const { return FLine; }
    int Column() const { return FColumn; }
    /// The first character after the current token on its line, blanks skipped; '\0' at
    /// the end of the line. Only right after Next, not after a push-back.
    char PeekChar() const;
    /// Whether a "," or a ":" (not ":=") follows the current token on its line: the token
    /// is a name being declared, whatever word it is.
    bool NameFollows() const;
    /// Whether the current token is the word W (W in lower case).
    bool IsWordText(std::string_view W) const { return FKind == tkWord && SameText(FText, W); }
    /// Inside statements: a begin, asm, try or case block is open.
    bool InCode() const {
        return FStack.size() > 1 && FStack.back().Code != rwClass && FStack.back().Code != rwRecord;
    }
    [[noreturn]] void Unexpected() const;
    [[noreturn]] void Fail(const std::string& What) const;
    /// Records a malformed declaration found after its last token was read, without
    /// raising: the token pushed back after it starts the next declaration.
    void Report(const std::string& What);
    void Record(const std::string& Message);

    // --- the main loop and blocks (ModuleExplorer.cpp)
    void ReadHeading();
    void Dispatch();
    void DispatchWord();
    void DispatchName();
    void DispatchSymbol();
    /// A word outside statements and type bodies that may begin a declaration of a later
    /// dialect: "generic", "operator", "packed", an Objective-C type keyword.
    void DeclarationWord();
    /// A word that is no structure word inside a type's body.
    void MemberWord();
    bool MemberKeyword();
    void OpenBlock(TReservedWord Code);
    /// Closes the top block; an implicitly closed item ends on ImplicitLine.
    void CloseBlock(bool Explicit, int ImplicitLine);
    void CloseAll(int EndLine);
    void CloseAll() { CloseAll(FPrevLine); }
    void LeaveClassBody();
    void EnterClassBody(TClassItem* Class);
    bool OnlyModuleOnStack() const { return FStack.size() == 1; }
    /// The type whose body is open at the top of the stack; null when none is.
    TClassItem* OpenType() const {
        return FInClass ? static_cast<TClassItem*>(FStack.back().Item) : nullptr;
    }
    void SyncInClass();
    void TagItem();

    // --- declarations (ModuleDeclarations.cpp)
    // The name of a type being declared, with its position and what was written around it.
    struct TTypeName {
        std::string_view Text;
        int Line = 0;
        int Column = 0;
        std::string TypeParams;
        bool GenericWord = false;
        bool Packed = false;
    };
    /// The word before the "=" just read, as a type name.
    TTypeName PreviousTypeName() const;
    void TypeDeclaration(TReservedWord Keyword, TTypeName Name, const char* KindWord = nullptr);
    /// The rest of a type declaration after "=", whatever it declares.
    bool TypeAfterEquals(TTypeName Name);
    void RecordType(TTypeName Name);
    void HelperType(TClassItem& Helper);
    void TypeHelperOrDistinct(const TTypeName& Name);
    void ClassModifiers(TClassItem& Class);
    TClassItem* CreateClass(const TTypeName& Name, TCodeItemKind Kind);
    void ReadAncestors(TClassItem& Class);
    void ReadGuid(TClassItem& Class);
    /// "<" was read: the type parameters or arguments up to the matching ">", with the
    /// brackets; empty (and the token that stopped it pushed back) when they do not close.
    std::string TypeParamsText();
    /// A word followed by "<" outside statements: a generic type's name when "=" follows.
    void GenericTypeName();
    void Routine(TProcKind Kind);
    /// An operator's name from the current token on: a word, or the symbols before its
    /// parameters ("+", ":=", "<=").
    std::string OperatorName();
    /// True when a routine heading at Column named ClassName.Name (ClassName empty for a
    /// procedure) is another heading of the current routine (a conditional twin), which is
    /// then read; may move the current container out of routines without body (the flat
    /// rule of text without heading).
    bool TwinHeading(std::string_view ClassName, std::string_view Name, TProcKind Kind, int Column);
    void RoutineHeader(TProcItem& Item);
    void ReadParams(TProcItem& Item);
    bool ReadDirective(TProcItem& Item, TReservedWord Word);
    /// A directive the model keeps as written text; false when the word is none.
    bool ReadOtherDirective(TProcItem& Item);
    void Section(std::string_view Words, TSection Kind, int Line, int Column);
    void NestedType();
    void SkipDeclaration();
    void SkipBrackets(char Open, char Close);
    void SkipVariantPart();
    void SkipTwinHeading();
    /// A record type block at the top of the stack turns out to have methods: read it again
    /// from its name as a type with members.
    bool PromoteRecord();
    bool RecordTrigger(TReservedWord Word, bool Structure);
    void ResClause(TProcKind Kind, const std::string& Name, int Line, int Column);
    void Field();
    void ReadFieldType(TFieldItem& Field);
    void MemberHints(TMemberItem& Member);
    void Property();
    void PropertySpecifiers(TPropertyItem& Property);
    void UsesClause();
    void VisibilitySection(TVisibility Visibility, int Line, int Column);
    /// Valid until the next name is read.
    std::string_view DottedName();
    /// A type as it is referred to: a dotted name with type arguments ("specialize" and
    /// "TList<T>.TEnum" included), as text.
    /// Valid until the next name is read.
    std::string_view TypeReference();
    /// Marked text up to (not including) the first ";" or, when StopAtSpecifier, the first
    /// word of the directive table from StopFrom on; that token is pushed back.
    std::string Expression(bool StopAtSpecifier, TReservedWord StopFrom);
    TVisibility ModuleLevelVisibility(int Line) const;

    TModuleExplorer& FOwner;
    TStringsTokenizer FTokenizer;
    std::vector<TBlock> FStack;
    TCodeItem* FContainer;
    std::string FNameBuf;
    TVisibility FVisibility = scDefault;
    TSection FSection = snFields;
    bool FInClass = false;
    // Text without a heading: a routine heading at the column of the routine before it,
    // whose body has not begun, ends that one (a file of declarations is flat).
    bool FNoHeading = false;
    // A record to be read as a type with members when its keyword comes again, and the
    // records so read (never twice).
    int FPromoteLine = -1;
    int FPromoteColumn = 0;
    std::vector<std::pair<int, int>> FPromoted;
    // Where the last "generic" word stood, by token number.
    int64_t FTokenNumber = 0;
    int64_t FGenericToken = -2;
    int FGenericLine = 0;
    int FGenericColumn = 0;

    // The current token. Most words are asked whether they are reserved, some several
    // times, so each word is looked up once, in the table that holds both kinds.
    TTokenKind FKind = tkNone;
    std::string_view FText;
    bool FReserved = false;
    TReservedWord FWord = rwBegin;
    int FLine = 0;
    int FColumn = 0;
    bool FPushedBack = false;
    // Look-back: the token before the current one and the last word read. A pushed-back
    // token keeps the look-back it was read with.
    TTokenKind FPrevKind = tkNone;
    char FPrevChar = 0;
    int FPrevLine = 0;
    int FPrev2Line = 0;
    std::string_view FPrevWord;
    int FPrevWordLine = 0;
    int FPrevWordColumn = 0;
};

// Most words are names in statements: they are passed over without a call.
inline void TModuleExplorer::TParser::Dispatch() {
    if (FKind == tkWord) {
        if (FReserved && FWord <= LastStructureWord)
            DispatchWord();
        else if (FInClass || !InCode())
            DispatchName();
    } else if (FKind == tkSymbol) {
        if (FInClass || FText[0] == '<') DispatchSymbol();
    } else if (FKind == tkTag) {
        TagItem();
    }
}

// The innermost step of the parse, inline in its callers.
// Token texts stay valid for the whole parse: the string-list tokenizer lends views into
// the list's own lines, and the parser never keeps a view of a comment.
inline TTokenKind TModuleExplorer::TParser::Next() {
    if (FPushedBack) {
        FPushedBack = false;
        return FKind;
    }
    FPrevKind = FKind;
    FPrevChar = FText.empty() ? '\0' : FText[0];
    FPrev2Line = FPrevLine;
    FPrevLine = FLine;
    if (FKind == tkWord) {
        FPrevWord = FText;
        FPrevWordLine = FLine;
        FPrevWordColumn = FColumn + static_cast<int>(FText.size());
    }
    ++FTokenNumber;
    FKind = FTokenizer.NextToken();
    FText = FTokenizer.TokenText();
    FLine = FTokenizer.TokenLine() - 1;
    FColumn = FTokenizer.TokenColumn() - 1;
    if (FKind == tkWord) {
        FReserved = FindDirectiveWord(FText, FWord);
    } else {
        FReserved = false;
        if (FKind == tkSymbol && FText[0] == '&') [[unlikely]]
            EscapedName();
    }
    return FKind;
}

} // namespace kolva
