// Test support for streamed objects: byte strings in and out of memory streams, written in
// the encoding of the filters (length-prefixed strings, 4-byte little-endian integers), and
// a count of live test items with a fixture that fails a test which leaks one.
#pragma once

#include "foundation/Filters.h"

#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace kolva::test {

/// The whole content of Stream.
std::string Bytes(const TMemoryStream& Stream);
/// A stream holding Bytes, positioned at its start.
TMemoryStream StreamOf(const std::string& Bytes);
/// The object record WriteObject gives for Obj.
std::string Stored(const TStreamable& Obj);
/// The object ReadObject builds from Bytes.
std::unique_ptr<TStreamable> ReadBack(const std::string& Bytes);
/// A stored string: its length byte and its bytes.
std::string Str(std::string_view S);
/// A stored integer.
std::string Int(int32_t V);

/// A member that counts the live objects holding it.
struct TAlive {
    static inline int Count = 0;
    TAlive() { ++Count; }
    TAlive(const TAlive&) { ++Count; }
    TAlive& operator=(const TAlive&) = default;
    ~TAlive() { --Count; }
};

/// Every test starts with no live items and must end with none.
class TLeakCheckTest : public testing::Test {
protected:
    void SetUp() override { TAlive::Count = 0; }
    void TearDown() override { EXPECT_EQ(TAlive::Count, 0) << "an item leaked"; }
};

} // namespace kolva::test
