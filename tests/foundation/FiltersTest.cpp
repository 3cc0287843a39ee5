#include "foundation/Filters.h"

#include "foundation/Containr.h"

#include <climits>

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string Bytes(const TMemoryStream& Stream) {
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), size_t(Stream.Size()));
}

TMemoryStream StreamOf(const std::string& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
    stream.SetPosition(0);
    return stream;
}

TEST(Encoding, IntegersAreFourBytesLittleEndian) {
    const std::pair<int32_t, std::string> cases[] = {
        {0, std::string(4, '\0')},
        {1, std::string("\x01\0\0\0", 4)},
        {-1, "\xff\xff\xff\xff"},
        {0x12345678, "\x78\x56\x34\x12"},
        {INT32_MIN, std::string("\0\0\0\x80", 4)},
    };
    for (const auto& [value, bytes] : cases) {
        TMemoryStream out;
        WriteInteger(out, value);
        EXPECT_EQ(Bytes(out), bytes) << value;
        TMemoryStream in = StreamOf(bytes);
        EXPECT_EQ(ReadInteger(in), value);
    }
}

TEST(Encoding, StringsCarryALengthByteAndAreCutAt255) {
    for (size_t length : {0, 1, 254, 255, 256, 1000}) {
        const std::string text(length, 'x');
        TMemoryStream out;
        WriteString(out, text);
        const size_t kept = std::min<size_t>(length, 255);
        EXPECT_EQ(Bytes(out), char(kept) + text.substr(0, kept)) << length;
        TMemoryStream in = StreamOf(Bytes(out));
        EXPECT_EQ(ReadString(in), text.substr(0, kept));
    }
    TMemoryStream binary;
    WriteString(binary, std::string("a\0\xff", 3));
    binary.SetPosition(0);
    EXPECT_EQ(ReadString(binary), std::string("a\0\xff", 3)) << "8-bit text, no terminator";
}

TEST(Encoding, StringListsAreACountAndTheirStrings) {
    TStringList lines{"one", "", "three"};
    TMemoryStream out;
    WriteStrings(out, lines);
    EXPECT_EQ(Bytes(out), std::string("\x03\0\0\0\x03one\x00\x05three", 15));
    TMemoryStream in = StreamOf(Bytes(out));
    TStringList back{"old"};
    ReadStrings(in, back);
    EXPECT_EQ(back.Text(), lines.Text());
}

TEST(Encoding, StringListCountsOutsideTheLimitAreRefused) {
    struct TCase {
        int32_t Count;
        const char* Error; // the message expected
    };
    const TCase cases[] = {
        {134217728, "Error reading TStrings from stream"},
        {-1, "Error reading TStrings from stream"},
        {INT32_MAX, "Error reading TStrings from stream"},
        // Accepted as a count; the strings it promises are not there.
        {134217727, "Stream read error"},
    };
    for (const TCase& c : cases) {
        TMemoryStream in;
        WriteInteger(in, c.Count);
        in.SetPosition(0);
        TStringList list;
        try {
            ReadStrings(in, list);
            ADD_FAILURE() << c.Count;
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message(), c.Error) << c.Count;
        }
    }
}

TEST(Encoding, ShortStreamsRaiseTheReadError) {
    const std::pair<std::string, std::function<void(TStream&)>> cases[] = {
        {"\x01\x02\x03", [](TStream& s) { ReadInteger(s); }},
        {"", [](TStream& s) { ReadString(s); }},
        {"\x05"
         "abc",
         [](TStream& s) { ReadString(s); }},
        {std::string("\x02\0\0\0\x01x", 6),
         [](TStream& s) {
             TStringList list;
             ReadStrings(s, list);
         }},
    };
    for (const auto& [bytes, read] : cases) {
        TMemoryStream in = StreamOf(bytes);
        try {
            read(in);
            ADD_FAILURE() << bytes;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream read error");
        }
    }
}

// A streamable class of this file's own, registered under a name of its own.
class TPoint : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    int X = 0;
    std::string Name;

protected:
    void Load(TFilter& Filter) override {
        TStreamable::Load(Filter);
        X = ReadInteger(Filter);
        Name = ReadString(Filter);
    }
    void Store(TFilter& Filter) const override {
        WriteInteger(Filter, X);
        WriteString(Filter, Name);
    }
};
constinit const TStreamableClass TPoint::ClassInfo =
    StreamableClass<TPoint, TStreamable>("TFiltersTestPoint");

// The same name in other letter case: a second registration that must be ignored.
class TOtherPoint : public TPoint {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
};
constinit const TStreamableClass TOtherPoint::ClassInfo =
    StreamableClass<TOtherPoint, TPoint>("tfilterstestPOINT");

TEST(StreamableRegistry, FindsByNameIgnoringCaseAndKeepsTheFirstOfAName) {
    EXPECT_EQ(FindStreamableClass("TFiltersTestPoint"), nullptr);
    {
        TStreamableRegistrar point(TPoint::ClassInfo);
        TStreamableRegistrar other(TOtherPoint::ClassInfo);
        EXPECT_EQ(FindStreamableClass("TFILTERSTESTPOINT"), &TPoint::ClassInfo);
        EXPECT_EQ(&GetStreamableClass("tfilterstestpoint"), &TPoint::ClassInfo);
        EXPECT_EQ(FindStreamableClass("tcollection"), &TCollection::ClassInfo);
        EXPECT_TRUE(TOtherPoint::ClassInfo.InheritsFrom(TStreamable::ClassInfo));
        EXPECT_FALSE(TPoint::ClassInfo.InheritsFrom(TOtherPoint::ClassInfo));
    } // the ignored registration's end leaves the first one alone until its own end
    EXPECT_EQ(FindStreamableClass("TFiltersTestPoint"), nullptr);
    try {
        GetStreamableClass("TFiltersTestPoint");
        ADD_FAILURE();
    } catch (const EStreamableError& e) {
        EXPECT_EQ(e.Message(), "TFiltersTestPoint not registered as streamable");
    }
    EXPECT_THROW(RegisterStreamable(TContainer::ClassInfo), EStreamableError) << "abstract";
}

TEST(StreamableRegistry, ObjectRecordIsTheClassNameAndTheBody) {
    TStreamableRegistrar registered(TPoint::ClassInfo);
    TPoint point;
    point.X = 258;
    point.Name = "p";
    TMemoryStream stream;
    TFilter(&stream).WriteObject(point);
    EXPECT_EQ(Bytes(stream), std::string("\x11TFiltersTestPoint\x02\x01\0\0\x01p", 24));

    auto copy = As<TPoint>(CloneStreamable(point));
    EXPECT_NE(copy.get(), &point);
    EXPECT_EQ(copy->X, 258);
    EXPECT_EQ(copy->Name, "p");
}

TEST(StreamableRegistry, CloningAnUnregisteredClassFailsOnReading) {
    TPoint point;
    try {
        CloneStreamable(point);
        ADD_FAILURE();
    } catch (const EStreamableError& e) {
        EXPECT_EQ(e.Message(), "TFiltersTestPoint not registered as streamable");
    }
}

// A filter that records the objects built through it.
class TRecordingFilter : public TFilter {
public:
    using TFilter::TFilter;
    void ObjectLoaded(TStreamable& Obj) override {
        Loaded.push_back(Obj.ClassName());
        TFilter::ObjectLoaded(Obj);
    }
    std::vector<std::string> Loaded;
};

TEST(Filter, ForwardsToItsStreamAndTellsInnerFiltersOfEveryObjectBuilt) {
    TCollection list;
    list.SetOwnsItems(true);
    list.Add(new TCollection);
    TMemoryStream memory;
    TRecordingFilter inner(&memory);
    TFilter outer(&inner);
    outer.WriteObject(list);
    EXPECT_EQ(outer.Seek(0, soBeginning), 0);
    auto copy = outer.ReadObject();
    EXPECT_EQ(inner.Loaded, (std::vector<std::string>{"TCollection", "TCollection"}));

    TFilter empty;
    char buffer[4];
    EXPECT_EQ(empty.Read(buffer, 4), 0);
    EXPECT_EQ(empty.Write(buffer, 4), 0);
    EXPECT_EQ(empty.Seek(10, soBeginning), 0);
    EXPECT_THROW(empty.WriteBuffer(buffer, 4), EWriteError);
}

TEST(Filter, FreesAnOwnedStreamWhenItIsReplacedOrTheFilterGoes) {
    struct TCounted : TMemoryStream {
        int* Freed;
        explicit TCounted(int* F) : Freed(F) {}
        ~TCounted() override { ++*Freed; }
    };
    int freed = 0;
    {
        auto* first = new TCounted(&freed);
        TFilter filter(first);
        filter.SetOwnsStream(true);
        filter.SetStream(first); // the same stream again: kept
        EXPECT_EQ(freed, 0);
        filter.SetStream(new TCounted(&freed));
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 2);
    TCounted kept(&freed);
    { TFilter borrowing(&kept); }
    EXPECT_EQ(freed, 2) << "a filter frees only what it owns";
}

TEST(Filter, RefusesNestingDeeperThanItsLimit) {
    // Nested empty collections built as bytes, as a hostile stream would hold them.
    const auto nested = [](int Depth) {
        std::string bytes;
        for (int i = 0; i < Depth; ++i)
            bytes += std::string("\x0bTCollection\x00\x00\x01\x00", 16) +
                     (i + 1 < Depth ? std::string("\x01\0\0\0", 4) : std::string(4, '\0'));
        return bytes;
    };
    TMemoryStream ok = StreamOf(nested(TFilter::MaxNesting));
    EXPECT_NO_THROW(TFilter(&ok).ReadObject());
    TMemoryStream deep = StreamOf(nested(TFilter::MaxNesting + 1));
    try {
        TFilter(&deep).ReadObject();
        ADD_FAILURE();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Objects nested too deeply in stream");
    }
}

TEST(MemoryStream, GrowsOnWritingAndReadsNothingPastItsEnd) {
    TMemoryStream stream;
    stream.Seek(3, soBeginning);
    stream.WriteBuffer("ab", 2);
    EXPECT_EQ(Bytes(stream), std::string("\0\0\0ab", 5)) << "a gap is filled with zero bytes";
    char buffer[8];
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    stream.Seek(-2, soEnd);
    EXPECT_EQ(stream.Read(buffer, 8), 2);
    stream.SetSize(1);
    EXPECT_EQ(stream.Position(), 1);
    EXPECT_EQ(static_cast<TStream&>(stream).Size(), 1);
    EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);
}

} // namespace
} // namespace kolva
