// Text helpers used by the template and code generation code. White space is any character
// with a code below 33; case rules are ASCII.
#pragma once

#include <string>
#include <string_view>

namespace kolva {

class TStringList;

inline bool IsWhiteSpace(char C) {
    return static_cast<unsigned char>(C) < 33;
}
/// S without any white-space character, inside as well as at the ends.
std::string StripWhiteSpace(std::string_view S);
/// N copies of C; empty for N <= 0.
std::string StringOfChar(char C, int N);
inline std::string Spaces(int N) {
    return StringOfChar(' ', N);
}
/// Number of leading characters equal to C.
int CountLeading(std::string_view S, char C);
inline int LeadingSpaces(std::string_view S) {
    return CountLeading(S, ' ');
}
/// S in lower case with its first character in upper case.
std::string Capitalize(std::string_view S);
/// S begins with Prefix, ignoring case; an empty prefix always matches.
bool StartsText(std::string_view Prefix, std::string_view S);
/// When S ends in decimal digits: Base is S without them, Number their value, true.
/// Otherwise Base is S, Number is -1, false.
bool SplitTrailingNumber(std::string_view S, std::string& Base, int& Number);
/// Splits at the first "="; both empty and false when there is none.
bool SplitNameValue(std::string_view S, std::string& Name, std::string& Value);
/// 1-based position of the first Sub in S at or after the 1-based Start; 0 when absent.
int PosFrom(std::string_view Sub, std::string_view S, int Start);
/// The I-th character (1-based), or Default outside 1..Length(S).
char CharAt(std::string_view S, int I, char Default);

/// Moves S to the front of a most-recently-used list of at most Max(MaxCount, 1) entries;
/// an empty S changes nothing. Lookup ignores case.
void AddToHistory(std::string_view S, TStringList& List, int MaxCount);

} // namespace kolva
