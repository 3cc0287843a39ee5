// The code model: a tree of code items that mirrors the declarations of one Object Pascal
// unit. The parser builds it, the editing engine reads its positions and renders declaration
// text from it, the explorer shows it and the member dialogs edit single items.
//
// Positions are 0-based lines (and a 0-based start column); a start line of -1 means the
// item has no place in the source. A parent owns its children; freeing an item frees its
// children and takes it out of its parent. Routine links (declaration <-> implementation)
// point at each other and own nothing; freeing either side clears its partner's link.
#pragma once

#include "foundation/Editable.h"
#include "model/DataTyp.h"
#include "model/FWEngineDefs.h"
#include "platform/SmallPool.h"
#include "platform/StringList.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

class TModuleItem;

/// Editor numbers by which code items find their dialogs in the editor factory.
enum : uint16_t {
    edProcedure = 20,
    edClass = 21,
    edField = 22,
    edMethod = 23,
    edProperty = 24,
    edResClause = 25,
    edModule = 26
};

/// Whether routine display texts show their parameters (else "(...)"); true at start-up.
bool ShowParameters();
void SetShowParameters(bool Value);

class TCodeItem : public TEditable {
public:
    /// Appends the new item to Parent's children when a parent is given.
    TCodeItem(TCodeItem* Parent, TCodeItemKind Kind);
    ~TCodeItem() override;
    TCodeItem(const TCodeItem&) = delete;
    TCodeItem& operator=(const TCodeItem&) = delete;

    /// Items come from the small-object pool: every parse frees the previous model's items
    /// and makes the new model's, tens of thousands in a large unit.
    static void* operator new(size_t Size) { return SmallPoolAllocate(Size); }
    static void operator delete(void* Item, size_t Size) noexcept { SmallPoolRelease(Item, Size); }
    /// Construction in place stays available beside the pooled form.
    static void* operator new(size_t, void* Place) noexcept { return Place; }
    static void operator delete(void*, void*) noexcept {}

    TCodeItemKind Kind() const { return FKind; }
    TCodeItem* Parent() const { return FParent; }
    /// Moves the item to the end of NewParent's children; nothing when unchanged.
    void SetParent(TCodeItem* NewParent);
    /// The name space: the name-space owner when set, else the parent.
    TCodeItem* NameSpace() const { return NameSpaceOwner ? NameSpaceOwner : FParent; }

    int ChildCount() const { return static_cast<int>(FChildren.size()); }
    TCodeItem* Child(int Index) const { return FChildren.at(Index); }
    const std::vector<TCodeItem*>& Children() const { return FChildren; }
    /// Raises Exception "Recursion detected" when Item is this item or one of its
    /// ancestors; an item already present stays where it is.
    void AddChild(TCodeItem* Item);
    void RemoveChild(TCodeItem* Item);
    void SortChildren(const std::function<bool(const TCodeItem*, const TCodeItem*)>& Less);
    /// Frees every child.
    void ClearChildren();

    /// The nearest module item among this item and its ancestors (through the name-space
    /// owner for an item outside the tree).
    TModuleItem* ModuleOf();
    /// Index of the first child of one of the kinds whose name equals Name ignoring case;
    /// -1 when there is none.
    int FindChild(TCodeItems Kinds, std::string_view Name) const;
    /// The first item of the name space, other than this one, whose qualified name equals
    /// Name ignoring case.
    TCodeItem* FindInNameSpace(std::string_view Name) const;
    /// Base when the name space has no other item of that name; else Base without its
    /// trailing digits followed by 1, 2, 3 ... until free (Edit1 -> Edit2, Button -> Button1).
    std::string UniqueName(std::string_view Base) const;

    /// The largest of end line, declaration end line and start line.
    int LastLine() const;

    // The operations every kind of item refines.
    virtual std::string GetDeclaration() const;
    virtual std::string GetOwnerName() const;
    virtual std::string GetQualifiedName() const;
    /// Copies the declaration data of an item of the same family; positions, links and
    /// children stay.
    virtual void AssignDeclaration(const TCodeItem& Source);
    /// Raises "\"%s\" already exists" when another item of the name space has NewName;
    /// nothing when the name only changes case.
    virtual void CheckNameSpace(const std::string& OldName, const std::string& NewName);
    /// Raises when NewName is not a valid name for this kind of item.
    virtual void ValidateName(const std::string& OldName, const std::string& NewName);
    /// Moves every position at or after Line of this item (unless it is Changed) and of all
    /// its descendants up by Count.
    virtual void ShiftLinesDeleted(const TCodeItem* Changed, int Line, int Count);
    virtual void ShiftLinesInserted(const TCodeItem* Changed, int Line, int Count);
    virtual std::string GetDisplayText() const;
    /// From another code item: positions and implied flag, then everything
    /// AssignDeclaration copies. Any other source raises the conversion error.
    void Assign(const TPersistent& Source) override;

    /// ValidateName, then CheckNameSpace.
    void CheckNewName(const std::string& OldName, const std::string& NewName);

    bool Implied = false;
    int EndLine = 0;
    int DeclEndLine = 0;
    int StartColumn = 0;
    int StartLine = -1;
    std::string Name;
    TCodeItem* NameSpaceOwner = nullptr;
    TVisibility Visibility = scDefault;

protected:
    void SetKind(TCodeItemKind Kind) { FKind = Kind; }
    virtual void ShiftOwnLines(int Line, int Delta);

private:
    void Shift(const TCodeItem* Changed, int Line, int Delta);

    std::vector<TCodeItem*> FChildren;
    TCodeItem* FParent = nullptr;
    TCodeItemKind FKind;
};

class TModuleItem : public TCodeItem {
public:
    explicit TModuleItem(TCodeItem* Parent = nullptr) : TCodeItem(Parent, ckModule) {}
    uint16_t EditorID() const override { return edModule; }
};

class TUsesClause : public TCodeItem {
public:
    explicit TUsesClause(TCodeItem* Parent);
    void AddUnit(const std::string& UnitName) { Units.Add(UnitName); }
    /// scPublic or higher: the interface part's clause.
    bool IsInterfaceClause() const { return Visibility >= scPublic; }
    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;

    TStringList Units;
    /// The normalised text between "uses" and ";".
    std::string ClauseText;
};

class TFWTagData : public TCodeItem {
public:
    explicit TFWTagData(TCodeItem* Parent) : TCodeItem(Parent, ckFWTag) {}
};

class TVisibilityItem : public TCodeItem {
public:
    explicit TVisibilityItem(TCodeItem* Parent) : TCodeItem(Parent, ckVisibility) {}
    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;
};

/// A section inside a type that is not a visibility: "var", "class var", "threadvar",
/// "class threadvar", "const", "type" and, in Objective-C protocols, "optional" and
/// "required". The name is the section's words as they are written.
class TSectionItem : public TCodeItem {
public:
    explicit TSectionItem(TCodeItem* Parent) : TCodeItem(Parent, ckSection) {}
};

/// A type with members: a class, interface, object or dispinterface, a record with methods
/// (ckRecord) or a helper (ckHelper). A type declared inside another type is its child.
class TClassItem : public TCodeItem {
public:
    explicit TClassItem(TCodeItem* Parent, int ClassKindIndex = 0);
    uint16_t EditorID() const override { return edClass; }

    /// 0 class, 1 interface, 2 object, 3 dispinterface; setting it sets the kind.
    int ClassKindIndex() const { return Kind() - ckClass; }
    void SetClassKindIndex(int Index);
    /// Any kind for which IsTypeWithMembers holds.
    void SetTypeKind(TCodeItemKind Kind);
    /// For a class, the implemented interfaces; empty for other kinds.
    TStringList Interfaces() const;
    /// For a class only: joined with ", ", cleared by an empty list.
    void SetInterfaces(const TStringList& List);

    /// Renders the heading; a class or interface without ancestor takes TObject or IUnknown
    /// as its ancestor (stored) unless it is that very type, or the class is written with a
    /// keyword of its own (KindWord) or as external.
    std::string GetDeclaration() const override;
    /// The name with its type parameters.
    std::string GetDisplayText() const override;
    /// The class name of its method implementations: dotted for a type declared inside
    /// another ("TOuter.TInner").
    std::string ImplementationClassName() const;
    /// That name as an implementation heading writes it: with the type parameters of a
    /// Delphi generic, without their constraints ("TBox<T>"); a Free Pascal generic
    /// (declared with "generic") is qualified by its name alone.
    std::string ImplementationQualifier() const;
    void AssignDeclaration(const TCodeItem& Source) override;

    std::string Ancestor;
    /// For a class the implemented interfaces joined with ", ", for an interface its GUID
    /// as written.
    std::string InterfacesText;
    bool HasBody = true;
    bool DeclaredElsewhere = false;
    /// A generic type's parameters as written, angle brackets included ("<T>").
    std::string TypeParams;
    /// Written with the word "generic" before its name.
    bool GenericWord = false;
    bool Packed = false;
    /// "sealed" or "abstract" after the kind keyword.
    std::string Modifier;
    /// Declared "external": HasExternal, and what follows the word ("'java.lang' name 'X'").
    bool HasExternal = false;
    std::string ExternalText;
    /// The keyword as written where it is not the kind's own: "objcclass", "objcprotocol",
    /// "objccategory", "cppclass"; for a helper the word before "helper" ("class", "record",
    /// "type").
    std::string KindWord;
    /// For a helper, the type it helps.
    std::string HelperFor;
};

class TMemberItem : public TCodeItem {
public:
    TDataType DataType() const { return FDataType; }
    /// Leaves the type name.
    void SetDataType(TDataType Value) { FDataType = Value; }
    const std::string& TypeName() const { return FTypeName; }
    /// Ignored unless the data type is "Class" or "User defined".
    void SetTypeName(const std::string& Value);
    /// The type as source text: the stored name for "Class" and "User defined", else the
    /// predefined type's name.
    std::string DataTypeText() const;
    /// Trimmed; empty gives "Void", a predefined name its type, anything else "User
    /// defined" with the text kept as type name.
    void SetDataTypeText(std::string_view Text);

    /// Copies Hints too, but only from an item of the same kind: a declaration's directives
    /// do not belong on its implementation.
    void AssignDeclaration(const TCodeItem& Source) override;

    std::string DispID;
    /// Directives kept as written, each with its ";", rendered at the end of the
    /// declaration: for routines those the model has no field for ("inline; static;"), for
    /// fields and properties hint directives ("deprecated 'x';"). Few members have any, so
    /// the text is kept apart.
    const std::string& Hints() const;
    void SetHints(std::string Value);
    /// Appends one directive, given without its ";".
    void AddHint(std::string_view Directive);

protected:
    TMemberItem(TCodeItem* Parent, TCodeItemKind Kind, TDataType Type)
        : TCodeItem(Parent, Kind), FDataType(Type) {}

private:
    TDataType FDataType;
    std::string FTypeName;
    std::unique_ptr<std::string> FHints;
};

class TFieldItem : public TMemberItem {
public:
    explicit TFieldItem(TCodeItem* Parent) : TMemberItem(Parent, ckField, dtInteger) {}
    uint16_t EditorID() const override { return edField; }
    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;
    /// Each comma-separated part must be an identifier.
    void ValidateName(const std::string& OldName, const std::string& NewName) override;
    /// Each part is checked against the name space on its own.
    void CheckNameSpace(const std::string& OldName, const std::string& NewName) override;

private:
    std::string Declaration() const;
};

class TPropertyItem;

/// What the editing engine knows about a property's access members. The engine registers
/// the concrete class; a new object refreshes itself at once.
class TPropLinksData : public TObject {
public:
    TPropertyItem* Property() const { return FProperty; }
    virtual void Refresh() = 0;

protected:
    explicit TPropLinksData(TPropertyItem* Property) : FProperty(Property) {}

private:
    TPropertyItem* FProperty;
};

/// Builds the links object of a property; the factory stands in for a class reference.
using TPropLinksFactory = std::function<std::unique_ptr<TPropLinksData>(TPropertyItem*)>;
void SetPropLinksClass(TPropLinksFactory Factory);

enum TPropertyFlag : uint8_t {
    pfRedeclaration,
    pfHasParams,
    pfHasIndex,
    pfHasStored,
    pfDefaultArray,
    pfHasImplements,
    pfClassProperty
};
using TPropertyFlags = TSet<TPropertyFlag, pfClassProperty + 1>;

enum TPropDefaultKind : uint8_t { dkNone, dkDefault, dkNoDefault };

class TPropertyItem : public TMemberItem {
public:
    explicit TPropertyItem(TCodeItem* Parent) : TMemberItem(Parent, ckProperty, dtInteger) {}
    uint16_t EditorID() const override { return edProperty; }

    /// Created on first request through the registered links class; null while none is
    /// registered.
    TPropLinksData* Links();
    /// Frees the links object, so the next request builds a fresh one.
    void DropLinks();

    /// Parameters of the read access method: the index parameters and/or "Index: Integer".
    std::string ReadMethodParams() const;
    /// Parameters of the write access method, ending in ValueName and the property's type.
    std::string WriteMethodParams(bool Const, const std::string& ValueName) const;

    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;
    void AssignDeclaration(const TCodeItem& Source) override;

    std::string IndexParams;
    TPropDefaultKind DefaultKind = dkNone;
    std::string DefaultValue;
    std::string ImplementsText;
    std::string IndexExpr;
    TPropertyFlags Flags;
    std::string ReadSpec;
    std::string StoredSpec;
    std::string WriteSpec;
    /// Specifiers without a field of their own, as written ("readonly"), rendered before
    /// the ";".
    std::string ExtraSpecifiers;

private:
    std::unique_ptr<TPropLinksData> FLinks;
};

class TResClauseItem : public TMemberItem {
public:
    explicit TResClauseItem(TCodeItem* Parent) : TMemberItem(Parent, ckResClause, dtInteger) {}
    uint16_t EditorID() const override { return edResClause; }

    /// The part of the name before the first "." and the part after it.
    std::string InterfacePart() const;
    std::string MethodPart() const;
    void SetInterfacePart(const std::string& Value);
    void SetMethodPart(const std::string& Value);
    /// The module's interface or dispinterface named by the interface part.
    TClassItem* FindInterface();
    /// That interface's method named by the method part.
    TCodeItem* FindDeclaredMethod();

    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;
    void AssignDeclaration(const TCodeItem& Source) override;
    /// "Interface.Method" with both parts identifiers.
    void ValidateName(const std::string& OldName, const std::string& NewName) override;

    std::string ImplementingName;
    TProcKind ProcKind = pkProcedure;
};

class TProcItem : public TMemberItem {
public:
    ~TProcItem() override;

    /// Read from the directives: override, virtual, dynamic, message, else static.
    TBindingKind Binding() const;
    void SetBinding(TBindingKind Value);
    bool IsAbstract() const { return Directives.Contains(pdAbstract); }
    /// Setting abstract makes a static or message routine virtual.
    void SetAbstract(bool Value);

    TProcItem* DeclarationLink() const { return FDeclarationLink; }
    TProcItem* ImplementationLink() const { return FImplementationLink; }
    /// Links Declaration and Implementation to each other, unlinking former partners.
    static void Link(TProcItem* Declaration, TProcItem* Implementation);
    void Unlink();

    std::string GetDisplayText() const override;
    void AssignDeclaration(const TCodeItem& Source) override;
    void Assign(const TPersistent& Source) override;
    /// A routine of the same name asks whether to go on; anything else already exists.
    void CheckNameSpace(const std::string& OldName, const std::string& NewName) override;

    int BodyStartLine = 0;
    TCallConvention CallConvention = ccDefault;
    TProcDirectives Directives;
    std::string ExternalText;
    TProcKind ProcKind = pkProcedure;
    /// The parameter list without its parentheses.
    std::string Params;
    /// A generic routine's type parameters as written ("<T>").
    const std::string& TypeParams() const;
    void SetTypeParams(std::string Value);
    /// An operator's named result ("operator +(A, B: T) R: T").
    const std::string& ResultName() const;
    void SetResultName(std::string Value);
    /// Written with the word "generic" before it.
    bool GenericWord = false;
    /// An implementation heading written without the parameters and result that its
    /// declaration gives ("function TFoo.Get;"); it is rendered short again. Copied only
    /// between items of the same kind.
    bool ShortHeading = false;

protected:
    TProcItem(TCodeItem* Parent, TCodeItemKind Kind) : TMemberItem(Parent, Kind, dtVoid) {}
    void ShiftOwnLines(int Line, int Delta) override;
    /// Kind word, name, parameters and result type, without the ";"; Short leaves out the
    /// parameters and result.
    std::string Heading(const std::string& Qualifier, bool Short) const;
    /// The hints with a blank before them, or nothing.
    std::string HintsText() const;
    /// The directive tail shared by procedures and method declarations.
    std::string CallConventionText() const;

    // Texts that few routines have, kept apart so that the others stay small: a large unit
    // has tens of thousands of routines.
    struct TExtra {
        std::string TypeParams;
        std::string ResultName;
        std::string QualifierText;
    };
    const TExtra* Extra() const { return FExtra.get(); }
    TExtra& MakeExtra();

private:
    TProcItem* FDeclarationLink = nullptr;
    TProcItem* FImplementationLink = nullptr;
    std::unique_ptr<TExtra> FExtra;
};

class TProcData : public TProcItem {
public:
    explicit TProcData(TCodeItem* Parent) : TProcItem(Parent, ckProcedure) {}
    uint16_t EditorID() const override { return edProcedure; }
    std::string GetDeclaration() const override;
    void AssignDeclaration(const TCodeItem& Source) override;

    bool InInterface = false;
    bool InterfaceCapable = false;
};

class TMethodItem : public TProcItem {
public:
    explicit TMethodItem(TCodeItem* Parent) : TProcItem(Parent, ckMethod) {}
    uint16_t EditorID() const override { return edMethod; }
    std::string GetDeclaration() const override;
    std::string GetDisplayText() const override;
    void AssignDeclaration(const TCodeItem& Source) override;

    bool ClassMethod = false;
    bool ImpliedDeclaration = false;

protected:
    TMethodItem(TCodeItem* Parent, TCodeItemKind Kind) : TProcItem(Parent, Kind) {}
};

class TMethodImplItem : public TMethodItem {
public:
    explicit TMethodImplItem(TCodeItem* Parent) : TMethodItem(Parent, ckMethodImpl) {}
    std::string GetDeclaration() const override;
    std::string GetOwnerName() const override { return ClassName; }
    std::string GetQualifiedName() const override { return ClassName + "." + Name; }
    /// Makes this an implementation of a method of Class: its class name and qualifier.
    void SetClass(const TClassItem& Class);

    /// The class's name, dotted for a nested type ("TOuter.TInner"), without type
    /// parameters.
    std::string ClassName;
    /// The qualifier as written when it carries type parameters ("TBox<T>"); empty
    /// otherwise.
    const std::string& QualifierText() const;
    void SetQualifierText(std::string Value);

private:
    std::string Qualifier() const;
};

} // namespace kolva
