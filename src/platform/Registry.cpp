#include "platform/Registry.h"

#include "platform/HiveFile.h"
#include "platform/Paths.h"

namespace kolva {

namespace {

std::string_view RootName(HKEY Root) {
    switch (Root) {
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    }
    throw ERegistryException(Format("Invalid registry root key %x", uint32_t(Root)));
}

[[noreturn]] void SetDataFailed(std::string_view Name) {
    throw ERegistryException(Format("Failed to set data for '%s'", Name));
}

[[noreturn]] void InvalidType(std::string_view Name) {
    throw ERegistryException(Format("Invalid data type for '%s'", Name));
}

std::string Join(const std::vector<std::string>& Path) {
    std::string text;
    for (const std::string& name : Path) {
        if (!text.empty()) text += '\\';
        text += name;
    }
    return text;
}

// Text data up to the first NUL, as a C program reading the value would see it.
std::string TextOfHex(const std::string& Data) {
    return Data.substr(0, Data.find('\0'));
}

} // namespace

std::string HiveFileName(HKEY Root) {
    return KolvaPrefix() + (Root == HKEY_LOCAL_MACHINE ? "/system.reg" : "/user.reg");
}

std::shared_ptr<const THive> TRegistry::LoadHive() const {
    return ReadHiveFile(HiveFileName(FRootKey), RootName(FRootKey));
}

bool TRegistry::Update(const std::function<bool(THive&)>& Change) {
    return UpdateHiveFile(HiveFileName(FRootKey), RootName(FRootKey), Change);
}

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey) return;
    RootName(Value); // refuse an unknown root before changing anything
    CloseKey();
    FRootKey = Value;
}

// A path is relative to the open key unless it starts with a backslash; one trailing
// backslash is allowed, as the registry allows it.
bool TRegistry::ResolvePath(std::string_view Key, std::vector<std::string>& Path) const {
    const bool relative = !Key.starts_with('\\');
    if (!relative) Key.remove_prefix(1);
    if (Key.ends_with('\\')) Key.remove_suffix(1);
    Path = relative && FKeyOpen ? FPath : std::vector<std::string>();
    if (Key.empty()) return true;
    for (size_t start = 0;;) {
        const size_t end = Key.find('\\', start);
        const std::string_view name = Key.substr(start, end - start);
        if (!IsValidKeyName(name) || Path.size() == MaxKeyDepth) return false;
        Path.emplace_back(name);
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

void TRegistry::SetCurrent(std::vector<std::string> Path, bool ReadOnly) {
    FKeyOpen = true;
    FReadOnly = ReadOnly;
    FCurrentPath = Join(Path);
    FPath = std::move(Path);
}

bool TRegistry::OpenKey(std::string_view Key, bool CanCreate) {
    std::vector<std::string> path;
    if (!ResolvePath(Key, path)) return false;
    if (!LoadHive()->FindKey(path)) {
        if (!CanCreate) return false;
        // A relative path hangs from the open key; if that was deleted meanwhile, it is not
        // brought back to life.
        const size_t base = Key.starts_with('\\') || !FKeyOpen ? 0 : FPath.size();
        bool created = false;
        Update([&](THive& Hive) {
            TRegKey* key = Hive.FindKey(std::vector(path.begin(), path.begin() + base));
            if (!key) return false;
            for (size_t i = base; i < path.size(); ++i) {
                bool added = false;
                key = &key->AddSubKey(path[i], &added);
                created = created || added;
            }
            return created;
        });
        if (!created && !LoadHive()->FindKey(path)) return false;
    }
    SetCurrent(std::move(path), false);
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view Key) {
    std::vector<std::string> path;
    if (!ResolvePath(Key, path) || !LoadHive()->FindKey(path)) return false;
    SetCurrent(std::move(path), true);
    return true;
}

void TRegistry::CloseKey() {
    FKeyOpen = false;
    FReadOnly = false;
    FPath.clear();
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(std::string_view Key) {
    std::vector<std::string> path;
    return ResolvePath(Key, path) && LoadHive()->FindKey(path);
}

const TRegValue* TRegistry::FindValue(std::string_view Name, std::shared_ptr<const THive>& Hive) {
    if (!FKeyOpen) return nullptr;
    Hive = LoadHive();
    const TRegKey* key = Hive->FindKey(FPath);
    return key ? key->FindValue(Name) : nullptr;
}

bool TRegistry::ValueExists(std::string_view Name) {
    std::shared_ptr<const THive> hive;
    return FindValue(Name, hive);
}

bool TRegistry::HasSubKeys() {
    if (!FKeyOpen) return false;
    const auto hive = LoadHive();
    const TRegKey* key = hive->FindKey(FPath);
    return key && key->SubKeyCount() > 0;
}

void TRegistry::GetKeyNames(TStringList& Strings) {
    std::shared_ptr<const THive> hive = FKeyOpen ? LoadHive() : nullptr;
    const TRegKey* key = hive ? hive->FindKey(FPath) : nullptr;
    Strings.BeginUpdate();
    Strings.Clear();
    for (int i = 0; key && i < key->SubKeyCount(); ++i)
        Strings.Add(key->SubKey(i).Name());
    Strings.EndUpdate();
}

void TRegistry::GetValueNames(TStringList& Strings) {
    std::shared_ptr<const THive> hive = FKeyOpen ? LoadHive() : nullptr;
    const TRegKey* key = hive ? hive->FindKey(FPath) : nullptr;
    Strings.BeginUpdate();
    Strings.Clear();
    if (key)
        for (const TRegValue& value : key->Values())
            Strings.Add(value.Name);
    Strings.EndUpdate();
}

TRegDataType TRegistry::GetDataType(std::string_view Name) {
    std::shared_ptr<const THive> hive;
    const TRegValue* value = FindValue(Name, hive);
    if (!value) return rdUnknown;
    switch (value->Type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

std::string TRegistry::ReadString(std::string_view Name) {
    std::shared_ptr<const THive> hive;
    const TRegValue* value = FindValue(Name, hive);
    if (!value) return std::string();
    if (value->Form == vfString) return value->Data;
    if (value->Form == vfHex && (value->Type == REG_SZ || value->Type == REG_EXPAND_SZ))
        return TextOfHex(value->Data);
    InvalidType(Name);
}

int32_t TRegistry::ReadInteger(std::string_view Name) {
    std::shared_ptr<const THive> hive;
    const TRegValue* value = FindValue(Name, hive);
    if (!value) throw ERegistryException(Format("Failed to get data for '%s'", Name));
    if (value->Type != REG_DWORD || value->Form == vfString || value->Data.size() != 4)
        InvalidType(Name);
    uint32_t number = 0;
    for (int i = 0; i < 4; ++i)
        number |= uint32_t(uint8_t(value->Data[i])) << (8 * i);
    return int32_t(number);
}

bool TRegistry::ReadBool(std::string_view Name) {
    return ReadInteger(Name) != 0;
}

// Rewriting a value with the data it already has costs no write: saving unchanged settings
// leaves the file alone.
void TRegistry::PutValue(TRegValue Value) {
    if (!FKeyOpen || FReadOnly) SetDataFailed(Value.Name);
    std::shared_ptr<const THive> hive;
    if (const TRegValue* old = FindValue(Value.Name, hive); old && old->SameData(Value)) return;
    Update([&](THive& Hive) {
        TRegKey* key = Hive.FindKey(FPath);
        if (!key) SetDataFailed(Value.Name);
        return key->SetValue(Value);
    });
}

void TRegistry::WriteString(std::string_view Name, std::string_view Value) {
    PutValue(TRegValue::String(std::string(Name), std::string(Value)));
}

void TRegistry::WriteInteger(std::string_view Name, int32_t Value) {
    PutValue(TRegValue::DWord(std::string(Name), uint32_t(Value)));
}

void TRegistry::WriteBool(std::string_view Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

bool TRegistry::DeleteValue(std::string_view Name) {
    if (!FKeyOpen || FReadOnly || !ValueExists(Name)) return false;
    return Update([&](THive& Hive) {
        TRegKey* key = Hive.FindKey(FPath);
        return key && key->DeleteValue(Name);
    });
}

bool TRegistry::DeleteKey(std::string_view Key) {
    std::vector<std::string> path;
    if (FReadOnly || !ResolvePath(Key, path)) return false;
    const size_t base = Key.starts_with('\\') || !FKeyOpen ? 0 : FPath.size();
    if (path.size() == base || !LoadHive()->FindKey(path)) return false;
    const std::string name = path.back();
    path.pop_back();
    return Update([&](THive& Hive) {
        TRegKey* parent = Hive.FindKey(path);
        return parent && parent->DeleteSubKey(name);
    });
}

} // namespace kolva
