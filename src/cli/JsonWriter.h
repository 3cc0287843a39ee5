// A streaming JSON writer for the command line's machine-readable output. The document is
// written as it is built, into a buffer that goes to a file whenever it passes 64 KB, so a
// large outline never stands whole in memory. Compact by default; pretty output indents two
// blanks a level up to a cap, so its size stays linear in the input however deep the nesting.
// Texts of the system are 8-bit; bytes from 128 up are read as Latin-1 and written as \u00XX,
// so the output is always valid UTF-8 whatever the source's code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kolva::cli {

/// Levels deeper than this are indented as this one in pretty output.
constexpr int MaxIndentLevel = 32;

class TJsonWriter {
public:
    /// Writes into Text(); with a Sink, the text goes there whenever it passes 64 KB and at
    /// EndDocument.
    explicit TJsonWriter(bool Pretty = false, std::FILE* Sink = nullptr);

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
    /// Ends the document with a line break and hands the rest to the sink.
    void EndDocument();

    /// What was written and not yet handed to the sink.
    std::string& Text() { return FOut; }

private:
    void BeforeValue();
    void NewLine();
    void Spill();

    std::string FOut;
    std::FILE* FSink;
    bool FPretty;
    // Per open container: whether it holds a value yet.
    std::vector<bool> FHasValue;
    bool FAfterKey = false;
};

/// Appends Value to Out as a JSON string literal, quotes included.
void AppendJsonString(std::string& Out, std::string_view Value);

} // namespace kolva::cli
