// Owning, optionally sorted containers with duplicate control and batched change
// notification; every list of the system derives from TCollection.
//
// Items are object pointers. A container owns its items only while `OwnsItems` is set: then
// `FreeAt`, `Remove`, `FreeAll` and the container's destruction free them through
// `FreeItem`; `Delete`, `DeleteAll` and `Move` never free. Two containers may reference the
// same items (after `Assign`), but at most one of them may own them.
//
// Keys: `KeyOf` gives an item's key and `Compare` orders two keys; the base uses the item
// itself and identity. While `Sorted`, every insertion goes to its sorted position and
// searches are binary; sorting is possible only while `Sortable`. The duplicates mode decides
// what happens to an inserted item whose key is already present.
//
// Notification: `OnChange` follows every single change outside an update bracket and comes
// exactly once when the outermost `BeginUpdate`/`EndUpdate` bracket closes;
// `OnSettingsChange` follows changes of the sorting and duplicates settings.
//
// Subclasses that override `FreeItem` or `ReleaseAll` call `ReleaseAll()` in their own
// destructor: a base destructor cannot reach a subclass's overrides.
#pragma once

#include "foundation/Filters.h"
#include "platform/SysUtils.h"

#include <string>
#include <vector>

namespace kolva {

/// A rejected duplicate: "Container error: 0".
class EContainerError : public Exception {
public:
    EContainerError();
};

class TContainer : public TStreamable {
public:
    /// What happens when an inserted item's key is already present.
    enum TDuplicatesMode : uint8_t {
        dupIgnore,       ///< not inserted, Add/Insert return -1, the caller keeps the item
        dupAccept,       ///< inserted without a check
        dupFreeAndError, ///< freed through FreeItem, then EContainerError
        dupError,        ///< EContainerError; the item is not freed
    };

    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    TContainer() = default;
    TContainer(const TContainer&) = delete;
    TContainer& operator=(const TContainer&) = delete;
    /// Sends no change notification.
    ~TContainer() override;

    /// From another container: frees this one's items (when owned) and then adds the
    /// source's items, which are shared, not copied, and pass the duplicate check. Any
    /// other source raises EConvertError.
    void Assign(const TPersistent& Source) override;

    /// Calls OnChange unless an update bracket is open.
    virtual void Changed();
    /// True when an item may change its key from OldKey to NewKey without creating a
    /// duplicate.
    virtual bool CanAcceptKey(const void* OldKey, const void* NewKey) const;
    /// <0, 0 or >0; the base answers 0 for the same pointer and -1 otherwise.
    virtual int Compare(const void* Key1, const void* Key2) const;
    /// EXPECTS: 0 <= Index < Count, else EListError.
    virtual TObject* GetItem(int Index) const = 0;
    virtual int GetCount() const = 0;
    /// The display text of the item at Index; the base leaves Text alone.
    virtual void GetItemText(int Index, std::string& Text) const;
    virtual const void* KeyOf(const TObject* Item) const;
    /// Replaces the item at Index (as Delete and Insert in one bracket); the previous item
    /// is not freed.
    virtual void PutItem(int Index, TObject* Item);
    virtual void SetOwnsItems(bool Value);
    /// Appends, or inserts at the sorted position; returns the index, or -1 when the item
    /// is rejected as a duplicate (dupIgnore).
    virtual int Add(TObject* Item);
    virtual void FreeAll();
    /// Removes the item at Index, freeing it when the container owns its items.
    virtual void FreeAt(int Index);
    /// FreeAt the item's index when the item is found; nothing otherwise.
    virtual void Remove(TObject* Item);
    virtual void Exchange(int I, int J);
    /// Searches by the item's key; Index is the match or, when there is none, the
    /// insertion point (Count for an unsorted container).
    virtual bool Search(const TObject* Item, int& Index) const;
    virtual bool SearchKey(const void* Key, int& Index) const;
    /// The index found by Search, else -1.
    virtual int IndexOf(const TObject* Item) const;
    /// Inserts at Index, or at the sorted position when sorted; returns the index used, or
    /// -1 for a rejected duplicate.
    virtual int Insert(int Index, TObject* Item);
    virtual void Move(int CurIndex, int NewIndex);
    /// Removes the item at Index; never frees it.
    virtual void Delete(int Index);
    /// Removes every item; never frees them.
    virtual void DeleteAll();
    /// Quicksort by key (not stable); only while Sortable, not yet Sorted, and with at
    /// least two items.
    virtual void Sort();

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    int Count() const { return GetCount(); }
    TObject* Items(int Index) const { return GetItem(Index); }

    bool Sortable() const { return FSortable; }
    /// Switching it off also switches Sorted off.
    void SetSortable(bool Value);
    bool Sorted() const { return FSorted; }
    /// Switching it on sorts first; it stays off while not Sortable.
    void SetSorted(bool Value);
    TDuplicatesMode Duplicates() const { return FDuplicates; }
    /// Leaving dupAccept first removes the duplicates present, keeping the earliest of
    /// each set of equal keys.
    void SetDuplicates(TDuplicatesMode Value);
    bool OwnsItems() const { return FOwnsItems; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSettingsChange;

protected:
    void Load(TFilter& Filter) override;
    void Store(TFilter& Filter) const override;
    void LoadAborted() override;

    /// Destroys the item object.
    virtual void FreeItem(TObject* Item);
    /// The destructor's step: FreeAll when owning, else DeleteAll.
    virtual void ReleaseAll();
    /// Frees Item and raises EContainerError.
    virtual void DuplicateFound(TObject* Item);
    virtual std::unique_ptr<TObject> ReadItem(TFilter& Filter);
    /// Raises EStreamableError for an item that is not streamable.
    virtual void WriteItem(const TObject* Item, TFilter& Filter) const;
    virtual void RawInsert(int Index, TObject* Item) = 0;
    virtual void RawPut(int Index, TObject* Item) = 0;
    virtual void RawDelete(int Index) = 0;
    /// Called when the outermost bracket opens (true) and closes (false); closing notifies.
    virtual void SetUpdateState(bool Updating);

    /// Runs Body inside an update bracket that is closed also when Body raises.
    template <class F>
    void Batch(F&& Body) {
        BeginUpdate();
        try {
            Body();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    /// The insertion index for Item, or -1 when the duplicates mode rejects it.
    int InsertionIndex(TObject* Item, int Index);
    void AddLoaded(std::unique_ptr<TObject> Item);
    /// Lets Item free what it built from the stream when Item itself is freed.
    static void Abandon(TObject* Item);
    void RemoveDuplicates();
    void QuickSort(int L, int R);
    void SettingsChanged();

    bool FSortable = false;
    TDuplicatesMode FDuplicates = dupIgnore;
    bool FOwnsItems = false;
    bool FSorted = false;
    int32_t FUpdateCount = 0;
};

using TDuplicatesMode = TContainer::TDuplicatesMode;

/// The container over a growable array of item pointers; the base of every list.
class TCollection : public TContainer {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }

    TCollection() = default;
    ~TCollection() override;

    /// Copies the source's item pointers as they stand when this container is not sorted
    /// and does not reject duplicates that the source may hold; otherwise as TContainer.
    void Assign(const TPersistent& Source) override;
    TObject* GetItem(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    void DeleteAll() override;

    int Capacity() const { return static_cast<int>(FList.capacity()); }
    /// EXPECTS: Count <= N <= 134217727, else EListError.
    void SetCapacity(int N);

protected:
    void ReleaseAll() override;
    void RawInsert(int Index, TObject* Item) override;
    void RawPut(int Index, TObject* Item) override;
    void RawDelete(int Index) override;

private:
    std::vector<TObject*> FList;
};

} // namespace kolva
