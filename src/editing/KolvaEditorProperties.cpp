// The class editor's operations on properties: adding, editing, renaming and deleting a
// property together with its access methods and state field, and the conversions between
// properties and the fields and methods they use.
//
// Generated members are made part of the model at once (children of the class), so that
// the placement of the next member of the same operation sees them. The unit is parsed again
// when the outermost edit closes, whatever it did to the model.
#include "editing/KolvaEditors.h"
#include "editing/MemberRules.h"
#include "editing/Prefs.h"
#include "editing/PropertyLinks.h"
#include "foundation/FWStrUtils.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace kolva {

namespace {

TVisibility AccessVisibilityIn(const TClassItem& Class) {
    return Class.Kind() == ckClass ? Preferences().AccessVisibility() : scDefault;
}

// Class properties take class static methods and class variables, which are not generated.
void CheckGenerated(const TPropertyItem& Property, const TPropertyLinks& Links) {
    const bool generates =
        Links.ReadAccess == rwMethod || Links.WriteAccess == rwMethod || Links.NeedsField();
    if (generates && Property.Flags.Contains(pfClassProperty))
        throw Exception(
            Format("Access members of class property %s cannot be generated", Property.Name));
}

} // namespace

// ---------------------------------------------------------------------------------------
// Generation

int TKolvaEditor::AbovePlaced(int Line, TVisibility V, const TPropertyItem& Before) const {
    if (Before.StartLine >= 0 && Before.Visibility == V && Line > Before.StartLine)
        return Before.StartLine;
    return Line;
}

TMethodItem* TKolvaEditor::GenerateAccessMethod(TClassItem& Class, TPropertyItem& Property,
                                                const TPropertyLinks& Links, bool Write,
                                                const TPropertyItem& Before) {
    const std::string name =
        Write ? TPropertyLinks::WriteName(Property) : TPropertyLinks::ReadName(Property);
    if (NameTaken(Class, name, nullptr)) return nullptr;
    TEdit edit(*this, false);
    auto& method = *new TMethodItem(&Class);
    method.Name = name;
    if (Write) {
        method.ProcKind = pkProcedure;
        method.SetDataType(dtVoid);
        method.Params = Property.WriteMethodParams(
            Links.ConstParam, Links.WriteParamName.empty() ? "Value" : Links.WriteParamName);
    } else {
        method.ProcKind = pkFunction;
        CopyType(method, Property);
        method.Params = Property.ReadMethodParams();
    }
    method.Visibility = AccessVisibilityIn(Class);
    if (IsInterfaceKind(Class)) method.CallConvention = Preferences().IntfCallConvention();
    method.StartColumn = Property.StartColumn;
    InsertDeclaration(
        method, AbovePlaced(MethodPlacement(Class, method.Visibility), method.Visibility, Before));
    if (!IsInterfaceKind(Class)) AddMethodImplementation(Class, method);
    edit.Commit();
    return &method;
}

TFieldItem* TKolvaEditor::GenerateStateField(TClassItem& Class, TPropertyItem& Property,
                                             const TPropertyItem& Before) {
    const std::string name = TPropertyLinks::FieldName(Property);
    if (NameTaken(Class, name, nullptr)) return nullptr;
    CheckFieldsAllowed(Class);
    TEdit edit(*this, false);
    auto& field = *new TFieldItem(&Class);
    field.Name = name;
    CopyType(field, Property);
    field.Visibility = Fitted(Class, Preferences().StateFieldVisibility());
    field.StartColumn = Property.StartColumn;
    InsertDeclaration(
        field, AbovePlaced(FieldPlacement(Class, field.Visibility), field.Visibility, Before));
    edit.Commit();
    return &field;
}

void TKolvaEditor::RegenerateAccessMethod(TClassItem& Class, TMethodItem& Method,
                                          TPropertyItem& Property, const TPropertyLinks& Links,
                                          bool Write) {
    const std::string name =
        Write ? TPropertyLinks::WriteName(Property) : TPropertyLinks::ReadName(Property);
    // A member of the new name is there already: the old method stays as it is.
    if (NameTaken(Class, name, &Method)) return;
    const std::string params =
        Write ? Property.WriteMethodParams(
                    Links.ConstParam, Links.WriteParamName.empty() ? "Value" : Links.WriteParamName)
              : Property.ReadMethodParams();
    // What the method says already stays as it is written, qualified types and all.
    const bool sameSignature = SameText(StripWhiteSpace(Method.Params), StripWhiteSpace(params)) &&
                               (Write || SameText(Method.DataTypeText(), Property.DataTypeText()));
    if (sameSignature && Method.Name == name) return;
    TEdit edit(*this, false);
    TProcItem* impl = Method.ImplementationLink();
    for (TProcItem* proc : {static_cast<TProcItem*>(&Method), impl}) {
        if (!proc || proc->StartLine < 0) continue;
        proc->Name = name;
        if (!sameSignature) {
            proc->Params = params;
            if (!Write) CopyType(*proc, Property);
        }
        UpdateDeclaration(proc);
    }
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Adding and editing

bool TKolvaEditor::AddProperty(TClassItem& Class) {
    TEdit edit(*this, false);
    TPropertyItem property(nullptr);
    property.NameSpaceOwner = &Class;
    property.Name = property.UniqueName("NewProperty");
    property.SetDataType(dtInteger);
    property.Visibility = Class.Kind() == ckClass ? scPublic : scDefault;
    TPropertyLinks& links = TPropertyLinks::Of(property);
    links.ConstParam = Preferences().PropConstParamMode() != cpSmart;
    links.ReadAccess = Class.Kind() == ckClass ? Preferences().DefaultReadAccess() : rwMethod;
    links.WriteAccess = Class.Kind() == ckClass ? Preferences().DefaultWriteAccess() : rwMethod;
    if (!property.Edit()) return false;
    property.Visibility = Fitted(Class, property.Visibility);
    CheckGenerated(property, links);
    ExpandClass(Class);
    property.StartColumn = PropertyColumn(Class);
    std::vector<const TCodeItem*> made;
    if (links.ReadAccess == rwMethod)
        made.push_back(GenerateAccessMethod(Class, property, links, false, property));
    if (links.WriteAccess == rwMethod)
        made.push_back(GenerateAccessMethod(Class, property, links, true, property));
    if (links.NeedsField()) made.push_back(GenerateStateField(Class, property, property));
    // Below what was made for it in its own section, wherever the placement rules put that.
    int line = PropertyPlacement(Class, property.Visibility);
    for (const TCodeItem* member : made)
        if (member && member->Visibility == property.Visibility)
            line = std::max(line, HeadEnd(*member) + 1);
    InsertDeclaration(property, line);
    edit.Commit();
    return true;
}

void TKolvaEditor::EditAccessMethod(TClassItem& Class, TPropertyItem& Copy,
                                    const TPropertyLinks& Old, const TPropertyLinks& New,
                                    bool Write) {
    const TRWAccessEx oldAccess = Write ? Old.WriteAccess : Old.ReadAccess;
    const TRWAccessEx newAccess = Write ? New.WriteAccess : New.ReadAccess;
    TMethodItem* method = Write ? Old.WriteMethod : Old.ReadMethod;
    if (oldAccess != rwMethod || !method) return;
    if (newAccess == rwMethod) return RegenerateAccessMethod(Class, *method, Copy, New, Write);
    const std::string& specifier = Write ? Copy.WriteSpec : Copy.ReadSpec;
    if (!SameText(specifier, method->Name) && !NamedByOtherProperty(*method, {Old.Property()}))
        DeleteMethod(*method);
}

void TKolvaEditor::EditStateField(TClassItem& Class, TPropertyItem& Copy, const TPropertyLinks& Old,
                                  const TPropertyLinks& New) {
    TFieldItem* field = Old.StateField;
    if (!Old.NeedsField() || !field) return;
    if (!New.NeedsField()) {
        if (!SameText(Copy.ReadSpec, field->Name) && !SameText(Copy.WriteSpec, field->Name) &&
            !NamedByOtherProperty(*field, {Old.Property()}))
            DeleteField(*field);
        return;
    }
    const std::string name = TPropertyLinks::FieldName(Copy);
    if (NameTaken(Class, name, field) ||
        (field->Name == name && SameText(field->DataTypeText(), Copy.DataTypeText())))
        return;
    if (IsComponent(*field)) {
        if (!SameText(field->DataTypeText(), Copy.DataTypeText()))
            throw Exception(
                Format("Cannot edit Component %s\rOnly renaming is allowed.", field->Name));
        if (field->Name != name) RenameMember(*field, name);
        return;
    }
    TEdit edit(*this, false);
    field->Name = name;
    CopyType(*field, Copy);
    UpdateDeclaration(field);
    edit.Commit();
}

bool TKolvaEditor::EditProperty(TPropertyItem& Property) {
    TClassItem& cls = ClassOf(Property);
    TEdit edit(*this, false);
    TPropertyLinks& old = TPropertyLinks::Of(Property);
    TPropertyItem copy(nullptr);
    copy.Assign(Property);
    copy.NameSpaceOwner = &cls;
    TPropertyLinks& now = TPropertyLinks::Of(copy);
    if (!copy.Edit()) return false;
    copy.Visibility = Fitted(cls, copy.Visibility);
    CheckGenerated(copy, now);
    ExpandClass(cls);
    copy.StartColumn = Property.StartColumn;
    if (now.NeedsField() && !old.NeedsField()) GenerateStateField(cls, copy, Property);
    if (now.ReadAccess == rwMethod && old.ReadAccess != rwMethod)
        GenerateAccessMethod(cls, copy, now, false, Property);
    if (now.WriteAccess == rwMethod && old.WriteAccess != rwMethod)
        GenerateAccessMethod(cls, copy, now, true, Property);
    EditAccessMethod(cls, copy, old, now, true);
    EditAccessMethod(cls, copy, old, now, false);
    EditStateField(cls, copy, old, now);
    RewriteOrMove(cls, Property, copy);
    edit.Commit();
    return true;
}

// ---------------------------------------------------------------------------------------
// Deleting and renaming

void TKolvaEditor::DeleteProperty(TPropertyItem& Property) {
    TPropertyLinks& links = TPropertyLinks::Of(Property);
    TEdit edit(*this, false);
    const TItemList self{&Property};
    if (links.ReadAccess == rwMethod && !NamedByOtherProperty(*links.ReadMethod, self))
        DeleteMethod(*links.ReadMethod);
    if (links.WriteAccess == rwMethod && !NamedByOtherProperty(*links.WriteMethod, self))
        DeleteMethod(*links.WriteMethod);
    if (links.HasStateField && !NamedByOtherProperty(*links.StateField, self))
        DeleteField(*links.StateField);
    DeleteItem(Property);
    edit.Commit();
}

void TKolvaEditor::AddPropertyLinks(TItemList& Items) {
    const TItemList selected = Items;
    for (TCodeItem* item : selected) {
        if (item->Kind() != ckProperty) continue;
        TPropertyLinks& links = TPropertyLinks::Of(static_cast<TPropertyItem&>(*item));
        for (TCodeItem* member : links.OwnMembers())
            if (member && std::find(Items.begin(), Items.end(), member) == Items.end() &&
                !NamedByOtherProperty(*member, selected))
                Items.push_back(member);
    }
}

void TKolvaEditor::RenameProperty(TPropertyItem& Property, const std::string& NewName) {
    const std::string newName = NewName;
    TClassItem& cls = ClassOf(Property);
    TPropertyLinks& links = TPropertyLinks::Of(Property);
    const TItemList self{&Property};
    // A member that another property uses too keeps its name, and this property the
    // specifier that names it.
    const auto own = [&](TCodeItem* Member) {
        return Member && !NamedByOtherProperty(*Member, self) ? Member : nullptr;
    };
    TCodeItem* reader = own(links.ReadAccess == rwMethod ? links.ReadMethod : nullptr);
    TCodeItem* writer = own(links.WriteAccess == rwMethod ? links.WriteMethod : nullptr);
    TCodeItem* field = own(links.HasStateField ? links.StateField : nullptr);
    const TPreferences& prefs = Preferences();
    const std::string readName = prefs.ReadMethodPrefix() + newName;
    const std::string writeName = prefs.WriteMethodPrefix() + newName;
    const std::string fieldName = prefs.StateFieldPrefix() + newName;
    for (const auto& [member, name] :
         {std::pair{reader, readName}, std::pair{writer, writeName}, std::pair{field, fieldName}})
        if (member) CheckNameFree(cls, name, member);

    TEdit edit(*this, false);
    Property.Name = newName;
    const auto pointAccess = [&](std::string& Specifier, TRWAccessEx Access, TCodeItem* Method,
                                 const std::string& MethodName) {
        if (Access == rwField && field) Specifier = fieldName;
        if (Access == rwMethod && Method) Specifier = MethodName;
    };
    pointAccess(Property.ReadSpec, links.ReadAccess, reader, readName);
    pointAccess(Property.WriteSpec, links.WriteAccess, writer, writeName);
    UpdateDeclaration(&Property);
    if (reader) RenameMember(*reader, readName);
    if (writer) RenameMember(*writer, writeName);
    if (field) RenameMember(*field, fieldName);
    edit.Commit();
}

} // namespace kolva
