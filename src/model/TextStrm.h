// Line-oriented text streams: the tokenizer reads source lines from them and the editing
// engine writes generated declarations to them. One abstract stream reads and writes whole
// lines; concrete streams sit on a string list and on the clipboard (the buffered file is in
// BufTextF.h); filters pass lines on to another stream, the wrap filter breaking long lines
// of generated source. Every line break a stream writes into text is CR LF.
#pragma once

#include "platform/StringList.h"
#include "platform/System.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace kolva {

/// How a clipboard stream or a buffered file is opened. tmReadWrite is refused by both.
enum TTextStreamMode : uint8_t { tmRead, tmWrite, tmReadWrite, tmCreate, tmAppend };

class TTextStream : public TObject {
public:
    /// Resets, then returns every remaining line followed by CR LF.
    virtual std::string ReadAllText();
    /// Resets, then writes each CR LF separated piece of Text as a line; a last piece
    /// without CR LF is a line too, and an empty Text writes nothing.
    virtual void WriteAllText(std::string_view Text);
    /// 0 unless a stream counts its lines.
    virtual int LineNumber();
    virtual bool EndOfStream() = 0;
    /// Reads the next line into Line, reusing its storage.
    virtual void ReadLineInto(std::string& Line) = 0;
    virtual void Reset() = 0;
    /// Writes part of a line. Raises Exception "Write not supported on this device" unless
    /// the stream supports it.
    virtual void Write(std::string_view S);
    virtual void WriteLine(std::string_view S) = 0;

    std::string ReadLine();
    void WriteEmptyLine();
    /// Writes every line of Lines, in order.
    void WriteStrings(const TStringList& Lines);
};

/// A stream over a string list, which it does not own. While attached, the list is inside
/// an update bracket, so its observers hear of the stream's writes once, at detaching.
class TStringsText : public TTextStream {
public:
    explicit TStringsText(TStringList& Strings);
    ~TStringsText() override;
    TStringsText(const TStringsText&) = delete;
    TStringsText& operator=(const TStringsText&) = delete;

    /// Ends the bracket on the list attached so far, opens one on Strings and resets.
    void SetStrings(TStringList& Strings);
    TStringList& Strings() const { return *FStrings; }

    /// The 0-based index of the next line: after reading a line, its 1-based number.
    int LineNumber() override { return FIndex; }
    bool EndOfStream() override { return FIndex >= FStrings->Count(); }
    /// The line at the index, which then advances; beyond the end the empty text.
    void ReadLineInto(std::string& Line) override;
    void Reset() override { FIndex = 0; }
    /// Appends S to the line at the index, or adds it as a new line there; the index stays.
    void Write(std::string_view S) override;
    /// Replaces the line at the index, or appends, and advances.
    void WriteLine(std::string_view S) override;

    /// Moves to a 0-based line index.
    void SetIndex(int Index) { FIndex = Index < 0 ? 0 : Index; }
    /// The line at the index without copying it, then advances; nullptr at the end. The
    /// reference lives as long as the list's line is not changed.
    const std::string* ReadLineRef() {
        if (FIndex >= FStrings->Count()) return nullptr;
        return &FStrings->Strings(FIndex++);
    }

private:
    TStringList* FStrings;
    int FIndex = 0;
};

/// A stream over the clipboard's plain text. Reading modes (tmRead, tmAppend) take the
/// clipboard's text at creation; writing modes (tmWrite, tmCreate, tmAppend) put the lines
/// back at destruction when there are any. tmReadWrite raises EInOutError
/// "Illegal mode for clipboard text stream".
class TClipbrdTextStream : public TTextStream {
public:
    /// The most characters taken from the clipboard.
    static constexpr size_t MaxText = 16383;

    explicit TClipbrdTextStream(TTextStreamMode Mode);
    ~TClipbrdTextStream() override;
    TClipbrdTextStream(const TClipbrdTextStream&) = delete;
    TClipbrdTextStream& operator=(const TClipbrdTextStream&) = delete;

    int LineNumber() override { return FIndex; }
    /// Always true in writing modes.
    bool EndOfStream() override;
    /// Raises EInOutError "Can not read from write only stream" unless in tmRead.
    void ReadLineInto(std::string& Line) override;
    /// Rewinds; in every mode but tmRead the lines are dropped too.
    void Reset() override;
    /// Appends to the last line (or adds one). Raises EInOutError
    /// "Can not read from to write only stream" in tmRead.
    void Write(std::string_view S) override;
    /// Adds S at the end. Raises as Write does.
    void WriteLine(std::string_view S) override;

    const TStringList& Lines() const { return FLines; }

private:
    void CheckWritable() const;

    TStringList FLines;
    int FIndex = 0;
    TTextStreamMode FMode;
};

/// Passes every line operation on to a target stream; reading and writing all text go
/// through the filter's own line operations, so descendants see every line.
class TTextFilter : public TTextStream {
public:
    /// Borrows Target, which must outlive the filter.
    explicit TTextFilter(TTextStream& Target) : FTarget(&Target) {}
    /// Owns Target: it is freed with the filter or when replaced. EXPECTS: not null.
    explicit TTextFilter(std::unique_ptr<TTextStream> Target)
        : FOwned(std::move(Target)), FTarget(FOwned.get()) {}
    TTextFilter(const TTextFilter&) = delete;
    TTextFilter& operator=(const TTextFilter&) = delete;

    TTextStream* Target() const { return FTarget; }
    /// Replaces the target, freeing the old one when the filter owns it.
    void SetTarget(TTextStream& Target);
    void SetTarget(std::unique_ptr<TTextStream> Target);
    bool OwnsTarget() const { return FOwned != nullptr; }

    int LineNumber() override { return FTarget->LineNumber(); }
    bool EndOfStream() override { return FTarget->EndOfStream(); }
    void ReadLineInto(std::string& Line) override { FTarget->ReadLineInto(Line); }
    void Reset() override { FTarget->Reset(); }
    void Write(std::string_view S) override { FTarget->Write(S); }
    void WriteLine(std::string_view S) override { FTarget->WriteLine(S); }

private:
    std::unique_ptr<TTextStream> FOwned;
    TTextStream* FTarget;
};

/// Breaks lines longer than the maximum width at break characters (initially blank, "(",
/// "," and ";"), continuing with the line's indentation plus an extra indent. A break never
/// falls inside a quoted literal or into a "//" comment unless quotes are ignored; a line
/// without a break position is written whole, however long.
class TWrapFilter : public TTextFilter {
public:
    /// The width is raised to 20 when smaller; the indent is clamped to 0..width/2.
    /// Borrows Target, which must outlive the filter.
    TWrapFilter(TTextStream& Target, int MaxWidth, int Indent);

    void WriteLine(std::string_view S) override;

    int MaxWidth() const { return FMaxWidth; }
    int Indent() const { return FIndent; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    /// When set, breaks may fall inside quotes and "//" is not looked for.
    bool IgnoreQuotes() const { return FIgnoreQuotes; }
    void SetIgnoreQuotes(bool Value) { FIgnoreQuotes = Value; }
    void SetBreakChars(std::string_view Chars);
    bool IsBreakChar(char C) const { return FBreakChars[static_cast<unsigned char>(C)]; }

private:
    /// 0-based index of the break character in Text, or npos.
    size_t FindBreak(std::string_view Text, size_t PrefixLength) const;

    std::array<bool, 256> FBreakChars{};
    int FIndent;
    bool FEnabled = true;
    int FMaxWidth;
    bool FIgnoreQuotes = false;
};

} // namespace kolva
