// TStringList: the component library's list of strings, each with an optional object.
//
// Lookups (`Find`, `IndexOf`, sorting) ignore ASCII letter case. A sorted list keeps its
// strings in order and applies the duplicates mode on `Add`. `BeginUpdate`/`EndUpdate`
// brackets nest; `OnChange` fires after each change outside a bracket and once when the
// outermost bracket closes.
#pragma once

#include "platform/System.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolva {

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStringList : public TObject {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> Lines);
    TStringList(const TStringList& Other);
    TStringList& operator=(const TStringList& Other);

    int Count() const { return static_cast<int>(FItems.size()); }
    /// EXPECTS nothing: an index outside 0..Count-1 raises EListError.
    const std::string& Strings(int Index) const;
    const std::string& operator[](int Index) const { return Strings(Index); }
    void SetString(int Index, std::string S);
    TObject* Objects(int Index) const;
    void SetObject(int Index, TObject* Object);

    /// Adds at the end, or at the sorted position of a sorted list, where the duplicates
    /// mode decides: dupIgnore returns the existing index, dupError raises EListError.
    int Add(std::string S, TObject* Object = nullptr);
    /// Raises EListError on a sorted list.
    void Insert(int Index, std::string S, TObject* Object = nullptr);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void AddStrings(const TStringList& Other);
    void Assign(const TStringList& Other);

    /// Binary search of a sorted list; Index is the match or the insertion point.
    bool Find(std::string_view S, int& Index) const;
    /// -1 when absent.
    int IndexOf(std::string_view S) const;
    int IndexOfObject(const TObject* Object) const;

    /// Every line followed by CR LF.
    std::string Text() const;
    /// Splits at CR LF, CR or LF; a final line break does not add an empty line.
    void SetText(std::string_view Text);
    /// "Name=Value" access.
    std::string Names(int Index) const;
    int IndexOfName(std::string_view Name) const;
    std::string Values(std::string_view Name) const;
    void SetValue(std::string_view Name, std::string_view Value);
    /// The strings joined by ","; one that is empty or holds a character up to the blank, a
    /// "," or a double quote is written in double quotes with inner quotes doubled.
    std::string CommaText() const;
    /// Clears the list and adds the items of Text: a double-quoted stretch (doubled quotes
    /// are one quote; an unclosed one runs to the end) or a run of characters above the blank
    /// other than ","; blanks and control characters around the separators are skipped, and a
    /// final "," adds no empty item.
    void SetCommaText(std::string_view Text);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    void Sort();

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TNotifyEvent OnChange;

    /// Reads and writes files through the path layer; line ends as for `Text`.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    struct TItem {
        std::string S;
        TObject* Object;
    };
    void CheckIndex(int Index) const;
    void Changed();

    std::vector<TItem> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    int FUpdateCount = 0;
};

} // namespace kolva
