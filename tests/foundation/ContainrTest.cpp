#include "foundation/Containr.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace kolva {
namespace {

// An item with an integer key that counts how many of its kind are alive, so tests can see
// which items a container freed.
class TKeyItem : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    static int Alive;

    TKeyItem() { ++Alive; }
    explicit TKeyItem(int AKey) : Key(AKey) { ++Alive; }
    ~TKeyItem() override { --Alive; }

    int Key = 0;

protected:
    void Load(TFilter& Filter) override {
        TStreamable::Load(Filter);
        Key = ReadInteger(Filter);
    }
    void Store(TFilter& Filter) const override { WriteInteger(Filter, Key); }
};
int TKeyItem::Alive = 0;
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
        return &static_cast<const TKeyItem*>(Item)->Key;
    }
    std::vector<int> Keys() const {
        std::vector<int> keys;
        for (int i = 0; i < Count(); ++i)
            keys.push_back(static_cast<TKeyItem*>(Items(i))->Key);
        return keys;
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

class ContainerTest : public testing::Test {
protected:
    void SetUp() override { TKeyItem::Alive = 0; }
    void TearDown() override { EXPECT_EQ(TKeyItem::Alive, 0) << "an item leaked"; }
};

TEST_F(ContainerTest, OwnershipDecidesWhetherRemovingFrees) {
    for (bool owns : {true, false}) {
        SCOPED_TRACE(owns ? "owning" : "not owning");
        std::vector<TKeyItem*> items;
        {
            TKeyedList list;
            list.SetOwnsItems(owns);
            for (int k = 0; k < 6; ++k)
                items.push_back(list.AddKey(k));
            const int freed = owns ? 1 : 0;
            list.FreeAt(0);
            list.Remove(items[1]);
            TKeyItem absent(99);
            list.Remove(&absent);
            list.Delete(0); // item 2: never freed
            EXPECT_EQ(TKeyItem::Alive, 7 - 2 * freed);
            EXPECT_EQ(list.Keys(), (std::vector<int>{3, 4, 5}));
            list.FreeAll();
            EXPECT_EQ(list.Count(), 0);
            EXPECT_EQ(TKeyItem::Alive, owns ? 2 : 7);
            items.push_back(list.AddKey(6));
        } // an owning container frees what it holds when it goes
        EXPECT_EQ(TKeyItem::Alive, owns ? 1 : 7);
        for (size_t i = 0; i < items.size(); ++i)
            if (!owns || i == 2) delete items[i];
    }
}

TEST_F(ContainerTest, FreeAllCopesWithItemsThatTakeOthersAlong) {
    // An item whose destruction frees the item before it, as a parent frees its children.
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
    TKeyedList list;
    list.SetOwnsItems(true);
    int changes = 0, settings = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    };
    list.OnSettingsChange = [&](TObject*) { ++settings; };

    const std::vector<std::pair<const char*, std::function<void()>>> singles = {
        {"Add", [&] { list.AddKey(1); }},
        {"Insert", [&] { list.Insert(0, new TKeyItem(2)); }},
        {"Exchange", [&] { list.Exchange(0, 1); }},
        {"Delete",
         [&] {
             std::unique_ptr<TObject> first(list.Items(0));
             list.Delete(0);
         }},
        {"FreeAt", [&] { list.FreeAt(0); }},
    };
    for (auto& [name, change] : singles) {
        changes = 0;
        change();
        EXPECT_EQ(changes, 1) << name;
    }

    changes = 0;
    list.BeginUpdate();
    list.BeginUpdate();
    for (auto& [name, change] : singles)
        change();
    list.SetSortable(true);
    list.SetSorted(true);
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(settings, 0) << "settings notifications are silenced inside a bracket too";
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.EndUpdate(); // unbalanced: ignored, and the container still notifies afterwards
    list.AddKey(3);
    EXPECT_EQ(changes, 2);

    list.SetDuplicates(TContainer::dupAccept);
    list.SetSorted(false);
    EXPECT_EQ(settings, 2);
    changes = 0;
    for (int k = 0; k < 4; ++k)
        list.AddKey(k);
    changes = 0;
    list.SetSortable(true);
    list.SetSorted(true); // sorting is one batch
    EXPECT_EQ(changes, 1);
}

TEST_F(ContainerTest, DestructionSendsNoNotification) {
    int changes = 0;
    {
        TKeyedList list;
        list.SetOwnsItems(true);
        list.AddKey(1);
        list.OnChange = [&](TObject*) { ++changes; };
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(ContainerTest, EachDuplicatesModeTreatsAKnownKeyItsWay) {
    struct TCase {
        TContainer::TDuplicatesMode Mode;
        int Result;     // of Add, -2 for an exception
        int Count;      // afterwards
        bool ItemFreed; // by the container
    };
    const TCase cases[] = {
        {TContainer::dupIgnore, -1, 2, false},
        {TContainer::dupAccept, 2, 3, false},
        {TContainer::dupFreeAndError, -2, 2, true},
        {TContainer::dupError, -2, 2, false},
    };
    for (bool sorted : {false, true})
        for (const TCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "mode " << int(c.Mode) << " sorted " << sorted);
            TKeyedList list;
            list.SetSortable(sorted);
            list.SetSorted(sorted);
            list.SetDuplicates(c.Mode);
            list.SetOwnsItems(true);
            list.AddKey(1);
            list.AddKey(2);
            auto* dup = new TKeyItem(2);
            int result = -2;
            try {
                result = list.Add(dup);
            } catch (const EContainerError& e) {
                EXPECT_EQ(e.Message(), "Container error: 0");
            }
            EXPECT_EQ(result, sorted && c.Mode == TContainer::dupAccept ? 1 : c.Result);
            EXPECT_EQ(list.Count(), c.Count);
            EXPECT_EQ(TKeyItem::Alive, c.ItemFreed ? 2 : 3);
            if (!c.ItemFreed && result < 0) delete dup;
            // Insert applies the same check.
            if (c.Mode == TContainer::dupIgnore) {
                auto again = std::make_unique<TKeyItem>(1);
                EXPECT_EQ(list.Insert(0, again.get()), -1);
            }
            const int one = 1, two = 2, three = 3, alsoOne = 1;
            EXPECT_EQ(list.CanAcceptKey(&one, &two), c.Mode == TContainer::dupAccept)
                << "an item may not take another item's key";
            EXPECT_TRUE(list.CanAcceptKey(&one, &three));
            EXPECT_TRUE(list.CanAcceptKey(&one, &alsoOne)) << "nor is its own key a duplicate";
        }
}

TEST_F(ContainerTest, SortedContainerInsertsInOrderAndSearchesBinary) {
    TKeyedList list;
    list.SetOwnsItems(true);
    list.SetSortable(true);
    list.SetSorted(true);
    int index = -1;
    EXPECT_FALSE(list.SearchKey(&index, index));
    EXPECT_EQ(index, 0) << "an empty sorted container gives the insertion point 0";

    for (int k : {50, 10, 40, 30, 20})
        list.AddKey(k);
    EXPECT_EQ(list.Insert(0, new TKeyItem(35)), 3) << "a sorted container ignores the index";
    EXPECT_EQ(list.Keys(), (std::vector<int>{10, 20, 30, 35, 40, 50}));
    for (auto [key, found, at] :
         {std::tuple{30, true, 2}, {5, false, 0}, {36, false, 4}, {99, false, 6}, {50, true, 5}}) {
        EXPECT_EQ(list.SearchKey(&key, index), found) << key;
        EXPECT_EQ(index, at) << key;
    }

    list.SetDuplicates(TContainer::dupAccept);
    TKeyItem* second = list.AddKey(30);
    EXPECT_EQ(list.IndexOf(second), 2) << "an equal key goes before the equal keys present";
    list.AddKey(30);
    const int key = 30;
    EXPECT_TRUE(list.SearchKey(&key, index));
    EXPECT_EQ(index, 2) << "the first of several equal keys";
}

TEST_F(ContainerTest, SortingNeedsSortableAndRunsOnlyWhenNotYetSorted) {
    TKeyedList list;
    list.SetOwnsItems(true);
    for (int k : {3, 1, 2})
        list.AddKey(k);
    list.SetSorted(true);
    EXPECT_FALSE(list.Sorted()) << "not sortable";
    list.Sort();
    EXPECT_EQ(list.Keys(), (std::vector<int>{3, 1, 2}));

    list.SetSortable(true);
    list.SetSorted(true);
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(list.Keys(), (std::vector<int>{1, 2, 3}));
    list.Exchange(0, 2);
    list.Sort();
    EXPECT_EQ(list.Keys(), (std::vector<int>{3, 2, 1})) << "Sort does nothing once Sorted";
    list.SetSortable(false);
    EXPECT_FALSE(list.Sorted());
}

TEST_F(ContainerTest, QuickSortOrdersAnyInputWithoutDeepRecursion) {
    std::mt19937 random(7);
    for (int n : {2, 3, 17, 1000, 200000}) {
        TKeyedList list;
        list.SetOwnsItems(true);
        list.SetSortable(true);
        list.SetDuplicates(TContainer::dupAccept);
        list.SetCapacity(n);
        for (int i = 0; i < n; ++i)
            list.AddKey(n > 1000 ? n - i : int(random() % 50)); // a descending run at the end
        std::vector<int> expected = list.Keys();
        std::sort(expected.begin(), expected.end());
        list.SetSorted(true);
        EXPECT_EQ(list.Keys(), expected) << n;
    }
}

TEST_F(ContainerTest, LeavingDupAcceptRemovesDuplicatesKeepingTheFirst) {
    for (bool sorted : {false, true}) {
        TKeyedList list;
        list.SetOwnsItems(true);
        list.SetSortable(sorted);
        list.SetDuplicates(TContainer::dupAccept);
        TKeyItem* first = list.AddKey(1);
        list.AddKey(2);
        list.AddKey(1);
        list.AddKey(1);
        list.SetSorted(sorted);
        int changes = 0;
        list.OnChange = [&](TObject*) { ++changes; };
        list.SetDuplicates(TContainer::dupIgnore);
        EXPECT_EQ(list.Keys(), (std::vector<int>{1, 2}));
        if (!sorted) {
            EXPECT_EQ(list.Items(0), first) << "the earliest occurrence survives";
        }
        EXPECT_EQ(TKeyItem::Alive, 2) << "removed duplicates are freed by an owner";
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(ContainerTest, MovePutAndIndexErrors) {
    TKeyedList list;
    list.SetOwnsItems(true);
    for (int k = 0; k < 4; ++k)
        list.AddKey(k);
    list.Move(0, 3);
    EXPECT_EQ(list.Keys(), (std::vector<int>{1, 2, 3, 0}));
    auto* replaced = list.Items(1);
    list.PutItem(1, new TKeyItem(9));
    EXPECT_EQ(list.Keys(), (std::vector<int>{1, 9, 3, 0}));
    delete replaced; // PutItem never frees

    for (int bad : {-1, 4}) {
        try {
            list.Items(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), Format("List index out of bounds (%d)", bad));
        }
    }
    auto orphan = std::make_unique<TKeyItem>(6);
    EXPECT_THROW(list.Insert(6, orphan.get()), EListError);
    EXPECT_THROW(list.SetCapacity(3), EListError);
    list.SetCapacity(100);
    EXPECT_GE(list.Capacity(), 100);
}

TEST_F(ContainerTest, AssignSharesItemsAndFallsBackForSortedTargets) {
    TKeyedList source;
    source.SetOwnsItems(true);
    source.SetDuplicates(TContainer::dupAccept);
    for (int k : {3, 1, 3})
        source.AddKey(k);

    TKeyedList copy; // unsorted, dupIgnore, source accepts duplicates: re-added with checks
    copy.Assign(source);
    EXPECT_EQ(copy.Keys(), (std::vector<int>{3, 1}));
    EXPECT_EQ(copy.Items(0), source.Items(0)) << "items are shared, not copied";

    TKeyedList sorted;
    sorted.SetSortable(true);
    sorted.SetSorted(true);
    sorted.SetDuplicates(TContainer::dupAccept);
    sorted.Assign(source);
    EXPECT_EQ(sorted.Keys(), (std::vector<int>{1, 3, 3}));

    TKeyedList block;
    block.SetDuplicates(TContainer::dupAccept);
    block.Assign(source);
    EXPECT_EQ(block.Keys(), (std::vector<int>{3, 1, 3}));

    source.Assign(source);
    EXPECT_EQ(source.Count(), 3) << "assigning a container to itself keeps its items";

    try {
        source.Assign(TKeyItem(1));
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TKeyItem to a TKeyedList");
    }
}

// ---------------------------------------------------------------------------------------
// Streaming

std::string Str(std::string_view S) {
    return char(S.size()) + std::string(S);
}
std::string Int(int32_t V) {
    TMemoryStream m;
    WriteInteger(m, V);
    return std::string(reinterpret_cast<const char*>(m.Memory()), 4);
}
std::string Flags(int Sortable, int Duplicates, int OwnsItems, int Sorted) {
    return {char(Sortable), char(Duplicates), char(OwnsItems), char(Sorted)};
}
std::string Bytes(TMemoryStream& Stream) {
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), size_t(Stream.Size()));
}

std::unique_ptr<TStreamable> ReadBack(const std::string& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
    TFilter filter(&stream);
    filter.Seek(0, soBeginning);
    return filter.ReadObject();
}

TEST_F(ContainerTest, StreamedCollectionComesBackWithFlagsAndItemsInOrder) {
    TCollection list;
    list.SetOwnsItems(true);
    list.SetSortable(true);
    list.SetDuplicates(TContainer::dupError);
    list.Add(new TKeyItem(7));
    list.Add(new TKeyItem(5));
    TMemoryStream stream;
    TFilter(&stream).WriteObject(list);
    EXPECT_EQ(Bytes(stream), Str("TCollection") + Flags(1, 3, 1, 0) + Int(2) +
                                 Str("TContainrTestItem") + Int(7) + Str("TContainrTestItem") +
                                 Int(5));

    auto copy = As<TCollection>(ReadBack(Bytes(stream)));
    EXPECT_TRUE(copy->Sortable());
    EXPECT_EQ(copy->Duplicates(), TContainer::dupError);
    EXPECT_TRUE(copy->OwnsItems());
    EXPECT_FALSE(copy->Sorted());
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(static_cast<TKeyItem*>(copy->Items(0))->Key, 7);
    EXPECT_EQ(static_cast<TKeyItem*>(copy->Items(1))->Key, 5);
}

TEST_F(ContainerTest, DeepCloneSharesNothingAndKeepsTheSortedOrder) {
    TKeyedList list;
    list.SetOwnsItems(true);
    list.SetSortable(true);
    list.SetSorted(true);
    for (int k : {4, 2, 9})
        list.AddKey(k);
    auto inner = std::make_unique<TKeyedList>();
    inner->SetOwnsItems(true);
    inner->AddKey(1);
    TCollection outer;
    outer.SetOwnsItems(true);
    outer.Add(inner.release());

    auto copy = As<TKeyedList>(CloneStreamable(list));
    EXPECT_TRUE(copy->Sorted());
    EXPECT_EQ(copy->Keys(), (std::vector<int>{2, 4, 9}));
    for (int i = 0; i < copy->Count(); ++i)
        EXPECT_NE(copy->Items(i), list.Items(i)) << "a deep copy shares no item";
    static_cast<TKeyItem*>(copy->Items(0))->Key = 3;
    EXPECT_EQ(list.Keys(), (std::vector<int>{2, 4, 9}));

    auto outerCopy = As<TCollection>(CloneStreamable(outer));
    auto& innerCopy = As<TKeyedList>(*outerCopy->Items(0));
    EXPECT_NE(&innerCopy, outer.Items(0));
    EXPECT_NE(innerCopy.Items(0), static_cast<TKeyedList*>(outer.Items(0))->Items(0));
    EXPECT_EQ(innerCopy.Keys(), (std::vector<int>{1}));
}

TEST_F(ContainerTest, FailedReadingFreesWhatWasBuiltWhateverTheFlags) {
    // Every way a stored list can break off, for an owning and a non-owning list: whatever
    // was built before the error is freed (the alive count and the leak checker watch).
    const std::string items = Int(3) + Str("TContainrTestItem") + Int(1) +
                              Str("TContainrTestItem") + Int(2) + Str("TContainrTestItem") + Int(2);
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
        EXPECT_EQ(copy->Keys(), (std::vector<int>{1, 2}));
        EXPECT_EQ(TKeyItem::Alive, 2);
        copy->SetOwnsItems(true); // a list read without ownership hands its items to the reader
    }
}

TEST_F(ContainerTest, FailedReadingFreesWhatCompleteInnerListsBuiltWithoutOwningIt) {
    const std::string inner =
        Str("TContainrTestList") + Flags(0, 1, 0, 0) + Int(1) + Str("TContainrTestItem") + Int(5);
    for (int owns : {0, 1})
        EXPECT_THROW(
            ReadBack(Str("TCollection") + Flags(0, 1, owns, 0) + Int(2) + inner + Str("TNobody")),
            EStreamableError);
}

TEST_F(ContainerTest, ReadingMatchesNamesIgnoringCaseAndReportsWhatItCannotRead) {
    const std::pair<std::string, std::string> failures[] = {
        {Str("TCollection") + Flags(0, 1, 1, 0) + Int(1) + Str("TNobody"),
         "TNobody not registered as streamable"},
        {Str("TCOLLECTION") + Flags(0, 9, 1, 0) + Int(0), "Stream read error"},
        {Str("tcollection") + Flags(0, 1, 1, 0) + Int(5), "Stream read error"},
        {Str("TCollection") + Flags(0, 1, 1, 0) + Int(1) + Str("TContainer"),
         "TContainer not registered as streamable"},
    };
    for (const auto& [bytes, message] : failures) {
        try {
            ReadBack(bytes);
            ADD_FAILURE() << message;
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
    EXPECT_THROW(ReadBack(Str("TCollection") + Flags(0, 1, 1, 0) + Int(1) + Str("TNobody")),
                 EStreamableError);

    auto list = As<TCollection>(ReadBack(Str("tCOLLECTION") + Flags(1, 0, 1, 1) + Int(1) +
                                         Str("tcontainrtestitem") + Int(4)));
    EXPECT_TRUE(list->Sorted());
    EXPECT_EQ(static_cast<TKeyItem*>(list->Items(0))->Key, 4);
    // The four flags are read unchecked; a stream that ends in them leaves them zero and
    // fails only at the count.
    EXPECT_THROW(ReadBack(Str("TCollection") + "\x01"), EReadError);
}

TEST_F(ContainerTest, WritingRefusesWhatCannotBeReadBackAsItself) {
    struct TUnnamed : TKeyItem {}; // inherits its parent's class record
    TCollection list;
    list.SetOwnsItems(true);
    list.Add(new TUnnamed);
    TMemoryStream stream;
    TFilter filter(&stream);
    try {
        filter.WriteObject(list);
        ADD_FAILURE();
    } catch (const EStreamableError& e) {
        EXPECT_EQ(e.Message(), "TUnnamed not registered as streamable");
    }
    list.FreeAll();
    list.Add(new TObject);
    EXPECT_THROW(filter.WriteObject(list), EStreamableError);
}

} // namespace
} // namespace kolva
