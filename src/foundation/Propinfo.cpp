#include "foundation/Propinfo.h"

#include "platform/Registry.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace kolva {

namespace {
constexpr const char* BooleanNames[] = {"False", "True"};
} // namespace

constinit const TTypeInfo BooleanTypeInfo = EnumTypeInfo("Boolean", BooleanNames);
constinit const TTypeInfo IntegerTypeInfo{TTypeKind::tkInteger, "Integer"};
constinit const TTypeInfo Int64TypeInfo{TTypeKind::tkInt64, "Int64"};
constinit const TTypeInfo CharTypeInfo{TTypeKind::tkChar, "Char"};
constinit const TTypeInfo DoubleTypeInfo{TTypeKind::tkFloat, "Double"};
constinit const TTypeInfo StringTypeInfo{TTypeKind::tkLString, "string"};
constinit const TTypeInfo ObjectTypeInfo{TTypeKind::tkClass, "TObject"};
constinit const TTypeInfo MethodTypeInfo{TTypeKind::tkMethod, "TMethod"};

// ---------------------------------------------------------------------------------------
// Tables

namespace detail {

TRepr ReprOf(TTypeKind Kind) {
    switch (Kind) {
    case TTypeKind::tkFloat:
        return TRepr::Float;
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
        return TRepr::Text;
    case TTypeKind::tkClass:
        return TRepr::Object;
    default:
        return TRepr::Ordinal;
    }
}

// A table whose declared type disagrees with its accessors would read the wrong member of
// a value; the check runs when the table is built, so the first use of the class shows it.
void CheckPropType(const char* Name, const TTypeInfo* Type, TRepr Repr) {
    if (!Type) throw EObjectAccessError(Format("Property %s has no type", Name));
    if (ReprOf(Type->Kind) != Repr)
        throw EObjectAccessError(Format("Type %s does not fit property %s", Type->Name, Name));
}

} // namespace detail

TPropTable::TPropTable(const char* AClassName, const char* AUnitName, const TPropTable* AParent,
                       std::initializer_list<TPropInfo> AProps)
    : ClassName(AClassName), UnitName(AUnitName), Parent(AParent), Props(AProps),
      FFirstIndex(AParent ? AParent->Count() : 0) {
    for (size_t i = 0; i < Props.size(); ++i)
        Props[i].Index = FFirstIndex + static_cast<int>(i);
}

std::vector<const TPropInfo*> TPropTable::AllProps() const {
    std::vector<const TPropInfo*> props =
        Parent ? Parent->AllProps() : std::vector<const TPropInfo*>{};
    for (const TPropInfo& p : Props)
        props.push_back(&p);
    return props;
}

const TPropTable* PropTableOf(const TObject& Obj) {
    const auto* published = dynamic_cast<const IPublished*>(&Obj);
    return published ? &published->PublishedProps() : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject& Obj, TTypeKinds Kinds) {
    std::vector<const TPropInfo*> list;
    if (const TPropTable* table = PropTableOf(Obj))
        for (const TPropInfo* p : table->AllProps())
            if (Kinds.Contains(p->Kind())) list.push_back(p);
    std::stable_sort(list.begin(), list.end(), [](const TPropInfo* A, const TPropInfo* B) {
        return CompareText(A->Name, B->Name) < 0;
    });
    return list;
}

namespace {
std::vector<TPublishedClass>& PublishedClassList() {
    static std::vector<TPublishedClass> list;
    return list;
}
} // namespace

void RegisterPublishedClass(const TPublishedClass& Class) {
    PublishedClassList().push_back(Class);
}

std::vector<TPublishedClass> PublishedClasses() {
    return PublishedClassList();
}

// ---------------------------------------------------------------------------------------
// Text forms

namespace {

std::string FloatToStr(double Value) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, Value);
    return std::string(buf, result.ptr);
}

double StrToFloat(std::string_view Text) {
    const std::string text = Trim(Text);
    double value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != last)
        throw EConvertError(Format("'%s' is not a valid floating point value", std::string(Text)));
    return value;
}

std::string OrdinalName(const TTypeInfo& Type, int64_t Value) {
    if (Value >= 0 && Value < int64_t(Type.Names.size())) return Type.Names[size_t(Value)];
    return IntToStr(Value);
}

std::string SetToString(const TTypeInfo& Type, uint64_t Bits) {
    std::string text = "[";
    for (size_t i = 0; i < Type.Names.size() && i < 64; ++i) {
        if (!((Bits >> i) & 1)) continue;
        if (text.size() > 1) text += ',';
        text += Type.Names[i];
    }
    return text + "]";
}

bool IsIdentChar(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_';
}

// Where Name first stands as a whole name in a set text: at the start or after "[" or ",",
// and not continued by further identifier characters, so that a member name that begins or
// ends another one is not taken for it; npos when nowhere.
size_t FindSetItem(std::string_view Text, std::string_view Name) {
    const std::string upperText = UpperCase(Text), upperName = UpperCase(Name);
    for (size_t at = upperText.find(upperName); at != std::string::npos;
         at = upperText.find(upperName, at + 1)) {
        const size_t end = at + Name.size();
        if ((at == 0 || Text[at - 1] == '[' || Text[at - 1] == ',') &&
            (end == Text.size() || !IsIdentChar(Text[end])))
            return at;
    }
    return std::string::npos;
}

uint64_t StringToSet(const TTypeInfo& Type, std::string_view Text) {
    uint64_t bits = 0;
    for (size_t i = 0; i < Type.Names.size() && i < 64; ++i) {
        const std::string_view name = Type.Names[i];
        const size_t at = FindSetItem(Text, name);
        if (at == std::string::npos || at + name.size() >= Text.size()) continue;
        const char next = Text[at + name.size()];
        if (next == ',' || next == ']') bits |= uint64_t(1) << i;
    }
    return bits;
}

bool StartsLikeNumber(std::string_view Text) {
    return !Text.empty() && (Text[0] == '$' || Text[0] == '+' || Text[0] == '-' ||
                             (Text[0] >= '0' && Text[0] <= '9'));
}

std::string IntegerToString(const TTypeInfo& Type, int64_t Value, bool IdentNames) {
    if (IdentNames)
        for (const TIdentMapEntry& e : Type.Idents)
            if (e.Value == Value) return e.Name;
    return IntToStr(Value);
}

int64_t StringToInteger(const TTypeInfo& Type, std::string_view Text, bool IdentNames) {
    if (IdentNames && !StartsLikeNumber(Text))
        for (const TIdentMapEntry& e : Type.Idents)
            if (SameText(e.Name, Text)) return e.Value;
    return StrToInt(Text);
}

} // namespace

// ---------------------------------------------------------------------------------------
// TPropInfoCollection, TObjectAccess

TPropInfoCollection::TPropInfoCollection() {
    SetSortable(true);
    SetSorted(true);
}

int TPropInfoCollection::Compare(const void* Key1, const void* Key2) const {
    const int i1 = static_cast<const TPropInfo*>(static_cast<const TObject*>(Key1))->Index;
    const int i2 = static_cast<const TPropInfo*>(static_cast<const TObject*>(Key2))->Index;
    return i1 < i2 ? -1 : i1 > i2 ? 1 : 0;
}

TObjectAccess::TObjectAccess(TObject* Instance, TTypeKinds Kinds) : FKinds(Kinds) {
    SetInstance(Instance);
}

void TObjectAccess::SetKinds(TTypeKinds Value) {
    FKinds = Value;
    Rebuild();
}

void TObjectAccess::SetInstance(TObject* Value) {
    FInstance = Value;
    Rebuild();
}

void TObjectAccess::Rebuild() {
    FProps.DeleteAll();
    FRawList.clear();
    FUnitName.clear();
    if (!FInstance) return;
    if (const TPropTable* table = PropTableOf(*FInstance)) FUnitName = table->UnitName;
    FRawList = GetPropList(*FInstance, FKinds);
    FProps.BeginUpdate();
    for (const TPropInfo* p : FRawList)
        FProps.Add(const_cast<TPropInfo*>(p));
    FProps.EndUpdate();
}

const TPropInfo& TObjectAccess::GetProp(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    return FUseRawList ? *FRawList[size_t(Index)] : *FProps.Prop(Index);
}

bool TObjectAccess::FindProp(std::string_view Name, int& Index) const {
    for (Index = 0; Index < Count(); ++Index)
        if (SameText(GetProp(Index).Name, Name)) return true;
    Index = -1;
    return false;
}

bool TObjectAccess::IsStored(int Index) const {
    const TPropInfo& p = GetProp(Index);
    return !p.Stored || p.Stored(*FInstance);
}

std::string TObjectAccess::GetValueAsString(int Index) const {
    const TPropInfo& p = GetProp(Index);
    if (!p.Get) return "";
    const TPropValue value = p.Get(*FInstance);
    switch (p.Kind()) {
    case TTypeKind::tkInteger:
        return IntegerToString(*p.Type, std::get<int64_t>(value), FIdentNames);
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar: {
        // The zero character has no text: a stored string would end before it anyway.
        const char c = char(std::get<int64_t>(value));
        return c ? std::string(1, c) : std::string();
    }
    case TTypeKind::tkEnumeration:
        return OrdinalName(*p.Type, std::get<int64_t>(value));
    case TTypeKind::tkFloat:
        return FloatToStr(std::get<double>(value));
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
        return std::get<std::string>(value);
    case TTypeKind::tkSet:
        return SetToString(*p.Type, uint64_t(std::get<int64_t>(value)));
    case TTypeKind::tkClass:
        return IntToStr(int64_t(reinterpret_cast<uintptr_t>(std::get<TObject*>(value))));
    case TTypeKind::tkInt64:
        return IntToStr(std::get<int64_t>(value));
    default:
        return "";
    }
}

void TObjectAccess::SetValueAsString(int Index, std::string_view Text) {
    const TPropInfo& p = GetProp(Index);
    TPropValue value;
    switch (p.Kind()) {
    case TTypeKind::tkInteger:
        value = StringToInteger(*p.Type, Text, FIdentNames);
        break;
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
        value = int64_t(Text.empty() ? 0 : static_cast<unsigned char>(Text[0]));
        break;
    case TTypeKind::tkEnumeration: {
        const auto& names = p.Type->Names;
        const auto it = std::find_if(names.begin(), names.end(),
                                     [&](const char* Name) { return SameText(Name, Text); });
        if (it == names.end()) return;
        value = int64_t(it - names.begin());
        break;
    }
    case TTypeKind::tkFloat:
        value = StrToFloat(Text);
        break;
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
        value = std::string(Text);
        break;
    case TTypeKind::tkSet:
        value = int64_t(StringToSet(*p.Type, Text));
        break;
    case TTypeKind::tkClass:
        // A number read from outside is no proof that an object lives there; only "no
        // object" can be taken from text. Objects are copied by reference (CopyProperties).
        if (StrToInt64(Text) != 0)
            throw EObjectAccessError(
                Format("Object reference of property %s cannot be read from text", p.Name));
        value = static_cast<TObject*>(nullptr);
        break;
    case TTypeKind::tkInt64:
        value = StrToInt64(Text);
        break;
    case TTypeKind::tkMethod:
        throw EObjectAccessError("Set tkMethod");
    case TTypeKind::tkUnknown:
        throw EObjectAccessError("tkUnknown");
    default:
        throw EObjectAccessError("Unsupported type kind");
    }
    if (!p.Set) throw EObjectAccessError(Format("Property %s is read-only", p.Name));
    p.Set(*FInstance, value);
}

void TObjectAccess::GetValueNames(int Index) {
    const TPropInfo& p = GetProp(Index);
    FValueNames.BeginUpdate();
    FValueNames.Clear();
    if (p.Kind() == TTypeKind::tkEnumeration || p.Kind() == TTypeKind::tkSet)
        for (const char* name : p.Type->Names)
            FValueNames.Add(name);
    FValueNames.EndUpdate();
}

// ---------------------------------------------------------------------------------------
// Registry and copying

void SaveProperties(TObject& Obj, TRegistry& Registry) {
    TObjectAccess access(&Obj);
    for (int i = 0; i < access.Count(); ++i)
        if (access.IsReadWrite(i) && access.IsStored(i))
            Registry.WriteString(access.GetPropName(i), access.GetValueAsString(i));
}

void LoadProperties(TObject& Obj, TRegistry& Registry) {
    TObjectAccess access(&Obj);
    // One read of the key's value names instead of one lookup per property.
    TStringList present;
    Registry.GetValueNames(present);
    for (int i = 0; i < access.Count(); ++i) {
        const std::string name = access.GetPropName(i);
        if (access.IsWritable(i) && present.IndexOf(name) >= 0)
            access.SetValueAsString(i, Registry.ReadString(name));
    }
}

void CopyProperties(TObject& Source, TObject& Target, TTypeKinds Kinds) {
    TObjectAccess source(&Source, Kinds), target(&Target, Kinds);
    for (int i = 0; i < target.Count(); ++i) {
        int j;
        if (!target.IsWritable(i) || !source.FindProp(target.GetPropName(i), j) ||
            !source.IsReadable(j))
            continue;
        const TPropInfo& from = source.GetProp(j);
        const TPropInfo& to = target.GetProp(i);
        const bool fromObject = from.Kind() == TTypeKind::tkClass;
        if (fromObject != (to.Kind() == TTypeKind::tkClass)) continue;
        if (fromObject)
            to.Set(Target, from.Get(Source));
        else
            target.SetValueAsString(i, source.GetValueAsString(j));
    }
}

} // namespace kolva
