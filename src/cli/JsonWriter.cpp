#include "cli/JsonWriter.h"

namespace kolva::cli {

std::string JsonQuote(std::string_view Value) {
    static const char Hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char ch : Value) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c >= 0x80) {
                out += "\\u00";
                out += Hex[c >> 4];
                out += Hex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

void TJsonWriter::NewLine() {
    FOut += '\n';
    FOut.append(2 * FHasValue.size(), ' ');
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
    FOut += JsonQuote(Name);
    FOut += ": ";
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
    FOut += JsonQuote(Value);
}

void TJsonWriter::Int(int64_t Value) {
    BeforeValue();
    FOut += std::to_string(Value);
}

void TJsonWriter::Bool(bool Value) {
    BeforeValue();
    FOut += Value ? "true" : "false";
}

void TJsonWriter::Null() {
    BeforeValue();
    FOut += "null";
}

} // namespace kolva::cli
