#include "foundation/VersRes.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

namespace kolva {
namespace {

using test::TempPrefix;

void PutLE(std::string& s, size_t at, uint64_t v, size_t width) {
    for (size_t i = 0; i < width; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A version block in the layout cmake/VersionBlock.cmake writes.
std::string Block(uint16_t major, uint16_t minor, uint16_t release, uint16_t build,
                  const std::string& strings) {
    std::string b(68, '\0');
    b.replace(0, 8, "KOLVAVER");
    const uint32_t fixed[13] = {0xFEEF04BD, 0x10000,
                                uint32_t(major) << 16 | minor, uint32_t(release) << 16 | build,
                                0, 0, 0x3F, 0x21, 0x40004, 1, 0, 0x01D00000, 0};
    for (size_t i = 0; i < 13; ++i) PutLE(b, 12 + 4 * i, fixed[i], 4);
    PutLE(b, 64, 0x0409, 2);
    PutLE(b, 66, 0x04E4, 2);
    b += strings + std::string(1, '\0');
    PutLE(b, 8, b.size(), 4);
    return b;
}

// The smallest ELF64 file with the named section holding `data`.
std::string ElfWithSection(const std::string& name, const std::string& data) {
    const std::string names = std::string("\0.shstrtab\0", 11) + name + '\0';
    std::string f(64, '\0');
    f.replace(0, 4, "\x7f" "ELF");
    f[4] = 2;
    f[5] = 1;
    const size_t dataAt = f.size();
    f += data;
    const size_t namesAt = f.size();
    f += names;
    const size_t shoff = f.size();
    PutLE(f, 0x28, shoff, 8);
    PutLE(f, 0x3A, 64, 2);
    PutLE(f, 0x3C, 3, 2);
    PutLE(f, 0x3E, 1, 2);
    f += std::string(64, '\0'); // the null section
    auto section = [&](uint32_t nameAt, uint64_t at, uint64_t size) {
        std::string h(64, '\0');
        PutLE(h, 0, nameAt, 4);
        PutLE(h, 0x18, at, 8);
        PutLE(h, 0x20, size, 8);
        f += h;
    };
    section(1, namesAt, names.size());
    section(11, dataAt, data.size());
    return f;
}

std::string WriteTemp(const std::string& name, const std::string& content) {
    const std::string path = TempPrefix() + "/" + name;
    test::WriteNative(path, content);
    return path;
}

TEST(VersionRes, ReadsTheBlockOfAnyFile) {
    const std::string strings = std::string("FileDescription\0Kolva tests\0Empty\0\0", 36);
    const std::string file =
        WriteTemp("v.so", ElfWithSection(".kolva_version", Block(5, 0, 0, 7, strings)));
    TVersionRes res;
    res.SetFileName(file);
    EXPECT_EQ(res.VersionText(), "Version 5.00 build 7");
    EXPECT_EQ(res.FileDescription(), "Kolva tests");
    EXPECT_EQ(res.StringValue("filedescription"), "Kolva tests");
    EXPECT_EQ(res.StringValue("Empty"), "");
    EXPECT_EQ(res.StringValue("Missing"), "");
    EXPECT_EQ(res.LanguageID, 0x0409);
    EXPECT_EQ(res.FileFlags, 0x21u & 0x3F);
    EXPECT_EQ(res.FileOS, 0x40004u);

    res.SetFileName(WriteTemp("w.so",
                              ElfWithSection(".kolva_version", Block(1, 2, 3, 45, ""))));
    EXPECT_EQ(res.VersionText(), "Version 1.23 build 45");
}

TEST(VersionRes, FilesWithoutABlockSayNoVersionInfo) {
    const std::string block = Block(1, 0, 0, 1, "");
    std::string truncated = block.substr(0, 40);
    for (const std::string& file :
         {TempPrefix() + "/does-not-exist", WriteTemp("plain.txt", "not an ELF file"),
          WriteTemp("other.so", ElfWithSection(".data", block)),
          WriteTemp("short.so", ElfWithSection(".kolva_version", truncated))}) {
        SCOPED_TRACE(file);
        TVersionRes res;
        try {
            res.SetFileName(file);
            FAIL() << "no error raised";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "No version info available");
        }
    }
}

TEST(VersionRes, DeliverablesCarryTheirBuildVersion) {
    // The running test program carries a block written by the build.
    EXPECT_EQ(VersionRes().FileDescription(), "Kolva tests");
    EXPECT_EQ(VersionRes().VersionText().rfind("Version ", 0), 0u);
    EXPECT_GT(VersionRes().FileDate, 40000.0) << "a date after 2009";

    // `kolva --version` prints the text read back from its own block.
    TVersionRes kolva;
    kolva.SetFileName(KOLVA_EXE);
    std::unique_ptr<FILE, int (*)(FILE*)> out(popen(KOLVA_EXE " --version", "r"), pclose);
    ASSERT_TRUE(out);
    std::array<char, 256> line{};
    ASSERT_TRUE(fgets(line.data(), line.size(), out.get()));
    EXPECT_EQ(std::string(line.data()), kolva.VersionText() + "\n");
    EXPECT_EQ(kolva.FileDescription(), "Kolva command line");
}

TEST(VersionRes, FileTimesBecomeDates) {
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(0), -109205.0);
    // 2000-01-01 00:00 UTC is day 36526 of the date type.
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(125911584000000000ull), 36526.0);
}

} // namespace
} // namespace kolva
