// The state of one parse of TModuleExplorer: the tokenizer with its look-back, the block
// stack, the current container and visibility. Private to the module parser's sources.
#pragma once

#include "model/ModuleExplorer.h"

#include <string_view>
#include <vector>

namespace kolva {

class TModuleExplorer::TParser {
public:
    TParser(TModuleExplorer& Owner, TStringList& Lines);
    void Run();

private:
    // A block stack entry: an item whose block is open, or a block code (begin, asm,
    // record, case, try).
    struct TBlock {
        TCodeItem* Item;
        TReservedWord Code;
    };

    // --- tokens and look-back (ModuleExplorer.cpp)
    TTokenKind Next();
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
    void OpenBlock(TReservedWord Code);
    void CloseBlock(bool Explicit);
    void CloseAll();
    void LeaveClassBody();
    void EnterClassBody(TClassItem* Class);
    bool OnlyModuleOnStack() const { return FStack.size() == 1; }
    void TagItem();

    // --- declarations (ModuleDeclarations.cpp)
    void TypeDeclaration(TReservedWord Keyword);
    // The word before "=" that names a type, with its position.
    struct TTypeName {
        std::string_view Text;
        int Line;
        int Column;
    };
    TClassItem* CreateClass(const TTypeName& Name, int KindIndex);
    void ReadAncestors(TClassItem& Class);
    void ReadGuid(TClassItem& Class);
    void Routine(TReservedWord Keyword);
    void RoutineHeader(TProcItem& Item);
    void ReadParams(TProcItem& Item);
    bool ReadDirective(TProcItem& Item, TReservedWord Word);
    void ResClause(TProcKind Kind, const std::string& Name, int Line, int Column);
    void Field();
    void ReadFieldType(TFieldItem& Field);
    void Property();
    void PropertySpecifiers(TPropertyItem& Property);
    void UsesClause();
    void VisibilitySection(TReservedWord Word);
    /// Valid until the next name is read.
    std::string_view DottedName();
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
    bool FInClass = false;

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
    std::string_view FPrevWord;
    int FPrevWordLine = 0;
    int FPrevWordColumn = 0;
};

} // namespace kolva
