// Pasting as the module editor does it: reading the buffer's signature, choosing the insert
// operation for the target, and inserting procedures and local procedures; cutting, and
// copying or moving items to another container. The class and member inserts are the class
// editor's (KolvaEditorPaste.cpp).
#include "editing/CopyBuffer.h"
#include "model/TextStrm.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

// ---------------------------------------------------------------------------------------
// Shared pieces

bool ReadCopySignature(const std::string& Line, TCopyKind& Kind) {
    std::string text;
    for (char c : Line)
        if (static_cast<unsigned char>(c) >= 33) text += c;
    for (TCopyKind k : {coClassCopy, coMembersCopy, coModuleCopy, coProcedureCopy})
        if (SameText(text, CopySignature(k))) {
            Kind = k;
            return true;
        }
    return false;
}

TParsedBuffer::TParsedBuffer(const TStringList& Text, bool ProceduresOnly) : Lines(Text) {
    Explorer.ImplementationOnly = ProceduresOnly;
    Explorer.Parse(&Lines);
}

TClassItem* TParsedBuffer::FirstClass() {
    for (TCodeItem* item : Explorer.Module().Children())
        if (IsClassKind(item->Kind())) return static_cast<TClassItem*>(item);
    return nullptr;
}

void AppendLines(TStringList& To, const TStringList& From, int First, int Last, int Cut) {
    for (int i = std::max(First, 0); i <= Last && i < From.Count(); ++i) {
        const std::string& line = From[i];
        size_t n = 0;
        while (n < line.size() && n < size_t(Cut) && line[n] == ' ')
            ++n;
        To.Add(line.substr(n));
    }
}

int CommonIndent(const TStringList& Lines, int First, int Last) {
    int common = -1;
    for (int i = std::max(First, 0); i <= Last && i < Lines.Count(); ++i) {
        const std::string& line = Lines[i];
        const size_t at = line.find_first_not_of(' ');
        if (at == std::string::npos || Trim(line).empty()) continue;
        if (common < 0 || int(at) < common) common = int(at);
    }
    return std::max(common, 0);
}

std::string FreeName(const std::string& Base,
                     const std::function<bool(const std::string&)>& Taken) {
    if (!Taken(Base)) return Base;
    std::string stem = Base;
    while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back())))
        stem.pop_back();
    for (int n = 1;; ++n)
        if (const std::string name = stem + std::to_string(n); !Taken(name)) return name;
}

int PutBlock(TModuleEditor& Editor, const TCodeItem* Item, int Line) {
    TStringList& scratch = Editor.Scratch();
    Line = Editor.OutsideConditionals(std::clamp(Line, 0, Editor.Lines().Count()));
    int first = Line;
    if (!Editor.IsBlankLine(Line - 1)) {
        scratch.Insert(0, std::string());
        ++first;
    }
    if (Editor.IsBlankLine(Line) && scratch.Count() > 1 &&
        Trim(scratch[scratch.Count() - 1]).empty())
        scratch.Delete(scratch.Count() - 1);
    Editor.PutScratch(Item, Line);
    return first;
}

void WriteRenamed(TModuleEditor& Editor, TProcItem& Routine, const TStringList& Lines, int Cut) {
    Editor.WriteDeclaration(Routine, Editor.Scratch());
    AppendLines(Editor.Scratch(), Lines, HeadEnd(Routine) + 1, Routine.LastLine(), Cut);
}

// ---------------------------------------------------------------------------------------
// Pasting

void TModuleEditor::PasteItems(TCodeItem* Reference, TCodeItem* Target) {
    TStringList lines;
    {
        TClipbrdTextStream clipboard(tmRead);
        TStringsText text(lines);
        text.WriteAllText(clipboard.ReadAllText());
    }
    PasteText(Reference, Target, lines);
}

void TModuleEditor::PasteText(TCodeItem* Reference, TCodeItem* Target, const TStringList& Lines) {
    TStringList text(Lines);
    TCopyKind kind = coMembersCopy;
    if (text.Count() > 0 && ReadCopySignature(text[0], kind))
        text.Delete(0);
    else if (!WarningOkCancel("Copy buffer signature not found. Continue?"))
        Abort();
    TEdit edit(*this, false);
    const auto isClass = [](TCodeItem* I) { return I && IsClassKind(I->Kind()); };
    const auto isModule = [](TCodeItem* I) { return I && I->Kind() == ckModule; };
    if (!isClass(Target) && !isModule(Target)) NotImplemented("Pasting into this content");
    TCodeItem* cls = isClass(Target) ? Target : isClass(Reference) ? Reference : nullptr;
    TCodeItem& module = isModule(Target)      ? *Target
                        : isModule(Reference) ? *Reference
                                              : FExplorer.Module();
    const bool routine = Reference && IsRoutineKind(Reference->Kind());
    switch (kind) {
    case coClassCopy: {
        const bool member = Reference && !isModule(Reference) && !isClass(Reference) &&
                            Reference->Kind() != ckProcedure;
        if (cls && member)
            InsertMembers(*cls, text);
        else
            InsertClasses(module, text);
        break;
    }
    case coMembersCopy:
        if (cls)
            InsertMembers(*cls, text);
        else
            InsertMethodsAsProcedures(module, text);
        break;
    case coProcedureCopy:
        if (routine) {
            InsertLocalProcedures(*Target, *Reference, text);
            break;
        }
        [[fallthrough]];
    case coModuleCopy:
        if (cls)
            InsertProceduresAsMethods(*cls, text, kind == coProcedureCopy);
        else
            InsertProcedures(module, text, kind == coProcedureCopy);
        break;
    }
    edit.Commit();
}

namespace {

// Names a top-level procedure clashes with: the unit's procedures and types.
constexpr TCodeItems GlobalNames = {ckProcedure,     ckClass,  ckInterface, ckObject,
                                    ckDispInterface, ckRecord, ckHelper,    ckVar};

// Gives each routine of Routines (and its linked partner) a name that Scope has not got
// yet; true for those renamed.
std::vector<bool> RenameClashes(const std::vector<TProcItem*>& Routines, const TCodeItem& Scope) {
    std::vector<std::string> taken;
    const auto isTaken = [&](const std::string& Name) {
        return Scope.FindChild(GlobalNames, Name) >= 0 ||
               std::any_of(taken.begin(), taken.end(),
                           [&](const std::string& T) { return SameText(T, Name); });
    };
    std::vector<bool> renamed(Routines.size());
    std::vector<std::pair<TProcItem*, std::string>> given;
    for (size_t i = 0; i < Routines.size(); ++i) {
        TProcItem* proc = Routines[i];
        const auto partner = std::find_if(given.begin(), given.end(), [&](const auto& G) {
            return G.first == proc->DeclarationLink() || G.first == proc->ImplementationLink();
        });
        const std::string name =
            partner != given.end() ? partner->second : FreeName(proc->Name, isTaken);
        if (partner == given.end()) taken.push_back(name);
        given.emplace_back(proc, name);
        renamed[i] = name != proc->Name;
        proc->Name = name;
    }
    return renamed;
}

} // namespace

void TModuleEditor::InsertProcedures(TCodeItem& Module, TStringList& Text, bool ProceduresOnly) {
    TParsedBuffer buffer(Text, ProceduresOnly);
    const int bufferImpl = buffer.Explorer.ImplementationLine();
    std::vector<TProcItem*> interfaced, implemented;
    for (TCodeItem* item : buffer.Explorer.Module().Children()) {
        if (item->Kind() != ckProcedure || item->StartLine < 0 || item->Implied) continue;
        auto* proc = static_cast<TProcItem*>(item);
        // Outside a unit there is no interface part: the implementation declares the routine.
        const bool declaration = bufferImpl >= 0 && item->StartLine < bufferImpl;
        if (declaration && !IsUnit() && proc->ImplementationLink()) continue;
        (declaration && IsUnit() ? interfaced : implemented).push_back(proc);
    }
    if (interfaced.empty() && implemented.empty()) throw Exception("No procedures found to insert");
    TEdit edit(*this, false);
    std::vector<TProcItem*> all = interfaced;
    all.insert(all.end(), implemented.begin(), implemented.end());
    const std::vector<bool> renamed = RenameClashes(all, Module);
    const auto write = [&](const std::vector<TProcItem*>& Procs, size_t Offset, int Line) {
        if (Procs.empty()) return;
        FScratch.Clear();
        for (size_t i = 0; i < Procs.size(); ++i) {
            TProcItem& proc = *Procs[i];
            if (renamed[Offset + i])
                WriteRenamed(*this, proc, buffer.Lines, 0);
            else
                AppendLines(FScratch, buffer.Lines, proc.StartLine, proc.LastLine());
            FScratch.Add(std::string());
        }
        PutBlock(*this, &Module, Line);
    };
    // The implementation part first: the interface part's line stays where it was found.
    write(implemented, interfaced.size(), ImplementationLine(&Module));
    write(interfaced, 0, DeclarationLine(&Module, true));
    edit.Commit();
}

void TModuleEditor::InsertLocalProcedures(TCodeItem& Target, TCodeItem& Routine,
                                          TStringList& Text) {
    auto& proc = static_cast<TProcItem&>(*TModuleExplorer::ImplementationOf(&Routine));
    const bool bodiless = proc.StartLine < 0 || proc.BodyStartLine <= HeadEnd(proc);
    if (proc.Kind() == ckMethod || bodiless || proc.IsAbstract() ||
        proc.Directives.Contains(pdForward) || proc.Directives.Contains(pdExternal) ||
        (IsClassKind(Target.Kind()) &&
         (Target.Kind() == ckInterface || Target.Kind() == ckDispInterface)))
        throw Exception(Format("Cannot paste local procedures in %s", Routine.Name));
    TParsedBuffer buffer(Text, true);
    std::vector<TProcItem*> locals;
    for (TCodeItem* item : buffer.Explorer.Module().Children())
        if (item->Kind() == ckProcedure && item->StartLine >= 0 && !item->Implied)
            locals.push_back(static_cast<TProcItem*>(item));
    if (locals.empty()) throw Exception("No procedures found to insert");
    TEdit edit(*this, false);
    // A name the routine already declares locally would be declared twice: the pasted one
    // takes a free name, its heading written anew and the rest of the text left as it is.
    const std::vector<bool> renamed = RenameClashes(locals, proc);
    TStringList lines(buffer.Lines);
    for (size_t i = locals.size(); i-- > 0;) {
        if (!renamed[i]) continue;
        TProcItem& local = *locals[i];
        FScratch.Clear();
        WriteDeclaration(local, FScratch);
        for (int line = HeadEnd(local); line >= local.StartLine; --line)
            lines.Delete(line);
        for (int k = FScratch.Count(); k-- > 0;)
            lines.Insert(local.StartLine, FScratch[k]);
    }
    FScratch.Assign(lines);
    PutScratch(&proc, ImplementationLine(&proc));
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Cutting, copying to and moving to

void TModuleEditor::CutItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                             TTextStream& Stream) {
    TItemList items = Items;
    TCodeItem* owner = Container ? Container : &FExplorer.Module();
    if (items.empty()) {
        if (Kind == coClassCopy) items.push_back(owner);
        for (TCodeItem* child : owner->Children())
            if (child->StartLine >= 0 && !child->Implied &&
                (Kind == coMembersCopy ? child->Kind() >= ckField && child->Kind() <= ckResClause
                                       : Kind != coClassCopy && child->Kind() == ckProcedure))
                items.push_back(child);
    }
    TStringList buffer;
    TEdit edit(*this, false);
    CheckDelete(Kind, items);
    {
        TStringsText text(buffer);
        WriteItems(Kind, Container, items, text);
    }
    DeleteSelection(Kind, Container, &items);
    edit.Commit();
    // Only a cut that was written reaches the stream: a refused one leaves it as it was.
    Stream.WriteStrings(buffer);
}

void TModuleEditor::CutItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items) {
    TStringList buffer;
    {
        TStringsText text(buffer);
        CutItems(Kind, Container, Items, text);
    }
    TClipbrdTextStream clipboard(tmCreate);
    clipboard.WriteStrings(buffer);
}

void TModuleEditor::CopyOrMoveItems(TCodeItem& Source, TCodeItem& Target, bool Move,
                                    const TItemList& Items) {
    const TCopyKind kind = IsClassKind(Source.Kind()) ? coMembersCopy : coModuleCopy;
    TEdit edit(*this, false);
    TStringList buffer;
    {
        TStringsText text(buffer);
        if (Move && &Source != &Target)
            CutItems(kind, &Source, Items, text);
        else
            WriteItems(kind, &Source, Items, text);
    }
    PasteText(&Target, Target.ModuleOf() ? Target.ModuleOf() : &FExplorer.Module(), buffer);
    edit.Commit();
}

} // namespace kolva
