#include "cli/JsonWriter.h"

#include <array>
#include <charconv>

namespace kolva::cli {

namespace {

constexpr size_t SpillSize = 1 << 16;

// The escape of each byte that needs one, else empty: most text is copied in runs.
const std::array<std::string_view, 256>& Escapes() {
    static const std::array<std::string_view, 256> table = [] {
        static char codes[256][7];
        std::array<std::string_view, 256> t{};
        static const char Hex[] = "0123456789abcdef";
        for (int c = 0; c < 256; ++c) {
            if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') continue;
            char* code = codes[c];
            code[0] = '\\';
            code[1] = 'u';
            code[2] = '0';
            code[3] = '0';
            code[4] = Hex[c >> 4];
            code[5] = Hex[c & 15];
            t[c] = std::string_view(code, 6);
        }
        t['"'] = "\\\"";
        t['\\'] = "\\\\";
        t['\n'] = "\\n";
        t['\r'] = "\\r";
        t['\t'] = "\\t";
        return t;
    }();
    return table;
}

} // namespace

void AppendJsonString(std::string& Out, std::string_view Value) {
    const auto& escapes = Escapes();
    Out += '"';
    size_t run = 0;
    for (size_t i = 0; i < Value.size(); ++i) {
        const std::string_view escape = escapes[static_cast<unsigned char>(Value[i])];
        if (escape.empty()) continue;
        Out.append(Value.data() + run, i - run);
        Out.append(escape);
        run = i + 1;
    }
    Out.append(Value.data() + run, Value.size() - run);
    Out += '"';
}

TJsonWriter::TJsonWriter(bool Pretty, std::FILE* Sink) : FSink(Sink), FPretty(Pretty) {
    if (FSink) FOut.reserve(SpillSize + 4096);
}

void TJsonWriter::Spill() {
    if (!FSink || FOut.size() < SpillSize) return;
    std::fwrite(FOut.data(), 1, FOut.size(), FSink);
    FOut.clear();
}

void TJsonWriter::NewLine() {
    if (!FPretty) return;
    FOut += '\n';
    FOut.append(2 * std::min<size_t>(FHasValue.size(), MaxIndentLevel), ' ');
}

void TJsonWriter::BeforeValue() {
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (FHasValue.empty()) return;
    if (FHasValue.back()) FOut += ',';
    FHasValue.back() = true;
    NewLine();
}

void TJsonWriter::Key(std::string_view Name) {
    BeforeValue();
    AppendJsonString(FOut, Name);
    FOut += FPretty ? ": " : ":";
    FAfterKey = true;
}

void TJsonWriter::BeginObject() {
    BeforeValue();
    FOut += '{';
    FHasValue.push_back(false);
}

void TJsonWriter::EndObject() {
    const bool any = FHasValue.back();
    FHasValue.pop_back();
    if (any) NewLine();
    FOut += '}';
    Spill();
}

void TJsonWriter::BeginArray() {
    BeforeValue();
    FOut += '[';
    FHasValue.push_back(false);
}

void TJsonWriter::EndArray() {
    const bool any = FHasValue.back();
    FHasValue.pop_back();
    if (any) NewLine();
    FOut += ']';
}

void TJsonWriter::String(std::string_view Value) {
    BeforeValue();
    AppendJsonString(FOut, Value);
}

void TJsonWriter::Int(int64_t Value) {
    BeforeValue();
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, Value);
    FOut.append(digits, result.ptr);
}

void TJsonWriter::Bool(bool Value) {
    BeforeValue();
    FOut += Value ? "true" : "false";
}

void TJsonWriter::Null() {
    BeforeValue();
    FOut += "null";
}

void TJsonWriter::EndDocument() {
    FOut += '\n';
    if (FSink) {
        std::fwrite(FOut.data(), 1, FOut.size(), FSink);
        FOut.clear();
    }
}

} // namespace kolva::cli
