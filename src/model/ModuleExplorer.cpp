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

namespace {
inline bool IsIdentStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_' || (C >= '0' && C <= '9') ||
           static_cast<unsigned char>(C) >= 128;
}
} // namespace

// "&" escapes a reserved word used as a name ("&Type"): one word, never reserved. The two
// tokens stand side by side on one lent line, so the name is a view of both.
void TModuleExplorer::TParser::EscapedName() {
    const std::string_view line = FTokenizer.CurrentLine();
    const size_t next = size_t(FTokenizer.Column() - 1);
    if (next < line.size() && IsIdentStart(line[next]) && FTokenizer.NextToken() == tkWord) {
        FText = std::string_view(FText.data(), FTokenizer.TokenText().size() + 1);
        FKind = tkWord;
    }
}

char TModuleExplorer::TParser::PeekChar() const {
    const std::string_view line = FTokenizer.CurrentLine();
    for (size_t i = size_t(FTokenizer.Column() - 1); i < line.size(); ++i)
        if (static_cast<unsigned char>(line[i]) > 32) return line[i];
    return '\0';
}

bool TModuleExplorer::TParser::NameFollows() const {
    const std::string_view line = FTokenizer.CurrentLine();
    size_t i = size_t(FTokenizer.Column() - 1);
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32)
        ++i;
    if (i >= line.size()) return false;
    return line[i] == ',' || (line[i] == ':' && (i + 1 >= line.size() || line[i + 1] != '='));
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
    FNoHeading = true;
    PushBack();
}

void TModuleExplorer::TParser::DispatchSymbol() {
    if (FInClass) {
        // An attribute before a member ("[Weak]").
        if (IsSymbol('[')) SkipBrackets('[', ']');
        return;
    }
    if (IsSymbol('<') && FPrevKind == tkWord && !InCode()) GenericTypeName();
}

// A name, or a word of the directive table that is no structure word.
void TModuleExplorer::TParser::DispatchName() {
    if (FInClass) return MemberWord();
    if (InCode()) return;
    if (FStack.back().NameLine >= 0) {
        if (RecordTrigger(FWord, false)) PromoteRecord();
        return;
    }
    // The words DeclarationWord looks for are 6 to 9 or 12 characters long and begin with
    // one of four letters.
    const size_t length = FText.size();
    const char first = static_cast<char>(FText[0] | 0x20);
    if (length <= 12 && ((0x13C0u >> length) & 1) &&
        (first == 'p' || first == 'g' || first == 'o' || first == 'c'))
        DeclarationWord();
}

// A structure word.
void TModuleExplorer::TParser::DispatchWord() {
    const TReservedWord word = FWord;
    if (!FInClass && FStack.back().NameLine >= 0 && RecordTrigger(word, true) && PromoteRecord())
        return;
    switch (word) {
    case rwRecord:
        if (FPrevKind == tkSymbol && FPrevChar == '=' && !InCode()) {
            RecordType(PreviousTypeName());
            break;
        }
        OpenBlock(word);
        break;
    case rwCase:
        if (FInClass) {
            SkipVariantPart();
            break;
        }
        OpenBlock(word);
        break;
    case rwBegin:
    case rwAsm:
    case rwTry:
        OpenBlock(word);
        break;
    case rwEnd:
        CloseBlock(true, FPrevLine);
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
        if (FPrevKind == tkSymbol && FPrevChar == '=') {
            // In a body a type declaration stands only in a type section (read there): this
            // one follows a body whose "end" was missed.
            const TTypeName name = PreviousTypeName();
            LeaveClassBody();
            TypeDeclaration(word, name);
        }
        break;
    case rwConstructor:
    case rwDestructor:
    case rwProcedure:
    case rwFunction:
        Routine(ReservedToProcKind(word));
        break;
    case rwProperty:
        if (FInClass) Property();
        break;
    case rwUses:
        CloseAll();
        UsesClause();
        break;
    case rwType:
        if (!FInClass && FPrevKind == tkSymbol && FPrevChar == '=') {
            TypeHelperOrDistinct(PreviousTypeName());
            break;
        }
        [[fallthrough]];
    case rwVar:
    case rwConst:
    case rwLabel: {
        // Sections of a type's body; the same word left of the type's heading line, or
        // "label", ends a body whose "end" was missed.
        TClassItem* type = OpenType();
        if (!type) break;
        if (word == rwLabel || FColumn < FStack.back().Indent) {
            LeaveClassBody();
            break;
        }
        const bool classWord =
            FPrevKind == tkWord && SameText(FPrevWord, "class") && FPrevWordLine == FLine;
        const int column = classWord ? FPrevWordColumn - 5 : FColumn;
        const TSection kind = word == rwVar ? snFields : word == rwConst ? snConst : snType;
        Section(classWord ? (word == rwVar ? "class var" : "class " + std::string(FText))
                          : std::string(FText),
                kind, FLine, column);
        break;
    }
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
    } else if (Code == rwCase && FStack.back().Code == rwRecord) {
        return; // a variant part ends with its record's "end"
    }
    FStack.push_back({nullptr, Code});
    FInClass = false; // statements in a body (malformed) are no members
}

void TModuleExplorer::TParser::SyncInClass() {
    const TBlock& top = FStack.back();
    FInClass = top.Code == rwClass && top.Item && IsTypeWithMembers(top.Item->Kind());
}

void TModuleExplorer::TParser::CloseBlock(bool Explicit, int ImplicitLine) {
    TModuleItem* module = FOwner.FModule.get();
    if (OnlyModuleOnStack()) {
        FContainer = module;
        module->EndLine = FLine;
        FInClass = false;
        return;
    }
    const TBlock block = FStack.back();
    FStack.pop_back();
    if (block.Code == rwClass || block.NameLine >= 0) {
        // The body around a type's body goes on where it stood.
        FVisibility = block.Visibility;
        FSection = block.Section;
    }
    SyncInClass();
    if (!block.Item) return;
    block.Item->EndLine = Explicit ? FLine : ImplicitLine;
    if (block.Item == FContainer) FContainer = block.Item->Parent() ? block.Item->Parent() : module;
}

void TModuleExplorer::TParser::CloseAll(int EndLine) {
    while (!OnlyModuleOnStack())
        CloseBlock(false, EndLine);
    FInClass = false;
    FContainer = FOwner.FModule.get();
    FVisibility = scDefault;
    FSection = snFields;
}

void TModuleExplorer::TParser::LeaveClassBody() {
    if (FInClass) CloseAll();
}

void TModuleExplorer::TParser::EnterClassBody(TClassItem* Class) {
    TBlock block{Class, rwClass, FVisibility, FSection};
    // The indentation of the heading's line: a section word left of it ends the body.
    block.Indent = Class->StartColumn;
    const std::string_view line = FTokenizer.CurrentLine();
    if (FLine == Class->StartLine) {
        int indent = 0;
        while (size_t(indent) < line.size() && static_cast<unsigned char>(line[indent]) <= 32)
            ++indent;
        block.Indent = std::min(indent, Class->StartColumn);
    }
    FStack.push_back(block);
    FContainer = Class;
    FVisibility = scDefault;
    FSection = snFields;
    FInClass = true;
}

} // namespace kolva
