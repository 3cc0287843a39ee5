// The class editor's operations on members: adding, editing, renaming and deleting fields,
// methods and resolution clauses, moving members between sections, and the designer rules.
#include "editing/KolvaEditors.h"
#include "editing/Prefs.h"
#include "editing/SourceScan.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

namespace {

// Routines of a class, its fields and so on: the members the editor moves and deletes.
constexpr TCodeItems MemberKinds = {ckField, ckMethod, ckProperty, ckResClause};

} // namespace

// ---------------------------------------------------------------------------------------
// Adding

bool TKolvaEditor::AddField(TClassItem& Class) {
    TEdit edit(*this, false);
    TFieldItem field(nullptr);
    field.NameSpaceOwner = &Class;
    field.Name = field.UniqueName(Preferences().StateFieldPrefix() + "Field");
    field.Visibility = scPrivate;
    field.SetDataType(dtInteger);
    if (!field.Edit()) return false;
    if (Class.Kind() == ckObject && field.Visibility != scPrivate) field.Visibility = scDefault;
    ExpandClass(Class);
    field.StartColumn = MemberIndent(Class);
    InsertDeclaration(field, FieldPlacement(Class, field.Visibility));
    edit.Commit();
    return true;
}

bool TKolvaEditor::AddMethod(TClassItem& Class) {
    TEdit edit(*this, false);
    TMethodItem method(nullptr);
    method.NameSpaceOwner = &Class;
    method.Name = method.UniqueName("NewMethod");
    method.Visibility = Class.Kind() == ckClass ? scPublic : scDefault;
    if (IsInterfaceKind(Class)) method.CallConvention = Preferences().IntfCallConvention();
    if (!method.Edit()) return false;
    if (Class.Kind() != ckClass && method.Visibility != scPrivate) method.Visibility = scDefault;
    InsertMethod(Class, method);
    edit.Commit();
    return true;
}

void TKolvaEditor::InsertMethod(TClassItem& Class, TMethodItem& Method) {
    ExpandClass(Class);
    Method.StartColumn = MemberIndent(Class);
    InsertDeclaration(Method, MethodPlacement(Class, Method.Visibility));
    if (!Method.IsAbstract() && !IsInterfaceKind(Class)) AddMethodImplementation(Class, Method);
}

void TKolvaEditor::AddMethodImplementation(TClassItem& Class, TMethodItem& Method) {
    TEdit edit(*this, false);
    // A part of the model until the unit is parsed again, so that the next implementation
    // of the same operation goes after it.
    auto& impl = *new TMethodImplItem(&Explorer().Module());
    impl.AssignDeclaration(Method);
    impl.StartColumn = 0;
    impl.Directives = {};
    impl.CallConvention = ccDefault;
    impl.SetClass(Class);
    InsertImplementation(impl, ImplementationPlacement(Class));
    edit.Commit();
}

bool TKolvaEditor::AddResClause(TClassItem& Class) {
    TEdit edit(*this, false);
    TResClauseItem clause(nullptr);
    clause.NameSpaceOwner = &Class;
    clause.Visibility = scDefault;
    // Named after the first method of the first interface that the class does not map yet.
    std::string name = "IUnknown._AddRef";
    const TStringList interfaces = Class.Interfaces();
    if (interfaces.Count() > 0) {
        const std::string& intf = interfaces[0];
        name = intf + ".NotFound";
        TModuleItem& module = Explorer().Module();
        const int at = module.FindChild({ckInterface, ckDispInterface}, intf);
        if (at >= 0) {
            for (const TCodeItem* m : module.Child(at)->Children()) {
                if (m->Kind() != ckMethod ||
                    Class.FindChild(MemberKinds, intf + "." + m->Name) >= 0)
                    continue;
                name = intf + "." + m->Name;
                clause.ProcKind = static_cast<const TMethodItem*>(m)->ProcKind;
                break;
            }
        }
    }
    clause.Name = clause.UniqueName(name);
    if (!clause.Edit()) return false;
    ExpandClass(Class);
    clause.StartColumn = MemberIndent(Class);
    InsertDeclaration(clause, ResClausePlacement(Class, clause.Visibility));
    CheckImplementingMethod(Class, clause);
    edit.Commit();
    return true;
}

void TKolvaEditor::CheckImplementingMethod(TClassItem& Class, TResClauseItem& Clause) {
    const std::string& name = Clause.ImplementingName;
    if (name.empty() || Class.FindChild(MemberKinds, name) >= 0) return;
    if (!QuestionDlg(Format("Implementing method \"%s\" not found.\rCreate it?", name))) return;
    TMethodItem method(nullptr);
    method.NameSpaceOwner = &Class;
    method.Visibility = scPublic;
    if (const auto* declared = dynamic_cast<const TMethodItem*>(Clause.FindDeclaredMethod())) {
        method.Params = declared->Params;
        method.ProcKind = declared->ProcKind;
        method.SetDataType(declared->DataType());
        method.SetTypeName(declared->TypeName());
    }
    method.Name = name;
    if (!method.Edit()) return;
    InsertMethod(Class, method);
}

// ---------------------------------------------------------------------------------------
// Editing

bool TKolvaEditor::EditMember(TCodeItem& Item) {
    switch (Item.Kind()) {
    case ckProcedure:
        return EditProcedure(Item);
    case ckField:
        return EditField(static_cast<TFieldItem&>(Item));
    case ckMethod:
        return EditMethod(static_cast<TMethodItem&>(Item));
    case ckMethodImpl:
        return EditMethod(static_cast<TMethodItem&>(*TModuleExplorer::DeclarationOf(&Item)));
    case ckResClause:
        return EditResClause(static_cast<TResClauseItem&>(Item));
    case ckProperty:
        return EditProperty(static_cast<TPropertyItem&>(Item));
    default:
        NotImplemented("Editing this type");
    }
}

void TKolvaEditor::PlaceMember(TClassItem& Class, TCodeItem& Item, TVisibility V) {
    int line;
    switch (Item.Kind()) {
    case ckField:
        line = FieldPlacement(Class, V);
        break;
    case ckMethod:
        line = MethodPlacement(Class, V);
        break;
    case ckProperty:
        line = PropertyPlacement(Class, V);
        break;
    default:
        line = ResClausePlacement(Class, V);
        break;
    }
    InsertDeclaration(Item, line);
    Item.Visibility = V;
}

// Same section: rewritten in place; another section: taken out and placed anew.
void TKolvaEditor::RewriteOrMove(TClassItem& Class, TCodeItem& Item, const TCodeItem& Copy) {
    const TVisibility old = Item.Visibility;
    Item.AssignDeclaration(Copy);
    if (Copy.Visibility == old) {
        UpdateDeclaration(&Item);
        return;
    }
    Item.Visibility = old;
    MoveMember(Class, Item, Copy.Visibility);
}

void TKolvaEditor::MoveMember(TClassItem& Class, TCodeItem& Item, TVisibility V) {
    DeleteItem(Item);
    Item.StartLine = -1; // out of the text: placement must not count it
    PlaceMember(Class, Item, V);
}

bool TKolvaEditor::EditField(TFieldItem& Field) {
    TClassItem& cls = ClassOf(Field);
    if (IsComponent(Field))
        throw Exception(Format("Cannot edit Component %s\rOnly renaming is allowed.", Field.Name));
    TEdit edit(*this, false);
    TFieldItem copy(nullptr);
    copy.Assign(Field);
    copy.NameSpaceOwner = &cls;
    if (!copy.Edit()) return false;
    RewriteOrMove(cls, Field, copy);
    edit.Commit();
    return true;
}

bool TKolvaEditor::EditMethod(TMethodItem& Method) {
    TClassItem& cls = ClassOf(Method);
    const bool handler = IsEventHandler(Method);
    if (handler && Restricted(drEditMethod))
        throw Exception(
            Format("Cannot edit Event Handler method %s\rOnly renaming is allowed.", Method.Name));
    TEdit edit(*this, false);
    TMethodItem copy(nullptr);
    copy.Assign(Method);
    copy.NameSpaceOwner = &cls;
    if (!copy.Edit()) return false;
    if (handler && !SameText(copy.Name, Method.Name))
        Designer().RenameEventHandler(cls.Name, Method.Name, copy.Name);

    const bool needsImpl = !copy.IsAbstract() && !IsInterfaceKind(cls);
    TProcItem* impl = Method.ImplementationLink();
    if (impl && impl->StartLine >= 0) {
        if (!needsImpl && !BodyHasCode(*impl)) {
            DeleteItem(*impl);
        } else {
            if (!needsImpl) ShowWarning("Left code in non empty method");
            impl->AssignDeclaration(copy);
            UpdateDeclaration(impl);
        }
    } else if (needsImpl) {
        AddMethodImplementation(cls, copy);
    }
    RewriteOrMove(cls, Method, copy);
    edit.Commit();
    return true;
}

bool TKolvaEditor::EditResClause(TResClauseItem& Clause) {
    TClassItem& cls = ClassOf(Clause);
    TEdit edit(*this, false);
    TResClauseItem copy(nullptr);
    copy.Assign(Clause);
    copy.NameSpaceOwner = &cls;
    if (!copy.Edit()) return false;
    RewriteOrMove(cls, Clause, copy);
    CheckImplementingMethod(cls, Clause);
    edit.Commit();
    return true;
}

// ---------------------------------------------------------------------------------------
// Renaming and deleting

void TKolvaEditor::RenameMember(TCodeItem& Item, const std::string& NewName) {
    switch (Item.Kind()) {
    case ckProcedure:
        return RenameProcedures(Item, Item.Name, NewName);
    case ckMethodImpl:
        return RenameMember(*TModuleExplorer::DeclarationOf(&Item), NewName);
    case ckProperty:
        return RenameProperty(static_cast<TPropertyItem&>(Item), NewName);
    case ckField:
    case ckMethod:
    case ckResClause:
        break;
    default:
        NotImplemented("Renaming this type");
    }
    // One edit for the whole rename: closing it parses the unit again, after which no item
    // of the old model may be touched.
    TEdit edit(*this, false);
    if (IsComponent(Item)) {
        Designer().RenameComponent(ClassOf(Item).Name, Item.Name, NewName);
        return edit.Commit();
    }
    if (IsEventHandler(Item)) {
        Designer().RenameEventHandler(ClassOf(Item).Name, Item.Name, NewName);
        return edit.Commit();
    }
    if (Item.Kind() == ckMethod) {
        TProcItem* impl = static_cast<TMethodItem&>(Item).ImplementationLink();
        if (impl && impl->StartLine >= 0) {
            impl->Name = NewName;
            UpdateDeclaration(impl);
        }
    }
    Item.Name = NewName;
    UpdateDeclaration(&Item);
    edit.Commit();
}

bool TKolvaEditor::DeleteMember(TCodeItem& Item) {
    const TCodeItemKind kind = Item.Kind();
    if (kind != ckProcedure && kind != ckField && kind != ckMethod && kind != ckMethodImpl &&
        kind != ckResClause && kind != ckProperty)
        NotImplemented("Deleting this type");
    TCodeItem& target = kind == ckMethodImpl ? *TModuleExplorer::DeclarationOf(&Item) : Item;
    if (!ConfirmDelete(target)) return false;
    switch (target.Kind()) {
    case ckProcedure:
        DeleteProcedure(target);
        break;
    case ckField:
        DeleteField(static_cast<TFieldItem&>(target));
        break;
    case ckMethod:
        DeleteMethod(static_cast<TMethodItem&>(target));
        break;
    case ckProperty:
        DeleteProperty(static_cast<TPropertyItem&>(target));
        break;
    default: {
        TEdit edit(*this, false);
        DeleteItem(target);
        edit.Commit();
    }
    }
    return true;
}

void TKolvaEditor::DeleteField(TFieldItem& Field) {
    if (IsComponent(Field)) {
        if (Restricted(drDeleteComponent)) throw Exception("Deleting Components is blocked");
        // The source changes through the designer, which deletes the field with the component.
        Designer().DeleteComponent(ClassOf(Field).Name, Field.Name);
        return;
    }
    TEdit edit(*this, false);
    DeleteItem(Field);
    edit.Commit();
}

void TKolvaEditor::DeleteMethod(TMethodItem& Method) {
    const bool handler = IsEventHandler(Method);
    if (handler && Restricted(drDeleteMethod))
        throw Exception("Deleting Event Handlers is blocked");
    TEdit edit(*this, false);
    // The form forgets the events bound to it: it would name a method that no longer exists,
    // and fail to load.
    if (handler) Designer().DeleteEventHandler(ClassOf(Method).Name, Method.Name);
    if (TProcItem* impl = Method.ImplementationLink(); impl && impl->StartLine >= 0)
        DeleteItem(*impl);
    DeleteItem(Method);
    edit.Commit();
}

bool TKolvaEditor::ConfirmDelete(TCodeItem& Item) {
    if (IsComponent(Item)) {
        if (Restricted(drDeleteComponent)) {
            ShowError("Deleting Components is blocked");
            return false;
        }
        return ConfirmDlg(Format("Delete Component %s: %s?", Item.Name,
                                 static_cast<TFieldItem&>(Item).DataTypeText()));
    }
    if (IsEventHandler(Item)) {
        if (Restricted(drDeleteMethod)) {
            ShowError("Deleting Event Handlers is blocked");
            return false;
        }
        return ConfirmDlg(Format("Delete Event Handler %s?", Item.Name));
    }
    return TModuleEditor::ConfirmDelete(Item);
}

// ---------------------------------------------------------------------------------------
// Visibility and selections

void TKolvaEditor::ChangeVisibility(TCodeItem* Container, const TItemList& Items,
                                    TVisibility Visibility) {
    if (!Container || !IsClassKind(Container->Kind()) || !IsUnit())
        return TModuleEditor::ChangeVisibility(Container, Items, Visibility);
    auto& cls = static_cast<TClassItem&>(*Container);
    if (IsInterfaceKind(cls)) throw Exception("Cannot change visibility in interfaces");
    if (cls.Kind() == ckObject && Visibility > scPrivate)
        throw Exception(
            Format("%s visibility not allowed in object type", KeywordText(Visibility)));
    TItemList selection = Items;
    FilterDesignerItems(Restricted(drMethodVisibility) ? TCodeItems{ckField, ckMethod}
                                                       : TCodeItems{ckField},
                        selection);
    TEdit edit(*this, false);
    TItemList moving;
    for (TCodeItem* item : selection)
        if (MemberKinds.Contains(item->Kind()) && item->StartLine >= 0 &&
            item->Visibility != Visibility)
            moving.push_back(item);
    if (moving.empty()) throw Exception("No members left to change visibility");
    CheckFieldsStayAboveUse(cls, moving, Visibility);
    // Taken out of its conditional block, a member would be declared whatever the condition.
    for (const TCodeItem* item : moving)
        if (InsideConditional(Lines(), cls.StartLine, item->StartLine))
            throw Exception(Format("Cannot move %s out of its conditional block", item->Name));
    DeleteItems(moving);
    for (TCodeItem* item : moving)
        item->StartLine = -1;
    if (Visibility != scDefault) {
        bool hasKeyword = false;
        for (const TCodeItem* child : cls.Children())
            hasKeyword |= child->Kind() == ckVisibility && child->Visibility == Visibility &&
                          child->StartLine >= 0;
        if (!hasKeyword) CreateVisibilitySection(cls, Visibility);
    }
    for (TCodeItemKind kind : {ckResClause, ckField, ckMethod, ckProperty})
        for (TCodeItem* item : moving)
            if (item->Kind() == kind) PlaceMember(cls, *item, Visibility);
    edit.Commit();
}

// A property names fields and methods in its access clauses, and they must be declared
// before the property that names them.
void TKolvaEditor::CheckFieldsStayAboveUse(TClassItem& Class, const TItemList& Moving,
                                           TVisibility V) {
    // Where section V is, or would be made: its keyword, else the first member of a later
    // section, else the class's end.
    int target = Class.LastLine();
    for (const TCodeItem* child : Class.Children()) {
        if (child->StartLine < 0) continue;
        if (child->Kind() == ckVisibility && child->Visibility == V) {
            target = child->StartLine;
            break;
        }
        if (child->Visibility > V && child->StartLine < target) target = child->StartLine;
    }
    for (const TCodeItem* item : Moving) {
        if (item->Kind() != ckField && item->Kind() != ckMethod) continue;
        for (const TCodeItem* child : Class.Children()) {
            if (child->Kind() != ckProperty || child->StartLine < 0 || child->StartLine > target)
                continue;
            const auto& property = static_cast<const TPropertyItem&>(*child);
            for (const std::string& name :
                 {property.ReadSpec, property.WriteSpec, property.StoredSpec})
                if (SameText(name, item->Name))
                    throw Exception(Format("Cannot move %s below property %s, which uses it",
                                           item->Name, property.Name));
        }
    }
}

void TKolvaEditor::FilterDesignerItems(TCodeItems Kinds, TItemList& Items) {
    bool removed = false;
    for (size_t i = Items.size(); i-- > 0;) {
        const TCodeItem& item = *Items[i];
        const bool designerOwned = (Kinds.Contains(ckField) && IsComponent(item)) ||
                                   (Kinds.Contains(ckMethod) && IsEventHandler(item));
        if (!designerOwned) continue;
        Items.erase(Items.begin() + long(i));
        removed = true;
    }
    if (removed)
        ShowInformation(Format("Removed %s from selection", Kinds.Contains(ckMethod)
                                                                ? "Components and Event Handlers"
                                                                : "Components"));
    if (Items.empty()) Abort();
}

void TKolvaEditor::DesignerFilterForDelete(TItemList& Items) {
    FilterDesignerItems(
        Restricted(drDeleteMethod) ? TCodeItems{ckField, ckMethod} : TCodeItems{ckField}, Items);
}

void TKolvaEditor::CheckDelete(TCopyKind& Kind, TItemList& Items) {
    TModuleEditor::CheckDelete(Kind, Items);
    if (Kind == coClassCopy) {
        for (const TCodeItem* item : Items)
            if (IsClassKind(item->Kind()) && Designer().IsDesignerClass(item->Name))
                throw Exception(Format("Cannot delete designer class %s", item->Name));
    } else if (Kind == coMembersCopy) {
        AddPropertyLinks(Items);
        DesignerFilterForDelete(Items);
    }
}

void TKolvaEditor::PrepareDelete(TItemList& Items) {
    AddPropertyLinks(Items);
    DesignerFilterForDelete(Items);
}

void TKolvaEditor::DeleteSelection(TCopyKind Kind, TCodeItem* Container, const TItemList* Items) {
    if (Kind == coClassCopy) return DeleteClassCopy(Container, Items);
    TModuleEditor::DeleteSelection(Kind, Container, Items);
}

void TKolvaEditor::AddInterfaceToClass(TClassItem& Class, const std::string& InterfaceName) {
    if (Class.Kind() != ckClass) return;
    TEdit edit(*this, false);
    ExpandClass(Class);
    TStringList interfaces = Class.Interfaces();
    if (interfaces.IndexOf(InterfaceName) < 0) {
        interfaces.Add(InterfaceName);
        Class.SetInterfaces(interfaces);
        UpdateDeclaration(&Class);
    }
    edit.Commit();
}

} // namespace kolva
