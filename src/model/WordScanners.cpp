#include "model/WordScanners.h"

#include "platform/SysUtils.h"

namespace kolva {

TWordScanner::TWordScanner() {
    for (int c = 0; c <= 32; ++c)
        FDelimiters[c] = true;
}

TWordScanner::TWordScanner(std::string_view Delimiters) {
    SetDelimiters(Delimiters);
}

void TWordScanner::SetDelimiters(std::string_view Chars) {
    FDelimiters.fill(false);
    for (char c : Chars)
        FDelimiters[static_cast<unsigned char>(c)] = true;
}

// The list grows by 4 entries while below 9, by 16 while below 65, then by a quarter.
void TWordScanner::AddWord(size_t Start, size_t Length) {
    if (FWords.size() == FWords.capacity()) {
        const size_t capacity = FWords.capacity();
        FWords.reserve(capacity + (capacity < 9 ? 4 : capacity < 65 ? 16 : capacity / 4));
    }
    FWords.push_back({Start, Length});
}

int TWordScanner::Scan(std::string_view Text) {
    FText.assign(Text);
    FWords.clear();
    const size_t n = FText.size();
    size_t i = 0;
    while (i < n) {
        const char c = FText[i];
        if (c == FQuoteChar) {
            const size_t start = i + 1;
            size_t close = FText.find(FQuoteChar, start);
            if (close == std::string::npos) close = n;
            if (close > start) AddWord(start, close - start);
            i = close + 1;
        } else if (IsDelimiter(c)) {
            ++i;
        } else {
            const size_t start = i;
            while (i < n && !IsDelimiter(FText[i]))
                ++i;
            AddWord(start, i - start);
        }
    }
    return Count();
}

std::string_view TWordScanner::Words(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    const TWord& w = FWords[size_t(Index)];
    return std::string_view(FText).substr(w.Start, w.Length);
}

int TWordScanner::WordStart(int Index) const {
    Words(Index);
    return static_cast<int>(FWords[size_t(Index)].Start);
}

} // namespace kolva
