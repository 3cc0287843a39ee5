// Published properties: the run-time description of the settings an object exposes by name,
// and their text form, which is the stored form of every setting in the registry.
//
// A class with published properties keeps one static property table (`TPropTable`): each
// entry has a name, a type (kind and, for enumerations and sets, member names), a getter, a
// setter, a stored rule and a declaration index; the table is chained to the parent class's
// table, whose properties come first. Tables are built inside a function on first use, so
// they may be used at any time, also while other units are being initialised. Values cross
// the table as `TPropValue`: ordinal kinds (integer, character, enumeration, set bits,
// 64-bit integer, method assigned-or-not) as int64_t, floating point as double, strings as
// std::string, object references as TObject*.
//
// Declaring a class with published properties:
//   class TFoo : public TObject, public IPublished {
//   public:
//       static const TPropTable& PropTable();
//       const TPropTable& PublishedProps() const override { return PropTable(); }
//       int Size() const;  void SetSize(int Value);
//       TMode Mode() const;  void SetMode(TMode Value);
//   };
//   // TFoo.cpp
//   constinit const TTypeInfo ModeType = EnumTypeInfo("TMode", ModeNames);
//   const TPropTable& TFoo::PropTable() {
//       static const TPropTable table("TFoo", "FooUnit", nullptr, {
//           Prop<&TFoo::Mode, &TFoo::SetMode>("Mode", &ModeType).SetDefault(mdPlain),
//           Prop<&TFoo::Size, &TFoo::SetSize>("Size"),
//       });
//       return table;
//   }
//   static const TPublishedRegistrar<TFoo> RegisterFoo; // lists the class (default-constructible)
//
// `TObjectAccess` reads and writes one object's listed properties as text; `SaveProperties`,
// `LoadProperties` and `CopyProperties` are built on it.
#pragma once

#include "foundation/Containr.h"
#include "platform/StringList.h"
#include "platform/System.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace kolva {

class TRegistry;

/// The kinds of property types, with the component library's ordinals. Scoped, because the
/// tokenizer's token kinds share some of the names.
enum class TTypeKind : uint8_t {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString, ///< short string
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkArray,
    tkRecord,
    tkInterface,
    tkInt64,
    tkDynArray
};
constexpr int TypeKindCount = int(TTypeKind::tkDynArray) + 1;
using TTypeKinds = TSet<TTypeKind, TypeKindCount>;

/// Every simple kind: integer, character, enumeration, floating point, short string, set,
/// wide character, long string, wide string and 64-bit integer (bit mask 69246).
constexpr TTypeKinds SimplePropKinds = TTypeKinds::FromBits(69246);

/// An integer value with a registered identifier (such as a colour name).
struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};

/// The type of a property. For an enumeration, `Names` are its members in ordinal order;
/// for a set, the members of its element type. `Idents` maps integers to identifiers.
struct TTypeInfo {
    TTypeKind Kind;
    const char* Name;
    std::span<const char* const> Names = {};
    std::span<const TIdentMapEntry> Idents = {};
};

constexpr TTypeInfo EnumTypeInfo(const char* Name, std::span<const char* const> Members) {
    return TTypeInfo{TTypeKind::tkEnumeration, Name, Members, {}};
}
constexpr TTypeInfo SetTypeInfo(const char* Name, std::span<const char* const> Members) {
    return TTypeInfo{TTypeKind::tkSet, Name, Members, {}};
}

/// The types a property gets from its C++ type when its declaration names none.
extern const TTypeInfo BooleanTypeInfo; // enumeration False, True
extern const TTypeInfo IntegerTypeInfo;
extern const TTypeInfo Int64TypeInfo;
extern const TTypeInfo CharTypeInfo;
extern const TTypeInfo DoubleTypeInfo;
extern const TTypeInfo StringTypeInfo; // long string
extern const TTypeInfo ObjectTypeInfo;
extern const TTypeInfo MethodTypeInfo;

/// Raised for a property kind that has no text form, and for a property table whose type
/// does not fit its accessors.
class EObjectAccessError : public Exception {
    using Exception::Exception;
};

using TPropValue = std::variant<int64_t, double, std::string, TObject*>;

/// One published property of a class.
class TPropInfo : public TObject {
public:
    using TGetter = TPropValue (*)(const TObject& Instance);
    using TSetter = void (*)(TObject& Instance, const TPropValue& Value);
    using TStoredFunc = bool (*)(const TObject& Instance);

    TPropInfo(const char* AName, const TTypeInfo* AType, TGetter AGet, TSetter ASet)
        : Name(AName), Type(AType), Get(AGet), Set(ASet) {}
    TPropInfo(const TPropInfo&) = default;
    TPropInfo& operator=(const TPropInfo&) = default;

    TTypeKind Kind() const { return Type->Kind; }

    /// The stored rule: the property is written by the settings store only while Rule
    /// answers true for the instance (without a rule it always is).
    TPropInfo& SetStored(TStoredFunc Rule) {
        Stored = Rule;
        return *this;
    }
    /// The declared default of an ordinal property; it is recorded for whoever wants to
    /// skip default values, the registry store writes every stored property regardless.
    TPropInfo& SetDefault(int64_t Value) {
        Default = Value;
        return *this;
    }

    const char* Name;
    const TTypeInfo* Type;
    TGetter Get;          ///< null for a property that cannot be read
    TSetter Set;          ///< null for a read-only property
    TStoredFunc Stored{}; ///< null: always stored
    std::optional<int64_t> Default;
    /// Position in the class's declaration order, inherited properties first.
    int Index = 0;
};

/// The published properties of one class, chained to its parent's.
class TPropTable {
public:
    /// Numbers the properties after the parent's. A name may appear only once in a chain.
    TPropTable(const char* AClassName, const char* AUnitName, const TPropTable* AParent,
               std::initializer_list<TPropInfo> AProps);
    TPropTable(const TPropTable&) = delete;
    TPropTable& operator=(const TPropTable&) = delete;

    /// The number of properties including the inherited ones.
    int Count() const { return FFirstIndex + static_cast<int>(Props.size()); }
    /// Every property of the chain, inherited first.
    std::vector<const TPropInfo*> AllProps() const;

    const char* ClassName;
    const char* UnitName;
    const TPropTable* Parent;
    std::vector<TPropInfo> Props; ///< this class's own, in declaration order

private:
    int FFirstIndex = 0;
};

/// Implemented by every class that has published properties.
class IPublished {
public:
    virtual const TPropTable& PublishedProps() const = 0;

protected:
    ~IPublished() = default;
};

/// The table of Obj's class; null when it has none.
const TPropTable* PropTableOf(const TObject& Obj);
/// The properties of Obj's class whose kind is in Kinds, sorted by name (ASCII case
/// ignored), as the component library lists them.
std::vector<const TPropInfo*> GetPropList(const TObject& Obj, TTypeKinds Kinds);

// ---------------------------------------------------------------------------------------
// Declaring properties

namespace detail {

template <class M>
struct TAccessorOf;
template <class C, class R>
struct TAccessorOf<R (C::*)() const> {
    using Class = C;
    using Value = std::remove_cvref_t<R>;
};
template <class C, class R>
struct TAccessorOf<R (C::*)() const noexcept> : TAccessorOf<R (C::*)() const> {};
template <class C, class A>
struct TAccessorOf<void (C::*)(A)> {
    using Class = C;
    using Value = std::remove_cvref_t<A>;
};
template <class C, class A>
struct TAccessorOf<void (C::*)(A) noexcept> : TAccessorOf<void (C::*)(A)> {};

/// How a C++ type crosses a property table: its kind by default and its value conversion.
template <class T, class = void>
struct TValueTraits;

enum class TRepr : uint8_t { Ordinal, Float, Text, Object };
TRepr ReprOf(TTypeKind Kind);

template <>
struct TValueTraits<bool> {
    static constexpr const TTypeInfo* Type = &BooleanTypeInfo;
    static TPropValue To(bool V) { return int64_t(V); }
    static bool From(const TPropValue& V) { return std::get<int64_t>(V) != 0; }
};
template <>
struct TValueTraits<int32_t> {
    static constexpr const TTypeInfo* Type = &IntegerTypeInfo;
    static TPropValue To(int32_t V) { return int64_t(V); }
    static int32_t From(const TPropValue& V) { return int32_t(std::get<int64_t>(V)); }
};
template <>
struct TValueTraits<int64_t> {
    static constexpr const TTypeInfo* Type = &Int64TypeInfo;
    static TPropValue To(int64_t V) { return V; }
    static int64_t From(const TPropValue& V) { return std::get<int64_t>(V); }
};
template <>
struct TValueTraits<char> {
    static constexpr const TTypeInfo* Type = &CharTypeInfo;
    static TPropValue To(char V) { return int64_t(static_cast<unsigned char>(V)); }
    static char From(const TPropValue& V) { return char(std::get<int64_t>(V)); }
};
template <>
struct TValueTraits<double> {
    static constexpr const TTypeInfo* Type = &DoubleTypeInfo;
    static TPropValue To(double V) { return V; }
    static double From(const TPropValue& V) { return std::get<double>(V); }
};
template <>
struct TValueTraits<std::string> {
    static constexpr const TTypeInfo* Type = &StringTypeInfo;
    static TPropValue To(const std::string& V) { return V; }
    static std::string From(const TPropValue& V) { return std::get<std::string>(V); }
};
template <class E>
struct TValueTraits<E, std::enable_if_t<std::is_enum_v<E>>> {
    static constexpr const TTypeInfo* Type = nullptr; // named by the declaration
    static TPropValue To(E V) { return int64_t(V); }
    static E From(const TPropValue& V) { return static_cast<E>(std::get<int64_t>(V)); }
};
template <class E, int N>
struct TValueTraits<TSet<E, N>> {
    static constexpr const TTypeInfo* Type = nullptr; // named by the declaration
    static TPropValue To(TSet<E, N> V) { return int64_t(V.Bits()); }
    static TSet<E, N> From(const TPropValue& V) {
        return TSet<E, N>::FromBits(uint64_t(std::get<int64_t>(V)));
    }
};
/// An object reference; a setter is given only objects of its own class (or null).
template <class T>
struct TValueTraits<T*, std::enable_if_t<std::is_base_of_v<TObject, T>>> {
    static constexpr const TTypeInfo* Type = &ObjectTypeInfo;
    static TPropValue To(const T* V) {
        return const_cast<TObject*>(static_cast<const TObject*>(V));
    }
    static bool Fits(const TPropValue& V) {
        TObject* obj = std::get<TObject*>(V);
        return !obj || dynamic_cast<T*>(obj);
    }
    static T* From(const TPropValue& V) { return dynamic_cast<T*>(std::get<TObject*>(V)); }
};
/// An event handler: its value is whether one is assigned; setting only clears it.
template <class... A>
struct TValueTraits<std::function<void(A...)>> {
    static constexpr const TTypeInfo* Type = &MethodTypeInfo;
    static TPropValue To(const std::function<void(A...)>& V) { return int64_t(bool(V)); }
    static bool Fits(const TPropValue& V) { return std::get<int64_t>(V) == 0; }
    static std::function<void(A...)> From(const TPropValue&) { return {}; }
};

template <class Traits>
concept HasFits = requires(const TPropValue& V) {
    Traits::Fits(V);
};

template <auto Getter>
TPropValue CallGetter(const TObject& Obj) {
    using A = TAccessorOf<decltype(Getter)>;
    return TValueTraits<typename A::Value>::To(
        (static_cast<const typename A::Class&>(Obj).*Getter)());
}

template <auto Setter>
void CallSetter(TObject& Obj, const TPropValue& V) {
    using A = TAccessorOf<decltype(Setter)>;
    using Traits = TValueTraits<typename A::Value>;
    if constexpr (HasFits<Traits>)
        if (!Traits::Fits(V)) return;
    (static_cast<typename A::Class&>(Obj).*Setter)(Traits::From(V));
}

template <auto Method>
bool CallStored(const TObject& Obj) {
    using A = TAccessorOf<decltype(Method)>;
    return (static_cast<const typename A::Class&>(Obj).*Method)();
}

void CheckPropType(const char* Name, const TTypeInfo* Type, TRepr Repr);

} // namespace detail

/// A property read by Getter (`V (C::*)() const`, or nullptr for a write-only property) and
/// written by Setter (`void (C::*)(V)`, or nullptr for a read-only one). Type defaults to
/// the C++ type's own; enumerations and sets must name theirs. Raises EObjectAccessError
/// when Type's kind does not fit V.
template <auto Getter, auto Setter>
TPropInfo Prop(const char* Name, const TTypeInfo* Type = nullptr) {
    constexpr bool readable = !std::is_null_pointer_v<decltype(Getter)>;
    constexpr bool writable = !std::is_null_pointer_v<decltype(Setter)>;
    static_assert(readable || writable, "a property needs a getter or a setter");
    using V = typename detail::TAccessorOf<
        std::conditional_t<readable, decltype(Getter), decltype(Setter)>>::Value;
    using Traits = detail::TValueTraits<V>;
    if constexpr (readable && writable)
        static_assert(std::is_same_v<V, typename detail::TAccessorOf<decltype(Setter)>::Value>,
                      "getter and setter must agree on the value type");
    if (!Type) Type = Traits::Type;
    detail::TRepr repr = detail::TRepr::Ordinal;
    if constexpr (std::is_same_v<V, double>) repr = detail::TRepr::Float;
    if constexpr (std::is_same_v<V, std::string>) repr = detail::TRepr::Text;
    if constexpr (std::is_pointer_v<V>) repr = detail::TRepr::Object;
    detail::CheckPropType(Name, Type, repr);
    TPropInfo::TGetter get = nullptr;
    TPropInfo::TSetter set = nullptr;
    if constexpr (readable) get = &detail::CallGetter<Getter>;
    if constexpr (writable) set = &detail::CallSetter<Setter>;
    return TPropInfo(Name, Type, get, set);
}

/// A stored rule that asks the instance's `bool (C::*)() const` member.
template <auto Method>
constexpr TPropInfo::TStoredFunc StoredBy = &detail::CallStored<Method>;

/// Lists a default-constructible class with published properties for as long as the
/// registrar exists, so that tools and tests can walk every such class.
struct TPublishedClass {
    const TPropTable& (*Table)();
    std::unique_ptr<TObject> (*Create)();
};
void RegisterPublishedClass(const TPublishedClass& Class);
/// The classes registered, in registration order.
std::vector<TPublishedClass> PublishedClasses();

template <class T>
class TPublishedRegistrar {
public:
    TPublishedRegistrar() {
        RegisterPublishedClass({&T::PropTable, [] { return std::unique_ptr<TObject>(new T); }});
    }
};

// ---------------------------------------------------------------------------------------
// Access by text

/// Property descriptors in declaration order; the descriptors are not owned.
class TPropInfoCollection : public TCollection {
public:
    TPropInfoCollection();
    int Compare(const void* Key1, const void* Key2) const override;
    const TPropInfo* Prop(int Index) const { return static_cast<const TPropInfo*>(Items(Index)); }
};

class TObjectAccess : public TObject {
public:
    /// No instance; every simple kind.
    TObjectAccess() = default;
    explicit TObjectAccess(TObject* Instance, TTypeKinds Kinds = SimplePropKinds);

    int Count() const { return static_cast<int>(FRawList.size()); }
    TTypeKinds Kinds() const { return FKinds; }
    /// Stores the kinds and lists the instance's properties again.
    void SetKinds(TTypeKinds Value);
    TObject* Instance() const { return FInstance; }
    /// Stores the instance (not owned) and lists its properties of the listed kinds; an
    /// object without published properties lists none.
    void SetInstance(TObject* Value);
    const TPropInfoCollection& Props() const { return FProps; }
    /// The name of the unit that declares the instance's class ("" without instance).
    const std::string& UnitName() const { return FUnitName; }
    /// Indexed access goes through the name-sorted list instead of declaration order.
    bool UseRawList() const { return FUseRawList; }
    void SetUseRawList(bool Value) { FUseRawList = Value; }
    /// Integer properties are written as, and may be read from, their type's identifiers.
    bool IdentNames() const { return FIdentNames; }
    void SetIdentNames(bool Value) { FIdentNames = Value; }
    /// The list that GetValueNames fills.
    const TStringList& ValueNames() const { return FValueNames; }

    /// EXPECTS: 0 <= Index < Count, else EListError.
    const TPropInfo& GetProp(int Index) const;
    std::string GetPropName(int Index) const { return GetProp(Index).Name; }
    TTypeKind GetPropKind(int Index) const { return GetProp(Index).Kind(); }
    /// The first property whose name equals Name, ASCII case ignored.
    bool FindProp(std::string_view Name, int& Index) const;

    bool IsReadable(int Index) const { return GetProp(Index).Get != nullptr; }
    bool IsWritable(int Index) const { return GetProp(Index).Set != nullptr; }
    bool IsReadWrite(int Index) const { return IsReadable(Index) && IsWritable(Index); }
    bool IsStored(int Index) const;

    /// The value's text: decimal integers, member names, "[a,c]" sets, "True"/"False". A
    /// property that cannot be read, or whose kind has no text form, gives "".
    std::string GetValueAsString(int Index) const;
    /// Sets the value from its text. An unknown enumeration name leaves the value; a set
    /// includes each member whose name, where it first stands in the text as a whole name,
    /// is directly followed by "," or "]". Malformed numbers raise EConvertError; kinds without a
    /// text form raise EObjectAccessError ("Set tkMethod", "tkUnknown", "Unsupported type kind"),
    /// and so does an object property for any text but "0" (no object) and a read-only property.
    void SetValueAsString(int Index, std::string_view Text);
    /// Fills ValueNames with the member names of an enumeration or set property.
    void GetValueNames(int Index);

private:
    void Rebuild();

    TTypeKinds FKinds = SimplePropKinds;
    std::vector<const TPropInfo*> FRawList;
    TPropInfoCollection FProps;
    TObject* FInstance = nullptr;
    bool FUseRawList = false;
    TStringList FValueNames;
    std::string FUnitName;
    bool FIdentNames = false;
};

/// Writes every simple property of Obj that can be read and written and is stored as a
/// string value of the registry's open key, named after the property.
void SaveProperties(TObject& Obj, TRegistry& Registry);
/// Sets every simple, writable property of Obj that has a value of its name in the
/// registry's open key. A conversion error stops the load; what was set before it stays.
void LoadProperties(TObject& Obj, TRegistry& Registry);
/// Sets every writable property of Target whose kind is in Kinds from the readable property
/// of the same name (ASCII case ignored) of Source, through the text form; object
/// properties pass the object itself. A conversion error stops the copy.
void CopyProperties(TObject& Source, TObject& Target, TTypeKinds Kinds = SimplePropKinds);

} // namespace kolva
