// Pasting classes and members: a class goes in whole beside the unit's types, members are
// written anew into the target class with the rules of its kind, methods become global
// procedures in a unit and procedures become methods in a class. Every name a paste brings
// is made free in its target first, with the implementations following their declarations.
#include "editing/CopyBuffer.h"
#include "editing/KolvaEditors.h"
#include "editing/MemberRules.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <map>

namespace kolva {

namespace {

constexpr TCodeItems GlobalNames = {ckProcedure,     ckClass,  ckInterface, ckObject,
                                    ckDispInterface, ckRecord, ckHelper,    ckVar};

std::string Blanks(int Count) {
    return std::string(size_t(std::max(Count, 0)), ' ');
}

bool StartsWithText(const std::string& Text, const std::string& Start) {
    return Text.size() >= Start.size() && SameText(Text.substr(0, Start.size()), Start);
}

bool Placed(const TCodeItem* Item) {
    return Item && Item->StartLine >= 0 && !Item->Implied;
}

// Each comma-separated name of a field list made free in Class, and apart from the others.
std::string FreeMemberName(const TClassItem& Class, const std::string& Name,
                           const TCodeItem* Except) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = Name.find(',', start);
        const std::string part = Trim(Name.substr(start, comma - start));
        parts.push_back(FreeName(part, [&](const std::string& N) {
            return NameTaken(Class, N, Except) ||
                   std::any_of(parts.begin(), parts.end(),
                               [&](const std::string& P) { return SameText(P, N); });
        }));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += (result.empty() ? "" : ", ") + part;
    return result;
}

// Whether a visibility narrows access below public; an object type knows only private.
bool Strict(TVisibility V) {
    return V == scPrivate || V == scProtected || V == scStrictPrivate || V == scStrictProtected;
}

// What a member becomes in a type of Target's kind.
void Adapt(TCodeItem& Item, const TClassItem& Target) {
    const bool intf = IsInterfaceKind(Target), object = Target.Kind() == ckObject;
    if (intf) Item.Visibility = scDefault;
    if (object) Item.Visibility = Strict(Item.Visibility) ? scPrivate : scDefault;
    if (auto* method = dynamic_cast<TMethodItem*>(&Item)) {
        // No method is forward, and only an object or class of another language is external.
        method->Directives.Exclude(pdForward).Exclude(pdExternal);
        if (intf) {
            method->Directives = method->Directives.Contains(pdOverload)
                                     ? TProcDirectives{pdOverload}
                                     : TProcDirectives{};
            if (method->ProcKind == pkConstructor || method->ProcKind == pkDestructor)
                method->ProcKind = pkProcedure;
            method->ClassMethod = false;
            method->SetHints(std::string());
        }
        if (object) {
            TProcDirectives& d = method->Directives;
            if (d.Contains(pdMessage)) method->SetDataType(dtVoid);
            if (d.Contains(pdOverride) || d.Contains(pdDynamic)) d.Include(pdVirtual);
            for (TProcDirective gone :
                 {pdOverload, pdAbstract, pdReintroduce, pdOverride, pdDynamic, pdMessage})
                d.Exclude(gone);
        }
        if (!HasResult(method->ProcKind)) method->SetDataType(dtVoid);
    }
    if (auto* property = dynamic_cast<TPropertyItem*>(&Item); property && intf) {
        property->StoredSpec.clear();
        property->DefaultKind = dkNone;
        property->DefaultValue.clear();
        property->ImplementsText.clear();
        property->Flags.Exclude(pfHasStored).Exclude(pfHasImplements).Exclude(pfRedeclaration);
    }
}

TCodeItem* NewMember(TClassItem& Class, TCodeItemKind Kind) {
    switch (Kind) {
    case ckField:
        return new TFieldItem(&Class);
    case ckMethod:
        return new TMethodItem(&Class);
    case ckProperty:
        return new TPropertyItem(&Class);
    default:
        return new TResClauseItem(&Class);
    }
}

TCodeItems AllowedIn(const TClassItem& Class) {
    if (IsInterfaceKind(Class)) return {ckMethod, ckProperty};
    if (Class.Kind() == ckObject) return {ckField, ckMethod};
    return MemberKinds;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Implementations

void TKolvaEditor::WriteMethodBody(TClassItem& Class, TMethodItem& Method, const TProcItem* Body,
                                   const TStringList& Lines, bool Dedent) {
    TMethodImplItem impl(nullptr);
    impl.AssignDeclaration(Method);
    impl.StartColumn = 0;
    impl.Directives = {};
    impl.CallConvention = ccDefault;
    impl.SetClass(Class);
    WriteDeclaration(impl, Scratch());
    const bool hasBody = Body && Body->BodyStartLine > HeadEnd(*Body);
    if (hasBody) {
        const int first = HeadEnd(*Body) + 1, last = Body->LastLine();
        const int at = Scratch().Count();
        AppendLines(Scratch(), Lines, first, last, Dedent ? CommonIndent(Lines, first, last) : 0);
        RenameResults(Scratch(), at, Body->Name, Method.Name);
    } else {
        Scratch().Add("begin");
        Scratch().Add(Blanks(ModuleEditorOptions().BlockIndention()) +
                      "// TODO -cFW : Default method body inserted");
        Scratch().Add("end;");
    }
    Scratch().Add(std::string());
}

// ---------------------------------------------------------------------------------------
// Classes

void TKolvaEditor::InsertClasses(TCodeItem& Module, TStringList& Text) {
    TParsedBuffer buffer(Text, false);
    TClassItem* source = buffer.FirstClass();
    if (!source || source->StartLine < 0) throw Exception("No class or interface found to insert");
    TEdit edit(*this, false);
    // The part of the unit it came from; outside a unit everything is implementation.
    const int bufferImpl = buffer.Explorer.ImplementationLine();
    const TVisibility part =
        IsUnit() && bufferImpl >= 0 && source->StartLine < bufferImpl ? scPublic : scPrivate;
    TClassItem naming(nullptr);
    naming.AssignDeclaration(*source);
    naming.HasBody = true;
    naming.Name = FreeName(
        source->Name, [&](const std::string& N) { return Module.FindChild(GlobalNames, N) >= 0; });
    naming.StartColumn = source->StartColumn;
    const bool renamed = naming.Name != source->Name;
    // The implementations first: they go after the unit's last item, which the class must
    // not be yet.
    if (!IsInterfaceKind(naming))
        InsertClassImplementations(naming, *source, buffer.Lines, renamed);
    const int line = OutsideConditionals(ClassLine(source->Kind(), part));
    const bool needsType = !TypeSectionOpenAt(line, part);
    auto& cls = *new TClassItem(&Module);
    cls.Assign(naming);
    Scratch().Clear();
    if (needsType) Scratch().Add("type");
    const int heading = Scratch().Count();
    if (!renamed) {
        AppendLines(Scratch(), buffer.Lines, source->StartLine, source->LastLine());
    } else {
        WriteDeclaration(cls, Scratch());
        if (source->LastLine() > HeadEnd(*source))
            AppendLines(Scratch(), buffer.Lines, HeadEnd(*source) + 1, source->LastLine());
        else
            Scratch().Add(Blanks(cls.StartColumn) + "end;");
    }
    const int written = Scratch().Count() - heading;
    Scratch().Add(std::string());
    const int first = PutBlock(*this, &cls, line) + heading;
    cls.StartLine = cls.DeclEndLine = first;
    cls.EndLine = first + written - 1;
    edit.Commit();
}

void TKolvaEditor::InsertClassImplementations(TClassItem& Class, TClassItem& Source,
                                              const TStringList& Lines, bool Renamed) {
    const std::string oldName = Source.ImplementationClassName();
    Scratch().Clear();
    for (TCodeItem* item : Source.Parent()->Children()) {
        if (item->Kind() != ckMethodImpl || !Placed(item)) continue;
        auto& impl = static_cast<TMethodImplItem&>(*item);
        const bool nested = StartsWithText(impl.ClassName, oldName + ".");
        if (!SameText(impl.ClassName, oldName) && !nested) continue;
        if (!Renamed) {
            AppendLines(Scratch(), Lines, impl.StartLine, impl.LastLine());
        } else {
            TMethodImplItem heading(nullptr);
            heading.Assign(impl);
            heading.ClassName = Class.Name + impl.ClassName.substr(oldName.size());
            heading.SetQualifierText(impl.QualifierText());
            WriteRenamed(*this, heading, Lines, 0, std::string());
        }
        Scratch().Add(std::string());
    }
    if (Scratch().Count() == 0) return;
    CheckImplementationPart(*this, Class.Name);
    PutBlock(*this, &Class, ImplementationPlacement(Class));
}

// ---------------------------------------------------------------------------------------
// Members

void TKolvaEditor::InsertMembers(TCodeItem& Class, TStringList& Text) {
    if (!IsClassKind(Class.Kind())) NotImplemented("Pasting into this content");
    auto& target = static_cast<TClassItem&>(Class);
    TParsedBuffer buffer(Text, false);
    TClassItem* source = buffer.FirstClass();
    TItemList members;
    if (source)
        for (TCodeItem* child : source->Children())
            if (Placed(child) && AllowedIn(target).Contains(child->Kind()))
                members.push_back(child);
    if (members.empty()) throw Exception("No members found to insert");
    // Fields first and properties last, so that what a property names is declared above it.
    std::stable_sort(members.begin(), members.end(), [](const TCodeItem* A, const TCodeItem* B) {
        const auto rank = [](const TCodeItem* I) {
            return I->Kind() == ckResClause ? 0 : int(I->Kind());
        };
        return rank(A) < rank(B);
    });
    TEdit edit(*this, false);
    ExpandClass(target);
    std::map<std::string, std::string> renames; // upper-case old name -> new name
    std::vector<std::pair<TMethodItem*, TProcItem*>> bodies;
    for (TCodeItem* member : members) {
        TCodeItem& item = *NewMember(target, member->Kind());
        item.AssignDeclaration(*member);
        item.Name = FreeMemberName(target, member->Name, &item);
        if (item.Name != member->Name) renames[UpperCase(member->Name)] = item.Name;
        Adapt(item, target);
        if (auto* property = dynamic_cast<TPropertyItem*>(&item))
            for (std::string* specifier :
                 {&property->ReadSpec, &property->WriteSpec, &property->StoredSpec})
                if (auto it = renames.find(UpperCase(*specifier)); it != renames.end())
                    *specifier = it->second;
        item.StartColumn = MemberIndent(target);
        PlaceMember(target, item, item.Visibility);
        auto* method = dynamic_cast<TMethodItem*>(&item);
        if (!method || IsInterfaceKind(target)) continue;
        TProcItem* body = static_cast<TMethodItem*>(member)->ImplementationLink();
        if (Placed(body) || !method->IsAbstract() || target.Kind() == ckObject)
            bodies.emplace_back(method, Placed(body) ? body : nullptr);
    }
    InsertMethodBodies(target, bodies, buffer.Lines, false);
    edit.Commit();
}

void TKolvaEditor::InsertMethodBodies(
    TClassItem& Class, const std::vector<std::pair<TMethodItem*, TProcItem*>>& Bodies,
    const TStringList& Lines, bool Dedent) {
    if (Bodies.empty()) return;
    CheckImplementationPart(*this, Bodies.front().first->Name);
    Scratch().Clear();
    for (const auto& [method, body] : Bodies)
        WriteMethodBody(Class, *method, body, Lines, Dedent);
    PutBlock(*this, &Class, ImplementationPlacement(Class));
}

// ---------------------------------------------------------------------------------------
// Between methods and procedures

void TKolvaEditor::InsertMethodsAsProcedures(TCodeItem& Module, TStringList& Text) {
    TParsedBuffer buffer(Text, false);
    TClassItem* source = buffer.FirstClass();
    std::vector<TMethodItem*> methods;
    if (source)
        for (TCodeItem* child : source->Children())
            if (child->Kind() == ckMethod && Placed(child))
                methods.push_back(static_cast<TMethodItem*>(child));
    if (methods.empty()) throw Exception("No methods found to convert to procedures");
    CheckImplementationPart(*this, methods.front()->Name);
    TEdit edit(*this, false);
    std::vector<TProcData*> declarations;
    Scratch().Clear();
    for (TMethodItem* method : methods) {
        auto& decl = *new TProcData(&Module);
        decl.AssignDeclaration(*method);
        decl.Name.clear();
        decl.Name = FreeName(method->Name, [&](const std::string& N) {
            return Module.FindChild(GlobalNames, N) >= 0;
        });
        decl.Visibility = scPublic;
        decl.StartColumn = 0;
        decl.Directives = decl.Directives * TProcDirectives{pdForward, pdExternal, pdOverload};
        decl.CallConvention = ccDefault;
        decl.SetHints(std::string());
        if (decl.ProcKind == pkConstructor || decl.ProcKind == pkDestructor)
            decl.ProcKind = pkProcedure;
        if (!HasResult(decl.ProcKind)) decl.SetDataType(dtVoid);
        decl.InInterface = decl.InterfaceCapable = IsUnit();
        declarations.push_back(&decl);
        TProcData impl(nullptr);
        impl.AssignDeclaration(decl);
        impl.Visibility = scPrivate;
        impl.InInterface = false;
        impl.Directives.Exclude(pdForward);
        const TProcItem* body = method->ImplementationLink();
        WriteDeclaration(impl, Scratch());
        if (Placed(body) && body->BodyStartLine > HeadEnd(*body)) {
            const int at = Scratch().Count();
            AppendLines(Scratch(), buffer.Lines, HeadEnd(*body) + 1, body->LastLine());
            RenameResults(Scratch(), at, method->Name, decl.Name);
        } else {
            Scratch().Add("begin");
            Scratch().Add(Blanks(ModuleEditorOptions().BlockIndention()) +
                          "// TODO -cFW : Default procedure body inserted");
            Scratch().Add("end;");
        }
        Scratch().Add(std::string());
    }
    PutBlock(*this, &Module, ImplementationLine(&Module));
    if (IsUnit()) {
        Scratch().Clear();
        for (TProcData* decl : declarations)
            WriteDeclaration(*decl, Scratch());
        Scratch().Add(std::string());
        PutBlock(*this, &Module, DeclarationLine(&Module, true));
    }
    edit.Commit();
}

void TKolvaEditor::InsertProceduresAsMethods(TCodeItem& Class, TStringList& Text,
                                             bool ProceduresOnly) {
    if (!IsClassKind(Class.Kind())) NotImplemented("Pasting into this content");
    auto& target = static_cast<TClassItem&>(Class);
    TParsedBuffer buffer(Text, ProceduresOnly);
    std::vector<TProcData*> bodies;
    for (TCodeItem* item : buffer.Explorer.Module().Children()) {
        auto* proc = dynamic_cast<TProcData*>(item);
        if (proc && Placed(proc) && !proc->InInterface && !proc->Directives.Contains(pdForward))
            bodies.push_back(proc);
    }
    if (bodies.empty()) throw Exception("No procedures found to insert");
    TEdit edit(*this, false);
    ExpandClass(target);
    std::vector<std::pair<TMethodItem*, TProcItem*>> methods;
    for (TProcData* body : bodies) {
        TProcItem* declared = body->DeclarationLink();
        auto& method = *new TMethodItem(&target);
        method.AssignDeclaration(declared ? *declared : *body);
        method.Name = FreeMemberName(target, method.Name, &method);
        Adapt(method, target);
        method.StartColumn = MemberIndent(target);
        PlaceMember(target, method, method.Visibility);
        methods.emplace_back(&method, body);
    }
    if (!IsInterfaceKind(target)) InsertMethodBodies(target, methods, buffer.Lines, true);
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Deleting a cut class

void TKolvaEditor::DeleteClassCopy(TCodeItem* Container, const TItemList* Items) {
    TCodeItem* found = Container && IsClassKind(Container->Kind()) ? Container : nullptr;
    for (size_t i = 0; !found && Items && i < Items->size(); ++i)
        if (IsClassKind((*Items)[i]->Kind())) found = (*Items)[i];
    if (found) DeleteClass(static_cast<TClassItem&>(*found));
}

} // namespace kolva
