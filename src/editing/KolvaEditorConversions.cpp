// The conversion of a member into another kind: fields, functions and properties into each
// other, methods and local procedures into global procedures, procedures into methods. A
// routine that changes kind keeps its body: the lines after its heading go with it, without
// the indentation they had as a local routine.
#include "editing/KolvaEditors.h"
#include "editing/MemberRules.h"
#include "editing/Prefs.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace kolva {

namespace {

[[noreturn]] void Unsupported(int Code) {
    throw Exception(Format("Unsupported member conversion (code: %d)", Code));
}

bool IsRoutineItem(const TCodeItem* Item) {
    return Item && (Item->Kind() == ckProcedure || Item->Kind() == ckMethodImpl);
}

bool IsLocal(const TCodeItem& Procedure) {
    return IsRoutineItem(Procedure.Parent());
}

// A type a function can return: a name, dotted or with type arguments, not a type written
// out in place ("array of Byte", "string[20]", "^Integer").
bool IsResultType(const std::string& Text) {
    if (Text.empty()) return false;
    for (char c : Text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '<' &&
            c != '>' && c != ',' && c != ' ')
            return false;
    return Text.find(' ') == std::string::npos || Text.find('<') != std::string::npos;
}

// The body of a routine (the lines after its heading) with the leading blanks that every
// non-empty line has in common taken away.
TStringList BodyLines(TStringList& Lines, const TProcItem& Routine) {
    TStringList body;
    for (int i = HeadEnd(Routine) + 1; i <= Routine.LastLine() && i < Lines.Count(); ++i)
        body.Add(Lines[i]);
    size_t common = std::string::npos;
    for (int i = 0; i < body.Count(); ++i) {
        const size_t at = body[i].find_first_not_of(' ');
        if (at != std::string::npos) common = std::min(common, at);
    }
    if (common != std::string::npos && common > 0)
        TModuleEditor::IndentLines(body, 0, body.Count() - 1, -int(common));
    return body;
}

} // namespace

void TKolvaEditor::ConvertMember(TCodeItem& Container, TCodeItem& Member,
                                 TCodeItemKind TargetKind) {
    if (Container.Kind() == ckClass && (IsComponent(Member) || IsEventHandler(Member)))
        throw Exception("Conversion of Components and Event Handlers not allowed");
    TEdit edit(*this, false);
    const TCodeItemKind kind = Member.Kind();
    if (kind == ckResClause) throw Exception("Method resolution clauses cannot be converted");
    if (kind != ckProcedure && kind != ckField && kind != ckMethod && kind != ckProperty)
        Unsupported(kind);
    const bool local = kind == ckProcedure && IsLocal(Member);
    if (kind == TargetKind && !(local && TargetKind == ckProcedure)) return edit.Commit();
    auto* cls = IsClassKind(Container.Kind()) ? static_cast<TClassItem*>(&Container) : nullptr;
    const auto needClass = [&]() -> TClassItem& {
        if (!cls)
            throw Exception(Format("%s is not a class, interface or object type", Container.Name));
        return *cls;
    };
    if (cls && TargetKind != ckProcedure) ExpandClass(*cls);
    switch (TargetKind) {
    case ckProcedure:
        if (kind == ckMethod)
            MethodToProcedure(ClassOf(Member), static_cast<TMethodItem&>(Member));
        else if (local)
            ProcedureToGlobal(static_cast<TProcItem&>(Member));
        else
            Unsupported(kind);
        break;
    case ckField:
        if (cls && IsInterfaceKind(*cls)) throw Exception("Interfaces cannot contain fields");
        if (kind == ckMethod) {
            MethodToField(needClass(), static_cast<TMethodItem&>(Member));
        } else if (kind == ckProperty) {
            PropertyToField(needClass(), static_cast<TPropertyItem&>(Member));
            DeleteProperty(static_cast<TPropertyItem&>(Member));
        } else {
            Unsupported(kind);
        }
        break;
    case ckMethod:
        if (kind == ckField) {
            FieldToMethod(needClass(), static_cast<TFieldItem&>(Member));
        } else if (kind == ckProperty) {
            PropertyToMethod(needClass(), static_cast<TPropertyItem&>(Member));
            DeleteProperty(static_cast<TPropertyItem&>(Member));
        } else {
            ProcedureToMethod(needClass(), static_cast<TProcItem&>(Member));
        }
        break;
    case ckProperty:
        if (kind == ckField)
            FieldToProperty(needClass(), static_cast<TFieldItem&>(Member));
        else if (kind == ckMethod)
            MethodToProperty(needClass(), static_cast<TMethodItem&>(Member));
        else
            Unsupported(kind);
        break;
    default:
        Unsupported(TargetKind);
    }
    edit.Commit();
}

void TKolvaEditor::MethodToField(TClassItem& Class, TMethodItem& Method) {
    if (Method.ProcKind != pkFunction)
        throw Exception("Only function type methods can be converted to fields");
    CheckNameFree(Class, Method.Name, &Method);
    TEdit edit(*this, false);
    auto& field = *new TFieldItem(&Class);
    field.Name = Method.Name;
    CopyType(field, Method);
    // A class's default section is published where published information is on, and there
    // a field must be of a class type.
    const TVisibility v = Method.Visibility;
    const bool kept =
        v == scPrivate || v == scProtected || (v == scDefault && Class.Kind() != ckClass);
    field.Visibility = Fitted(Class, kept ? v : scPrivate);
    field.StartColumn = Method.StartColumn;
    InsertDeclaration(field, FieldPlacement(Class, field.Visibility));
    DeleteMethod(Method);
    edit.Commit();
}

void TKolvaEditor::FieldToMethod(TClassItem& Class, TFieldItem& Field) {
    if (Field.Name.find(',') != std::string::npos)
        throw Exception(Format("The fields %s cannot become one method", Field.Name));
    if (!IsResultType(Field.DataTypeText()))
        throw Exception(Format("The type of %s cannot be the result of a function", Field.Name));
    TEdit edit(*this, false);
    auto& method = *new TMethodItem(&Class);
    method.Name = Field.Name;
    method.ProcKind = pkFunction;
    CopyType(method, Field);
    method.Visibility = Fitted(Class, Field.Visibility);
    method.StartColumn = Field.StartColumn;
    if (IsInterfaceKind(Class)) method.CallConvention = Preferences().IntfCallConvention();
    InsertDeclaration(method, MethodPlacement(Class, method.Visibility));
    if (!IsInterfaceKind(Class)) AddMethodImplementation(Class, method);
    DeleteField(Field);
    edit.Commit();
}

void TKolvaEditor::MethodToProcedure(TClassItem&, TMethodItem& Method) {
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    TProcItem* body = Method.ImplementationLink();
    const TStringList bodyLines =
        body && body->StartLine >= 0 ? BodyLines(Lines(), *body) : TStringList();
    auto& impl = *new TProcData(&module);
    impl.AssignDeclaration(Method);
    impl.Name = impl.UniqueName(Method.Name);
    impl.StartColumn = 0;
    impl.Directives = impl.Directives * TProcDirectives{pdOverload};
    if (impl.ProcKind == pkConstructor || impl.ProcKind == pkDestructor)
        impl.ProcKind = pkProcedure;
    impl.Visibility = scPrivate;
    auto& declaration = *new TProcData(&module);
    declaration.AssignDeclaration(impl);
    declaration.Visibility = scPublic;
    declaration.InInterface = declaration.InterfaceCapable = true;
    impl.CallConvention = ccDefault;
    impl.Directives = {};

    int line = ImplementationLine(nullptr);
    Scratch().Clear();
    if (!IsBlankLine(line - 1)) Scratch().Add(std::string());
    WriteDeclaration(impl, Scratch());
    if (bodyLines.Count() > 0) {
        for (int i = 0; i < bodyLines.Count(); ++i)
            Scratch().Add(bodyLines[i]);
    } else {
        Scratch().Add("begin");
        Scratch().Add(std::string(size_t(ModuleEditorOptions().BlockIndention()), ' ') +
                      "// TODO -cFW : Default procedure body inserted");
        Scratch().Add("end;");
    }
    if (!IsBlankLine(line)) Scratch().Add(std::string());
    PutScratch(&impl, line);
    if (IsUnit()) InsertDeclaration(declaration, DeclarationLine(nullptr, true));
    DeleteMethod(Method);
    edit.Commit();
}

void TKolvaEditor::ProcedureToGlobal(TProcItem& Procedure) {
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    // Before the routine that holds it, which calls it: declared after, it would not be known
    // there.
    TCodeItem* outer = &Procedure;
    while (outer->Parent() && outer->Parent()->Kind() != ckModule)
        outer = outer->Parent();
    auto& global = *new TProcData(&module);
    global.AssignDeclaration(Procedure);
    global.Name = global.UniqueName(Procedure.Name);
    global.StartColumn = 0;
    global.Visibility = scPrivate;
    const TStringList body = BodyLines(Lines(), Procedure);
    const int line = outer->StartLine;
    Scratch().Clear();
    if (!IsBlankLine(line - 1)) Scratch().Add(std::string());
    WriteDeclaration(global, Scratch());
    for (int i = 0; i < body.Count(); ++i)
        Scratch().Add(body[i]);
    Scratch().Add(std::string());
    DeleteItem(Procedure);
    PutScratch(&global, line);
    edit.Commit();
}

void TKolvaEditor::ProcedureToMethod(TClassItem& Class, TProcItem& Procedure) {
    if (Procedure.Directives.Contains(pdExternal))
        throw Exception(
            Format("The external procedure %s has no body to give a method", Procedure.Name));
    TEdit edit(*this, false);
    // The declaration says what the routine is; the implementation holds its body.
    TProcItem& declared = Procedure.DeclarationLink() ? *Procedure.DeclarationLink() : Procedure;
    TProcItem* body = Procedure.ImplementationLink() ? Procedure.ImplementationLink() : &Procedure;
    if (body->StartLine < 0 || body->Directives.Contains(pdForward)) body = nullptr;
    const TStringList bodyLines = body ? BodyLines(Lines(), *body) : TStringList();
    auto& method = *new TMethodItem(&Class);
    method.AssignDeclaration(declared);
    method.NameSpaceOwner = &Class;
    method.Name = method.UniqueName(declared.Name);
    method.SetHints(std::string());
    const bool intf = IsInterfaceKind(Class);
    TVisibility v =
        IsLocal(Procedure) || declared.Visibility == scDefault ? scPrivate : declared.Visibility;
    method.Visibility = Fitted(Class, v);
    method.Directives =
        method.Directives *
        (Class.Kind() == ckObject ? TProcDirectives{} : TProcDirectives{pdOverload});
    if (intf) {
        method.CallConvention = Preferences().IntfCallConvention();
        if (method.ProcKind == pkConstructor || method.ProcKind == pkDestructor)
            method.ProcKind = pkProcedure;
    }
    method.StartColumn = MemberIndent(Class);
    InsertDeclaration(method, MethodPlacement(Class, method.Visibility));
    if (!intf) {
        auto& impl = *new TMethodImplItem(&Explorer().Module());
        impl.AssignDeclaration(method);
        impl.StartColumn = 0;
        impl.Directives = {};
        impl.CallConvention = ccDefault;
        impl.SetClass(Class);
        const int line = ImplementationPlacement(Class);
        Scratch().Clear();
        if (!IsBlankLine(line - 1)) Scratch().Add(std::string());
        WriteDeclaration(impl, Scratch());
        if (bodyLines.Count() > 0) {
            for (int i = 0; i < bodyLines.Count(); ++i)
                Scratch().Add(bodyLines[i]);
        } else {
            Scratch().Add("begin");
            Scratch().Add(std::string(size_t(ModuleEditorOptions().BlockIndention()), ' ') +
                          "// TODO -cFW : Default method body inserted");
            Scratch().Add("end;");
        }
        if (!IsBlankLine(line)) Scratch().Add(std::string());
        PutScratch(&impl, line);
    }
    if (IsLocal(Procedure))
        DeleteItem(Procedure);
    else
        DeleteProcedure(Procedure);
    edit.Commit();
}

} // namespace kolva
