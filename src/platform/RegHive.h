// The registry's hives as data and as text. A hive is the tree of keys below one root key
// (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) with their values; on disk it is a Windows
// REGEDIT4 registration file, so that it can be read, edited and exchanged with the real
// registry editor. Reading applies the file the way the registry editor imports one (a later
// line wins, "[-KEY]" and "NAME=-" delete) and rejects anything it does not understand, naming
// the file and the line; writing produces the registry editor's own layout.
//
// Key and value names are compared without regard to ASCII case and keep the spelling they
// were created with. Subkeys are kept in name order, values in the order they were created,
// as the registry enumerates them.
//
// A read and a write keep every key (empty ones too), every value with its type and bytes,
// comment lines (with the key or value they stand before) and the file's line breaks (CR LF
// or LF). They normalise the rest as the registry editor would export it: sections in name
// order, one per key including the parents, blank lines, "@" for the default value, dword
// digits, hex bytes and their line wrapping, "hex:" for REG_BINARY, string escapes; the
// later of two values or sections of the same name is merged into the first, and deletions
// are applied.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// Every failure of the registry.
class ERegistryException : public Exception {
    using Exception::Exception;
};

/// A hive file that is not a registration file this reader understands. The message names
/// the file and the 1-based line.
class ERegHiveError : public ERegistryException {
public:
    ERegHiveError(std::string FileName, int Line, std::string_view Problem);
    const std::string& FileName() const { return FFileName; }
    int Line() const { return FLine; }

private:
    std::string FFileName;
    int FLine;
};

// The Windows value types this system interprets; every other type is kept as raw bytes.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;

// The registry's own limits; longer names and deeper keys are refused.
constexpr size_t MaxKeyNameLength = 255;
constexpr size_t MaxKeyDepth = 512;

/// How a value is written in a registration file.
enum TRegValueForm : uint8_t {
    vfString, ///< "text" with escapes; Type is REG_SZ
    vfDWord,  ///< dword:0000002a; Type is REG_DWORD, Data its 4 bytes, little-endian
    vfHex     ///< hex: or hex(N): bytes, of any Type
};

struct TRegValue {
    std::string Name; ///< "" is the key's default value, "@" in the file
    TRegValueForm Form = vfString;
    uint32_t Type = REG_SZ;
    std::string Data;                  ///< the text of a vfString, else the bytes
    std::vector<std::string> Comments; ///< comment lines that stood before it in the file

    static TRegValue String(std::string Name, std::string Text);
    static TRegValue DWord(std::string Name, uint32_t Value);
    /// Form, type and data equal (names and comments aside).
    bool SameData(const TRegValue& Other) const;
};

/// True for a name one key may have: 1 to 255 characters, no backslash, no line break.
bool IsValidKeyName(std::string_view Name);

class TRegKey {
public:
    explicit TRegKey(std::string Name) : FName(std::move(Name)) {}
    TRegKey(const TRegKey& Other);
    TRegKey& operator=(const TRegKey& Other);
    TRegKey(TRegKey&&) = default;
    TRegKey& operator=(TRegKey&&) = default;

    const std::string& Name() const { return FName; }

    int SubKeyCount() const { return int(FSubKeys.size()); }
    /// In name order, ignoring ASCII case.
    const TRegKey& SubKey(int Index) const { return *FSubKeys[Index]; }
    const TRegKey* FindSubKey(std::string_view Name) const;
    TRegKey* FindSubKey(std::string_view Name);
    /// The subkey of that name, created when missing (then *Created is set).
    /// EXPECTS: IsValidKeyName(Name).
    TRegKey& AddSubKey(std::string_view Name, bool* Created = nullptr);
    bool DeleteSubKey(std::string_view Name);

    /// In the order the values were created.
    const std::vector<TRegValue>& Values() const { return FValues; }
    const TRegValue* FindValue(std::string_view Name) const;
    /// Creates the value or replaces its data; a replaced value keeps the spelling of its
    /// name, its place and its comments. False when nothing changed.
    bool SetValue(TRegValue Value);
    bool DeleteValue(std::string_view Name);

    /// Comment lines that stood before the key's section in the file.
    std::vector<std::string> Comments;

private:
    int ValueSlot(std::string_view Name, bool& Found) const;

    std::string FName;
    std::vector<std::unique_ptr<TRegKey>> FSubKeys; // sorted by name
    std::vector<TRegValue> FValues;                 // in creation order
    std::vector<uint32_t> FValueIndex;              // FValues positions sorted by name
};

/// The keys of one root, with what the file keeps besides them.
struct THive {
    explicit THive(std::string RootName) : Root(std::move(RootName)) {}
    TRegKey Root;                              ///< named after the root key
    std::string LineBreak = "\r\n";            ///< the line breaks of the file, CR LF or LF
    std::vector<std::string> TrailingComments; ///< comment lines after the last value

    /// The key at the path (key names below the root), or nullptr.
    const TRegKey* FindKey(const std::vector<std::string>& Path) const;
    TRegKey* FindKey(const std::vector<std::string>& Path);
};

/// Reads a registration file whose keys all lie below the root named RootName
/// ("HKEY_CURRENT_USER"). An empty text is an empty hive. FileName names the file in errors.
/// Raises ERegHiveError.
THive ReadHive(std::string_view Text, std::string_view RootName, std::string_view FileName);

/// The hive as a registration file: "REGEDIT4", a blank line, then every key in name order,
/// each section followed by a blank line. ReadHive reads it back to the same hive.
std::string WriteHive(const THive& Hive);

} // namespace kolva
