#include "foundation/Containr.h"

#include <algorithm>

namespace kolva {

constinit const TStreamableClass TContainer::ClassInfo =
    AbstractStreamableClass<TContainer, TStreamable>("TContainer");
constinit const TStreamableClass TCollection::ClassInfo =
    StreamableClass<TCollection, TContainer>("TCollection");

namespace {
const TStreamableRegistrar RegisterCollection(TCollection::ClassInfo);

constexpr int MaxListSize = 0x7FFFFFF;

[[noreturn]] void IndexError(int Index) {
    throw EListError(Format("List index out of bounds (%d)", Index));
}
} // namespace

EContainerError::EContainerError() : Exception(Format("Container error: %s", IntToStr(0))) {}

// ---------------------------------------------------------------------------------------
// TContainer

TContainer::~TContainer() {
    OnChange = nullptr;
}

void TContainer::Assign(const TPersistent& Source) {
    const auto* source = dynamic_cast<const TContainer*>(&Source);
    if (!source) return TStreamable::Assign(Source);
    // Assigning a container to itself would free the very items it is to keep.
    if (source == this) return;
    Batch([&] {
        FreeAll();
        for (int i = 0; i < source->GetCount(); ++i)
            Add(source->GetItem(i));
    });
}

void TContainer::Changed() {
    if (OnChange && FUpdateCount == 0) OnChange(this);
}

void TContainer::SettingsChanged() {
    if (OnSettingsChange && FUpdateCount == 0) OnSettingsChange(this);
}

bool TContainer::CanAcceptKey(const void* OldKey, const void* NewKey) const {
    int index;
    return FDuplicates == dupAccept || Compare(OldKey, NewKey) == 0 || !SearchKey(NewKey, index);
}

int TContainer::Compare(const void* Key1, const void* Key2) const {
    return Key1 == Key2 ? 0 : -1;
}

void TContainer::FreeItem(TObject* Item) {
    delete Item;
}

void TContainer::ReleaseAll() {
    if (FOwnsItems)
        FreeAll();
    else
        DeleteAll();
}

void TContainer::DuplicateFound(TObject* Item) {
    FreeItem(Item);
    throw EContainerError();
}

std::unique_ptr<TObject> TContainer::ReadItem(TFilter& Filter) {
    return Filter.ReadObject();
}

void TContainer::GetItemText(int, std::string&) const {}

const void* TContainer::KeyOf(const TObject* Item) const {
    return Item;
}

void TContainer::PutItem(int Index, TObject* Item) {
    Batch([&] {
        Delete(Index);
        Insert(Index, Item);
    });
}

void TContainer::WriteItem(const TObject* Item, TFilter& Filter) const {
    const auto* streamable = dynamic_cast<const TStreamable*>(Item);
    if (!streamable)
        throw EStreamableError(Format("%s not registered as streamable",
                                      Item ? ClassNameOf(typeid(*Item)) : std::string("nil")));
    Filter.WriteObject(*streamable);
}

void TContainer::SetOwnsItems(bool Value) {
    FOwnsItems = Value;
}

void TContainer::SetUpdateState(bool Updating) {
    if (!Updating) Changed();
}

int TContainer::InsertionIndex(TObject* Item, int Index) {
    // One search serves both the duplicate check and the sorted position.
    int found = Index;
    if (FDuplicates == dupAccept) {
        if (FSorted) Search(Item, found);
        return FSorted ? found : Index;
    }
    if (Search(Item, found)) {
        switch (FDuplicates) {
        case dupIgnore:
            return -1;
        case dupFreeAndError:
            DuplicateFound(Item);
            return -1;
        case dupError:
            throw EContainerError();
        case dupAccept:
            break;
        }
    }
    return FSorted ? found : Index;
}

int TContainer::Add(TObject* Item) {
    const int index = InsertionIndex(Item, GetCount());
    if (index < 0) return -1;
    RawInsert(index, Item);
    Changed();
    return index;
}

int TContainer::Insert(int Index, TObject* Item) {
    const int index = InsertionIndex(Item, Index);
    if (index < 0) return -1;
    RawInsert(index, Item);
    Changed();
    return index;
}

void TContainer::FreeAll() {
    Batch([&] {
        // Freeing an item may take further items out of the container (an item that
        // removes itself from its owner's list, or its children), so the next index is
        // taken from the count as it is now.
        for (int i = GetCount() - 1; i >= 0;) {
            FreeAt(i);
            i = std::min(i, GetCount()) - 1;
        }
    });
}

void TContainer::FreeAt(int Index) {
    TObject* item = GetItem(Index);
    RawDelete(Index);
    if (FOwnsItems) FreeItem(item);
    Changed();
}

void TContainer::Remove(TObject* Item) {
    int index;
    if (Search(Item, index)) FreeAt(index);
}

void TContainer::Exchange(int I, int J) {
    TObject* a = GetItem(I);
    TObject* b = GetItem(J);
    RawPut(I, b);
    RawPut(J, a);
    Changed();
}

bool TContainer::Search(const TObject* Item, int& Index) const {
    return SearchKey(KeyOf(Item), Index);
}

bool TContainer::SearchKey(const void* Key, int& Index) const {
    const int count = GetCount();
    if (!FSorted) {
        for (int i = 0; i < count; ++i)
            if (Compare(KeyOf(GetItem(i)), Key) == 0) {
                Index = i;
                return true;
            }
        Index = count;
        return false;
    }
    int l = 0;
    int h = count - 1;
    bool found = false;
    while (l <= h) {
        const int m = static_cast<int>((static_cast<unsigned>(l) + static_cast<unsigned>(h)) >> 1);
        const int c = Compare(KeyOf(GetItem(m)), Key);
        if (c < 0) {
            l = m + 1;
        } else {
            h = m - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept) l = m;
            }
        }
    }
    Index = l;
    return found;
}

int TContainer::IndexOf(const TObject* Item) const {
    int index;
    return Search(Item, index) ? index : -1;
}

void TContainer::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    Batch([&] {
        TObject* item = GetItem(CurIndex);
        Delete(CurIndex);
        Insert(NewIndex, item);
    });
}

void TContainer::Delete(int Index) {
    RawDelete(Index);
    Changed();
}

void TContainer::DeleteAll() {
    Batch([&] {
        for (int i = GetCount() - 1; i >= 0; --i)
            Delete(i);
    });
}

void TContainer::Sort() {
    if (FSorted || !FSortable || GetCount() < 2) return;
    Batch([&] { QuickSort(0, GetCount() - 1); });
}

// The partitions of one step never overlap, so handling the smaller one by recursion and the
// larger one in the loop gives the same order as recursing on both, with a call depth that
// stays logarithmic even for the worst input.
void TContainer::QuickSort(int L, int R) {
    while (L < R) {
        int i = L;
        int j = R;
        const TObject* pivot =
            GetItem(static_cast<int>((static_cast<unsigned>(L) + static_cast<unsigned>(R)) >> 1));
        do {
            while (Compare(KeyOf(GetItem(i)), KeyOf(pivot)) < 0)
                ++i;
            while (Compare(KeyOf(GetItem(j)), KeyOf(pivot)) > 0)
                --j;
            if (i <= j) {
                Exchange(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            if (L < j) QuickSort(L, j);
            L = i;
        } else {
            if (i < R) QuickSort(i, R);
            R = j;
        }
    }
}

void TContainer::RemoveDuplicates() {
    if (GetCount() < 2) return;
    Batch([&] {
        if (FSorted) {
            int i = GetCount() - 1;
            while (i > 0) {
                const void* key = KeyOf(GetItem(i));
                int j = i - 1;
                while (j >= 0 && Compare(key, KeyOf(GetItem(j))) == 0)
                    --j;
                for (int k = i; k >= j + 2; --k)
                    FreeAt(k);
                i = j;
            }
        } else {
            for (int i = 0; i < GetCount(); ++i)
                for (int j = GetCount() - 1; j > i; --j)
                    if (Compare(KeyOf(GetItem(j)), KeyOf(GetItem(i))) == 0) FreeAt(j);
        }
    });
}

void TContainer::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TContainer::EndUpdate() {
    // An unbalanced EndUpdate is ignored rather than leaving the counter below zero, which
    // would silence the container for good.
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

void TContainer::SetSortable(bool Value) {
    FSortable = Value;
    if (!Value) SetSorted(false);
}

void TContainer::SetSorted(bool Value) {
    if (Value == FSorted) return;
    if (Value && FSortable) Sort();
    FSorted = Value && FSortable;
    SettingsChanged();
}

void TContainer::SetDuplicates(TDuplicatesMode Value) {
    if (Value == FDuplicates) return;
    if (FDuplicates == dupAccept) RemoveDuplicates();
    FDuplicates = Value;
    SettingsChanged();
}

void TContainer::Load(TFilter& Filter) {
    TStreamable::Load(Filter);
    BeginUpdate();
    // The flags are read unchecked: a stream that ends here leaves them zero.
    uint8_t flags[4] = {};
    for (uint8_t& flag : flags)
        Filter.Read(&flag, 1);
    if (flags[1] > dupError) throw EReadError("Stream read error");
    FSortable = flags[0] != 0;
    FDuplicates = static_cast<TDuplicatesMode>(flags[1]);
    FOwnsItems = flags[2] != 0;
    FSorted = flags[3] != 0;
    // No room is reserved for the count read: it comes from outside, and every item needs
    // bytes of its own, so a false count ends with a read error long before memory does.
    const int32_t count = ReadInteger(Filter);
    for (int32_t i = 0; i < count; ++i)
        AddLoaded(ReadItem(Filter));
    EndUpdate();
}

// The loader is the caller of Add here, so an item that Add does not take is the loader's to
// free: nobody else knows the object, nor what it built from the stream.
void TContainer::AddLoaded(std::unique_ptr<TObject> Item) {
    try {
        int index;
        if (FDuplicates != dupAccept && Search(Item.get(), index)) {
            if (FDuplicates == dupError) throw EContainerError();
            Abandon(Item.get());
            if (FDuplicates == dupFreeAndError) DuplicateFound(Item.release());
            return;
        }
        if (Add(Item.get()) >= 0) {
            Item.release();
            return;
        }
    } catch (...) {
        // Also when the key of an item could not be had (Search raised).
        if (Item) Abandon(Item.get());
        throw;
    }
    Abandon(Item.get());
}

void TContainer::Abandon(TObject* Item) {
    if (auto* streamable = dynamic_cast<TStreamable*>(Item)) TStreamable::LoadAborted(*streamable);
}

// Every item of a container that is thrown away while loading came from the stream and has
// no other holder, so the container frees them whatever its stored OwnsItems flag says, and
// so do the containers among its items.
void TContainer::LoadAborted() {
    FOwnsItems = true;
    for (int i = 0; i < GetCount(); ++i)
        Abandon(GetItem(i));
}

void TContainer::Store(TFilter& Filter) const {
    const uint8_t flags[4] = {uint8_t(FSortable), uint8_t(FDuplicates), uint8_t(FOwnsItems),
                              uint8_t(FSorted)};
    Filter.WriteBuffer(flags, 4);
    WriteInteger(Filter, GetCount());
    for (int i = 0; i < GetCount(); ++i)
        WriteItem(GetItem(i), Filter);
}

// ---------------------------------------------------------------------------------------
// TCollection

TCollection::~TCollection() {
    OnChange = nullptr;
    ReleaseAll();
}

void TCollection::Assign(const TPersistent& Source) {
    const auto* source = dynamic_cast<const TContainer*>(&Source);
    if (!source || source == this || Sorted() ||
        (Duplicates() != dupAccept && source->Duplicates() == dupAccept))
        return TContainer::Assign(Source);
    Batch([&] {
        FreeAll();
        if (const auto* collection = dynamic_cast<const TCollection*>(source)) {
            FList = collection->FList;
        } else {
            FList.resize(static_cast<size_t>(source->GetCount()));
            for (int i = 0; i < source->GetCount(); ++i)
                FList[static_cast<size_t>(i)] = source->GetItem(i);
        }
    });
}

TObject* TCollection::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    return FList[static_cast<size_t>(Index)];
}

void TCollection::DeleteAll() {
    Batch([&] { FList.clear(); });
}

void TCollection::SetCapacity(int N) {
    if (N < GetCount() || N > MaxListSize)
        throw EListError(Format("List capacity out of bounds (%d)", N));
    if (N > Capacity()) {
        FList.reserve(static_cast<size_t>(N));
    } else if (N < Capacity()) {
        std::vector<TObject*> smaller;
        smaller.reserve(static_cast<size_t>(N));
        smaller.assign(FList.begin(), FList.end());
        FList.swap(smaller);
    }
}

void TCollection::ReleaseAll() {
    TContainer::ReleaseAll();
    std::vector<TObject*>().swap(FList);
}

void TCollection::RawInsert(int Index, TObject* Item) {
    if (Index < 0 || Index > GetCount()) IndexError(Index);
    FList.insert(FList.begin() + Index, Item);
}

void TCollection::RawPut(int Index, TObject* Item) {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    FList[static_cast<size_t>(Index)] = Item;
}

void TCollection::RawDelete(int Index) {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    FList.erase(FList.begin() + Index);
}

} // namespace kolva
