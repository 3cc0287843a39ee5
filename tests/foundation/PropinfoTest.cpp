#include "foundation/Propinfo.h"

#include "platform/Registry.h"
#include "support/SettingsReset.h"

#include <set>

#include <gtest/gtest.h>

namespace kolva {
namespace {

enum TLetter : uint8_t { lA, lB, lC };
using TLetters = TSet<TLetter, lC + 1>;
// Names that end in one another, as a set text must not confuse.
constexpr const char* LetterNames[] = {"a", "b", "ab"};
constinit const TTypeInfo LetterType = EnumTypeInfo("TLetter", LetterNames);
constinit const TTypeInfo LettersType = SetTypeInfo("TLetters", LetterNames);
constexpr TIdentMapEntry ColorIdents[] = {{0xFF, "clRed"}, {0, "clBlack"}};
constinit const TTypeInfo ColorType{TTypeKind::tkInteger, "TColor", {}, ColorIdents};
constinit const TTypeInfo VariantType{TTypeKind::tkVariant, "Variant"};
constinit const TTypeInfo UnknownType{TTypeKind::tkUnknown, "?"};

// A parent with one property, a child with one of every kind.
class TBase : public TObject, public IPublished {
public:
    static const TPropTable& PropTable() {
        static const TPropTable table("TBase", "BaseUnit", nullptr,
                                      {Prop<&TBase::Zed, &TBase::SetZed>("Zed")});
        return table;
    }
    const TPropTable& PublishedProps() const override { return PropTable(); }
    int32_t Zed() const { return FZed; }
    void SetZed(int32_t V) { FZed = V; }
    int32_t FZed = 0;
};

class TSample : public TBase {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& V) { FText = V; }
    int32_t Fixed() const { return 42; }
    bool StoresText() const { return FText != "secret"; }
    const std::function<void()>& Handler() const { return FHandler; }
    void SetHandler(std::function<void()> V) { FHandler = std::move(V); }
    std::string FText = "hello";
    std::function<void()> FHandler;

#define FIELD(Type, Name, Init)                                                                    \
    Type Name() const {                                                                            \
        return F##Name;                                                                            \
    }                                                                                              \
    void Set##Name(Type V) {                                                                       \
        F##Name = V;                                                                               \
    }                                                                                              \
    Type F##Name = Init;
    FIELD(int32_t, Number, 7)
    FIELD(int32_t, Color, 0xFF)
    FIELD(char, Letter, 'q')
    FIELD(TLetter, Choice, lB)
    FIELD(double, Ratio, 0.5)
    FIELD(TLetters, Letters, TLetters{})
    FIELD(int64_t, Big, 1)
    FIELD(bool, Flag, false)
    FIELD(TStringList*, List, nullptr)
    FIELD(int32_t, Odd, 0)
#undef FIELD
};

const TPropTable& TSample::PropTable() {
    using T = TSample;
    static const TPropTable table(
        "TSample", "SampleUnit", &TBase::PropTable(),
        {
            Prop<&T::Text, &T::SetText>("Text").SetStored(StoredBy<&T::StoresText>),
            Prop<&T::Number, &T::SetNumber>("Number"),
            Prop<&T::Color, &T::SetColor>("Color", &ColorType),
            Prop<&T::Letter, &T::SetLetter>("Letter"),
            Prop<&T::Choice, &T::SetChoice>("Choice", &LetterType),
            Prop<&T::Ratio, &T::SetRatio>("Ratio"),
            Prop<&T::Letters, &T::SetLetters>("Letters", &LettersType),
            Prop<&T::Big, &T::SetBig>("Big"),
            Prop<&T::Flag, &T::SetFlag>("Flag"),
            Prop<&T::Fixed, nullptr>("Fixed"),
            Prop<nullptr, &T::SetNumber>("NumberSink"),
            Prop<&T::List, &T::SetList>("List"),
            Prop<&T::Handler, &T::SetHandler>("Handler"),
            Prop<&T::Odd, &T::SetOdd>("OddVariant", &VariantType),
            Prop<&T::Odd, &T::SetOdd>("OddUnknown", &UnknownType),
        });
    return table;
}

const TPublishedRegistrar<TSample> RegisterSample;

constexpr TTypeKinds AllKinds = TTypeKinds::All();

std::vector<std::string> Names(const TObjectAccess& Access) {
    std::vector<std::string> names;
    for (int i = 0; i < Access.Count(); ++i)
        names.push_back(Access.GetPropName(i));
    return names;
}

TEST(Propinfo, ListsInDeclarationOrderInheritedFirstOrByName) {
    TSample sample;
    TObjectAccess access(&sample);
    EXPECT_EQ(access.UnitName(), "SampleUnit");
    const std::vector<std::string> declared = {"Zed",    "Text",   "Number", "Color",
                                               "Letter", "Choice", "Ratio",  "Letters",
                                               "Big",    "Flag",   "Fixed",  "NumberSink"};
    EXPECT_EQ(Names(access), declared);
    for (int i = 0; i < access.Count(); ++i)
        EXPECT_EQ(access.GetProp(i).Index, i);
    access.SetUseRawList(true);
    EXPECT_EQ(Names(access).front(), "Big");
    EXPECT_EQ(Names(access).back(), "Zed");

    access.SetKinds(AllKinds);
    EXPECT_EQ(access.Count(), 16);
    int index;
    ASSERT_TRUE(access.FindProp("oddvariant", index));
    EXPECT_EQ(access.GetPropKind(index), TTypeKind::tkVariant);
    EXPECT_FALSE(access.FindProp("Missing", index));
    access.SetInstance(nullptr);
    EXPECT_EQ(access.Count(), 0);
    EXPECT_EQ(access.UnitName(), "");
    TStringList plain; // no published properties
    access.SetInstance(&plain);
    EXPECT_EQ(access.Count(), 0);
}

// Each row sets a property from a text and reads it back: Out is the text read back, or the
// message of the error the text raised ("EConvertError" for a conversion error).
TEST(Propinfo, TextForms) {
    struct TCase {
        const char* Prop;
        const char* In;
        const char* Out;
        bool IdentNames = false;
    };
    const TCase cases[] = {
        {"Number", "-12", "-12"},
        {"Number", "$1F", "31"},
        {"Number", " 5 ", "5"},
        {"Number", "12x", "EConvertError"},
        {"Number", "", "EConvertError"},
        {"Letter", "xyz", "x"},
        {"Letter", "", ""},
        {"Choice", "AB", "ab"},
        {"Choice", "nothing", "b"}, // unknown name: unchanged
        {"Flag", "TRUE", "True"},
        {"Flag", "false", "False"},
        {"Ratio", "2.25", "2.25"},
        {"Ratio", "1e20", "1e+20"},
        {"Ratio", "1.5.2", "EConvertError"},
        {"Big", "-9000000000", "-9000000000"},
        {"Big", "1e3", "EConvertError"},
        {"Text", "a;b", "a;b"},
        {"Letters", "[ab,a]", "[a,ab]"}, // first and third member, written in ordinal order
        {"Letters", "[]", "[]"},
        {"Letters", "[ab]", "[ab]"},    // "b" ends "ab" but is no item of its own
        {"Letters", "[a ,ab]", "[ab]"}, // a name followed by a blank is not read
        {"Letters", "[a ,a]", "[]"},    // ... where it first stands
        {"Letters", "[A,Ab", "[a]"},    // no closing bracket after the last name
        {"Letters", "a,b]", "[a,b]"},
        {"Color", "255", "255"},
        {"Color", "clBlack", "EConvertError"},
        {"Color", "$FF", "clRed", true},
        {"Color", "CLBLACK", "clBlack", true},
        {"Color", "$10", "16", true},
        {"Color", "clBlue", "EConvertError", true},
        {"List", "0", "0"},
        {"List", "140737488355328", "Object reference of property List cannot be read from text"},
        {"Handler", "", "Set tkMethod"},
        {"OddUnknown", "1", "tkUnknown"},
        {"OddVariant", "1", "Unsupported type kind"},
        {"Fixed", "1", "Property Fixed is read-only"},
    };
    for (const TCase& c : cases) {
        TSample sample;
        TObjectAccess access(&sample, AllKinds);
        access.SetIdentNames(c.IdentNames);
        int index;
        ASSERT_TRUE(access.FindProp(c.Prop, index)) << c.Prop;
        std::string out;
        try {
            access.SetValueAsString(index, c.In);
            out = access.GetValueAsString(index);
        } catch (const EConvertError&) {
            out = "EConvertError";
        } catch (const EObjectAccessError& e) {
            out = e.Message();
        }
        EXPECT_EQ(out, c.Out) << c.Prop << " from " << c.In;
    }
}

// Kinds without a text form read as "", a write-only property reads as "".
TEST(Propinfo, AccessorsAndKindsWithoutText) {
    TSample sample;
    TObjectAccess access(&sample, AllKinds);
    int sink, handler, letters, number;
    ASSERT_TRUE(access.FindProp("NumberSink", sink) && access.FindProp("Handler", handler) &&
                access.FindProp("Letters", letters) && access.FindProp("Number", number));
    EXPECT_EQ(access.GetValueAsString(sink), "");
    access.SetValueAsString(sink, "99");
    EXPECT_EQ(sample.FNumber, 99);
    EXPECT_EQ(access.GetValueAsString(handler), "");
    access.GetValueNames(letters);
    EXPECT_EQ(access.ValueNames().Text(), "a\r\nb\r\nab\r\n");
    access.GetValueNames(number);
    EXPECT_EQ(access.ValueNames().Count(), 0);
}

TEST(Propinfo, RegistryHonoursStoredRules) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
    TSample sample;
    sample.FText = "secret";
    SaveProperties(sample, reg);
    TStringList names;
    reg.GetValueNames(names);
    // Not stored: Text (its rule), Fixed (read-only), NumberSink (write-only).
    EXPECT_EQ(names.Text(), "Zed\r\nNumber\r\nColor\r\nLetter\r\nChoice\r\nRatio\r\nLetters\r\n"
                            "Big\r\nFlag\r\n");
}

TEST(Propinfo, CopyTakesWhatTheSourceReadsAndTheTargetWrites) {
    class TOther : public TObject, public IPublished {
    public:
        const TPropTable& PublishedProps() const override {
            using T = TOther;
            static const TPropTable table(
                "TOther", "", nullptr,
                {Prop<&T::Number, nullptr>("NUMBER"), Prop<&T::Fixed, &T::SetFixed>("Fixed"),
                 Prop<&T::Big, &T::SetBig>("Big"), Prop<&T::List, &T::SetList>("List"),
                 Prop<&T::Flag, &T::SetFlag>("Flag")});
            return table;
        }
        int32_t Number() const { return 5; }
        int32_t Fixed() const { return FFixed; }
        void SetFixed(int32_t V) { FFixed = V; }
        std::string Big() const { return FBig; }
        void SetBig(const std::string& V) { FBig = V; }
        TStringList* List() const { return FList; }
        void SetList(TStringList* V) { FList = V; }
        bool Flag() const { return true; }
        void SetFlag(bool) {}
        int32_t FFixed = 0;
        std::string FBig = "77";
        TStringList* FList = nullptr;
    } other;
    TSample sample;
    TStringList lines{"x"};
    sample.FList = &lines;
    CopyProperties(other, sample, AllKinds);
    EXPECT_EQ(sample.FNumber, 5); // read-only in the source, writable here
    EXPECT_EQ(sample.FBig, 77);   // a string becomes a number through its text
    EXPECT_EQ(sample.FFlag, true);
    EXPECT_EQ(sample.FList, nullptr); // object properties pass the object itself
    sample.FList = &lines;
    CopyProperties(sample, other, AllKinds);
    EXPECT_EQ(other.FFixed, 42); // read-only in the source, writable here
    EXPECT_EQ(other.FList, &lines);
}

TEST(Propinfo, TypesMustFitTheirAccessors) {
    EXPECT_THROW((Prop<&TSample::Text, &TSample::SetText>("Text", &IntegerTypeInfo)),
                 EObjectAccessError);
    EXPECT_THROW((Prop<&TSample::Choice, &TSample::SetChoice>("Choice")), EObjectAccessError);
}

// Every property of every registered class survives the registry and a copy: set each to a
// value other than its default through its text, save, load into a fresh object, copy into
// another, and compare the texts.
std::string OtherText(const TObjectAccess& Access, int Index) {
    const TPropInfo& p = Access.GetProp(Index);
    const std::string text = Access.GetValueAsString(Index);
    switch (p.Kind()) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
        return IntToStr(StrToInt64(text) + 1);
    case TTypeKind::tkChar:
        return text == "x" ? "y" : "x";
    case TTypeKind::tkFloat:
        return text == "1.5" ? "2.5" : "1.5";
    case TTypeKind::tkEnumeration: {
        const auto& names = p.Type->Names;
        for (size_t i = 0; i < names.size(); ++i)
            if (text == names[i]) return names[(i + 1) % names.size()];
        return names[0];
    }
    case TTypeKind::tkSet: {
        const uint64_t bits = uint64_t(std::get<int64_t>(p.Get(*Access.Instance())));
        std::string other = "[";
        for (size_t i = 0; i < p.Type->Names.size(); ++i)
            if (!((bits >> i) & 1))
                other += (other.size() > 1 ? "," : "") + std::string(p.Type->Names[i]);
        return other + "]";
    }
    default:
        return text + "x";
    }
}

std::vector<std::string> Texts(TObject& Obj) {
    TObjectAccess access(&Obj);
    std::vector<std::string> texts;
    for (int i = 0; i < access.Count(); ++i)
        texts.push_back(access.GetPropName(i) + "=" + access.GetValueAsString(i));
    return texts;
}

TEST(Propinfo, EveryPublishedClassRoundTrips) {
    test::TSettingsReset reset;
    std::set<std::string> classes;
    for (const TPublishedClass& c : PublishedClasses()) {
        const std::string name = c.Table().ClassName;
        SCOPED_TRACE(name);
        classes.insert(name);
        const std::unique_ptr<TObject> changed = c.Create();
        TObjectAccess access(changed.get());
        for (int i = 0; i < access.Count(); ++i) {
            if (!access.IsReadWrite(i)) continue;
            const std::string before = access.GetValueAsString(i);
            const std::string text = OtherText(access, i);
            access.SetValueAsString(i, text);
            EXPECT_EQ(access.GetValueAsString(i), text) << access.GetPropName(i);
            EXPECT_NE(access.GetValueAsString(i), before) << access.GetPropName(i);
        }
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\RoundTrip\\" + name, true));
        SaveProperties(*changed, reg);
        const std::unique_ptr<TObject> loaded = c.Create(), copied = c.Create();
        LoadProperties(*loaded, reg);
        CopyProperties(*changed, *copied);
        EXPECT_EQ(Texts(*loaded), Texts(*changed));
        EXPECT_EQ(Texts(*copied), Texts(*changed));
    }
    for (const char* name : {"TSample", "TKOLVAOptions", "TKOLVAOptionsObserver", "TPreferences",
                             "TModuleEditorOptions"})
        EXPECT_TRUE(classes.count(name)) << name;
}

} // namespace
} // namespace kolva
