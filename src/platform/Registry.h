// TRegistry: the component library's registry class over the hive files of the prefix,
// "user.reg" for HKEY_CURRENT_USER and "system.reg" for HKEY_LOCAL_MACHINE (see HiveFile.h
// for how they are shared between programs, RegHive.h for their format).
//
// As with the component library, an object has a root key and at most one open key; key
// paths are relative to the open key unless they start with a backslash (then, or with no
// key open, they start at the root); names ignore ASCII case and keep their first spelling.
// There is no handle to keep: every operation reads the hive as it is on disk now, and every
// change is written through at once. Consequently:
// - a value another program wrote is seen at the next read;
// - when the open key is deleted (by this or another program) reads find nothing and writes
//   raise "Failed to set data for '%s'", as with a deleted key's handle;
// - a malformed hive file raises ERegHiveError (file and line) from any operation that reads
//   it, and is never written over.
// Reads of a missing value: ReadString gives "", ReadInteger and ReadBool raise "Failed to
// get data for '%s'"; a value of another type raises "Invalid data type for '%s'".
#pragma once

#include "platform/RegHive.h"
#include "platform/StringList.h"
#include "platform/System.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// The root keys, with the values Windows gives them.
enum HKEY : uint32_t { HKEY_CURRENT_USER = 0x80000001, HKEY_LOCAL_MACHINE = 0x80000002 };

/// The kinds of value data, as the component library names them.
enum TRegDataType : uint8_t { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

/// The native path of the root key's hive file in the prefix.
std::string HiveFileName(HKEY Root);

class TRegistry : public TObject {
public:
    /// Root HKEY_CURRENT_USER, no key open.
    TRegistry() = default;
    explicit TRegistry(HKEY Root) : FRootKey(Root) {}
    ~TRegistry() override = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    /// Closes the open key when the root changes.
    void SetRootKey(HKEY Value);
    /// The open key's path below the root, without leading backslash, in the spelling it was
    /// opened with; "" when the root or no key is open.
    const std::string& CurrentPath() const { return FCurrentPath; }
    bool HasCurrentKey() const { return FKeyOpen; }

    /// Opens the key, creating it and its missing parents when CanCreate. False when it does
    /// not exist (and may not be created), or when the path is not a valid key path (an empty
    /// or over-long key name, more than 512 levels).
    bool OpenKey(std::string_view Key, bool CanCreate);
    /// Opens an existing key for reading only: until the next OpenKey every change fails.
    bool OpenKeyReadOnly(std::string_view Key);
    void CloseKey();

    bool KeyExists(std::string_view Key);
    bool ValueExists(std::string_view Name);
    bool HasSubKeys();
    /// The open key's subkeys in name order (the list is cleared first; empty with no key).
    void GetKeyNames(TStringList& Strings);
    /// The open key's value names in the order they were created; "" is the default value.
    void GetValueNames(TStringList& Strings);
    /// rdUnknown for a missing value and for types the component library does not name.
    TRegDataType GetDataType(std::string_view Name);

    /// "" when the value is missing; REG_SZ and REG_EXPAND_SZ data are text.
    std::string ReadString(std::string_view Name);
    void WriteString(std::string_view Name, std::string_view Value);
    /// A REG_DWORD value.
    int32_t ReadInteger(std::string_view Name);
    void WriteInteger(std::string_view Name, int32_t Value);
    /// An integer value, true when not 0; written as 1 or 0.
    bool ReadBool(std::string_view Name);
    void WriteBool(std::string_view Name, bool Value);

    /// False when no such value or no key open for writing.
    bool DeleteValue(std::string_view Name);
    /// Deletes the key with all its subkeys. False when it does not exist, for the root key
    /// and the open key itself (""), and while the open key is read-only.
    bool DeleteKey(std::string_view Key);

private:
    bool ResolvePath(std::string_view Key, std::vector<std::string>& Path) const;
    void SetCurrent(std::vector<std::string> Path, bool ReadOnly);
    const TRegValue* FindValue(std::string_view Name, std::shared_ptr<const THive>& Hive);
    void PutValue(TRegValue Value);
    std::shared_ptr<const THive> LoadHive() const;
    bool Update(const std::function<bool(THive&)>& Change);

    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FKeyOpen = false;
    bool FReadOnly = false;
    std::vector<std::string> FPath; // the open key below the root
    std::string FCurrentPath;
};

} // namespace kolva
