// The conversions of members that involve properties: a field or a function becomes a
// property that uses it, a property becomes a field or a method. ConvertMember
// (KolvaEditorConversions.cpp) chooses among them.
#include "editing/KolvaEditors.h"
#include "editing/MemberRules.h"
#include "editing/Prefs.h"
#include "editing/PropertyLinks.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kolva {

namespace {

// The members a property being converted away reads and writes through: its access methods
// and its state field, each null when it has none.
struct TAccessMembers {
    TMethodItem* Reader;
    TMethodItem* Writer;
    TFieldItem* StateField;
};

TAccessMembers AccessMembers(TPropertyItem& Property) {
    if (Property.Flags.Contains(pfRedeclaration))
        throw Exception(Format("Property %s has no type of its own", Property.Name));
    const TPropertyLinks& links = TPropertyLinks::Of(Property);
    return {links.ReadAccess == rwMethod ? links.ReadMethod : nullptr,
            links.WriteAccess == rwMethod ? links.WriteMethod : nullptr,
            links.HasStateField ? links.StateField : nullptr};
}

// The visibility of a property made from a member of visibility V.
TVisibility PropertyVisibility(const TClassItem& Class, TVisibility V) {
    if (V == scPrivate || V == scProtected) V = scPublic;
    return Fitted(Class, Class.Kind() == ckClass ? V : scDefault);
}

// A parameter list a property can take as its index parameters: no var or out parameter,
// no default value, no open array.
bool FitsProperty(const std::string& Params) {
    const std::string text = " " + LowerCase(Params) + " ";
    for (const char* word : {"var", "out", "array"})
        for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
            if (!std::isalnum(static_cast<unsigned char>(text[at - 1])) && text[at - 1] != '_' &&
                !std::isalnum(static_cast<unsigned char>(text[at + std::strlen(word)])) &&
                text[at + std::strlen(word)] != '_')
                return false;
    return text.find('=') == std::string::npos;
}

// Takes a property off its members: the deletion that ends the conversion then removes its
// own lines only.
void Detach(TPropertyItem& Property) {
    Property.Name = "_m.a.g.i.c.deleted_";
    Property.ReadSpec.clear();
    Property.WriteSpec.clear();
    TPropertyLinks::Of(Property).Refresh();
}

} // namespace

void TKolvaEditor::FieldToProperty(TClassItem& Class, TFieldItem& Field) {
    if (Field.Name.find(',') != std::string::npos)
        throw Exception(Format("The fields %s cannot become one property", Field.Name));
    const TPreferences& prefs = Preferences();
    const auto [propertyName, fieldName] = SplitPrefixed(Field.Name, prefs.StateFieldPrefix());
    CheckNameFree(Class, propertyName, &Field);
    CheckNameFree(Class, fieldName, &Field);
    TEdit edit(*this, false);
    auto& property = *new TPropertyItem(&Class);
    property.Name = propertyName;
    CopyType(property, Field);
    property.Visibility = PropertyVisibility(Class, scPublic);
    property.ReadSpec = property.WriteSpec = fieldName;
    property.StartColumn = Field.StartColumn;
    InsertDeclaration(property, PropertyPlacement(Class, property.Visibility));

    const TVisibility stateVisibility = Fitted(Class, prefs.StateFieldVisibility());
    const bool renamed = fieldName != Field.Name;
    Field.Name = fieldName;
    if (Field.Visibility != stateVisibility)
        MoveMember(Class, Field, stateVisibility);
    else if (renamed)
        UpdateDeclaration(&Field);
    edit.Commit();
}

void TKolvaEditor::MethodToProperty(TClassItem& Class, TMethodItem& Method) {
    if (Method.ProcKind != pkFunction)
        throw Exception("Only function type methods can be converted to properties");
    // A property reads through an instance method; its index parameters are values.
    if (Method.ClassMethod)
        throw Exception(Format("The class method %s cannot read a property", Method.Name));
    if (!FitsProperty(Method.Params))
        throw Exception(
            Format("The parameters of %s cannot be the parameters of a property", Method.Name));
    const auto [propertyName, methodName] =
        SplitPrefixed(Method.Name, Preferences().ReadMethodPrefix());
    CheckNameFree(Class, propertyName, &Method);
    CheckNameFree(Class, methodName, &Method);
    TEdit edit(*this, false);
    auto& property = *new TPropertyItem(&Class);
    property.Name = propertyName;
    CopyType(property, Method);
    if (!Method.Params.empty()) {
        property.IndexParams = Method.Params;
        property.Flags.Include(pfHasParams);
    }
    property.ReadSpec = methodName;
    property.Visibility = PropertyVisibility(Class, Method.Visibility);
    property.StartColumn = Method.StartColumn;

    const TVisibility access =
        Class.Kind() == ckClass ? Preferences().AccessVisibility() : scDefault;
    if (Method.Visibility != Fitted(Class, access)) {
        if (TProcItem* impl = Method.ImplementationLink(); impl && impl->StartLine >= 0) {
            impl->Name = methodName;
            UpdateDeclaration(impl);
        }
        Method.Name = methodName;
        MoveMember(Class, Method, Fitted(Class, access));
    } else if (methodName != Method.Name) {
        RenameMember(Method, methodName);
    }
    InsertDeclaration(property,
                      std::max(PropertyPlacement(Class, property.Visibility),
                               property.Visibility == Method.Visibility ? HeadEnd(Method) + 1 : 0));
    edit.Commit();
}

void TKolvaEditor::PropertyToField(TClassItem& Class, TPropertyItem& Property) {
    const auto [reader, writer, stateField] = AccessMembers(Property);
    TEdit edit(*this, false);
    const std::string name = Property.Name;
    const TItemList self{&Property};
    if ((reader || writer) && QuestionDlg("Delete property's read/write access methods?")) {
        for (TMethodItem* method : {reader, writer})
            if (method && !NamedByOtherProperty(*method, self)) DeleteMethod(*method);
    }
    Detach(Property);
    if (stateField) {
        RenameMember(*stateField, name);
    } else {
        auto& field = *new TFieldItem(&Class);
        field.Name = name;
        CopyType(field, Property);
        // A class's default section is published where published information is on, and
        // there a field must be of a class type.
        const TVisibility v = Property.Visibility;
        const bool kept =
            v == scPrivate || v == scProtected || (v == scDefault && Class.Kind() != ckClass);
        field.Visibility = Fitted(Class, kept ? v : scPrivate);
        field.StartColumn = Property.StartColumn;
        InsertDeclaration(field, FieldPlacement(Class, field.Visibility));
    }
    edit.Commit();
}

void TKolvaEditor::PropertyToMethod(TClassItem& Class, TPropertyItem& Property) {
    const auto [reader, writer, stateField] = AccessMembers(Property);
    TEdit edit(*this, false);
    const std::string name = Property.Name;
    if ((writer || stateField) &&
        QuestionDlg("Delete property's write access method/ and or state field?")) {
        const TItemList self{&Property};
        if (writer && !NamedByOtherProperty(*writer, self)) DeleteMethod(*writer);
        if (stateField && !NamedByOtherProperty(*stateField, self)) DeleteField(*stateField);
    }
    Detach(Property);
    // Published methods need published information, which properties do without.
    const TVisibility v =
        Fitted(Class, Property.Visibility == scPublished ? scPublic : Property.Visibility);
    if (reader && reader->Visibility == v) {
        RenameMember(*reader, name);
    } else if (reader) {
        if (TProcItem* impl = reader->ImplementationLink(); impl && impl->StartLine >= 0) {
            impl->Name = name;
            UpdateDeclaration(impl);
        }
        reader->Name = name;
        MoveMember(Class, *reader, v);
    } else {
        auto& method = *new TMethodItem(&Class);
        method.Name = name;
        method.ProcKind = pkFunction;
        CopyType(method, Property);
        method.Visibility = v;
        method.StartColumn = Property.StartColumn;
        if (IsInterfaceKind(Class)) method.CallConvention = Preferences().IntfCallConvention();
        InsertDeclaration(method, MethodPlacement(Class, v));
        if (!IsInterfaceKind(Class)) AddMethodImplementation(Class, method);
    }
    edit.Commit();
}

} // namespace kolva
