// Version blocks: what stands in for Windows version resources. Each deliverable carries one
// in its ELF section ".kolva_version", written at build time (cmake/VersionBlock.cmake).
//
// Byte layout, little-endian:
//   0   "KOLVAVER"            magic
//   8   uint32                size of the whole block
//   12  13 x uint32           the fixed file information, in the order of TFixedFileInfo
//   64  uint16, uint16        translation: language and code page
//   68  key NUL value NUL ... string values, ended by an empty key
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolva {

struct TFixedFileInfo {
    uint32_t Signature, StrucVersion;
    uint32_t FileVersionMS, FileVersionLS, ProductVersionMS, ProductVersionLS;
    uint32_t FileFlagsMask, FileFlags, FileOS, FileType, FileSubtype;
    uint32_t FileDateMS, FileDateLS;
};

struct TVersionBlock {
    TFixedFileInfo Fixed{};
    uint16_t LanguageID = 0;
    uint16_t CodePage = 0;
    std::vector<std::pair<std::string, std::string>> Strings;
};

/// Reads the version block of an ELF file (path through the path layer). False when the
/// file does not exist, is not ELF, or has no well-formed block.
bool ReadVersionBlock(std::string_view FileName, TVersionBlock& Block);

/// Parses the block's bytes; false when they are not a well-formed block.
bool ParseVersionBlock(std::string_view Bytes, TVersionBlock& Block);

/// Looks a value up by its Windows query path: "\StringFileInfo\LLLLCCCC\Key", where
/// LLLL and CCCC are the block's language and code page in hexadecimal.
bool VerQueryString(const TVersionBlock& Block, std::string_view Path, std::string& Value);

} // namespace kolva
