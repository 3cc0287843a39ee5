#include "platform/SysUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kolva {

void Abort() {
    throw EAbort();
}

std::string UpperCase(std::string_view S) {
    std::string r(S);
    for (char& c : r)
        c = UpCase(c);
    return r;
}

std::string LowerCase(std::string_view S) {
    std::string r(S);
    for (char& c : r)
        c = LoCase(c);
    return r;
}

int CompareText(std::string_view S1, std::string_view S2) {
    const size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(UpCase(S1[i]));
        const auto b = static_cast<unsigned char>(UpCase(S2[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
}

int CompareStr(std::string_view S1, std::string_view S2) {
    const int r = S1.compare(S2);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool SameText(std::string_view S1, std::string_view S2) {
    if (S1.size() != S2.size()) return false;
    // Names compared are mostly spelt alike: fold the case only where the bytes differ.
    for (size_t i = 0; i < S1.size(); ++i)
        if (S1[i] != S2[i] && UpCase(S1[i]) != UpCase(S2[i])) return false;
    return true;
}

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) < 33;
}
} // namespace

std::string TrimLeft(std::string_view S) {
    size_t i = 0;
    while (i < S.size() && IsBlank(S[i]))
        ++i;
    return std::string(S.substr(i));
}

std::string TrimRight(std::string_view S) {
    size_t n = S.size();
    while (n > 0 && IsBlank(S[n - 1]))
        --n;
    return std::string(S.substr(0, n));
}

std::string Trim(std::string_view S) {
    return TrimLeft(TrimRight(S));
}

namespace {
bool IsIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
} // namespace

bool IsValidIdent(std::string_view Ident) {
    if (Ident.empty() || !IsIdentStart(Ident[0])) return false;
    for (char c : Ident.substr(1))
        if (!IsIdentStart(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

std::string IntToStr(int64_t Value) {
    return std::to_string(Value);
}

std::string IntToHex(int64_t Value, int Digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", Digits < 0 ? 0 : Digits,
                  static_cast<unsigned long long>(Value));
    return buf;
}

bool TryStrToInt64(std::string_view S, int64_t& Value) {
    const std::string t = Trim(S);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size()) return false;
    uint64_t v = 0;
    const uint64_t limit = base == 16 ? UINT64_MAX : uint64_t(INT64_MAX) + (negative ? 1 : 0);
    for (; i < t.size(); ++i) {
        const char c = LoCase(t[i]);
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return false;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    Value = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

bool TryStrToInt(std::string_view S, int32_t& Value) {
    int64_t v;
    if (!TryStrToInt64(S, v)) return false;
    // Hexadecimal texts may spell a negative number in its 32-bit two's complement.
    if (v < INT32_MIN || v > UINT32_MAX) return false;
    Value = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (v > INT32_MAX && Trim(S).find_first_of("$xX") == std::string::npos) return false;
    return true;
}

int32_t StrToInt(std::string_view S) {
    int32_t v;
    if (!TryStrToInt(S, v))
        throw EConvertError(Format("'%s' is not a valid integer value", std::string(S)));
    return v;
}

int64_t StrToInt64(std::string_view S) {
    int64_t v;
    if (!TryStrToInt64(S, v))
        throw EConvertError(Format("'%s' is not a valid integer value", std::string(S)));
    return v;
}

int32_t StrToIntDef(std::string_view S, int32_t Default) {
    int32_t v;
    return TryStrToInt(S, v) ? v : Default;
}

// ---------------------------------------------------------------------------------------
// Format

namespace {

class TFormatter {
public:
    TFormatter(std::string_view fmt, const TFormatArg* args, size_t count)
        : FFmt(fmt), FArgs(args), FCount(count) {}

    std::string Run() {
        size_t i = 0;
        while (i < FFmt.size()) {
            const size_t pct = FFmt.find('%', i);
            if (pct == std::string_view::npos) {
                FOut.append(FFmt.substr(i));
                break;
            }
            FOut.append(FFmt.substr(i, pct - i));
            i = Conversion(pct + 1);
        }
        return std::move(FOut);
    }

private:
    [[noreturn]] void Invalid() const {
        throw EConvertError("Format '" + std::string(FFmt) +
                            "' invalid or incompatible with argument");
    }

    const TFormatArg& NextArg() {
        if (FNext >= FCount)
            throw EConvertError("No argument for format '" + std::string(FFmt) + "'");
        return FArgs[FNext++];
    }

    int64_t IntArg() {
        const TFormatArg& a = NextArg();
        if (!std::holds_alternative<int64_t>(a)) Invalid();
        return std::get<int64_t>(a);
    }

    // Reads a number or "*" at i; -1 when there is none.
    int Number(size_t& i) {
        if (i < FFmt.size() && FFmt[i] == '*') {
            ++i;
            return static_cast<int>(IntArg());
        }
        int n = -1;
        while (i < FFmt.size() && FFmt[i] >= '0' && FFmt[i] <= '9') {
            n = (n < 0 ? 0 : n) * 10 + (FFmt[i++] - '0');
            if (n > 100000) Invalid();
        }
        return n;
    }

    size_t Conversion(size_t i) {
        if (i < FFmt.size() && FFmt[i] == '%') {
            FOut += '%';
            return i + 1;
        }
        bool left = false;
        int width = Number(i);
        if (i < FFmt.size() && FFmt[i] == ':') {
            if (width < 0) width = 0;
            FNext = static_cast<size_t>(width);
            ++i;
            width = -1;
        }
        if (i < FFmt.size() && FFmt[i] == '-') {
            left = true;
            ++i;
        }
        if (width < 0) width = Number(i);
        int prec = -1;
        if (i < FFmt.size() && FFmt[i] == '.') {
            ++i;
            prec = Number(i);
            if (prec < 0) prec = 0;
        }
        if (i >= FFmt.size()) Invalid();
        const std::string text = Convert(LoCase(FFmt[i]), prec);
        Pad(text, width, left);
        return i + 1;
    }

    void Pad(const std::string& text, int width, bool left) {
        const size_t fill = width > 0 && size_t(width) > text.size() ? width - text.size() : 0;
        if (!left) FOut.append(fill, ' ');
        FOut += text;
        if (left) FOut.append(fill, ' ');
    }

    std::string Convert(char type, int prec) {
        switch (type) {
        case 'd':
            return Decimal(IntArg(), prec, false);
        case 'u':
            return Decimal(IntArg(), prec, true);
        case 'x': {
            const std::string hex = IntToHex(IntArg(), 0);
            return prec > int(hex.size()) ? std::string(prec - hex.size(), '0') + hex : hex;
        }
        case 's': {
            const TFormatArg& a = NextArg();
            if (!std::holds_alternative<std::string>(a)) Invalid();
            const std::string& s = std::get<std::string>(a);
            return prec >= 0 && size_t(prec) < s.size() ? s.substr(0, prec) : s;
        }
        case 'p': {
            const TFormatArg& a = NextArg();
            if (!std::holds_alternative<const void*>(a)) Invalid();
            return IntToHex(reinterpret_cast<intptr_t>(std::get<const void*>(a)),
                            int(2 * sizeof(void*)));
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm':
            return Float(type, prec);
        default:
            Invalid();
        }
    }

    static std::string Decimal(int64_t v, int prec, bool asUnsigned) {
        const bool negative = !asUnsigned && v < 0;
        std::string digits = asUnsigned ? std::to_string(static_cast<uint32_t>(v))
                                        : std::to_string(negative ? 0 - uint64_t(v) : v);
        if (prec > int(digits.size())) digits.insert(0, prec - digits.size(), '0');
        return negative ? "-" + digits : digits;
    }

    std::string Float(char type, int prec) {
        const TFormatArg& a = NextArg();
        double v;
        if (std::holds_alternative<double>(a))
            v = std::get<double>(a);
        else if (std::holds_alternative<int64_t>(a))
            v = double(std::get<int64_t>(a));
        else
            Invalid();
        char buf[512];
        switch (type) {
        case 'e': {
            std::snprintf(buf, sizeof buf, "%.*E", (prec < 0 ? 15 : std::min(prec, 18)) - 1, v);
            return ExponentDigits(buf);
        }
        case 'g': {
            std::snprintf(buf, sizeof buf, "%.*G", prec < 0 ? 15 : std::min(prec, 18), v);
            return ExponentDigits(buf);
        }
        case 'f':
            std::snprintf(buf, sizeof buf, "%.*f", prec < 0 ? 2 : std::min(prec, 18), v);
            return buf;
        default: // 'n' and 'm': fixed with thousand separators
            std::snprintf(buf, sizeof buf, "%.*f", prec < 0 ? 2 : std::min(prec, 18), v);
            return Thousands(buf);
        }
    }

    // The library writes exponents with at least three digits ("1.5E+003").
    static std::string ExponentDigits(std::string s) {
        const size_t e = s.find('E');
        if (e == std::string::npos || e + 2 > s.size()) return s;
        std::string digits = s.substr(e + 2);
        if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
        return s.substr(0, e + 2) + digits;
    }

    static std::string Thousands(const std::string& s) {
        size_t start = s[0] == '-' ? 1 : 0;
        size_t end = s.find('.');
        if (end == std::string::npos) end = s.size();
        std::string r = s.substr(0, start);
        for (size_t i = start; i < end; ++i) {
            if (i > start && (end - i) % 3 == 0) r += ',';
            r += s[i];
        }
        return r + s.substr(end);
    }

    std::string_view FFmt;
    const TFormatArg* FArgs;
    size_t FCount;
    size_t FNext = 0;
    std::string FOut;
};

} // namespace

std::string FormatArgs(std::string_view Fmt, const TFormatArg* Args, size_t Count) {
    return TFormatter(Fmt, Args, Count).Run();
}

} // namespace kolva
