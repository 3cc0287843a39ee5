// The editor of classes and their members: adding, editing, renaming and deleting fields,
// methods and method resolution clauses, moving members between visibility sections, and the
// rules that protect designer classes (forms whose components and event handlers the form
// designer owns).
//
// Only members of the unnamed default section can be components or event handlers; every
// designer check is skipped for members of any other visibility. Without a designer set, no
// class is a designer class.
#pragma once

#include "editing/EditInterfaces.h"
#include "editing/ModuleEditors.h"

namespace kolva {

class TKolvaEditor : public TModuleEditor {
public:
    TKolvaEditor(TModuleExplorer& Explorer, TEditSynchronizer* Synchronizer,
                 TDesignerInterface* Designer = nullptr);

    TDesignerInterface& Designer() { return FDesigner ? *FDesigner : FNoDesigner; }
    void SetDesigner(TDesignerInterface* Value) { FDesigner = Value; }
    /// The designer restrictions the operations obey; the options' default until set.
    TDesignerRestrictions DesignerRestrictions() const { return FRestrictions; }
    void SetDesignerRestrictions(TDesignerRestrictions Value) { FRestrictions = Value; }

    // --- Placement of members, all within one visibility section of a class.
    /// Where a new field of visibility V goes: after the last field, before the first
    /// method or property, after the last resolution clause, after the section's keyword, in
    /// a new section, or after the class heading.
    int FieldPlacement(TClassItem& Class, TVisibility V);
    int MethodPlacement(TClassItem& Class, TVisibility V);
    int PropertyPlacement(TClassItem& Class, TVisibility V);
    int ResClausePlacement(TClassItem& Class, TVisibility V);
    /// Where a new method implementation of Class goes: after the class's last method
    /// implementation, else after the last placed top-level item, within the implementation
    /// part.
    int ImplementationPlacement(TClassItem& Class);
    /// Inserts the keyword line of section V before the first member of a later section, or
    /// before the class's "end;". Null where no section can be made (default visibility,
    /// interfaces, classes declared elsewhere, objects except for private).
    TVisibilityItem* CreateVisibilitySection(TClassItem& Class, TVisibility V);
    /// Gives a class declared in the short form ("TFoo = class(TBar);") a body, and an empty
    /// body written on the heading's line a line of its own for its "end;".
    void ExpandClass(TClassItem& Class);
    /// The start column of a new member of Class.
    int MemberIndent(const TClassItem& Class) const;

    // --- Operations; each returns false when its dialog was cancelled.
    bool AddField(TClassItem& Class);
    bool AddMethod(TClassItem& Class);
    void AddMethodImplementation(TClassItem& Class, TMethodItem& Method);
    bool AddResClause(TClassItem& Class);
    /// Offers to create the method a resolution clause names when the class lacks it.
    void CheckImplementingMethod(TClassItem& Class, TResClauseItem& Clause);
    bool EditMember(TCodeItem& Item);
    bool EditField(TFieldItem& Field);
    bool EditMethod(TMethodItem& Method);
    bool EditResClause(TResClauseItem& Clause);
    /// Renames a member in place; components and event handlers are renamed by the designer.
    void RenameMember(TCodeItem& Item, const std::string& NewName);
    /// Asks ConfirmDelete, then deletes; false when the answer was no.
    bool DeleteMember(TCodeItem& Item);
    void DeleteField(TFieldItem& Field);
    void DeleteMethod(TMethodItem& Method);
    /// Adds an interface to the implemented interfaces of a class.
    void AddInterfaceToClass(TClassItem& Class, const std::string& InterfaceName);
    /// Drops the designer's components (and, with ckMethod in Kinds, event handlers) from
    /// Items, telling the user once; an emptied list ends the operation silently.
    void FilterDesignerItems(TCodeItems Kinds, TItemList& Items);

    /// A field of the default section that the designer knows as a component.
    bool IsComponent(const TCodeItem& Field);
    /// A method of the default section bound to an event in the designer.
    bool IsEventHandler(const TCodeItem& Method);

    // --- The refined operations of the module editor.
    void DeleteSelection(TCopyKind Kind, TCodeItem* Container, const TItemList* Items) override;
    void CheckDelete(TCopyKind& Kind, TItemList& Items) override;
    void PrepareDelete(TItemList& Items) override;
    void ChangeVisibility(TCodeItem* Container, const TItemList& Items,
                          TVisibility Visibility) override;
    bool ConfirmDelete(TCodeItem& Item) override;

private:
    void SplitOneLineBody(TClassItem& Class);
    /// Refuses to move a field or method into section V when a property above that section
    /// names it.
    void CheckFieldsStayAboveUse(TClassItem& Class, const TItemList& Moving, TVisibility V);
    /// Inserts Method's declaration and, unless it is abstract or Class is an interface,
    /// its implementation.
    void InsertMethod(TClassItem& Class, TMethodItem& Method);
    /// Moves Item (already taken out of the text) to the placement of its kind for V.
    void PlaceMember(TClassItem& Class, TCodeItem& Item, TVisibility V);
    void DesignerFilterForDelete(TItemList& Items);

    bool Restricted(TDesignerRestriction R) const { return FRestrictions.Contains(R); }

    TDesignerInterface* FDesigner;
    TDesignerInterface FNoDesigner;
    TDesignerRestrictions FRestrictions =
        TDesignerRestrictions::All() - TDesignerRestrictions{drHideMethods};
};

/// The class a member belongs to; raises when Item is not inside a class.
TClassItem& ClassOf(TCodeItem& Item);
/// Interfaces and dispinterfaces: no implementations, no visibility sections.
bool IsInterfaceKind(const TCodeItem& Item);

} // namespace kolva
