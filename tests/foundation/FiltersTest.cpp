#include "foundation/Filters.h"

#include "foundation/Containr.h"
#include "support/Raised.h"
#include "support/StreamBytes.h"

#include <climits>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using namespace test;

TEST(Encoding, IntegersStringsAndStringListsHaveTheirFixedBytes) {
    for (const auto& [value, bytes] :
         {std::pair<int32_t, std::string>{1, std::string("\x01\0\0\0", 4)},
          {-1, "\xff\xff\xff\xff"},
          {0x12345678, "\x78\x56\x34\x12"},
          {INT32_MIN, std::string("\0\0\0\x80", 4)}}) {
        TMemoryStream out;
        WriteInteger(out, value);
        EXPECT_EQ(Bytes(out), bytes) << value;
        TMemoryStream in = StreamOf(bytes);
        EXPECT_EQ(ReadInteger(in), value);
    }
    for (size_t length : {0, 255, 256, 1000}) {
        const std::string text(length, '\xe9');
        const size_t kept = std::min<size_t>(length, 255);
        TMemoryStream out;
        WriteString(out, text);
        EXPECT_EQ(Bytes(out), char(kept) + text.substr(0, kept)) << length;
        TMemoryStream in = StreamOf(Bytes(out));
        EXPECT_EQ(ReadString(in), text.substr(0, kept)) << "cut to 255 bytes";
    }
    TStringList lines{"one", "", "three"};
    TMemoryStream out;
    WriteStrings(out, lines);
    EXPECT_EQ(Bytes(out), std::string("\x03\0\0\0\x03one\x00\x05three", 15));
    TMemoryStream in = StreamOf(Bytes(out));
    TStringList back{"old"};
    ReadStrings(in, back);
    EXPECT_EQ(back.Text(), lines.Text());
}

TEST(Encoding, BadCountsAndShortStreamsRaiseTheirErrors) {
    const auto readStrings = [](TStream& S) {
        TStringList list;
        ReadStrings(S, list);
    };
    const std::string noStrings = "Error reading TStrings from stream";
    const std::tuple<std::string, std::function<void(TStream&)>, std::string> cases[] = {
        {std::string("\0\0\0\x08", 4), readStrings, noStrings}, // 134217728
        {"\xff\xff\xff\xff", readStrings, noStrings},
        {"\xff\xff\xff\x07", readStrings, "Stream read error"}, // accepted, strings missing
        {std::string("\x02\0\0\0\x01x", 6), readStrings, "Stream read error"},
        {"\x01\x02\x03", [](TStream& S) { ReadInteger(S); }, "Stream read error"},
        {"\x05"
         "abc",
         [](TStream& S) { ReadString(S); }, "Stream read error"},
    };
    for (const auto& [bytes, read, message] : cases) {
        TMemoryStream in = StreamOf(bytes);
        EXPECT_EQ(ErrorOf<EStreamError>([&] { read(in); }), message);
    }
}

class TPoint : public TStreamable {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
    int X = 0;

protected:
    void Load(TFilter& Filter) override {
        TStreamable::Load(Filter);
        X = ReadInteger(Filter);
    }
    void Store(TFilter& Filter) const override { WriteInteger(Filter, X); }
};
constinit const TStreamableClass TPoint::ClassInfo =
    StreamableClass<TPoint, TStreamable>("TFiltersTestPoint");

// Its name differs from TPoint's only in case: its registration must be ignored.
class TOtherPoint : public TPoint {
public:
    static const TStreamableClass ClassInfo;
    const TStreamableClass& ClassType() const override { return ClassInfo; }
};
constinit const TStreamableClass TOtherPoint::ClassInfo =
    StreamableClass<TOtherPoint, TPoint>("tfilterstestPOINT");

TEST(StreamableRegistry, FindsByNameIgnoringCaseAndKeepsTheFirstOfAName) {
    TPoint point;
    point.X = 258;
    EXPECT_THROW(CloneStreamable(point), EStreamableError) << "not registered yet";
    {
        TStreamableRegistrar first(TPoint::ClassInfo);
        TStreamableRegistrar second(TOtherPoint::ClassInfo);
        EXPECT_EQ(&GetStreamableClass("TFILTERSTESTPOINT"), &TPoint::ClassInfo);
        EXPECT_TRUE(TOtherPoint::ClassInfo.InheritsFrom(TStreamable::ClassInfo));

        EXPECT_EQ(Stored(point), std::string("\x11TFiltersTestPoint\x02\x01\0\0", 22));
        auto copy = As<TPoint>(CloneStreamable(point));
        EXPECT_EQ(copy->X, 258);
        EXPECT_NE(copy.get(), &point);
    } // the ignored registration's end leaves the first alone until its own end
    EXPECT_EQ(FindStreamableClass("TFiltersTestPoint"), nullptr);
    EXPECT_EQ(ErrorOf<EStreamableError>([] { GetStreamableClass("TFiltersTestPoint"); }),
              "TFiltersTestPoint not registered as streamable");
    EXPECT_THROW(RegisterStreamable(TContainer::ClassInfo), EStreamableError) << "abstract";
}

TEST(StreamableRegistry, WritingRefusesWhatCannotBeReadBackAsItself) {
    struct TUnnamed : TPoint {}; // inherits its parent's class record
    EXPECT_EQ(ErrorOf<EStreamableError>([] { Stored(TUnnamed()); }),
              "TUnnamed not registered as streamable");
    TCollection list;
    list.SetOwnsItems(true);
    list.Add(new TObject);
    EXPECT_THROW(Stored(list), EStreamableError);
}

TEST(Filter, ForwardsToItsStreamAndTellsInnerFiltersOfEveryObjectBuilt) {
    struct TRecordingFilter : TFilter {
        using TFilter::TFilter;
        void ObjectLoaded(TStreamable& Obj) override { Loaded.push_back(Obj.ClassName()); }
        std::vector<std::string> Loaded;
    };
    TCollection list;
    list.SetOwnsItems(true);
    list.Add(new TCollection);
    TMemoryStream memory;
    TRecordingFilter inner(&memory);
    TFilter outer(&inner);
    outer.WriteObject(list);
    EXPECT_EQ(outer.Seek(0, soBeginning), 0);
    outer.ReadObject();
    EXPECT_EQ(inner.Loaded, (std::vector<std::string>{"TCollection", "TCollection"}));

    TFilter empty;
    char buffer[4];
    EXPECT_EQ(empty.Read(buffer, 4) + empty.Write(buffer, 4) + empty.Seek(9, soBeginning), 0);
    EXPECT_THROW(empty.WriteBuffer(buffer, 4), EWriteError);
}

TEST(Filter, FreesAnOwnedStreamWhenItIsReplacedOrTheFilterGoes) {
    struct TCounted : TMemoryStream {
        int& Freed;
        explicit TCounted(int& F) : Freed(F) {}
        ~TCounted() override { ++Freed; }
    };
    int freed = 0;
    TCounted borrowed(freed);
    {
        auto* first = new TCounted(freed);
        TFilter filter(first);
        filter.SetOwnsStream(true);
        filter.SetStream(first); // the same stream again: kept
        EXPECT_EQ(freed, 0);
        filter.SetStream(new TCounted(freed));
        EXPECT_EQ(freed, 1);
        { TFilter borrowing(&borrowed); }
    }
    EXPECT_EQ(freed, 2) << "a filter frees only what it owns";
}

TEST(Filter, RefusesNestingDeeperThanItsLimit) {
    const auto nested = [](int Depth) {
        std::string bytes;
        for (int i = 0; i < Depth; ++i)
            bytes += std::string("\x0bTCollection\x00\x00\x01\x00", 16) +
                     (i + 1 < Depth ? std::string("\x01\0\0\0", 4) : std::string(4, '\0'));
        return bytes;
    };
    EXPECT_NO_THROW(ReadBack(nested(TFilter::MaxNesting)));
    EXPECT_EQ(ErrorOf<EStreamError>([&] { ReadBack(nested(TFilter::MaxNesting + 1)); }),
              "Objects nested too deeply in stream");
}

} // namespace
} // namespace kolva
