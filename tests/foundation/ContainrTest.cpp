#include "foundation/Containr.h"

#include "support/Raised.h"
#include "support/StreamBytes.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using namespace test;

// An item with an integer key, counted alive, so tests can see which items a container freed.
class TKeyItem : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    explicit TKeyItem(int AKey = 0) : Key(AKey) {}
    int Key;
    TAlive Alive;

protected:
    void Load(TFilter& Filter) override {
        TStreamable::Load(Filter);
        Key = ReadInteger(Filter);
    }
    void Store(TFilter& Filter) const override { WriteInteger(Filter, Key); }
};
constinit const TStreamableClass TKeyItem::ClassInfo =
    StreamableClass<TKeyItem, TStreamable>("TContainrTestItem");
const TStreamableRegistrar RegisterKeyItem(TKeyItem::ClassInfo);

// Orders items by key, the way every real list of the system orders by content.
class TKeyedList : public TCollection {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    int Compare(const void* Key1, const void* Key2) const override {
        const int a = *static_cast<const int*>(Key1), b = *static_cast<const int*>(Key2);
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    const void* KeyOf(const TObject* Item) const override {
        static const int none = 0;
        const auto* item = dynamic_cast<const TKeyItem*>(Item);
        return item ? &item->Key : &none;
    }
    std::vector<int> Keys() const {
        std::vector<int> keys;
        for (int i = 0; i < Count(); ++i)
            keys.push_back(*static_cast<const int*>(KeyOf(Items(i))));
        return keys;
    }
    TKeyedList& With(bool Owns, bool Sortable = false, bool Sorted = false,
                     TDuplicatesMode Mode = dupIgnore) {
        SetOwnsItems(Owns);
        SetSortable(Sortable);
        SetSorted(Sorted);
        SetDuplicates(Mode);
        return *this;
    }
    void AddKeys(std::initializer_list<int> Keys) {
        for (int k : Keys)
            AddKey(k);
    }
    TKeyItem* AddKey(int Key) {
        auto* item = new TKeyItem(Key);
        if (Add(item) < 0) {
            delete item;
            return nullptr;
        }
        return item;
    }
};
constinit const TStreamableClass TKeyedList::ClassInfo =
    StreamableClass<TKeyedList, TCollection>("TContainrTestList");
const TStreamableRegistrar RegisterKeyedList(TKeyedList::ClassInfo);

using ContainerTest = TLeakCheckTest;

TEST_F(ContainerTest, OwnershipDecidesWhetherRemovingFrees) {
    for (bool owns : {true, false}) {
        SCOPED_TRACE(owns ? "owning" : "not owning");
        std::vector<TKeyItem*> items;
        {
            TKeyedList list;
            list.SetOwnsItems(owns);
            for (int k = 0; k < 6; ++k)
                items.push_back(list.AddKey(k));
            list.FreeAt(0);
            list.Remove(items[1]);
            TKeyItem absent(99);
            list.Remove(&absent); // not there: nothing happens
            list.Delete(0);       // item 2: never freed
            EXPECT_EQ(TAlive::Count, owns ? 5 : 7);
            list.FreeAll();
            EXPECT_EQ(list.Count(), 0);
            EXPECT_EQ(TAlive::Count, owns ? 2 : 7);
            items.push_back(list.AddKey(6));
        } // destruction frees like FreeAll
        EXPECT_EQ(TAlive::Count, owns ? 1 : 7);
        for (size_t i = 0; i < items.size(); ++i)
            if (!owns || i == 2) delete items[i];
    }
}

TEST_F(ContainerTest, FreeAllCopesWithItemsThatTakeOthersAlong) {
    // Each item's destruction frees the item before it, as a parent frees its children.
    struct TParent : TKeyItem {
        TKeyedList* List = nullptr;
        ~TParent() override {
            if (List->Count() > 0) List->FreeAt(List->Count() - 1);
        }
    };
    TKeyedList list;
    list.SetOwnsItems(true);
    for (int k = 0; k < 5; ++k) {
        auto* p = new TParent;
        p->List = &list;
        p->Key = k;
        list.Add(p);
    }
    list.FreeAll();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ContainerTest, NotifiesEachChangeOutsideBracketsAndOnceAtTheOutermostEnd) {
    auto list = std::make_unique<TKeyedList>();
    list->SetOwnsItems(true);
    int changes = 0, settings = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->OnSettingsChange = [&](TObject*) { ++settings; };
    const std::vector<std::function<void()>> singles = {
        [&] { list->AddKey(1); },
        [&] { list->Insert(0, new TKeyItem(2)); },
        [&] { list->Exchange(0, 1); },
        [&] {
            TObject* item = list->Items(0);
            list->Delete(0);
            delete item;
        },
        [&] { list->FreeAt(0); },
    };
    for (size_t i = 0; i < singles.size(); ++i) {
        changes = 0;
        singles[i]();
        EXPECT_EQ(changes, 1) << "change " << i;
    }

    changes = 0;
    list->BeginUpdate();
    list->BeginUpdate();
    for (auto& change : singles)
        change();
    list->SetSortable(true);
    list->SetSorted(true);
    list->EndUpdate();
    EXPECT_EQ(changes + settings, 0) << "nothing is notified inside a bracket";
    list->EndUpdate();
    EXPECT_EQ(changes, 1);
    list->EndUpdate(); // unbalanced: ignored, and the container still notifies afterwards
    list->AddKey(3);
    EXPECT_EQ(changes, 2);
    list->SetSorted(false);
    EXPECT_EQ(settings, 1);
    changes = 0;
    list.reset();
    EXPECT_EQ(changes, 0) << "destruction notifies nothing";
}

TEST_F(ContainerTest, EachDuplicatesModeTreatsAKnownKeyItsWay) {
    struct TCase {
        TContainer::TDuplicatesMode Mode;
        int Result;     // of Add; -2 for EContainerError
        bool ItemFreed; // by the container
    };
    const TCase cases[] = {{TContainer::dupIgnore, -1, false},
                           {TContainer::dupAccept, 2, false},
                           {TContainer::dupFreeAndError, -2, true},
                           {TContainer::dupError, -2, false}};
    for (bool sorted : {false, true})
        for (const TCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "mode " << int(c.Mode) << " sorted " << sorted);
            TKeyedList list;
            list.With(true, sorted, sorted, c.Mode).AddKeys({1, 2});
            auto* dup = new TKeyItem(2);
            int result = -2;
            const std::string error = ErrorOf([&] { result = list.Add(dup); });
            EXPECT_EQ(error, result == -2 ? "Container error: 0" : "(no error)");
            const bool accepted = c.Mode == TContainer::dupAccept;
            EXPECT_EQ(result, sorted && accepted ? 1 : c.Result);
            EXPECT_EQ(list.Count(), accepted ? 3 : 2);
            EXPECT_EQ(TAlive::Count, c.ItemFreed ? 2 : 3);
            if (!c.ItemFreed && !accepted) delete dup;
            const int one = 1, two = 2, three = 3;
            EXPECT_EQ(list.CanAcceptKey(&one, &two), accepted);
            EXPECT_TRUE(list.CanAcceptKey(&one, &three) && list.CanAcceptKey(&one, &one));
        }
}

TEST_F(ContainerTest, SortedContainerInsertsInOrderAndSearchesBinary) {
    TKeyedList list;
    list.With(true).AddKeys({50, 10, 40, 30, 20});
    list.SetSorted(true);
    EXPECT_FALSE(list.Sorted()) << "not sortable";
    list.SetSortable(true);
    list.SetSorted(true);
    EXPECT_EQ(list.Insert(0, new TKeyItem(35)), 3) << "a sorted container ignores the index";
    EXPECT_EQ(list.Keys(), (std::vector<int>{10, 20, 30, 35, 40, 50}));
    int index;
    for (auto [key, found, at] :
         {std::tuple{30, true, 2}, {5, false, 0}, {36, false, 4}, {99, false, 6}, {50, true, 5}}) {
        EXPECT_EQ(list.SearchKey(&key, index), found) << key;
        EXPECT_EQ(index, at) << key;
    }
    list.SetDuplicates(TContainer::dupAccept);
    TKeyItem* second = list.AddKey(30);
    EXPECT_EQ(list.IndexOf(second), 2) << "an equal key goes before the equal keys present";
    list.Exchange(0, list.Count() - 1);
    list.Sort();
    EXPECT_EQ(list.Keys()[0], 50) << "Sort does nothing once Sorted";
    list.SetSortable(false);
    EXPECT_FALSE(list.Sorted());
    list.FreeAll();
    EXPECT_FALSE(list.SearchKey(&index, index));
    EXPECT_EQ(index, 0) << "an empty container gives the insertion point 0";
}

TEST_F(ContainerTest, QuickSortOrdersAnyInputWithoutDeepRecursion) {
    std::mt19937 random(7);
    for (int n : {2, 3, 1000, 200000}) {
        TKeyedList list;
        list.With(true, true, false, TContainer::dupAccept);
        for (int i = 0; i < n; ++i)
            list.AddKey(n > 1000 ? n - i : int(random() % 50)); // a long descending run last
        std::vector<int> expected = list.Keys();
        std::sort(expected.begin(), expected.end());
        list.SetSorted(true);
        EXPECT_EQ(list.Keys(), expected) << n;
    }
}

TEST_F(ContainerTest, LeavingDupAcceptRemovesDuplicatesKeepingTheFirst) {
    for (bool sorted : {false, true}) {
        TKeyedList list;
        TKeyItem* first = list.With(true, sorted, false, TContainer::dupAccept).AddKey(1);
        list.AddKeys({2, 1, 1});
        list.SetSorted(sorted);
        int changes = 0;
        list.OnChange = [&](TObject*) { ++changes; };
        list.SetDuplicates(TContainer::dupIgnore);
        EXPECT_EQ(list.Keys(), (std::vector<int>{1, 2}));
        EXPECT_TRUE(sorted || list.Items(0) == first) << "the earliest occurrence survives";
        EXPECT_EQ(TAlive::Count, 2) << "removed duplicates are freed by an owner";
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(ContainerTest, AssignSharesItemsThroughTheDuplicateCheckWhereNeeded) {
    TKeyedList source;
    source.With(true, false, false, TContainer::dupAccept).AddKeys({3, 1, 3});
    struct TCase {
        bool Sorted;
        TContainer::TDuplicatesMode Mode;
        std::vector<int> Keys;
    };
    for (const TCase& c : {TCase{false, TContainer::dupIgnore, {3, 1}},
                           TCase{true, TContainer::dupAccept, {1, 3, 3}},
                           TCase{false, TContainer::dupAccept, {3, 1, 3}}}) {
        TKeyedList copy;
        copy.With(false, true, c.Sorted, c.Mode).Assign(source);
        EXPECT_EQ(copy.Keys(), c.Keys);
        EXPECT_EQ(copy.IndexOf(source.Items(1)), c.Sorted ? 0 : 1) << "shared, not copied";
    }
    source.Assign(source);
    EXPECT_EQ(source.Count(), 3) << "assigning a container to itself keeps its items";
    EXPECT_EQ(ErrorOf<EConvertError>([&] { source.Assign(TKeyItem(1)); }),
              "Cannot assign a TKeyItem to a TKeyedList");
}

// ---------------------------------------------------------------------------------------
// Streaming

std::string Flags(int Sortable, int Duplicates, int OwnsItems, int Sorted) {
    return {char(Sortable), char(Duplicates), char(OwnsItems), char(Sorted)};
}
const std::string Item5 = Str("TContainrTestItem") + Int(5);

TEST_F(ContainerTest, StreamedContainerComesBackAsADeepCopyInItsStoredOrder) {
    TKeyedList list;
    list.With(true, true, true, TContainer::dupError).AddKeys({7, 5});
    TCollection outer;
    outer.SetOwnsItems(true);
    outer.Add(new TKeyItem(9));
    outer.Add(CloneStreamable(list).release());

    EXPECT_EQ(Stored(list), Str("TContainrTestList") + Flags(1, 3, 1, 1) + Int(2) + Item5 +
                                Str("TContainrTestItem") + Int(7));

    auto copy = As<TCollection>(CloneStreamable(outer));
    EXPECT_EQ(static_cast<TKeyItem*>(copy->Items(0))->Key, 9);
    auto& inner = As<TKeyedList>(*copy->Items(1));
    EXPECT_TRUE(inner.Sortable() && inner.Sorted() && inner.OwnsItems());
    EXPECT_EQ(inner.Duplicates(), TContainer::dupError);
    EXPECT_EQ(inner.Keys(), (std::vector<int>{5, 7}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(copy->Items(i), outer.Items(i)) << "a deep copy shares nothing";
        EXPECT_NE(inner.Items(i), list.Items(i));
    }
}

TEST_F(ContainerTest, FailedReadingFreesWhatWasBuiltWhateverTheFlags) {
    // Every way a stored list can break off, owning or not, with a complete non-owning list
    // inside: whatever was built is freed (the alive count and the leak checker watch).
    const std::string inner = Str("TContainrTestList") + Flags(0, 1, 0, 0) + Int(1) + Item5;
    const std::string items = Int(4) + Item5 + inner + Item5 + Str("TContainrTestItem") + Int(6);
    for (int owns : {0, 1}) {
        const std::string whole = Str("TContainrTestList") + Flags(0, 1, owns, 0) + items;
        for (size_t cut = 1; cut < whole.size(); ++cut)
            EXPECT_THROW(ReadBack(whole.substr(0, cut)), EStreamError) << cut;
        for (auto mode : {TContainer::dupError, TContainer::dupFreeAndError})
            EXPECT_THROW(ReadBack(Str("TContainrTestList") + Flags(0, mode, owns, 0) + items),
                         EContainerError);
        // dupIgnore: the rejected duplicate is the reader's to free.
        auto copy = As<TKeyedList>(
            ReadBack(Str("TContainrTestList") + Flags(0, TContainer::dupIgnore, owns, 0) + items));
        EXPECT_EQ(copy->Keys(), (std::vector<int>{5, 0, 6}));
        copy->SetOwnsItems(true); // a list read without ownership hands its items over
        As<TContainer>(*copy->Items(1)).SetOwnsItems(true);
    }
}

TEST_F(ContainerTest, ReadingMatchesNamesIgnoringCaseAndReportsWhatItCannotRead) {
    const std::pair<std::string, std::string> failures[] = {
        {Str("TCollection") + Flags(0, 1, 1, 0) + Int(1) + Str("TNobody"),
         "TNobody not registered as streamable"},
        {Str("TCollection") + Flags(0, 1, 1, 0) + Int(1) + Str("TContainer"),
         "TContainer not registered as streamable"},
        {Str("TCOLLECTION") + Flags(0, 9, 1, 0) + Int(0), "Stream read error"},
        {Str("tcollection") + Flags(0, 1, 1, 0) + Int(5), "Stream read error"},
        // The flags are read unchecked; a stream that ends in them fails at the count.
        {Str("TCollection") + "\x01", "Stream read error"},
    };
    for (const auto& [bytes, message] : failures)
        EXPECT_EQ(ErrorOf<EStreamError>([&] { ReadBack(bytes); }), message);
    EXPECT_THROW(ReadBack(failures[0].first), EStreamableError);
    auto list = As<TCollection>(ReadBack(Str("tCOLLECTION") + Flags(1, 0, 1, 1) + Int(1) +
                                         Str("tcontainrtestITEM") + Int(4)));
    EXPECT_EQ(static_cast<TKeyItem*>(list->Items(0))->Key, 4);
    EXPECT_THROW(list->Items(1), EListError);
}

} // namespace
} // namespace kolva
