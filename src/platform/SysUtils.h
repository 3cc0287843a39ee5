// The component library's exception classes and the text helpers every unit leans on:
// ASCII case handling, trimming, integer conversion and `Format`.
//
// Text is 8-bit; case rules are ASCII only, so identifiers compare the way the Object Pascal
// compiler compares them and no locale can change the result.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace kolva {

/// The root of every error the system raises; carries the text shown to the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Message) { FMessage = std::move(Message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

/// The silent abort: ends an operation without showing anything.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};

class EInOutError : public Exception {
    using Exception::Exception;
};

class EListError : public Exception {
    using Exception::Exception;
};

/// A checked downcast that failed: the object is not of the class asked for.
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Invalid class typecast") {}
};

/// The language's checked cast: Obj as a T, or EInvalidCast.
template <typename T, typename U>
T& As(U& Obj) {
    if (T* p = dynamic_cast<T*>(&Obj)) return *p;
    throw EInvalidCast();
}

/// The same for an owned object: ownership passes to the result, and an object of the wrong
/// class is freed before EInvalidCast is raised. A null Obj gives null.
template <typename T, typename U>
std::unique_ptr<T> As(std::unique_ptr<U> Obj) {
    if (!Obj) return nullptr;
    T* p = dynamic_cast<T*>(Obj.get());
    if (!p) throw EInvalidCast();
    Obj.release();
    return std::unique_ptr<T>(p);
}

/// Raises the silent abort.
[[noreturn]] void Abort();

// ASCII case helpers.
inline char UpCase(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 32) : C;
}
inline char LoCase(char C) {
    return C >= 'A' && C <= 'Z' ? char(C + 32) : C;
}
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
/// <0, 0 or >0 as S1 sorts before, with or after S2, ignoring ASCII letter case.
int CompareText(std::string_view S1, std::string_view S2);
/// The same, byte for byte.
int CompareStr(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);

/// Trimming removes every character with a code below 33 from the named end(s).
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

/// A letter or underscore followed by letters, digits or underscores (ASCII).
bool IsValidIdent(std::string_view Ident);

std::string IntToStr(int64_t Value);
/// Upper-case hexadecimal, zero-padded to at least Digits digits.
std::string IntToHex(int64_t Value, int Digits);
/// Decimal, or hexadecimal with a leading "$" or "0x"; surrounding blanks allowed.
/// Raises EConvertError "'%s' is not a valid integer value" otherwise.
int32_t StrToInt(std::string_view S);
int64_t StrToInt64(std::string_view S);
int32_t StrToIntDef(std::string_view S, int32_t Default);
bool TryStrToInt(std::string_view S, int32_t& Value);
bool TryStrToInt64(std::string_view S, int64_t& Value);

/// One argument of `Format`.
using TFormatArg = std::variant<int64_t, double, std::string, const void*>;

/// The component library's Format: "%" [index ":"] ["-"] [width] ["." precision] type,
/// types d u e f g n m p s x, "*" taking width or precision from the arguments, "%%" for
/// a percent sign. A mismatch raises EConvertError
/// "Format '%s' invalid or incompatible with argument".
std::string FormatArgs(std::string_view Fmt, const TFormatArg* Args, size_t Count);

namespace detail {
inline TFormatArg ToFormatArg(const std::string& S) {
    return S;
}
inline TFormatArg ToFormatArg(std::string_view S) {
    return std::string(S);
}
inline TFormatArg ToFormatArg(const char* S) {
    return std::string(S);
}
inline TFormatArg ToFormatArg(char C) {
    return std::string(1, C);
}
inline TFormatArg ToFormatArg(double D) {
    return D;
}
inline TFormatArg ToFormatArg(const void* P) {
    return P;
}
template <typename T>
requires std::is_integral_v<T> || std::is_enum_v<T> TFormatArg ToFormatArg(T V) {
    return static_cast<int64_t>(V);
}
} // namespace detail

template <typename... Args>
std::string Format(std::string_view Fmt, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return FormatArgs(Fmt, nullptr, 0);
    } else {
        const TFormatArg list[] = {detail::ToFormatArg(args)...};
        return FormatArgs(Fmt, list, sizeof...(Args));
    }
}

} // namespace kolva
