// A small streaming JSON writer for the command line's machine-readable output. Texts of
// the system are 8-bit; bytes from 128 up are read as Latin-1 and written as \u00XX, so the
// output is always valid UTF-8 whatever the source's code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolva::cli {

class TJsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    /// The key of the next value inside an object.
    void Key(std::string_view Name);
    void String(std::string_view Value);
    void Int(int64_t Value);
    void Bool(bool Value);
    void Null();

    /// The document, indented two blanks a level, ending with a line break.
    std::string Text() const { return FOut + "\n"; }

private:
    void BeforeValue();
    void NewLine();

    std::string FOut;
    // Per open container: whether it holds a value yet.
    std::vector<bool> FHasValue;
    bool FAfterKey = false;
};

/// Value as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view Value);

} // namespace kolva::cli
