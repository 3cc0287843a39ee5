// The module editor's operations on global and local procedures: adding, editing, deleting,
// moving and renaming them, moving them between the interface and the implementation part,
// and deleting a selection.
#include "editing/EditInterfaces.h"
#include "editing/ModuleEditors.h"
#include "editing/SourceScan.h"
#include "model/Tokenizers.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

namespace {

bool IsRoutine(const TCodeItem* Item) {
    return Item && IsRoutineKind(Item->Kind());
}

bool IsLocal(const TCodeItem* Item) {
    return Item->Kind() == ckProcedure && IsRoutine(Item->Parent());
}

bool Contains(const TItemList& Items, const TCodeItem* Item) {
    return std::find(Items.begin(), Items.end(), Item) != Items.end();
}

void SortByLine(TItemList& Items) {
    std::stable_sort(Items.begin(), Items.end(), [](const TCodeItem* a, const TCodeItem* b) {
        return a->StartLine < b->StartLine;
    });
}

// A procedure declared in the interface part or forward is a declaration; any other is an
// implementation. Finds both halves of the pair Item belongs to.
bool FindPair(TCodeItem& Item, TProcData*& Declaration, TProcData*& Implementation) {
    auto* proc = dynamic_cast<TProcData*>(&Item);
    Declaration = Implementation = nullptr;
    if (!proc || proc->StartLine < 0) return false;
    if (proc->InInterface || proc->Directives.Contains(pdForward)) {
        Declaration = proc;
        Implementation = dynamic_cast<TProcData*>(proc->ImplementationLink());
    } else {
        Implementation = proc;
        Declaration = dynamic_cast<TProcData*>(proc->DeclarationLink());
    }
    return true;
}

// What the procedure's placement rules look at: the enclosing routine of a local procedure,
// the module for a global one.
TCodeItem* ContextOf(TCodeItem& Proc, TModuleItem& Module) {
    return IsRoutine(Proc.Parent()) ? Proc.Parent() : &Module;
}

// An implementation written for a procedure that also has a declaration carries neither the
// declaration's forward and overload directives nor its calling convention.
void StripDeclarationOnly(TProcItem& Impl) {
    Impl.Directives.Exclude(pdForward).Exclude(pdOverload);
    Impl.CallConvention = ccDefault;
}

} // namespace

bool TModuleEditor::AddProcedure(TCodeItem* Near) {
    TEdit edit(*this, false);
    TModuleItem& module = FExplorer.Module();
    const bool local = IsRoutine(Near);
    TCodeItem* parent = local ? TModuleExplorer::ImplementationOf(Near) : &module;
    // A local procedure goes before its routine's body: a declaration without one (abstract,
    // external, of an interface) has no place for it.
    if (local && (parent->Kind() == ckMethod || parent->StartLine < 0 ||
                  static_cast<TProcItem*>(parent)->BodyStartLine <= HeadEnd(*parent)))
        throw Exception(Format("%s has no body to hold a local procedure", Near->Name));
    TProcData item(nullptr);
    item.NameSpaceOwner = parent;
    item.Name = item.UniqueName("New");
    item.StartColumn = local ? ModuleEditorOptions().BlockIndention() + parent->StartColumn : 0;
    if (IsUnit() && !local) item.InInterface = item.InterfaceCapable = true;
    if (!item.Edit()) return false;

    const bool forward = item.Directives.Contains(pdForward);
    const bool needsDeclaration = forward || item.InInterface;
    const int implLine = ImplementationLine(parent);
    TProcData impl(nullptr);
    impl.Assign(item);
    int declLine = 0;
    if (needsDeclaration) {
        StripDeclarationOnly(impl);
        declLine = std::min(DeclarationLine(parent, !forward), implLine);
    }
    InsertImplementation(impl, implLine);
    if (needsDeclaration) {
        TProcData decl(nullptr);
        decl.Assign(item);
        decl.Directives.Exclude(pdExternal);
        InsertDeclaration(decl, declLine);
    }
    edit.Commit();
    return true;
}

bool TModuleEditor::EditProcedure(TCodeItem& Item) {
    TProcData *decl, *impl;
    if (!FindPair(Item, decl, impl)) throw Exception("Cannot edit bad formatted procedure");
    TEdit edit(*this, false);
    TProcData& source = decl ? *decl : *impl;
    TCodeItem* context = ContextOf(source, FExplorer.Module());
    TProcData copy(nullptr);
    copy.Assign(source);
    copy.NameSpaceOwner = source.NameSpace();
    if (impl && impl->Directives.Contains(pdExternal)) {
        copy.Directives.Include(pdExternal);
        copy.ExternalText = impl->ExternalText;
    }
    copy.InterfaceCapable = IsUnit() && !IsLocal(&source);
    copy.InInterface =
        copy.InterfaceCapable && decl && decl->StartLine < FExplorer.ImplementationLine();
    const bool hadDeclaration = decl != nullptr;
    const bool wasInterfaced = copy.InInterface;
    const bool wasExternal = copy.Directives.Contains(pdExternal);
    if (!copy.Edit()) return false;

    const bool needsDeclaration = copy.InInterface || copy.Directives.Contains(pdForward);
    const bool hasImplementation =
        EditImplementationSide(copy, impl, wasExternal, needsDeclaration, context);
    if (needsDeclaration == hadDeclaration) {
        if (!decl) {
            edit.Commit();
            return true;
        }
        const TVisibility visibility = decl->Visibility;
        decl->AssignDeclaration(copy);
        decl->Visibility = visibility;
        if (hasImplementation) decl->Directives.Exclude(pdExternal);
        if (copy.InInterface != wasInterfaced) {
            DeleteItem(*decl);
            decl->StartLine = -1; // no longer in the text: placement must not count it
            InsertDeclaration(*decl, DeclarationLine(context, copy.InInterface));
        } else {
            UpdateDeclaration(decl);
        }
    } else if (needsDeclaration) {
        TProcData fresh(nullptr);
        fresh.Assign(copy);
        fresh.Directives.Exclude(pdExternal);
        InsertDeclaration(fresh, DeclarationLine(context, copy.InInterface));
    } else {
        DeleteItem(*decl);
    }
    edit.Commit();
    return true;
}

// Brings the implementation in line with the edited copy; true when the procedure has an
// implementation afterwards.
bool TModuleEditor::EditImplementationSide(TProcData& Copy, TProcData* Impl, bool WasExternal,
                                           bool NeedsDeclaration, TCodeItem* Context) {
    const bool external = Copy.Directives.Contains(pdExternal);
    if (!Impl) {
        const bool bodiless = (Copy.Directives.Contains(pdForward) && !Copy.InInterface) ||
                              (Copy.InInterface && external);
        if (bodiless) return false;
        TProcData fresh(nullptr);
        fresh.Assign(Copy);
        if (NeedsDeclaration) StripDeclarationOnly(fresh);
        InsertImplementation(fresh, ImplementationLine(Context));
        return true;
    }
    Impl->AssignDeclaration(Copy);
    if (external != WasExternal) {
        const int head = HeadEnd(*Impl);
        if (external) {
            const int body = BodyStart(*Impl);
            if (BodyHasCode(*Impl)) {
                ShowWarning(Format("Left code in external declared procedure %s", Impl->Name));
            } else if (body > head) {
                RemoveLines(Impl, body, Impl->LastLine() - body + 1);
                Impl->EndLine = 0;
                Impl->BodyStartLine = 0;
            }
        } else {
            const std::string indent(size_t(std::max(Impl->StartColumn, 0)), ' ');
            FScratch.Clear();
            FScratch.Add(indent + "begin");
            FScratch.Add(indent + "  ");
            FScratch.Add(indent + "end;");
            PutScratch(Impl, head + 1);
            Impl->BodyStartLine = head + 1;
            Impl->EndLine = head + 3;
        }
    }
    if (NeedsDeclaration) StripDeclarationOnly(*Impl);
    UpdateDeclaration(Impl);
    return true;
}

// The body counts as empty only when the token after its first "begin" is "end".
bool TModuleEditor::BodyHasCode(const TProcItem& Item) {
    TStringsTokenizer tokenizer(Lines());
    tokenizer.SetSkipSet({tkComment, tkDirective, tkTag, tkUnused});
    tokenizer.SetTolerant(true);
    tokenizer.SetLineNumber(BodyStart(Item));
    TTokenKind kind;
    while ((kind = tokenizer.NextToken()) != tkNone)
        if (kind == tkWord && SameText(tokenizer.TokenText(), "begin")) break;
    if (kind == tkNone) return false;
    return !(tokenizer.NextToken() == tkWord && SameText(tokenizer.TokenText(), "end"));
}

void TModuleEditor::DeleteProcedure(TCodeItem& Item) {
    TProcData *decl, *impl;
    if (!FindPair(Item, decl, impl)) throw Exception("Cannot delete bad formatted procedure");
    TCodeItem* first = decl ? decl : impl;
    TCodeItem* second = decl ? impl : nullptr;
    if (second) {
        if (second->StartLine < first->StartLine) std::swap(first, second);
        if (first->LastLine() >= second->StartLine)
            throw Exception("Cannot delete internally redefined procedure");
    }
    TEdit edit(*this, false);
    if (LineCount() == 0) return;
    if (second) DeleteItem(*second);
    DeleteItem(*first);
    edit.Commit();
}

void TModuleEditor::MoveProcedure(TCodeItem& Item, TCodeItem& Target) {
    if (&Item == &Target) return;
    if (Item.StartLine < 0) UpdateDeclaration(&Item); // raises the bad-format error
    if (Target.StartLine < 0) UpdateDeclaration(&Target);
    // Bodies belong to the implementation part: neither end of a move may lie before it.
    for (const TCodeItem* end : {&Item, &Target})
        if (IsUnit() && end->StartLine < FExplorer.ImplementationLine())
            throw Exception(Format("%s is declared in the interface part; only "
                                   "implementations can be moved",
                                   end->GetQualifiedName()));
    TEdit edit(*this, false);
    const int first = Item.StartLine;
    int last = std::min(Item.LastLine(), LineCount() - 1);
    if (IsBlankLine(last + 1)) ++last;
    FScratch.Clear();
    for (int i = first; i <= last; ++i)
        FScratch.Add(Lines()[i]);
    if (last == LineCount() - 1 && !IsBlankLine(last)) FScratch.Add(std::string());
    const int count = last - first + 1;
    if (Target.StartLine >= Item.StartLine) {
        int at = std::min(Target.LastLine() + 1, LineCount());
        if (at < LineCount() - 1 && IsBlankLine(at)) ++at;
        if (at >= LineCount() && !IsBlankLine(at)) FScratch.Insert(0, std::string());
        PutScratch(nullptr, at);
        RemoveLines(nullptr, first, count);
    } else {
        const int at = Target.StartLine;
        RemoveLines(nullptr, first, count);
        PutScratch(nullptr, at);
    }
    edit.Commit();
}

void TModuleEditor::RenameProcedures(TCodeItem& Item, const std::string& OldNameRef,
                                     const std::string& NewNameRef) {
    // The old name is usually Item's own, which the loop changes: it is copied first.
    const std::string OldName = OldNameRef, NewName = NewNameRef;
    TEdit edit(*this, false);
    TCodeItem* parent = Item.Parent();
    if (!parent) return;
    const std::vector<TCodeItem*> children = parent->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        TCodeItem* child = *it;
        if (child->Kind() != ckProcedure || child->Implied || !SameText(child->Name, OldName))
            continue;
        child->Name = NewName;
        UpdateDeclaration(child);
    }
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Interface and implementation part

void TModuleEditor::ChangeVisibility(TCodeItem* Container, const TItemList& Items,
                                     TVisibility Visibility) {
    if (!Container || IsClassKind(Container->Kind())) NotImplemented(std::string());
    if (!IsUnit()) return;
    TEdit edit(*this, false);
    if (Visibility == scPrivate)
        ProceduresToImplementation(Items);
    else
        ProceduresToInterface(Items);
    edit.Commit();
}

void TModuleEditor::ProceduresToInterface(const TItemList& Items) {
    const int impl = FExplorer.ImplementationLine();
    TItemList selected;
    for (TCodeItem* item : Items) {
        auto* proc = dynamic_cast<TProcData*>(item);
        // A forward declaration stands for its implementation, and goes when the interface
        // part declares the procedure.
        if (proc && proc->Directives.Contains(pdForward))
            proc = dynamic_cast<TProcData*>(proc->ImplementationLink());
        if (!proc || proc->StartLine < impl || proc->StartLine < 0 || IsLocal(proc)) continue;
        // One already declared in the interface part needs no second declaration.
        const TProcItem* decl = proc->DeclarationLink();
        if (decl && decl->StartLine >= 0 && decl->StartLine < impl) continue;
        // Declared for every condition, it would lack its body when the condition is off.
        if (InsideConditional(Lines(), impl, proc->StartLine))
            throw Exception(Format("Cannot declare %s in the interface part: it is implemented "
                                   "inside a conditional block",
                                   proc->Name));
        selected.push_back(proc);
    }
    if (selected.empty()) return;
    SortByLine(selected);
    const int at = DeclarationLine(&FExplorer.Module(), true);
    FScratch.Clear();
    if (!IsBlankLine(at - 1)) FScratch.Add(std::string());
    TItemList forwards;
    for (TCodeItem* item : selected) {
        auto* proc = static_cast<TProcData*>(item);
        TProcData decl(nullptr);
        decl.Assign(*proc);
        decl.Directives = decl.Directives * TProcDirectives{pdOverload};
        WriteDeclaration(decl, FScratch);
        FScratch.Add(std::string());
        if (TProcItem* forward = proc->DeclarationLink(); forward && forward->StartLine >= 0)
            forwards.push_back(forward);
    }
    if (IsBlankLine(at)) FScratch.Delete(FScratch.Count() - 1);
    PutScratch(nullptr, at);
    DeleteItems(forwards);
}

void TModuleEditor::ProceduresToImplementation(const TItemList& Items) {
    const int impl = FExplorer.ImplementationLine();
    TItemList selected;
    for (TCodeItem* item : Items) {
        auto* proc = dynamic_cast<TProcData*>(item);
        if (proc && proc->StartLine >= 0 && proc->StartLine < impl && !IsLocal(proc))
            selected.push_back(proc);
    }
    if (selected.empty()) return;
    SortByLine(selected);
    // Declarations without an implementation (external ones) move as they are written.
    FScratch.Clear();
    for (TCodeItem* item : selected) {
        if (static_cast<TProcData*>(item)->ImplementationLink()) continue;
        for (int i = item->StartLine; i <= std::min(item->LastLine(), LineCount() - 1); ++i)
            FScratch.Add(Lines()[i]);
        FScratch.Add(std::string());
    }
    if (FScratch.Count() > 0) {
        const int at = ImplementationLine(&FExplorer.Module());
        if (!IsBlankLine(at - 1)) FScratch.Insert(0, std::string());
        if (IsBlankLine(at)) FScratch.Delete(FScratch.Count() - 1);
        PutScratch(nullptr, at);
    }
    TItemList implementations;
    for (TCodeItem* item : selected) {
        auto* decl = static_cast<TProcData*>(item);
        auto* implementation = decl->ImplementationLink();
        if (!implementation) continue;
        implementation->Directives.Exclude(pdForward);
        if (decl->Directives.Contains(pdExternal))
            implementation->Directives.Include(pdExternal);
        else
            implementation->Directives.Exclude(pdExternal);
        implementation->ExternalText = decl->ExternalText;
        // The heading must now say all the declaration said: an implementation may have left
        // out the parameters, the result, the calling convention and "overload".
        if (decl->Directives.Contains(pdOverload)) implementation->Directives.Include(pdOverload);
        implementation->ShortHeading = false;
        if (implementation->Params.empty()) implementation->Params = decl->Params;
        if (implementation->DataType() == dtVoid && decl->DataType() != dtVoid) {
            implementation->SetDataType(decl->DataType());
            implementation->SetTypeName(decl->TypeName());
        }
        if (implementation->CallConvention == ccDefault)
            implementation->CallConvention = decl->CallConvention;
        implementations.push_back(implementation);
    }
    DeleteItems(selected);
    SortByLine(implementations);
    for (auto it = implementations.rbegin(); it != implementations.rend(); ++it)
        UpdateDeclaration(*it);
}

// ---------------------------------------------------------------------------------------
// Selections

void TModuleEditor::NormalizeSelection(TItemList& Items, TCopyKind& Kind) {
    const bool allLocal = !Items.empty() && std::all_of(Items.begin(), Items.end(), IsLocal);
    TItemList result;
    if (allLocal) {
        Kind = coProcedureCopy;
        for (TCodeItem* item : Items) {
            TCodeItem* routine = item->Parent();
            if (Contains(Items, routine) ||
                Contains(Items, TModuleExplorer::ImplementationOf(routine)) ||
                Contains(Items, TModuleExplorer::DeclarationOf(routine)))
                continue;
            result.push_back(item);
        }
    } else {
        for (TCodeItem* item : Items) {
            if (!IsLocal(item)) {
                if (!Contains(result, item)) result.push_back(item);
                continue;
            }
            TCodeItem* outer = item->Parent();
            while (IsLocal(outer))
                outer = outer->Parent();
            TCodeItem* impl = TModuleExplorer::ImplementationOf(outer);
            if (!Contains(Items, outer) && !Contains(Items, impl) && !Contains(result, impl))
                result.push_back(impl);
        }
    }
    Items = std::move(result);
}

void TModuleEditor::DeleteSelection(TCopyKind Kind, TCodeItem* Container, const TItemList* Items) {
    if (Kind == coClassCopy) return;
    TItemList list;
    if (Items) {
        list = *Items;
    } else {
        TCodeItem* owner = Container ? Container : &FExplorer.Module();
        for (TCodeItem* child : owner->Children())
            if (child->Kind() == ckProcedure && child->StartLine >= 0) list.push_back(child);
    }
    if (list.empty()) return;
    TEdit edit(*this, false);
    NormalizeSelection(list, Kind);
    PrepareDelete(list);
    TItemList doomed;
    auto add = [&](TCodeItem* item) {
        if (item && item->StartLine >= 0 && !Contains(doomed, item)) doomed.push_back(item);
    };
    for (TCodeItem* item : list) {
        add(item);
        if (auto* proc = dynamic_cast<TProcItem*>(item)) {
            add(proc->DeclarationLink());
            add(proc->ImplementationLink());
        }
    }
    DeleteItems(doomed);
    edit.Commit();
}

void TModuleEditor::CheckDelete(TCopyKind& Kind, TItemList& Items) {
    NormalizeSelection(Items, Kind);
}

void TModuleEditor::PrepareDelete(TItemList&) {}

std::string TModuleEditor::KindWord(const TCodeItem& Item) {
    switch (Item.Kind()) {
    case ckModule:
        return "module";
    case ckProcedure:
    case ckMethod:
    case ckMethodImpl:
        return KeywordText(static_cast<const TProcItem&>(Item).ProcKind);
    case ckClass:
    case ckInterface:
    case ckObject:
    case ckDispInterface:
        return ClassKindText(Item.Kind());
    case ckField:
        return "field";
    case ckProperty:
        return "property";
    case ckResClause:
        return "method resolution clause";
    default:
        return "Item";
    }
}

bool TModuleEditor::ConfirmDelete(TCodeItem& Item) {
    return ConfirmDlg(Format("Delete %s %s?", KindWord(Item), Item.Name));
}

// The copy buffer brings these.
void TModuleEditor::InsertClasses(TCodeItem&, TStringList&) {
    NotImplemented(std::string());
}
void TModuleEditor::InsertMembers(TCodeItem&, TStringList&) {
    NotImplemented(std::string());
}
void TModuleEditor::InsertMethodsAsProcedures(TCodeItem&, TStringList&) {
    NotImplemented(std::string());
}
void TModuleEditor::InsertProceduresAsMethods(TCodeItem&, TStringList&, bool) {
    NotImplemented(std::string());
}

} // namespace kolva
