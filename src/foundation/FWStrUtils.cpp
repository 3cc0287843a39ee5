#include "foundation/FWStrUtils.h"

#include "foundation/NumUtils.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <climits>

namespace kolva {

std::string StripWhiteSpace(std::string_view S) {
    std::string r;
    r.reserve(S.size());
    for (char c : S)
        if (!IsWhiteSpace(c)) r += c;
    return r;
}

std::string StringOfChar(char C, int N) {
    return N <= 0 ? std::string() : std::string(N, C);
}

int CountLeading(std::string_view S, char C) {
    size_t n = 0;
    while (n < S.size() && S[n] == C)
        ++n;
    return static_cast<int>(n);
}

std::string Capitalize(std::string_view S) {
    std::string r = LowerCase(S);
    if (!r.empty()) r[0] = UpCase(r[0]);
    return r;
}

bool StartsText(std::string_view Prefix, std::string_view S) {
    return Prefix.size() <= S.size() && SameText(S.substr(0, Prefix.size()), Prefix);
}

bool SplitTrailingNumber(std::string_view S, std::string& Base, int& Number) {
    size_t start = S.size();
    while (start > 0 && S[start - 1] >= '0' && S[start - 1] <= '9')
        --start;
    if (start == S.size()) {
        Base = std::string(S);
        Number = -1;
        return false;
    }
    Base = std::string(S.substr(0, start));
    // A digit run too long for an integer saturates rather than wrapping round.
    int64_t value = 0;
    for (size_t i = start; i < S.size(); ++i)
        value = std::min<int64_t>(value * 10 + (S[i] - '0'), INT_MAX);
    Number = static_cast<int>(value);
    return true;
}

bool SplitNameValue(std::string_view S, std::string& Name, std::string& Value) {
    const size_t eq = S.find('=');
    if (eq == std::string_view::npos) {
        Name.clear();
        Value.clear();
        return false;
    }
    Name = std::string(S.substr(0, eq));
    Value = std::string(S.substr(eq + 1));
    return true;
}

int PosFrom(std::string_view Sub, std::string_view S, int Start) {
    if (Start < 1 || int64_t(S.size()) < int64_t(Sub.size()) + Start - 1) return 0;
    const size_t at = S.find(Sub, size_t(Start - 1));
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

char CharAt(std::string_view S, int I, char Default) {
    return I >= 1 && size_t(I) <= S.size() ? S[I - 1] : Default;
}

void AddToHistory(std::string_view S, TStringList& List, int MaxCount) {
    if (S.empty()) return;
    const int at = List.IndexOf(S);
    if (at > 0) List.Delete(at);
    if (at != 0) List.Insert(0, std::string(S));
    while (List.Count() > Max(MaxCount, 1))
        List.Delete(List.Count() - 1);
}

} // namespace kolva
