#include "platform/StringList.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace kolva {

TStringList::TStringList(std::initializer_list<std::string> Lines) {
    for (const std::string& s : Lines)
        FItems.push_back({s, nullptr});
}

// Copies carry the lines and the list's modes, never the change handler: a copy is a new
// list that nobody observes yet.
TStringList::TStringList(const TStringList& Other)
    : TObject(), FItems(Other.FItems), FSorted(Other.FSorted), FDuplicates(Other.FDuplicates) {}

TStringList& TStringList::operator=(const TStringList& Other) {
    Assign(Other);
    return *this;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
}

void TStringList::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStringList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

const std::string& TStringList::Strings(int Index) const {
    CheckIndex(Index);
    return FItems[Index].S;
}

void TStringList::SetString(int Index, std::string S) {
    if (FSorted) throw EListError("Operation not allowed on sorted string list");
    CheckIndex(Index);
    FItems[Index].S = std::move(S);
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    CheckIndex(Index);
    return FItems[Index].Object;
}

void TStringList::SetObject(int Index, TObject* Object) {
    CheckIndex(Index);
    FItems[Index].Object = Object;
    Changed();
}

int TStringList::Add(std::string S, TObject* Object) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) throw EListError("String list does not allow duplicates");
    }
    FItems.insert(FItems.begin() + index, TItem{std::move(S), Object});
    Changed();
    return index;
}

void TStringList::Insert(int Index, std::string S, TObject* Object) {
    if (FSorted) throw EListError("Operation not allowed on sorted string list");
    if (Index < 0 || Index > Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    FItems.insert(FItems.begin() + Index, TItem{std::move(S), Object});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    if (FSorted) throw EListError("Operation not allowed on sorted string list");
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TItem item = std::move(FItems[CurIndex]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(item));
    Changed();
}

void TStringList::AddStrings(const TStringList& Other) {
    BeginUpdate();
    for (const TItem& item : Other.FItems)
        Add(item.S, item.Object);
    EndUpdate();
}

void TStringList::Assign(const TStringList& Other) {
    if (&Other == this) return;
    BeginUpdate();
    FItems.clear();
    if (FSorted) {
        for (const TItem& item : Other.FItems)
            Add(item.S, item.Object);
    } else {
        FItems = Other.FItems;
    }
    EndUpdate();
}

bool TStringList::Find(std::string_view S, int& Index) const {
    // Lower bound: with duplicates accepted, the first of equal strings is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareText(FItems[mid].S, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareText(FItems[lo].S, S) == 0;
}

int TStringList::IndexOf(std::string_view S) const {
    if (FSorted) {
        int index;
        return Find(S, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (SameText(FItems[i].S, S)) return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* Object) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Object == Object) return i;
    return -1;
}

std::string TStringList::Text() const {
    size_t size = 0;
    for (const TItem& item : FItems)
        size += item.S.size() + 2;
    std::string r;
    r.reserve(size);
    for (const TItem& item : FItems) {
        r += item.S;
        r += "\r\n";
    }
    return r;
}

// A whole unit is split on every parse of the command line and every load of a file, so the
// line ends are found with memchr and an unsorted list takes its lines without the
// bookkeeping of Add.
void TStringList::SetText(std::string_view Text) {
    BeginUpdate();
    Clear();
    const char* s = Text.data();
    const size_t n = Text.size();
    if (!FSorted && n > 0) {
        size_t lines = 1;
        for (const char* p = s;
             (p = static_cast<const char*>(std::memchr(p, '\n', size_t(s + n - p)))); ++p)
            ++lines;
        FItems.reserve(lines);
    }
    // A line ends at its first CR or LF, or with the text. The next LF is looked for again
    // only once it lies behind: a text with CR line breaks alone is not searched to its end
    // for every line.
    const auto findLf = [&](size_t From) {
        const void* lf = std::memchr(s + From, '\n', n - From);
        return lf ? size_t(static_cast<const char*>(lf) - s) : n;
    };
    size_t nextLf = n > 0 ? findLf(0) : 0;
    size_t i = 0;
    while (i < n) {
        if (nextLf < i) nextLf = findLf(i);
        size_t end = nextLf;
        if (const void* cr = std::memchr(s + i, '\r', end - i))
            end = size_t(static_cast<const char*>(cr) - s);
        if (FSorted)
            Add(std::string(s + i, end - i));
        else
            FItems.push_back({std::string(s + i, end - i), nullptr});
        if (end == n) break;
        i = end + 1;
        if (s[end] == '\r' && i < n && s[i] == '\n') ++i;
    }
    EndUpdate();
}

std::string TStringList::Names(int Index) const {
    const std::string& s = Strings(Index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStringList::IndexOfName(std::string_view Name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = FItems[i].S;
        const size_t eq = s.find('=');
        if (eq != std::string::npos && SameText(std::string_view(s).substr(0, eq), Name)) return i;
    }
    return -1;
}

std::string TStringList::Values(std::string_view Name) const {
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : FItems[i].S.substr(Name.size() + 1);
}

void TStringList::SetValue(std::string_view Name, std::string_view Value) {
    const int i = IndexOfName(Name);
    std::string line = std::string(Name) + "=" + std::string(Value);
    if (Value.empty()) {
        if (i >= 0) Delete(i);
    } else if (i >= 0) {
        FItems[i].S = std::move(line);
        Changed();
    } else {
        Add(std::move(line));
    }
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const TItem& a, const TItem& b) { return CompareText(a.S, b.S) < 0; });
    Changed();
}

namespace {

bool IsCommaBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

// An empty string is quoted too, so that a final empty item reads back (the component
// library wrote it bare, and a final "," reads as nothing).
bool NeedsCommaQuotes(std::string_view S) {
    return S.empty() || std::any_of(S.begin(), S.end(),
                                    [](char C) { return IsCommaBlank(C) || C == ',' || C == '"'; });
}

} // namespace

std::string TStringList::CommaText() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) text += ',';
        const std::string& s = FItems[size_t(i)].S;
        if (!NeedsCommaQuotes(s)) {
            text += s;
            continue;
        }
        text += '"';
        for (char c : s) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TStringList::SetCommaText(std::string_view Text) {
    BeginUpdate();
    Clear();
    size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < Text.size() && IsCommaBlank(Text[p]))
            ++p;
    };
    skipBlanks();
    while (p < Text.size()) {
        std::string item;
        if (Text[p] == '"') {
            for (++p; p < Text.size(); ++p) {
                if (Text[p] != '"') {
                    item += Text[p];
                } else if (p + 1 < Text.size() && Text[p + 1] == '"') {
                    item += '"';
                    ++p;
                } else {
                    ++p;
                    break;
                }
            }
        } else {
            const size_t start = p;
            while (p < Text.size() && !IsCommaBlank(Text[p]) && Text[p] != ',')
                ++p;
            item = Text.substr(start, p - start);
        }
        Add(std::move(item));
        skipBlanks();
        if (p < Text.size() && Text[p] == ',') {
            ++p;
            skipBlanks();
        }
    }
    EndUpdate();
}

void TStringList::LoadFromFile(const std::string& FileName) {
    SetText(ReadFileText(FileName));
}

void TStringList::SaveToFile(const std::string& FileName) const {
    WriteFileText(FileName, Text());
}

} // namespace kolva
