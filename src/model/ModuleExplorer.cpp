#include "model/ModuleExplorer.h"

#include "model/ModuleLinker.h"
#include "model/ModuleParser.h"
#include "platform/SysUtils.h"

namespace kolva {

namespace {
// Enough messages to tell a user what went wrong; the count says how many there were.
constexpr size_t MaxKeptErrors = 100;
} // namespace

// ---------------------------------------------------------------------------------------
// TModuleExplorer

TModuleExplorer::TModuleExplorer() : FModule(std::make_unique<TModuleItem>()) {}
TModuleExplorer::~TModuleExplorer() = default;

void TModuleExplorer::EndChange() {
    if (FChangeCount > 0 && --FChangeCount == 0 && OnChange) OnChange(*this);
}

void TModuleExplorer::EndUpdate() {
    if (FUpdateLock > 0 && --FUpdateLock == 0 && OnUpdateEnd) OnUpdateEnd(*this);
}

void TModuleExplorer::Reset() {
    FModule->ClearChildren();
    FModuleKind = mkCleared;
    FImplementationLine = -1;
    FErrorCount = 0;
    FErrors.clear();
}

void TModuleExplorer::Clear() {
    const bool hadItems = ItemCount() > 0;
    Reset();
    if (FChangeCount == 0 && hadItems && OnChange) OnChange(*this);
}

void TModuleExplorer::Parse(TStringList* Lines) {
    if (Locked()) return;
    BeginChange();
    try {
        Reset();
        if (Lines) TParser(*this, *Lines).Run();
        LinkImplementations();
    } catch (...) {
        EndChange();
        throw;
    }
    EndChange();
}

namespace {
TCodeItem* DeepestAt(const TCodeItem& Parent, int Line) {
    for (TCodeItem* child : Parent.Children()) {
        // Implied items are nowhere in the text.
        if (child->StartLine >= 0 && child->StartLine <= Line && child->LastLine() >= Line) {
            TCodeItem* deeper = DeepestAt(*child, Line);
            return deeper ? deeper : child;
        }
    }
    return nullptr;
}
} // namespace

TCodeItem* TModuleExplorer::ItemAtLine(int Line) const {
    return DeepestAt(*FModule, Line);
}

void TModuleExplorer::ShiftLinesDeleted(const TCodeItem* Changed, int Line, int Count) {
    FModule->ShiftLinesDeleted(Changed, Line, Count);
    if (FImplementationLine != -1 && FImplementationLine >= Line) FImplementationLine -= Count;
}

void TModuleExplorer::ShiftLinesInserted(const TCodeItem* Changed, int Line, int Count) {
    FModule->ShiftLinesInserted(Changed, Line, Count);
    if (FImplementationLine != -1 && FImplementationLine >= Line) FImplementationLine += Count;
}

TCodeItem* TModuleExplorer::DeclarationOf(TCodeItem* Item) {
    auto* proc = dynamic_cast<TProcItem*>(Item);
    return proc && proc->DeclarationLink() ? proc->DeclarationLink() : Item;
}

TCodeItem* TModuleExplorer::ImplementationOf(TCodeItem* Item) {
    auto* proc = dynamic_cast<TProcItem*>(Item);
    return proc && proc->ImplementationLink() ? proc->ImplementationLink() : Item;
}

// ---------------------------------------------------------------------------------------
// The parse: tokens with look-back

TModuleExplorer::TParser::TParser(TModuleExplorer& Owner, TStringList& Lines)
    : FOwner(Owner), FTokenizer(Lines), FContainer(Owner.FModule.get()) {
    TTokenKinds skip = {tkComment, tkDirective, tkTag, tkUnused};
    if (Owner.Options.Contains(poTagItems)) skip.Exclude(tkTag);
    FTokenizer.SetSkipSet(skip);
    FStack.push_back({Owner.FModule.get(), rwBegin});
}

// Token texts stay valid for the whole parse: the string-list tokenizer lends views into
// the list's own lines, and the parser never keeps a view of a comment.
TTokenKind TModuleExplorer::TParser::Next() {
    if (FPushedBack) {
        FPushedBack = false;
        return FKind;
    }
    FPrevKind = FKind;
    FPrevChar = FText.empty() ? '\0' : FText[0];
    FPrevLine = FLine;
    if (FKind == tkWord) {
        FPrevWord = FText;
        FPrevWordLine = FLine;
        FPrevWordColumn = FColumn + static_cast<int>(FText.size());
    }
    FKind = FTokenizer.NextToken();
    FText = FTokenizer.TokenText();
    FReserved = FKind == tkWord && FindDirectiveWord(FText, FWord);
    FLine = FTokenizer.TokenLine() - 1;
    FColumn = FTokenizer.TokenColumn() - 1;
    return FKind;
}

TTokenKind TModuleExplorer::TParser::Expect() {
    if (Next() == tkNone) Unexpected();
    return FKind;
}

void TModuleExplorer::TParser::Unexpected() const {
    Fail(Format("Unexpected token \"%s\"", FText));
}

void TModuleExplorer::TParser::Fail(const std::string& What) const {
    throw EBadFormat(What + Format(" in line %d col %d", FLine + 1, FColumn + 1));
}

void TModuleExplorer::TParser::Report(const std::string& What) {
    Record(What + Format(" in line %d col %d", FLine + 1, FColumn + 1));
}

void TModuleExplorer::TParser::Record(const std::string& Message) {
    if (FOwner.FErrors.size() < MaxKeptErrors) FOwner.FErrors.push_back(Message);
    ++FOwner.FErrorCount;
}

// ---------------------------------------------------------------------------------------
// The main loop

void TModuleExplorer::TParser::Run() {
    FOwner.FModuleKind = mkNoHeading;
    bool heading = true;
    for (;;) {
        try {
            if (heading) {
                heading = false;
                ReadHeading();
            }
            if (Next() == tkNone) break;
            Dispatch();
        } catch (const ETokenError& e) {
            // A malformed declaration: keep what was read and go on with the token after
            // the one in error.
            if (FTokenizer.Marking()) FTokenizer.GetMark();
            FPushedBack = false;
            Record(e.Message());
        }
    }
}

void TModuleExplorer::TParser::ReadHeading() {
    if (FOwner.ImplementationOnly) {
        FOwner.FImplementationLine = 0;
        return;
    }
    if (Next() == tkNone) return;
    int kind;
    if (IsWord() && FindModuleKeyword(FText, kind)) {
        FOwner.FModuleKind = static_cast<TModuleKind>(kind);
        if (kind != mkUnit) FOwner.FImplementationLine = 0;
        return;
    }
    // Text without a heading (an include file, a snippet) is all implementation, as a
    // program is: its routines have bodies and local routines like any others.
    FOwner.FImplementationLine = 0;
    PushBack();
}

void TModuleExplorer::TParser::Dispatch() {
    if (FKind == tkWord)
        DispatchWord();
    else if (FKind == tkTag)
        TagItem();
}

void TModuleExplorer::TParser::DispatchWord() {
    TReservedWord word;
    if (!StructureWord(word)) {
        if (!FInClass) return;
        TReservedWord directive;
        if (DirectiveWord(directive) && directive >= rwPrivate && directive <= rwAutomated)
            VisibilitySection(directive);
        else
            Field();
        return;
    }
    switch (word) {
    case rwBegin:
    case rwAsm:
    case rwRecord:
    case rwCase:
    case rwTry:
        OpenBlock(word);
        break;
    case rwEnd:
        CloseBlock(true);
        break;
    case rwImplementation:
        CloseAll();
        if (FOwner.FImplementationLine == -1) FOwner.FImplementationLine = FLine;
        break;
    case rwClass:
    case rwInterface:
    case rwObject:
    case rwDispInterface:
        // Only a type declaration: not the interface section, not "class procedure", not
        // "procedure of object".
        if (FPrevKind == tkSymbol && FPrevChar == '=') TypeDeclaration(word);
        break;
    case rwConstructor:
    case rwDestructor:
    case rwProcedure:
    case rwFunction:
        Routine(word);
        break;
    case rwProperty:
        if (FInClass) Property();
        break;
    case rwUses:
        CloseAll();
        UsesClause();
        break;
    case rwVar:
    case rwConst:
    case rwType:
    case rwLabel:
        LeaveClassBody();
        break;
    default:
        break;
    }
}

void TModuleExplorer::TParser::TagItem() {
    CloseAll();
    if (!FOwner.Options.Contains(poTagItems)) return;
    auto* tag = new TFWTagData(FOwner.FModule.get());
    tag->Name = std::string(FText);
    tag->StartLine = tag->DeclEndLine = FLine;
}

// ---------------------------------------------------------------------------------------
// Blocks

void TModuleExplorer::TParser::OpenBlock(TReservedWord Code) {
    if (Code == rwBegin || Code == rwAsm) {
        const TCodeItemKind kind = FContainer->Kind();
        if (OnlyModuleOnStack() &&
            (kind == ckModule || kind == ckProcedure || kind == ckMethod || kind == ckMethodImpl)) {
            // The body of the current routine (or the main block): its "end" closes it.
            FStack.push_back({FContainer, Code});
            if (kind != ckModule) static_cast<TProcItem*>(FContainer)->BodyStartLine = FLine;
            return;
        }
    } else if (Code == rwCase && !FStack.back().Item && FStack.back().Code == rwRecord) {
        return; // a variant part ends with its record's "end"
    }
    FStack.push_back({nullptr, Code});
}

void TModuleExplorer::TParser::CloseBlock(bool Explicit) {
    TModuleItem* module = FOwner.FModule.get();
    if (OnlyModuleOnStack()) {
        FContainer = module;
        module->EndLine = FLine;
        FInClass = false;
        return;
    }
    const TBlock block = FStack.back();
    FStack.pop_back();
    if (!block.Item) return;
    block.Item->EndLine = Explicit ? FLine : FPrevLine;
    if (block.Item == FContainer) FContainer = block.Item->Parent() ? block.Item->Parent() : module;
    if (IsClassKind(block.Item->Kind())) FInClass = false;
}

void TModuleExplorer::TParser::CloseAll() {
    while (!OnlyModuleOnStack())
        CloseBlock(false);
    FInClass = false;
    FContainer = FOwner.FModule.get();
}

void TModuleExplorer::TParser::LeaveClassBody() {
    if (FInClass) CloseAll();
}

void TModuleExplorer::TParser::EnterClassBody(TClassItem* Class) {
    FStack.push_back({Class, rwClass});
    FInClass = true;
}

} // namespace kolva
