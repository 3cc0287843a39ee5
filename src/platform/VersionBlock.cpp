#include "platform/VersionBlock.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <fstream>
#include <iterator>

namespace kolva {

namespace {

constexpr std::string_view Magic = "KOLVAVER";
constexpr std::string_view SectionName = ".kolva_version";
constexpr size_t FixedOffset = 12;
constexpr size_t StringsOffset = 68;

uint64_t ReadLE(std::string_view bytes, size_t offset, size_t width) {
    uint64_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= uint64_t(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return v;
}

// Reads `size` bytes at `offset`; an empty result when the file is shorter.
std::string ReadAt(std::ifstream& file, uint64_t offset, uint64_t size) {
    if (size > (uint64_t(1) << 24)) return {};
    std::string buf(size, '\0');
    file.clear();
    file.seekg(std::streamoff(offset));
    if (!file.read(buf.data(), std::streamsize(size))) return {};
    return buf;
}

// The ELF section header fields we need, for 32- and 64-bit files.
struct TElfLayout {
    size_t ShOffField, ShEntSizeField, ShNumField, ShStrNdxField;
    size_t NameField, OffsetField, SizeField, Width;
};
constexpr TElfLayout Elf32{0x20, 0x2E, 0x30, 0x32, 0x00, 0x10, 0x14, 4};
constexpr TElfLayout Elf64{0x28, 0x3A, 0x3C, 0x3E, 0x00, 0x18, 0x20, 8};

std::string FindSection(std::ifstream& file) {
    const std::string header = ReadAt(file, 0, 64);
    if (header.size() < 64 ||
        header.compare(0, 4,
                       "\x7f"
                       "ELF") != 0 ||
        header[5] != 1)
        return {};
    const TElfLayout& L = header[4] == 2 ? Elf64 : Elf32;
    if (header[4] != 1 && header[4] != 2) return {};
    const uint64_t shoff = ReadLE(header, L.ShOffField, L.Width);
    const uint64_t entsize = ReadLE(header, L.ShEntSizeField, 2);
    const uint64_t shnum = ReadLE(header, L.ShNumField, 2);
    const uint64_t strndx = ReadLE(header, L.ShStrNdxField, 2);
    if (entsize < L.SizeField + L.Width || strndx >= shnum) return {};
    const std::string table = ReadAt(file, shoff, entsize * shnum);
    if (table.empty()) return {};
    auto field = [&](uint64_t index, size_t offset, size_t width) {
        return ReadLE(table, index * entsize + offset, width);
    };
    const std::string names =
        ReadAt(file, field(strndx, L.OffsetField, L.Width), field(strndx, L.SizeField, L.Width));
    for (uint64_t i = 0; i < shnum; ++i) {
        const uint64_t name = field(i, L.NameField, 4);
        if (name >= names.size()) continue;
        if (std::string_view(names.c_str() + name) != SectionName) continue;
        return ReadAt(file, field(i, L.OffsetField, L.Width), field(i, L.SizeField, L.Width));
    }
    return {};
}

} // namespace

bool ParseVersionBlock(std::string_view Bytes, TVersionBlock& Block) {
    if (Bytes.size() < StringsOffset || Bytes.substr(0, Magic.size()) != Magic) return false;
    const uint64_t size = ReadLE(Bytes, 8, 4);
    if (size < StringsOffset || size > Bytes.size()) return false;
    Bytes = Bytes.substr(0, size);
    TVersionBlock b;
    using F = TFixedFileInfo;
    static constexpr uint32_t F::*Fields[] = {
        &F::Signature,        &F::StrucVersion,     &F::FileVersionMS, &F::FileVersionLS,
        &F::ProductVersionMS, &F::ProductVersionLS, &F::FileFlagsMask, &F::FileFlags,
        &F::FileOS,           &F::FileType,         &F::FileSubtype,   &F::FileDateMS,
        &F::FileDateLS};
    for (size_t i = 0; i < std::size(Fields); ++i)
        b.Fixed.*Fields[i] = uint32_t(ReadLE(Bytes, FixedOffset + 4 * i, 4));
    if (b.Fixed.Signature != 0xFEEF04BD) return false;
    b.LanguageID = uint16_t(ReadLE(Bytes, 64, 2));
    b.CodePage = uint16_t(ReadLE(Bytes, 66, 2));
    size_t pos = StringsOffset;
    auto next = [&](std::string& out) {
        const size_t end = Bytes.find('\0', pos);
        if (end == std::string_view::npos) return false;
        out = std::string(Bytes.substr(pos, end - pos));
        pos = end + 1;
        return true;
    };
    std::string key, value;
    while (next(key) && !key.empty()) {
        if (!next(value)) return false;
        b.Strings.emplace_back(key, value);
    }
    Block = std::move(b);
    return true;
}

bool ReadVersionBlock(std::string_view FileName, TVersionBlock& Block) {
    std::ifstream file(NativePath(FileName), std::ios::binary);
    if (!file) return false;
    return ParseVersionBlock(FindSection(file), Block);
}

bool VerQueryString(const TVersionBlock& Block, std::string_view Path, std::string& Value) {
    const std::string prefix =
        Format("\\StringFileInfo\\%.4x%.4x\\", Block.LanguageID, Block.CodePage);
    if (Path.size() < prefix.size() || !SameText(Path.substr(0, prefix.size()), prefix))
        return false;
    const std::string_view key = Path.substr(prefix.size());
    for (const auto& [k, v] : Block.Strings) {
        if (SameText(k, key)) {
            Value = v;
            return true;
        }
    }
    return false;
}

} // namespace kolva
