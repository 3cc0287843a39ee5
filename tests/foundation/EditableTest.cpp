#include "foundation/Editable.h"

#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

// A named listable kept in lists by its name, compared without regard to case, as the
// system's template macros are.
class TNamed : public TListable {
public:
    static const TListableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    static int Alive;

    TNamed() { ++Alive; }
    explicit TNamed(std::string AName) : Name(std::move(AName)) { ++Alive; }
    ~TNamed() override { --Alive; }

    static int CompareKeys(const void* Key1, const void* Key2) {
        return CompareText(*static_cast<const std::string*>(Key1),
                           *static_cast<const std::string*>(Key2));
    }
    static bool SortedByDefault() { return true; }
    const void* KeyOf() const override { return &Name; }
    void GetName(std::string& Text) const override { Text = Name; }
    uint16_t EditorID() const override { return 21; }

    std::string Name;
    TStringList Lines;

protected:
    void Load(TFilter& Filter) override {
        TListable::Load(Filter);
        Name = ReadString(Filter);
        ReadStrings(Filter, Lines);
    }
    void Store(TFilter& Filter) const override {
        WriteString(Filter, Name);
        WriteStrings(Filter, Lines);
    }
};
int TNamed::Alive = 0;
constinit const TListableClass TNamed::ClassInfo =
    ListableClass<TNamed, TListable>("TEditableTestNamed");
const TStreamableRegistrar RegisterNamed(TNamed::ClassInfo);

// Registered, but not listable.
class TPlain : public TEditable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    uint16_t EditorID() const override { return 26; }
};
constinit const TStreamableClass TPlain::ClassInfo =
    StreamableClass<TPlain, TEditable>("TEditableTestPlain");
const TStreamableRegistrar RegisterPlain(TPlain::ClassInfo);

// Editors under the numbers 21, 23 and 25 (and a second one for 21) that record their use.
template <uint16_t ID>
class TTestEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return ID; }
    static inline bool Answer = true;
    static inline int Created = 0, Freed = 0;
    static inline std::string Edited;

    explicit TTestEditor(TEditable& Entity) : TFWEditor(Entity), FNamed(As<TNamed>(Entity)) {
        ++Created;
    }
    ~TTestEditor() override { ++Freed; }
    bool Execute() override {
        Edited = FNamed.Name;
        return Answer;
    }

private:
    TNamed& FNamed;
};
template <uint16_t ID>
constinit const TFWEditorClass
    TTestEditor<ID>::ClassInfo = EditorClass<TTestEditor<ID>>("TTestEditor");

struct TOtherEditor : TFWEditor {
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return 21; }
    using TFWEditor::TFWEditor;
};
constinit const TFWEditorClass TOtherEditor::ClassInfo = EditorClass<TOtherEditor>("TOther");

class EditableTest : public testing::Test {
protected:
    void SetUp() override { TNamed::Alive = 0; }
    void TearDown() override { EXPECT_EQ(TNamed::Alive, 0) << "an item leaked"; }
};

TEST_F(EditableTest, FactoryKeepsEditorsInNumberOrderAndTheFirstOfANumber) {
    TEditorFactory factory;
    factory.RegisterEditors({&TTestEditor<25>::ClassInfo, &TTestEditor<21>::ClassInfo,
                             &TTestEditor<23>::ClassInfo, &TOtherEditor::ClassInfo});
    ASSERT_EQ(factory.Count(), 3);
    EXPECT_EQ(&factory.Editors(0), &TTestEditor<21>::ClassInfo);
    EXPECT_EQ(&factory.Editors(1), &TTestEditor<23>::ClassInfo);
    EXPECT_EQ(&factory.Editors(2), &TTestEditor<25>::ClassInfo);

    int index;
    EXPECT_EQ(factory.FindEditor(23, index), &TTestEditor<23>::ClassInfo);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(&factory.EditorClassFor(26), &TFWEditor::ClassInfo);
    TPlain module; // number 26: nobody registered it
    auto editor = factory.CreateEditor(module);
    EXPECT_EQ(typeid(*editor), typeid(TFWEditor));

    factory.UnregisterEditor(TTestEditor<21>::ClassInfo);
    factory.RegisterEditor(TOtherEditor::ClassInfo);
    EXPECT_EQ(&factory.Editors(0), &TOtherEditor::ClassInfo);
}

TEST_F(EditableTest, EditRunsTheRegisteredEditorAndFreesItWhateverItAnswers) {
    EditorFactory().RegisterEditor(TTestEditor<21>::ClassInfo);
    TNamed item("Alpha");
    for (bool answer : {true, false}) {
        TTestEditor<21>::Answer = answer;
        TTestEditor<21>::Edited.clear();
        EXPECT_EQ(item.Edit(), answer);
        EXPECT_EQ(TTestEditor<21>::Edited, "Alpha");
        EXPECT_EQ(TTestEditor<21>::Created, TTestEditor<21>::Freed);
    }
    // An editor meant for another model class refuses the object.
    TPlain plain;
    EXPECT_THROW(TTestEditor<21>::ClassInfo.Create(plain), EInvalidCast);
    EditorFactory().UnregisterEditor(TTestEditor<21>::ClassInfo);
}

TEST_F(EditableTest, WithoutAnEditorTheBaseOneSaysDefaultsWillBeUsed) {
    test::TScriptedDialogs dialogs;
    dialogs.Answers = {mrOk, mrCancel};
    TPlain plain;
    EXPECT_TRUE(plain.Edit());
    EXPECT_FALSE(plain.Edit());
    EXPECT_EQ(dialogs.Texts,
              std::vector<std::string>(2, "No editor found for this entity. Default properties "
                                          "will be used."));
}

TEST_F(EditableTest, ListOfASortedItemClassSortsAndRefusesDuplicateKeys) {
    TEditableList list(&TNamed::ClassInfo);
    EXPECT_TRUE(list.Sortable());
    EXPECT_TRUE(list.Sorted());
    EXPECT_TRUE(list.OwnsItems());
    EXPECT_EQ(list.Duplicates(), TContainer::dupFreeAndError);
    list.Add(new TNamed("beta"));
    list.Add(new TNamed("Alpha"));
    try {
        list.Add(new TNamed("ALPHA"));
        ADD_FAILURE();
    } catch (const EContainerError& e) {
        EXPECT_EQ(e.Message(), "Container error: 0");
    }
    EXPECT_EQ(TNamed::Alive, 2) << "the duplicate was freed";
    std::string text;
    list.GetItemText(0, text);
    EXPECT_EQ(text, "Alpha");

    auto fresh = list.NewItem();
    EXPECT_EQ(typeid(*fresh), typeid(TNamed));
    EXPECT_EQ(TEditableList().NewItem(), nullptr);

    list.SetItemClass(nullptr);
    EXPECT_EQ(list.Count(), 0) << "a different item class empties the list";
    EXPECT_EQ(TNamed::Alive, 1);
    EXPECT_FALSE(list.Sorted());
}

TEST_F(EditableTest, StoredListNamesItsItemClassAndComesBackAsItWas) {
    TEditableList none(nullptr);
    TMemoryStream bare;
    TFilter(&bare).WriteObject(none);
    const std::string bytes(reinterpret_cast<const char*>(bare.Memory()), size_t(bare.Size()));
    EXPECT_EQ(bytes.substr(bytes.size() - 11), "\x0aNoClassRef");

    TEditableList list(&TNamed::ClassInfo);
    for (const char* name : {"c", "A", "b"})
        list.Add(new TNamed(name));
    auto copy = As<TEditableList>(CloneStreamable(list));
    EXPECT_EQ(copy->ItemClass(), &TNamed::ClassInfo);
    EXPECT_TRUE(copy->Sorted());
    ASSERT_EQ(copy->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        std::string a, b;
        list.GetItemText(i, a);
        copy->GetItemText(i, b);
        EXPECT_EQ(a, b);
        EXPECT_NE(list.Items(i), copy->Items(i)) << "a deep copy shares no item";
    }
    EXPECT_EQ(TNamed::Alive, 6);

    TNamed item("Alpha");
    item.Lines.Add("line");
    auto single = As<TNamed>(item.CloneListable());
    EXPECT_EQ(single->Name + single->Lines.Text(), "Alphaline\r\n");
    EXPECT_THROW(TEditable().Clone(), EStreamableError) << "not registered";
}

TEST_F(EditableTest, ReadingRefusesItemClassesAndItemsThatAreNotListables) {
    TEditableList list(nullptr);
    list.SetOwnsItems(false); // a non-owning list read inside a failing one goes with it
    TNamed named("x");
    list.Add(&named);
    TMemoryStream stream;
    TFilter(&stream).WriteObject(list);
    std::string bytes(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));
    bytes.resize(bytes.size() - 11);
    const std::string sortedList("\x0dTEditableList\x01\x00\x01\x01\x01\0\0\0", 22);
    for (auto [whole, error] : {
             std::pair<std::string, std::string>{bytes + "\x0anoclassref", "EStreamableError"},
             {bytes + "\x12TEditableTestPlain", "EInvalidCast"},
             {sortedList + bytes + "\x0aNoClassRef\x0aNoClassRef", "EInvalidCast"},
         }) {
        TMemoryStream in;
        in.WriteBuffer(whole.data(), int32_t(whole.size()));
        in.SetPosition(0);
        try {
            TFilter(&in).ReadObject();
            ADD_FAILURE() << error;
        } catch (const Exception& e) {
            EXPECT_EQ(ClassNameOf(typeid(e)), error) << e.Message();
        }
    }
    EXPECT_EQ(TNamed::Alive, 1) << "only the original is left";
}

} // namespace
} // namespace kolva
