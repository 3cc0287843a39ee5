#include "foundation/Editable.h"

#include "support/Raised.h"
#include "support/ScriptedDialogs.h"
#include "support/StreamBytes.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using namespace test;

// A named listable kept in lists by its name, compared without regard to case, as the
// system's template macros are.
class TNamed : public TListable {
public:
    static const TListableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    explicit TNamed(std::string AName = "") : Name(std::move(AName)) {}

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
    TAlive Alive;

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

// An editor that records its use; registered under the numbers 21 (twice), 23 and 25.
class TRecordingEditor : public TFWEditor {
public:
    static inline bool Answer = true;
    static inline int Created = 0, Freed = 0;
    static inline std::string Edited;

    explicit TRecordingEditor(TEditable& Entity) : TFWEditor(Entity), FNamed(As<TNamed>(Entity)) {
        ++Created;
    }
    ~TRecordingEditor() override { ++Freed; }
    bool Execute() override {
        Edited = FNamed.Name;
        return Answer;
    }

private:
    TNamed& FNamed;
};
constexpr TFWEditorClass Editor21{"TEditor21", 21, CreateEditorOf<TRecordingEditor>},
    Editor23{"TEditor23", 23, CreateEditorOf<TRecordingEditor>},
    Editor25{"TEditor25", 25, CreateEditorOf<TRecordingEditor>},
    Other21{"TOther21", 21, CreateEditorOf<TRecordingEditor>};

using EditableTest = TLeakCheckTest;

TEST_F(EditableTest, FactoryKeepsEditorsInNumberOrderAndTheFirstOfANumber) {
    TEditorFactory factory;
    factory.RegisterEditors({&Editor25, &Editor21, &Editor23, &Other21});
    ASSERT_EQ(factory.Count(), 3);
    EXPECT_EQ(&factory.Editors(0), &Editor21);
    EXPECT_EQ(&factory.Editors(1), &Editor23);
    EXPECT_EQ(&factory.Editors(2), &Editor25);

    int index;
    EXPECT_EQ(factory.FindEditor(23, index), &Editor23);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(&factory.EditorClassFor(26), &TFWEditor::ClassInfo);
    TPlain module; // number 26: nobody registered it
    auto editor = factory.CreateEditor(module);
    EXPECT_EQ(typeid(*editor), typeid(TFWEditor));

    factory.UnregisterEditor(Editor21);
    factory.RegisterEditor(Other21);
    EXPECT_EQ(&factory.Editors(0), &Other21);
}

TEST_F(EditableTest, EditRunsTheRegisteredEditorAndFreesItWhateverItAnswers) {
    EditorFactory().RegisterEditor(Editor21);
    TNamed item("Alpha");
    for (bool answer : {true, false}) {
        TRecordingEditor::Answer = answer;
        TRecordingEditor::Edited.clear();
        EXPECT_EQ(item.Edit(), answer);
        EXPECT_EQ(TRecordingEditor::Edited, "Alpha");
        EXPECT_EQ(TRecordingEditor::Created, TRecordingEditor::Freed);
    }
    // An editor meant for another model class refuses the object.
    TPlain plain;
    EXPECT_THROW(Editor21.Create(plain), EInvalidCast);
    EditorFactory().UnregisterEditor(Editor21);
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
    EXPECT_EQ(ErrorOf<EContainerError>([&] { list.Add(new TNamed("ALPHA")); }),
              "Container error: 0");
    EXPECT_EQ(TAlive::Count, 2) << "the duplicate was freed";
    std::string text;
    list.GetItemText(0, text);
    EXPECT_EQ(text, "Alpha");

    auto fresh = list.NewItem();
    EXPECT_EQ(typeid(*fresh), typeid(TNamed));
    EXPECT_EQ(TEditableList().NewItem(), nullptr);

    list.SetItemClass(nullptr);
    EXPECT_EQ(list.Count(), 0) << "a different item class empties the list";
    EXPECT_EQ(TAlive::Count, 1);
    EXPECT_FALSE(list.Sorted());
}

TEST_F(EditableTest, StoredListNamesItsItemClassAndComesBackAsItWas) {
    EXPECT_TRUE(Stored(TEditableList(nullptr)).ends_with("\x0aNoClassRef"));

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
    EXPECT_EQ(TAlive::Count, 6);

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
    std::string bytes = Stored(list);
    bytes.resize(bytes.size() - 11);
    const std::string sortedList("\x0dTEditableList\x01\x00\x01\x01\x01\0\0\0", 22);
    for (auto [whole, error] : {
             std::pair<std::string, std::string>{bytes + "\x0anoclassref", "EStreamableError"},
             {bytes + "\x12TEditableTestPlain", "EInvalidCast"},
             {sortedList + bytes + "\x0aNoClassRef\x0aNoClassRef", "EInvalidCast"},
         }) {
        try {
            ReadBack(whole);
            ADD_FAILURE() << error;
        } catch (const Exception& e) {
            EXPECT_EQ(ClassNameOf(typeid(e)), error) << e.Message();
        }
    }
    EXPECT_EQ(TAlive::Count, 1) << "only the original is left";
}

} // namespace
} // namespace kolva
