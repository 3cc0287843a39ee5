// Reads one object record from arbitrary bytes. Whatever the bytes, reading must end in an
// object or in one of the system's own errors (a stream read error, an unregistered class,
// a rejected duplicate, a wrong item class), never in a crash, a leak or an allocation
// that the input's counts alone would make huge. An object that was read must survive a
// deep copy.
#include "foundation/Editable.h"

#include <cstdint>
#include <cstdlib>

using namespace kolva;

namespace {

// A leaf with every kind of field the encoding has.
class TFuzzItem : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    int32_t Number = 0;
    std::string Text;
    TStringList Lines;

protected:
    void Load(TFilter& Filter) override {
        TStreamable::Load(Filter);
        Number = ReadInteger(Filter);
        Text = ReadString(Filter);
        ReadStrings(Filter, Lines);
    }
    void Store(TFilter& Filter) const override {
        WriteInteger(Filter, Number);
        WriteString(Filter, Text);
        WriteStrings(Filter, Lines);
    }
};
constinit const TStreamableClass TFuzzItem::ClassInfo =
    StreamableClass<TFuzzItem, TStreamable>("TFuzzItem");
const TStreamableRegistrar RegisterItem(TFuzzItem::ClassInfo);

// A listable keyed by name without regard to case, sorted by default: an item class for
// TEditableList.
class TFuzzName : public TListable {
public:
    static const TListableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    static int CompareKeys(const void* Key1, const void* Key2) {
        return CompareText(*static_cast<const std::string*>(Key1),
                           *static_cast<const std::string*>(Key2));
    }
    static bool SortedByDefault() { return true; }
    const void* KeyOf() const override { return &Name; }
    std::string Name;

protected:
    void Load(TFilter& Filter) override {
        TListable::Load(Filter);
        Name = ReadString(Filter);
    }
    void Store(TFilter& Filter) const override { WriteString(Filter, Name); }
};
constinit const TListableClass TFuzzName::ClassInfo =
    ListableClass<TFuzzName, TListable>("TFuzzName");
const TStreamableRegistrar RegisterName(TFuzzName::ClassInfo);

// A list that orders by content, so that stored duplicates modes and sorting take effect
// while reading.
class TFuzzList : public TCollection {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    const void* KeyOf(const TObject* Item) const override {
        static const int32_t none = 0;
        const auto* item = dynamic_cast<const TFuzzItem*>(Item);
        return item ? &item->Number : &none;
    }
    int Compare(const void* Key1, const void* Key2) const override {
        const int32_t a = *static_cast<const int32_t*>(Key1);
        const int32_t b = *static_cast<const int32_t*>(Key2);
        return a < b ? -1 : (a > b ? 1 : 0);
    }
};
constinit const TStreamableClass TFuzzList::ClassInfo =
    StreamableClass<TFuzzList, TCollection>("TFuzzList");
const TStreamableRegistrar RegisterList(TFuzzList::ClassInfo);

// A container read with its owns-items flag off hands its items to the reader.
void AdoptItems(TObject* Obj) {
    auto* container = dynamic_cast<TContainer*>(Obj);
    if (!container) return;
    container->SetOwnsItems(true);
    for (int i = 0; i < container->Count(); ++i)
        AdoptItems(container->Items(i));
}

int64_t StoredSize(const TStreamable& Obj) {
    TMemoryStream stream;
    TFilter(&stream).WriteObject(Obj);
    return stream.Size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > 1 << 20) return 0;
    TMemoryStream stream;
    stream.WriteBuffer(Data, static_cast<int32_t>(Size));
    stream.SetPosition(0);
    TFilter filter(&stream);
    std::unique_ptr<TStreamable> obj;
    try {
        obj = filter.ReadObject();
    } catch (const Exception&) {
        return 0;
    }
    AdoptItems(obj.get());
    // What was read can be written and read again (its records passed every check once
    // already); a copy may order equal keys of a sorted list differently, but holds the same
    // records.
    std::unique_ptr<TStreamable> copy;
    try {
        copy = CloneStreamable(*obj);
    } catch (const Exception&) {
        std::abort();
    }
    AdoptItems(copy.get());
    if (StoredSize(*copy) != StoredSize(*obj)) std::abort();
    return 0;
}
