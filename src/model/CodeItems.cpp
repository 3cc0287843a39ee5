#include "model/CodeItems.h"

#include "foundation/FWStrUtils.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

namespace {
bool GShowParameters = true;
TPropLinksFactory& PropLinksFactory() {
    static TPropLinksFactory factory;
    return factory;
}
} // namespace

bool ShowParameters() {
    return GShowParameters;
}
void SetShowParameters(bool Value) {
    GShowParameters = Value;
}
void SetPropLinksClass(TPropLinksFactory Factory) {
    PropLinksFactory() = std::move(Factory);
}

namespace {

// The comma-separated parts of a field name list, trimmed; empty parts are kept.
std::vector<std::string> FieldNameParts(const std::string& Names) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = Names.find(',', start);
        parts.push_back(Trim(std::string_view(Names).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

// An item answers to its qualified name; a field also to each name of its list, since
// "A, B: Integer" declares B as much as "B: Integer" does.
bool AnswersTo(const TCodeItem& Item, std::string_view Name) {
    if (SameText(Item.GetQualifiedName(), Name)) return true;
    if (Item.Kind() != ckField || Item.Name.find(',') == std::string::npos) return false;
    for (const std::string& part : FieldNameParts(Item.Name))
        if (SameText(part, Name)) return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The tree

TCodeItem::TCodeItem(TCodeItem* Parent, TCodeItemKind Kind) : FKind(Kind) {
    if (Parent) Parent->AddChild(this);
}

TCodeItem::~TCodeItem() {
    ClearChildren();
    if (FParent) FParent->RemoveChild(this);
}

void TCodeItem::ClearChildren() {
    // Detached first, so no child searches this list on its way out; freed last first.
    std::vector<TCodeItem*> children;
    children.swap(FChildren);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        (*it)->FParent = nullptr;
        delete *it;
    }
    // The list keeps its room: the module is cleared and filled again on every parse.
    if (FChildren.empty()) {
        children.clear();
        FChildren.swap(children);
    }
}

void TCodeItem::SetParent(TCodeItem* NewParent) {
    if (NewParent == FParent) return;
    if (NewParent) {
        NewParent->AddChild(this);
    } else {
        FParent->RemoveChild(this);
    }
}

void TCodeItem::AddChild(TCodeItem* Item) {
    // Only an item with children can be an ancestor of another: a new item (every item the
    // parser adds) skips the walk, which would make a deeply nested unit quadratic.
    if (Item == this || !Item->FChildren.empty())
        for (const TCodeItem* p = this; p; p = p->FParent)
            if (p == Item) throw Exception("Recursion detected");
    if (Item->FParent == this) return;
    if (Item->FParent) Item->FParent->RemoveChild(Item);
    FChildren.push_back(Item);
    Item->FParent = this;
}

void TCodeItem::RemoveChild(TCodeItem* Item) {
    // From the back: the child removed is most often one of the last added.
    const auto it = std::find(FChildren.rbegin(), FChildren.rend(), Item);
    if (it == FChildren.rend()) return;
    FChildren.erase(std::next(it).base());
    Item->FParent = nullptr;
    if (FChildren.empty()) FChildren.shrink_to_fit();
}

void TCodeItem::SortChildren(const std::function<bool(const TCodeItem*, const TCodeItem*)>& Less) {
    if (FChildren.size() >= 2) std::stable_sort(FChildren.begin(), FChildren.end(), Less);
}

TModuleItem* TCodeItem::ModuleOf() {
    // A working copy outside the tree belongs where its name space does.
    for (TCodeItem* p = this; p; p = p->FParent ? p->FParent : p->NameSpaceOwner)
        if (p->FKind == ckModule) return static_cast<TModuleItem*>(p);
    return nullptr;
}

int TCodeItem::FindChild(TCodeItems Kinds, std::string_view Name) const {
    for (size_t i = 0; i < FChildren.size(); ++i)
        if (Kinds.Contains(FChildren[i]->FKind) && SameText(FChildren[i]->Name, Name))
            return static_cast<int>(i);
    return -1;
}

TCodeItem* TCodeItem::FindInNameSpace(std::string_view Name) const {
    const TCodeItem* space = NameSpace();
    if (!space) return nullptr;
    for (TCodeItem* item : space->FChildren)
        if (item != this && AnswersTo(*item, Name)) return item;
    return nullptr;
}

std::string TCodeItem::UniqueName(std::string_view Base) const {
    if (!FindInNameSpace(Base)) return std::string(Base);
    std::string stem;
    int ignored;
    SplitTrailingNumber(Base, stem, ignored);
    for (int n = 1;; ++n) {
        std::string candidate = stem + IntToStr(n);
        if (!FindInNameSpace(candidate)) return candidate;
    }
}

int TCodeItem::LastLine() const {
    return std::max({EndLine, DeclEndLine, StartLine});
}

// ---------------------------------------------------------------------------------------
// Names

std::string TCodeItem::GetOwnerName() const {
    return FParent ? FParent->Name : std::string();
}
std::string TCodeItem::GetQualifiedName() const {
    return Name;
}

void TCodeItem::ValidateName(const std::string&, const std::string& NewName) {
    if (!IsValidIdent(NewName))
        throw Exception(Format("\"%s\" is not a valid identifier", NewName));
}

void TCodeItem::CheckNameSpace(const std::string& OldName, const std::string& NewName) {
    if (SameText(OldName, NewName)) return;
    if (FindInNameSpace(NewName)) throw Exception(Format("\"%s\" already exists", NewName));
}

void TCodeItem::CheckNewName(const std::string& OldName, const std::string& NewName) {
    ValidateName(OldName, NewName);
    CheckNameSpace(OldName, NewName);
}

void TFieldItem::ValidateName(const std::string&, const std::string& NewName) {
    // An empty part ("A,,B") would be written as source that does not compile.
    for (const std::string& part : FieldNameParts(NewName)) {
        if (part.empty())
            throw Exception(Format("\"%s\" is not a valid field name identifier", NewName));
        if (!IsValidIdent(part))
            throw Exception(Format("\"%s\" is not a valid field name identifier", part));
    }
}

void TFieldItem::CheckNameSpace(const std::string& OldName, const std::string& NewName) {
    if (SameText(OldName, NewName)) return;
    // A name the field declares already is no clash.
    const std::vector<std::string> own = FieldNameParts(OldName);
    for (const std::string& part : FieldNameParts(NewName)) {
        const bool kept = std::any_of(own.begin(), own.end(),
                                      [&](const std::string& o) { return SameText(o, part); });
        if (!kept) TCodeItem::CheckNameSpace(OldName, part);
    }
}

void TResClauseItem::ValidateName(const std::string&, const std::string& NewName) {
    const size_t dot = NewName.find('.');
    if (dot == std::string::npos || !IsValidIdent(NewName.substr(0, dot)) ||
        !IsValidIdent(NewName.substr(dot + 1)))
        throw Exception(Format("\"%s\" is not a valid interface method name", NewName));
}

void TProcItem::CheckNameSpace(const std::string& OldName, const std::string& NewName) {
    if (SameText(OldName, NewName)) return;
    const TCodeItem* found = FindInNameSpace(NewName);
    if (!found) return;
    if (!dynamic_cast<const TProcItem*>(found))
        throw Exception(Format("\"%s\" already exists", NewName));
    if (!WarningOkCancel(
            Format("A procedure named %s already exists in this name space. Continue?", NewName)))
        Abort();
}

// ---------------------------------------------------------------------------------------
// Line shifting

void TCodeItem::ShiftOwnLines(int Line, int Delta) {
    if (StartLine >= Line) StartLine += Delta;
    if (DeclEndLine >= Line) DeclEndLine += Delta;
    if (EndLine >= Line) EndLine += Delta;
}

void TProcItem::ShiftOwnLines(int Line, int Delta) {
    TCodeItem::ShiftOwnLines(Line, Delta);
    if (BodyStartLine >= Line) BodyStartLine += Delta;
}

void TCodeItem::Shift(const TCodeItem* Changed, int Line, int Delta) {
    if (this != Changed) ShiftOwnLines(Line, Delta);
    for (TCodeItem* child : FChildren)
        child->Shift(Changed, Line, Delta);
}

void TCodeItem::ShiftLinesDeleted(const TCodeItem* Changed, int Line, int Count) {
    Shift(Changed, Line, -Count);
}

void TCodeItem::ShiftLinesInserted(const TCodeItem* Changed, int Line, int Count) {
    Shift(Changed, Line, Count);
}

// ---------------------------------------------------------------------------------------
// Copying declaration data

void TCodeItem::AssignDeclaration(const TCodeItem& Source) {
    Name = Source.Name;
    Visibility = Source.Visibility;
}

void TCodeItem::Assign(const TPersistent& Source) {
    const auto* item = dynamic_cast<const TCodeItem*>(&Source);
    if (!item) return TEditable::Assign(Source);
    Implied = item->Implied;
    StartColumn = item->StartColumn;
    DeclEndLine = item->DeclEndLine;
    EndLine = item->EndLine;
    StartLine = item->StartLine;
    AssignDeclaration(*item);
}

void TClassItem::AssignDeclaration(const TCodeItem& Source) {
    TCodeItem::AssignDeclaration(Source);
    if (const auto* c = dynamic_cast<const TClassItem*>(&Source)) {
        SetTypeKind(c->Kind());
        Ancestor = c->Ancestor;
        InterfacesText = c->InterfacesText;
        TypeParams = c->TypeParams;
        GenericWord = c->GenericWord;
        Packed = c->Packed;
        Modifier = c->Modifier;
        HasExternal = c->HasExternal;
        ExternalText = c->ExternalText;
        KindWord = c->KindWord;
        HelperFor = c->HelperFor;
    }
}

void TMemberItem::AssignDeclaration(const TCodeItem& Source) {
    TCodeItem::AssignDeclaration(Source);
    if (const auto* m = dynamic_cast<const TMemberItem*>(&Source)) {
        FDataType = m->FDataType;
        FTypeName = m->FTypeName;
        DispID = m->DispID;
        if (m->Kind() == Kind()) SetHints(m->Hints());
    }
}

void TPropertyItem::AssignDeclaration(const TCodeItem& Source) {
    TMemberItem::AssignDeclaration(Source);
    if (const auto* p = dynamic_cast<const TPropertyItem*>(&Source)) {
        IndexParams = p->IndexParams;
        DefaultKind = p->DefaultKind;
        DefaultValue = p->DefaultValue;
        ImplementsText = p->ImplementsText;
        IndexExpr = p->IndexExpr;
        Flags = p->Flags;
        ReadSpec = p->ReadSpec;
        StoredSpec = p->StoredSpec;
        WriteSpec = p->WriteSpec;
        ExtraSpecifiers = p->ExtraSpecifiers;
    }
}

void TResClauseItem::AssignDeclaration(const TCodeItem& Source) {
    TMemberItem::AssignDeclaration(Source);
    if (const auto* r = dynamic_cast<const TResClauseItem*>(&Source)) {
        ImplementingName = r->ImplementingName;
        ProcKind = r->ProcKind;
    }
}

void TProcItem::AssignDeclaration(const TCodeItem& Source) {
    TMemberItem::AssignDeclaration(Source);
    if (const auto* p = dynamic_cast<const TProcItem*>(&Source)) {
        CallConvention = p->CallConvention;
        Directives = p->Directives;
        ProcKind = p->ProcKind;
        Params = p->Params;
        ExternalText = p->ExternalText;
        SetTypeParams(p->TypeParams());
        GenericWord = p->GenericWord;
        SetResultName(p->ResultName());
        if (p->Kind() == Kind()) ShortHeading = p->ShortHeading;
    }
}

void TProcItem::Assign(const TPersistent& Source) {
    TCodeItem::Assign(Source);
    if (const auto* p = dynamic_cast<const TProcItem*>(&Source))
        BodyStartLine = std::max({p->BodyStartLine, p->DeclEndLine, p->StartLine});
}

void TProcData::AssignDeclaration(const TCodeItem& Source) {
    TProcItem::AssignDeclaration(Source);
    if (const auto* p = dynamic_cast<const TProcData*>(&Source)) {
        InInterface = p->InInterface;
        InterfaceCapable = p->InterfaceCapable;
    }
}

void TMethodItem::AssignDeclaration(const TCodeItem& Source) {
    TProcItem::AssignDeclaration(Source);
    if (const auto* m = dynamic_cast<const TMethodItem*>(&Source)) ClassMethod = m->ClassMethod;
}

// ---------------------------------------------------------------------------------------
// Kind-specific state

TUsesClause::TUsesClause(TCodeItem* Parent) : TCodeItem(Parent, ckUses) {
    Visibility = scPublic;
}

TClassItem::TClassItem(TCodeItem* Parent, int ClassKindIndex) : TCodeItem(Parent, ckClass) {
    Visibility = scPublic;
    SetClassKindIndex(ClassKindIndex);
}

void TClassItem::SetClassKindIndex(int Index) {
    SetKind(static_cast<TCodeItemKind>(ckClass + std::clamp(Index, 0, 3)));
}

void TClassItem::SetTypeKind(TCodeItemKind Kind) {
    if (IsTypeWithMembers(Kind)) SetKind(Kind);
}

TStringList TClassItem::Interfaces() const {
    TStringList list;
    if (Kind() != ckClass) return list;
    for (const std::string& name : FieldNameParts(InterfacesText))
        if (!name.empty()) list.Add(name);
    return list;
}

void TClassItem::SetInterfaces(const TStringList& List) {
    if (Kind() != ckClass) return;
    InterfacesText.clear();
    for (int i = 0; i < List.Count(); ++i) {
        if (i > 0) InterfacesText += ", ";
        InterfacesText += List[i];
    }
}

void TMemberItem::SetTypeName(const std::string& Value) {
    if (FDataType == dtClass || FDataType == dtUserDefined) FTypeName = Value;
}

std::string TMemberItem::DataTypeText() const {
    if (FDataType == dtClass || FDataType == dtUserDefined) return FTypeName;
    return DataTypeName(FDataType);
}

void TMemberItem::SetDataTypeText(std::string_view Text) {
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) < 33)
        Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) < 33)
        Text.remove_suffix(1);
    if (Text.empty()) {
        FDataType = dtVoid;
        return;
    }
    FDataType = DataTypeOf(Text);
    if (FDataType == dtUserDefined) FTypeName.assign(Text);
}

TPropLinksData* TPropertyItem::Links() {
    if (!FLinks && PropLinksFactory()) {
        FLinks = PropLinksFactory()(this);
        if (FLinks) FLinks->Refresh();
    }
    return FLinks.get();
}

void TPropertyItem::DropLinks() {
    // Moved out first: freeing the links may ask the property for them again.
    std::unique_ptr<TPropLinksData> links = std::move(FLinks);
}

std::string TResClauseItem::InterfacePart() const {
    return Name.substr(0, Name.find('.'));
}

std::string TResClauseItem::MethodPart() const {
    const size_t dot = Name.find('.');
    return dot == std::string::npos ? std::string() : Name.substr(dot + 1);
}

void TResClauseItem::SetInterfacePart(const std::string& Value) {
    Name = Value + "." + MethodPart();
}

void TResClauseItem::SetMethodPart(const std::string& Value) {
    Name = InterfacePart() + "." + Value;
}

TClassItem* TResClauseItem::FindInterface() {
    TModuleItem* module = ModuleOf();
    if (!module) return nullptr;
    const int i = module->FindChild({ckInterface, ckDispInterface}, InterfacePart());
    return i < 0 ? nullptr : static_cast<TClassItem*>(module->Child(i));
}

TCodeItem* TResClauseItem::FindDeclaredMethod() {
    TClassItem* intf = FindInterface();
    if (!intf) return nullptr;
    const int i = intf->FindChild({ckMethod}, MethodPart());
    return i < 0 ? nullptr : intf->Child(i);
}

// ---------------------------------------------------------------------------------------
// Routines: rare texts

namespace {
const std::string& NoText() {
    static const std::string empty;
    return empty;
}
} // namespace

const std::string& TMemberItem::Hints() const {
    return FHints ? *FHints : NoText();
}

void TMemberItem::SetHints(std::string Value) {
    if (FHints)
        *FHints = std::move(Value);
    else if (!Value.empty())
        FHints = std::make_unique<std::string>(std::move(Value));
}

void TMemberItem::AddHint(std::string_view Directive) {
    std::string text = Hints();
    if (!text.empty()) text += ' ';
    text += Directive;
    text += ';';
    SetHints(std::move(text));
}

TProcItem::TExtra& TProcItem::MakeExtra() {
    if (!FExtra) FExtra = std::make_unique<TExtra>();
    return *FExtra;
}

const std::string& TProcItem::TypeParams() const {
    return FExtra ? FExtra->TypeParams : NoText();
}
void TProcItem::SetTypeParams(std::string Value) {
    if (FExtra || !Value.empty()) MakeExtra().TypeParams = std::move(Value);
}
const std::string& TProcItem::ResultName() const {
    return FExtra ? FExtra->ResultName : NoText();
}
void TProcItem::SetResultName(std::string Value) {
    if (FExtra || !Value.empty()) MakeExtra().ResultName = std::move(Value);
}
const std::string& TMethodImplItem::QualifierText() const {
    return Extra() ? Extra()->QualifierText : NoText();
}
void TMethodImplItem::SetQualifierText(std::string Value) {
    if (Extra() || !Value.empty()) MakeExtra().QualifierText = std::move(Value);
}

// ---------------------------------------------------------------------------------------
// Routines: binding and links

TProcItem::~TProcItem() {
    Unlink();
}

TBindingKind TProcItem::Binding() const {
    if (Directives.Contains(pdOverride)) return bkOverride;
    if (Directives.Contains(pdVirtual)) return bkVirtual;
    if (Directives.Contains(pdDynamic)) return bkDynamic;
    if (Directives.Contains(pdMessage)) return bkMessage;
    return bkStatic;
}

void TProcItem::SetBinding(TBindingKind Value) {
    Directives = Directives - TProcDirectives{pdVirtual, pdDynamic, pdMessage, pdOverride};
    switch (Value) {
    case bkVirtual:
        Directives.Include(pdVirtual);
        break;
    case bkAbstract:
        Directives.Include(pdVirtual).Include(pdAbstract);
        break;
    case bkOverride:
        Directives.Include(pdOverride);
        break;
    case bkDynamic:
        Directives.Include(pdDynamic);
        break;
    case bkMessage:
        Directives.Include(pdMessage);
        break;
    case bkStatic:
        break;
    }
    if (Value == bkStatic || Value == bkMessage) Directives.Exclude(pdAbstract);
}

void TProcItem::SetAbstract(bool Value) {
    if (!Value) {
        Directives.Exclude(pdAbstract);
        return;
    }
    Directives.Include(pdAbstract);
    const TBindingKind binding = Binding();
    if (binding == bkStatic || binding == bkMessage) SetBinding(bkVirtual);
}

void TProcItem::Link(TProcItem* Declaration, TProcItem* Implementation) {
    if (Declaration->FImplementationLink)
        Declaration->FImplementationLink->FDeclarationLink = nullptr;
    if (Implementation->FDeclarationLink)
        Implementation->FDeclarationLink->FImplementationLink = nullptr;
    Declaration->FImplementationLink = Implementation;
    Implementation->FDeclarationLink = Declaration;
}

void TProcItem::Unlink() {
    if (FDeclarationLink) FDeclarationLink->FImplementationLink = nullptr;
    if (FImplementationLink) FImplementationLink->FDeclarationLink = nullptr;
    FDeclarationLink = FImplementationLink = nullptr;
}

} // namespace kolva
