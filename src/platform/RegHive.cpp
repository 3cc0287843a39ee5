#include "platform/RegHive.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kolva {

ERegHiveError::ERegHiveError(std::string FileName, int Line, std::string_view Problem)
    : ERegistryException(
          Format("Invalid registry file \"%s\", line %d: %s", FileName, Line, Problem)),
      FFileName(std::move(FileName)), FLine(Line) {}

// --- Values and keys ---------------------------------------------------------------------

TRegValue TRegValue::String(std::string Name, std::string Text) {
    TRegValue v;
    v.Name = std::move(Name);
    v.Data = std::move(Text);
    return v;
}

TRegValue TRegValue::DWord(std::string Name, uint32_t Value) {
    TRegValue v;
    v.Name = std::move(Name);
    v.Form = vfDWord;
    v.Type = REG_DWORD;
    for (int i = 0; i < 4; ++i)
        v.Data += char((Value >> (8 * i)) & 0xFF);
    return v;
}

bool TRegValue::SameData(const TRegValue& Other) const {
    return Form == Other.Form && Type == Other.Type && Data == Other.Data;
}

bool IsValidKeyName(std::string_view Name) {
    return !Name.empty() && Name.size() <= MaxKeyNameLength &&
           Name.find_first_of("\\\r\n") == std::string_view::npos;
}

TRegKey::TRegKey(const TRegKey& Other)
    : Comments(Other.Comments), FName(Other.FName), FValues(Other.FValues),
      FValueIndex(Other.FValueIndex) {
    FSubKeys.reserve(Other.FSubKeys.size());
    for (const auto& sub : Other.FSubKeys)
        FSubKeys.push_back(std::make_unique<TRegKey>(*sub));
}

TRegKey& TRegKey::operator=(const TRegKey& Other) {
    if (this != &Other) *this = TRegKey(Other);
    return *this;
}

namespace {

// Subkeys are sorted case-insensitively, so that lookups are binary searches and
// enumeration yields the order the registry itself reports.
auto SubKeySlot(const std::vector<std::unique_ptr<TRegKey>>& Keys, std::string_view Name) {
    return std::lower_bound(Keys.begin(), Keys.end(), Name,
                            [](const std::unique_ptr<TRegKey>& k, std::string_view n) {
                                return CompareText(k->Name(), n) < 0;
                            });
}

} // namespace

const TRegKey* TRegKey::FindSubKey(std::string_view Name) const {
    const auto it = SubKeySlot(FSubKeys, Name);
    return it != FSubKeys.end() && SameText((*it)->Name(), Name) ? it->get() : nullptr;
}

TRegKey* TRegKey::FindSubKey(std::string_view Name) {
    return const_cast<TRegKey*>(std::as_const(*this).FindSubKey(Name));
}

TRegKey& TRegKey::AddSubKey(std::string_view Name, bool* Created) {
    const auto it = SubKeySlot(FSubKeys, Name);
    const bool found = it != FSubKeys.end() && SameText((*it)->Name(), Name);
    if (Created) *Created = !found;
    if (found) return **it;
    return **FSubKeys.insert(it, std::make_unique<TRegKey>(std::string(Name)));
}

bool TRegKey::DeleteSubKey(std::string_view Name) {
    const auto it = SubKeySlot(FSubKeys, Name);
    if (it == FSubKeys.end() || !SameText((*it)->Name(), Name)) return false;
    FSubKeys.erase(it);
    return true;
}

// Values keep their creation order in FValues; FValueIndex orders their positions by name so
// that a large key does not make every lookup a scan.
int TRegKey::ValueSlot(std::string_view Name, bool& Found) const {
    const auto it = std::lower_bound(
        FValueIndex.begin(), FValueIndex.end(), Name,
        [this](uint32_t pos, std::string_view n) { return CompareText(FValues[pos].Name, n) < 0; });
    Found = it != FValueIndex.end() && SameText(FValues[*it].Name, Name);
    return int(it - FValueIndex.begin());
}

const TRegValue* TRegKey::FindValue(std::string_view Name) const {
    bool found;
    const int slot = ValueSlot(Name, found);
    return found ? &FValues[FValueIndex[slot]] : nullptr;
}

bool TRegKey::SetValue(TRegValue Value) {
    bool found;
    const int slot = ValueSlot(Value.Name, found);
    if (!found) {
        FValueIndex.insert(FValueIndex.begin() + slot, uint32_t(FValues.size()));
        FValues.push_back(std::move(Value));
        return true;
    }
    TRegValue& old = FValues[FValueIndex[slot]];
    const bool changed = !old.SameData(Value) || !Value.Comments.empty();
    old.Form = Value.Form;
    old.Type = Value.Type;
    old.Data = std::move(Value.Data);
    old.Comments.insert(old.Comments.end(), Value.Comments.begin(), Value.Comments.end());
    return changed;
}

bool TRegKey::DeleteValue(std::string_view Name) {
    bool found;
    const int slot = ValueSlot(Name, found);
    if (!found) return false;
    const uint32_t pos = FValueIndex[slot];
    FValues.erase(FValues.begin() + pos);
    FValueIndex.erase(FValueIndex.begin() + slot);
    for (uint32_t& p : FValueIndex)
        if (p > pos) --p;
    return true;
}

const TRegKey* THive::FindKey(const std::vector<std::string>& Path) const {
    const TRegKey* key = &Root;
    for (const std::string& name : Path)
        if (!(key = key->FindSubKey(name))) return nullptr;
    return key;
}

TRegKey* THive::FindKey(const std::vector<std::string>& Path) {
    return const_cast<TRegKey*>(std::as_const(*this).FindKey(Path));
}

// --- Reading ------------------------------------------------------------------------------

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

void SkipBlanks(std::string_view& S) {
    while (!S.empty() && IsBlank(S.front()))
        S.remove_prefix(1);
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// Takes up to MaxDigits hexadecimal digits from the front of S; the number of digits taken.
int TakeHex(std::string_view& S, int MaxDigits, uint32_t& Value) {
    int n = 0;
    Value = 0;
    while (n < MaxDigits && !S.empty() && HexDigit(S.front()) >= 0) {
        Value = Value << 4 | uint32_t(HexDigit(S.front()));
        S.remove_prefix(1);
        ++n;
    }
    return n;
}

bool StartsText(std::string_view S, std::string_view Prefix) {
    return S.size() >= Prefix.size() && SameText(S.substr(0, Prefix.size()), Prefix);
}

// Reads a registration file line by line into a hive. Each line is one of: blank, a
// ";comment", a "[key]" or "[-key]" section, or a value of the current section; only hex
// data continues onto further lines (a trailing backslash).
class THiveReader {
public:
    THiveReader(std::string_view Text, std::string_view RootName, std::string_view FileName)
        : FText(Text), FFileName(FileName), FHive(std::string(RootName)) {}

    THive Read();

private:
    bool NextLine();
    [[noreturn]] void Fail(std::string_view Problem) const {
        throw ERegHiveError(FFileName, FLine, Problem);
    }
    void ExpectEnd(std::string_view Rest) const {
        SkipBlanks(Rest);
        if (!Rest.empty()) Fail("unexpected text after the value");
    }
    void ReadSection(std::string_view Line);
    void ReadValue(std::string_view Line);
    std::string ReadQuoted(std::string_view& Rest) const;
    std::string ReadHexBytes(std::string_view Rest);

    std::string_view FText;
    std::string FFileName;
    THive FHive;
    size_t FPos = 0;
    int FLine = 0;
    std::string_view FLineText;
    TRegKey* FKey = nullptr; // the section's key; none before the first and after "[-key]"
    std::vector<std::string> FComments; // comment lines waiting for the next key or value
};

bool THiveReader::NextLine() {
    if (FPos >= FText.size()) return false;
    size_t end = FText.find_first_of("\r\n", FPos);
    if (end == std::string_view::npos) end = FText.size();
    FLineText = FText.substr(FPos, end - FPos);
    FPos = end + (FText.substr(end, 2) == "\r\n" ? 2 : 1);
    ++FLine;
    return true;
}

THive THiveReader::Read() {
    if (FText.starts_with("\xEF\xBB\xBF")) FText.remove_prefix(3);
    // Only a file of blanks is an empty hive; a file of NULs (left by a crash on some file
    // systems) is reported like any other damage.
    if (FText.find_first_not_of(" \t\r\n") == std::string_view::npos) return std::move(FHive);
    const size_t brk = FText.find_first_of("\r\n");
    if (brk != std::string_view::npos && FText[brk] == '\n') FHive.LineBreak = "\n";

    NextLine();
    if (FText.starts_with("\xFF\xFE") || FText.starts_with("\xFE\xFF"))
        Fail("UTF-16 text; save the file as a REGEDIT4 (Win9x/NT4) registration file");
    std::string_view header = FLineText;
    while (!header.empty() && IsBlank(header.back()))
        header.remove_suffix(1);
    if (header != "REGEDIT4") Fail("not a registration file: the first line must be REGEDIT4");

    while (NextLine()) {
        std::string_view line = FLineText;
        SkipBlanks(line);
        if (line.empty()) continue;
        switch (line.front()) {
        case ';':
            FComments.emplace_back(FLineText);
            break;
        case '[':
            ReadSection(line);
            break;
        case '"':
        case '@':
            ReadValue(line);
            break;
        default:
            Fail("unexpected text: expected a [key], a value or a ;comment");
        }
    }
    FHive.TrailingComments = std::move(FComments);
    return std::move(FHive);
}

void THiveReader::ReadSection(std::string_view Line) {
    const size_t close = Line.rfind(']');
    if (close == std::string_view::npos) Fail("missing \"]\" after the key");
    std::string_view rest = Line.substr(close + 1);
    SkipBlanks(rest);
    if (!rest.empty()) Fail("unexpected text after the key");
    std::string_view name = Line.substr(1, close - 1);
    const bool remove = name.starts_with('-');
    if (remove) name.remove_prefix(1);

    const size_t slash = name.find('\\');
    if (!SameText(name.substr(0, slash), FHive.Root.Name()))
        Fail(Format("key outside %s", FHive.Root.Name()));
    std::vector<std::string_view> path;
    for (size_t i = slash; i != std::string_view::npos;) {
        const size_t next = name.find('\\', i + 1);
        const std::string_view part = name.substr(i + 1, next - i - 1);
        if (part.empty()) Fail("empty key name");
        if (part.size() > MaxKeyNameLength) Fail("key name longer than 255 characters");
        if (path.size() == MaxKeyDepth) Fail("keys nested deeper than 512 levels");
        path.push_back(part);
        i = next;
    }

    if (remove) {
        if (path.empty()) Fail("the root key cannot be deleted");
        TRegKey* parent = &FHive.Root;
        for (size_t i = 0; parent && i + 1 < path.size(); ++i)
            parent = parent->FindSubKey(path[i]);
        if (parent) parent->DeleteSubKey(path.back());
        FKey = nullptr;
        return;
    }
    FKey = &FHive.Root;
    for (std::string_view part : path)
        FKey = &FKey->AddSubKey(part);
    FKey->Comments.insert(FKey->Comments.end(), FComments.begin(), FComments.end());
    FComments.clear();
}

void THiveReader::ReadValue(std::string_view Line) {
    if (!FKey) Fail("value outside a key");
    std::string name; // "@" names the default value, which has the empty name
    const bool quoted = Line.front() == '"';
    Line.remove_prefix(1);
    if (quoted) name = ReadQuoted(Line);
    SkipBlanks(Line);
    if (!Line.starts_with('=')) Fail("missing \"=\" after the value name");
    Line.remove_prefix(1);
    SkipBlanks(Line);

    TRegValue value;
    if (Line.starts_with('"')) {
        Line.remove_prefix(1);
        value = TRegValue::String(std::move(name), ReadQuoted(Line));
        ExpectEnd(Line);
    } else if (Line.starts_with('-')) {
        ExpectEnd(Line.substr(1));
        FKey->DeleteValue(name);
        return;
    } else if (StartsText(Line, "dword:")) {
        Line.remove_prefix(6);
        uint32_t number;
        if (TakeHex(Line, 8, number) == 0) Fail("invalid dword value");
        ExpectEnd(Line);
        value = TRegValue::DWord(std::move(name), number);
    } else if (StartsText(Line, "hex")) {
        Line.remove_prefix(3);
        value.Name = std::move(name);
        value.Form = vfHex;
        value.Type = REG_BINARY;
        if (Line.starts_with('(')) {
            Line.remove_prefix(1);
            if (TakeHex(Line, 8, value.Type) == 0 || !Line.starts_with(')'))
                Fail("invalid value type in hex(...)");
            Line.remove_prefix(1);
        }
        if (!Line.starts_with(':')) Fail("missing \":\" after hex");
        value.Data = ReadHexBytes(Line.substr(1));
    } else {
        Fail("unknown kind of value: expected \"text\", dword: or hex:");
    }
    value.Comments = std::move(FComments);
    FComments.clear();
    FKey->SetValue(std::move(value));
}

// Rest starts after the opening quote and is left after the closing one. Besides the
// registry editor's \\ and \", the escapes \n, \r and \0 that Wine writes are understood;
// any other backslash stands for itself.
std::string THiveReader::ReadQuoted(std::string_view& Rest) const {
    std::string text;
    size_t i = 0;
    for (;;) {
        if (i >= Rest.size()) Fail("missing closing quote");
        const char c = Rest[i];
        if (c == '"') break;
        if (c == '\\' && i + 1 < Rest.size()) {
            switch (const char e = Rest[i + 1]) {
            case '\\':
            case '"':
                text += e;
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case '0':
                text += '\0';
                break;
            default:
                text += c, text += e;
            }
            i += 2;
        } else {
            text += c;
            ++i;
        }
    }
    Rest.remove_prefix(i + 1);
    return text;
}

// Comma-separated bytes of one or two hex digits; a backslash at the end of a line
// continues the data on the next one.
std::string THiveReader::ReadHexBytes(std::string_view Rest) {
    std::string bytes;
    for (;;) {
        SkipBlanks(Rest);
        if (Rest.empty()) break;
        if (Rest.front() == '\\') {
            Rest.remove_prefix(1);
            SkipBlanks(Rest);
            if (!Rest.empty()) Fail("unexpected text after \"\\\"");
            if (!NextLine()) Fail("the value continues past the end of the file");
            Rest = FLineText;
            continue;
        }
        uint32_t byte;
        if (TakeHex(Rest, 2, byte) == 0) Fail("invalid hex byte");
        bytes += char(byte);
        SkipBlanks(Rest);
        if (Rest.starts_with(',')) {
            Rest.remove_prefix(1);
        } else if (!Rest.empty() && Rest.front() != '\\') {
            Fail("expected \",\" between hex bytes");
        }
    }
    return bytes;
}

} // namespace

THive ReadHive(std::string_view Text, std::string_view RootName, std::string_view FileName) {
    return THiveReader(Text, RootName, FileName).Read();
}

// --- Writing ------------------------------------------------------------------------------

namespace {

// The inverse of ReadQuoted, with Wine's escapes for the characters that would break the
// line, so that no text is lost.
void AppendQuoted(std::string& Out, std::string_view Text) {
    Out += '"';
    for (const char c : Text) {
        switch (c) {
        case '\\':
            Out += "\\\\";
            break;
        case '"':
            Out += "\\\"";
            break;
        case '\n':
            Out += "\\n";
            break;
        case '\r':
            Out += "\\r";
            break;
        case '\0':
            Out += "\\0";
            break;
        default:
            Out += c;
        }
    }
    Out += '"';
}

// The registry editor's layout of hex data: lower-case bytes, lines broken after the comma
// that takes a line to 77 characters or more, continuation lines indented by two blanks.
void AppendHex(std::string& Out, const TRegValue& Value, size_t LineStart, const std::string& LB) {
    char buf[24];
    if (Value.Type == REG_BINARY) {
        Out += "hex:";
    } else {
        snprintf(buf, sizeof buf, "hex(%x):", unsigned(Value.Type));
        Out += buf;
    }
    size_t column = Out.size() - LineStart;
    for (size_t i = 0; i < Value.Data.size(); ++i) {
        snprintf(buf, sizeof buf, "%02x", unsigned(uint8_t(Value.Data[i])));
        Out += buf;
        if (i + 1 == Value.Data.size()) break;
        Out += ',';
        column += 3;
        if (column >= 77) {
            Out += '\\';
            Out += LB;
            Out += "  ";
            column = 2;
        }
    }
}

void AppendValue(std::string& Out, const TRegValue& Value, const std::string& LB) {
    for (const std::string& comment : Value.Comments)
        Out += comment + LB;
    const size_t lineStart = Out.size();
    if (Value.Name.empty())
        Out += '@';
    else
        AppendQuoted(Out, Value.Name);
    Out += '=';
    switch (Value.Form) {
    case vfString:
        AppendQuoted(Out, Value.Data);
        break;
    case vfDWord: {
        uint32_t number = 0;
        for (size_t i = 0; i < 4 && i < Value.Data.size(); ++i)
            number |= uint32_t(uint8_t(Value.Data[i])) << (8 * i);
        char buf[16];
        snprintf(buf, sizeof buf, "dword:%08x", unsigned(number));
        Out += buf;
        break;
    }
    case vfHex:
        AppendHex(Out, Value, lineStart, LB);
        break;
    }
    Out += LB;
}

// Every key gets a section, empty or not, so that empty keys survive; the root only when it
// has something of its own to write.
void AppendKey(std::string& Out, const TRegKey& Key, const std::string& Path, bool IsRoot,
               const std::string& LB) {
    if (!IsRoot || !Key.Values().empty() || !Key.Comments.empty()) {
        for (const std::string& comment : Key.Comments)
            Out += comment + LB;
        Out += '[' + Path + ']' + LB;
        for (const TRegValue& value : Key.Values())
            AppendValue(Out, value, LB);
        Out += LB;
    }
    for (int i = 0; i < Key.SubKeyCount(); ++i) {
        const TRegKey& sub = Key.SubKey(i);
        AppendKey(Out, sub, Path + '\\' + sub.Name(), false, LB);
    }
}

} // namespace

std::string WriteHive(const THive& Hive) {
    const std::string& lb = Hive.LineBreak;
    std::string out = "REGEDIT4" + lb + lb;
    AppendKey(out, Hive.Root, Hive.Root.Name(), true, lb);
    for (const std::string& comment : Hive.TrailingComments)
        out += comment + lb;
    return out;
}

} // namespace kolva
