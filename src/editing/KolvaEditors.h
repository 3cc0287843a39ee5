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

class TPropertyLinks;

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
    // --- Properties with their access members (KolvaEditorProperties.cpp).
    /// Adds a property through the dialog, with the read method, write method and state
    /// field its links ask for.
    bool AddProperty(TClassItem& Class);
    /// Edits a property through the dialog on a copy; access members are generated,
    /// regenerated, renamed or deleted as the links before and after the dialog say.
    bool EditProperty(TPropertyItem& Property);
    /// Deletes a property with its access methods and state field; members that another
    /// property of the class names stay.
    void DeleteProperty(TPropertyItem& Property);
    /// Adds to Items the access methods and state fields of the properties in it.
    void AddPropertyLinks(TItemList& Items);
    /// Renames a property and the access members that carry its name.
    void RenameProperty(TPropertyItem& Property, const std::string& NewName);
    /// Converts Member into a member of TargetKind (ckField, ckMethod, ckProperty or
    /// ckProcedure). Container is the member's class; for a procedure made a method, the
    /// class that takes it; for a method or local procedure made a global one, the module or
    /// the method's class. A field or function becomes a property that uses it, a property
    /// a field or a method, a field and a function each other; a method or local procedure
    /// becomes a global procedure and a procedure a method, each with its body.
    void ConvertMember(TCodeItem& Container, TCodeItem& Member, TCodeItemKind TargetKind);
    /// The conversions involving properties, inside ConvertMember's edit. The field and
    /// the method stay (as state field and read method); the property is left detached
    /// from its members, for the caller to delete.
    void FieldToProperty(TClassItem& Class, TFieldItem& Field);
    void MethodToProperty(TClassItem& Class, TMethodItem& Method);
    void PropertyToField(TClassItem& Class, TPropertyItem& Property);
    void PropertyToMethod(TClassItem& Class, TPropertyItem& Property);

    /// Adds an interface to the implemented interfaces of a class.
    void AddInterfaceToClass(TClassItem& Class, const std::string& InterfaceName);
    /// Drops the designer's components (and, with ckMethod in Kinds, event handlers) from
    /// Items, telling the user once; an emptied list ends the operation silently.
    void FilterDesignerItems(TCodeItems Kinds, TItemList& Items);

    // --- Types of the unit (KolvaEditorClasses.cpp).
    /// Where a new type of Kind goes in the part V (scPublic the interface part, scPrivate
    /// the implementation part): after the last type of that kind, after the last type,
    /// before the first routine, after the uses clause, or at the part's edge.
    int ClassLine(TCodeItemKind Kind, TVisibility V);
    /// Whether a type put before Line of the part Part continues a type section there, so
    /// that it needs no "type" keyword of its own.
    bool TypeSectionOpenAt(int Line, TVisibility Part);
    /// Adds a class (0), interface (1), object type (2) or dispinterface (3) through the
    /// class dialog, named TDefault or IDefault (made unique); a class whose ancestor is a
    /// class of the unit lists the ancestor's interfaces too. False when cancelled.
    bool AddClass(int KindIndex, const std::string& AncestorName);
    /// Edits a type's heading through the dialog; a new name is carried to implementations
    /// and descendants as by RenameClass, and a new part moves the type's lines there.
    bool EditClass(TClassItem& Class);
    /// Renames a type with its implementations, its forward declarations, the ancestor names
    /// of its descendants and the interface lists naming it; the designer renames its own
    /// form class.
    void RenameClass(TClassItem& Class, const std::string& NewName);
    /// Deletes a type with its forward declarations and method implementations, and a
    /// "type" line left with nothing to declare.
    void DeleteClass(TClassItem& Class);
    /// Sets a type's ancestor; refuses an ancestor of the unit that is of another kind, is
    /// declared after the type or descends from it.
    void SetAncestor(TClassItem& Class, const std::string& AncestorName);
    /// The drops of one type on another in the contents tree, one per display mode: by code
    /// the type's lines move before or after the target (within one part of the unit); by
    /// name an interface joins a class's interfaces; in the hierarchy a type of the target's
    /// kind takes it as ancestor and an interface joins a class's interfaces. False when the
    /// drop is not taken.
    bool DropClassInCode(TClassItem& Dragged, TClassItem& Target);
    bool DropClassSorted(TClassItem& Dragged, TClassItem& Target);
    bool DropClassInHierarchy(TClassItem& Dragged, TClassItem& Target);

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
    /// Class copies (the class named by Container or the first class of Items, with its
    /// method implementations) and member copies (Items of the class Container, with the
    /// access members of their properties, under a class named TCodeTemplate or
    /// ICodeTemplate) are written here; the others as the module editor writes them.
    void WriteItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                    TTextStream& Stream) override;
    // --- Pasting classes and members (KolvaEditorPaste.cpp); contracts in ModuleEditors.h.
    void InsertClasses(TCodeItem& Module, TStringList& Text) override;
    void InsertMembers(TCodeItem& Class, TStringList& Text) override;
    void InsertMethodsAsProcedures(TCodeItem& Module, TStringList& Text) override;
    void InsertProceduresAsMethods(TCodeItem& Class, TStringList& Text,
                                   bool ProceduresOnly) override;

private:
    /// The class a class copy cut names (Container, or the first class of Items) deleted with
    /// its method implementations, and its "type" keyword when nothing else is left under it.
    void DeleteClassCopy(TCodeItem* Container, const TItemList* Items);
    void InsertClassImplementations(TClassItem& Class, TClassItem& Source, const TStringList& Lines,
                                    bool Renamed);
    /// Appends to the scratch the implementation of Method of Class: its heading written anew
    /// and Body's lines after its heading (dedented when asked), or a TODO body without Body.
    void WriteMethodBody(TClassItem& Class, TMethodItem& Method, const TProcItem* Body,
                         const TStringList& Lines, bool Dedent);
    void InsertMethodBodies(TClassItem& Class,
                            const std::vector<std::pair<TMethodItem*, TProcItem*>>& Bodies,
                            const TStringList& Lines, bool Dedent);
    void WriteClassCopy(TClassItem& Class, TTextStream& Stream);
    void WriteMembersCopy(TClassItem& Class, TItemList Items, TTextStream& Stream);
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
    /// Same section: Item takes Copy's declaration and is rewritten in place; another
    /// section: it is taken out and placed anew.
    void RewriteOrMove(TClassItem& Class, TCodeItem& Item, const TCodeItem& Copy);

    // Generation of access members from a property and its links; null when the class
    // has a member of that name already. Before is the placed property they must precede.
    TMethodItem* GenerateAccessMethod(TClassItem& Class, TPropertyItem& Property,
                                      const TPropertyLinks& Links, bool Write,
                                      const TPropertyItem& Before);
    TFieldItem* GenerateStateField(TClassItem& Class, TPropertyItem& Property,
                                   const TPropertyItem& Before);
    /// Gives an existing access method (and its implementation) the name and parameters
    /// generation would give it now.
    void RegenerateAccessMethod(TClassItem& Class, TMethodItem& Method, TPropertyItem& Property,
                                const TPropertyLinks& Links, bool Write);
    /// What EditProperty does to one access method, or to the state field.
    void EditAccessMethod(TClassItem& Class, TPropertyItem& Copy, const TPropertyLinks& Old,
                          const TPropertyLinks& New, bool Write);
    void EditStateField(TClassItem& Class, TPropertyItem& Copy, const TPropertyLinks& Old,
                        const TPropertyLinks& New);
    /// Where a member of visibility V generated for Before goes, Line unless that lies
    /// below Before in its own section.
    int AbovePlaced(int Line, TVisibility V, const TPropertyItem& Before) const;
    /// Moves a member (already renamed) into the placement of its kind for V.
    void MoveMember(TClassItem& Class, TCodeItem& Item, TVisibility V);

    bool Restricted(TDesignerRestriction R) const { return FRestrictions.Contains(R); }

    // Types and conversions (KolvaEditorClasses.cpp, KolvaEditorConversions.cpp).
    /// The form class of the designer set; without a designer no class is one.
    bool IsDesignerType(const TClassItem& Class) const;
    /// Carries a type's new name to its implementations, other declarations, descendants
    /// and the interface lists naming it.
    void RenameReferences(TClassItem& Class, const std::string& OldName,
                          const std::string& NewName);
    /// Moves a type's lines into the other part of the unit.
    void MoveClassToPart(TClassItem& Class, TVisibility Part);
    /// Deletes the lines of a type and the "type" line above it when nothing else is left
    /// to declare there.
    void DeleteTypeLines(TClassItem& Class);
    void MethodToField(TClassItem& Class, TMethodItem& Method);
    void FieldToMethod(TClassItem& Class, TFieldItem& Field);
    void MethodToProcedure(TClassItem& Class, TMethodItem& Method);
    void ProcedureToGlobal(TProcItem& Procedure);
    void ProcedureToMethod(TClassItem& Class, TProcItem& Procedure);

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
