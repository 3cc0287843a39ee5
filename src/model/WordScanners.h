// Splits a text into words at delimiter characters, with quoted words that may hold
// delimiters: a field name list ("A, B") or a list of macro parameters. Words are kept as
// positions in the scanned text, so scanning allocates only when the word list grows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

class TWordScanner {
public:
    /// Delimiters are initially the blanks (codes up to 32); the quote is '"'.
    TWordScanner();
    explicit TWordScanner(std::string_view Delimiters);

    void SetDelimiters(std::string_view Chars);
    bool IsDelimiter(char C) const { return FDelimiters[static_cast<unsigned char>(C)]; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char C) { FQuoteChar = C; }

    /// Scans a copy of Text and returns the number of words. A delimiter ends a word; a
    /// word opened by the quote character runs to the next quote (to the end when there is
    /// none), both quotes dropped, and may hold delimiters; "" gives no word.
    int Scan(std::string_view Text);
    int Count() const { return static_cast<int>(FWords.size()); }
    /// Raises EListError outside 0..Count-1.
    std::string_view Words(int Index) const;
    /// 0-based position of word Index in the scanned text.
    int WordStart(int Index) const;
    int WordLength(int Index) const { return static_cast<int>(Words(Index).size()); }
    const std::string& Text() const { return FText; }

private:
    struct TWord {
        size_t Start;
        size_t Length;
    };
    void AddWord(size_t Start, size_t Length);

    std::string FText;
    std::array<bool, 256> FDelimiters{};
    char FQuoteChar = '"';
    std::vector<TWord> FWords;
};

} // namespace kolva
