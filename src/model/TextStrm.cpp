#include "model/TextStrm.h"

#include "platform/Clipboard.h"
#include "platform/SysUtils.h"

namespace kolva {

// --- TTextStream ---------------------------------------------------------------------

std::string TTextStream::ReadAllText() {
    Reset();
    std::string text, line;
    while (!EndOfStream()) {
        ReadLineInto(line);
        text += line;
        text += "\r\n";
    }
    return text;
}

void TTextStream::WriteAllText(std::string_view Text) {
    Reset();
    while (!Text.empty()) {
        const size_t eol = Text.find("\r\n");
        if (eol == std::string_view::npos) {
            WriteLine(Text);
            break;
        }
        WriteLine(Text.substr(0, eol));
        Text.remove_prefix(eol + 2);
    }
}

int TTextStream::LineNumber() {
    return 0;
}

void TTextStream::Write(std::string_view) {
    throw Exception("Write not supported on this device");
}

std::string TTextStream::ReadLine() {
    std::string line;
    ReadLineInto(line);
    return line;
}

void TTextStream::WriteEmptyLine() {
    WriteLine({});
}

void TTextStream::WriteStrings(const TStringList& Lines) {
    for (int i = 0; i < Lines.Count(); ++i)
        WriteLine(Lines[i]);
}

// --- TStringsText --------------------------------------------------------------------

TStringsText::TStringsText(TStringList& Strings) : FStrings(&Strings) {
    FStrings->BeginUpdate();
}

TStringsText::~TStringsText() {
    // An observer's failure cannot travel out of a destructor; the list itself is intact.
    try {
        FStrings->EndUpdate();
    } catch (...) {
    }
}

void TStringsText::SetStrings(TStringList& Strings) {
    FStrings->EndUpdate();
    FStrings = &Strings;
    FStrings->BeginUpdate();
    Reset();
}

void TStringsText::ReadLineInto(std::string& Line) {
    if (FIndex < FStrings->Count())
        Line.assign(FStrings->Strings(FIndex++));
    else
        Line.clear();
}

void TStringsText::Write(std::string_view S) {
    if (FIndex >= 0 && FIndex < FStrings->Count())
        FStrings->SetString(FIndex, FStrings->Strings(FIndex) + std::string(S));
    else
        FStrings->Add(std::string(S));
}

void TStringsText::WriteLine(std::string_view S) {
    if (FIndex >= 0 && FIndex < FStrings->Count()) {
        FStrings->SetString(FIndex++, std::string(S));
    } else {
        FStrings->Add(std::string(S));
        FIndex = FStrings->Count();
    }
}

// --- TClipbrdTextStream --------------------------------------------------------------

namespace {

bool IsWritingMode(TTextStreamMode Mode) {
    return Mode == tmWrite || Mode == tmCreate || Mode == tmAppend;
}

} // namespace

TClipbrdTextStream::TClipbrdTextStream(TTextStreamMode Mode) : FMode(Mode) {
    if (Mode != tmRead && !IsWritingMode(Mode))
        throw EInOutError("Illegal mode for clipboard text stream");
    if ((Mode == tmRead || Mode == tmAppend) && Clipboard().HasText()) {
        std::string text = Clipboard().GetText();
        if (text.size() > MaxText) text.resize(MaxText);
        FLines.SetText(text);
        if (Mode == tmAppend) FIndex = FLines.Count();
    }
}

TClipbrdTextStream::~TClipbrdTextStream() {
    if (!IsWritingMode(FMode) || FLines.Count() == 0) return;
    // A clipboard that refuses the text has nobody to tell from here.
    try {
        Clipboard().SetText(FLines.Text());
    } catch (...) {
    }
}

bool TClipbrdTextStream::EndOfStream() {
    return IsWritingMode(FMode) || FIndex >= FLines.Count();
}

void TClipbrdTextStream::ReadLineInto(std::string& Line) {
    if (FMode != tmRead) throw EInOutError("Can not read from write only stream");
    if (FIndex < FLines.Count())
        Line.assign(FLines[FIndex++]);
    else
        Line.clear();
}

void TClipbrdTextStream::Reset() {
    FIndex = 0;
    if (FMode != tmRead) FLines.Clear();
}

void TClipbrdTextStream::CheckWritable() const {
    if (FMode == tmRead) throw EInOutError("Can not read from to write only stream");
}

void TClipbrdTextStream::Write(std::string_view S) {
    CheckWritable();
    const int last = FLines.Count() - 1;
    if (last < 0)
        FLines.Add(std::string(S));
    else
        FLines.SetString(last, FLines[last] + std::string(S));
}

void TClipbrdTextStream::WriteLine(std::string_view S) {
    CheckWritable();
    FLines.Add(std::string(S));
}

// --- TTextFilter ---------------------------------------------------------------------

void TTextFilter::SetTarget(TTextStream& Target) {
    if (&Target == FTarget) return;
    FTarget = &Target;
    FOwned.reset();
}

void TTextFilter::SetTarget(std::unique_ptr<TTextStream> Target) {
    FTarget = Target.get();
    FOwned = std::move(Target);
}

// --- TWrapFilter ---------------------------------------------------------------------

TWrapFilter::TWrapFilter(TTextStream& Target, int MaxWidth, int Indent)
    : TTextFilter(Target), FMaxWidth(MaxWidth < 20 ? 20 : MaxWidth) {
    FIndent = Indent < 0 ? 0 : Indent > FMaxWidth / 2 ? FMaxWidth / 2 : Indent;
    SetBreakChars(" (,;");
}

void TWrapFilter::SetBreakChars(std::string_view Chars) {
    FBreakChars.fill(false);
    for (char c : Chars)
        FBreakChars[static_cast<unsigned char>(c)] = true;
}

size_t TWrapFilter::FindBreak(std::string_view Text, size_t PrefixLength) const {
    size_t limit = static_cast<size_t>(FMaxWidth); // count of characters open to a break
    if (!FIgnoreQuotes) {
        const size_t comment = Text.find("//");
        if (comment < limit) limit = comment;
    }
    if (limit > Text.size()) limit = Text.size();
    // Whether the character at the limit is quoted follows from the quotes to its right;
    // walking left, each quote passed flips it.
    bool quoted = false;
    for (size_t i = limit; i < Text.size(); ++i)
        if (Text[i] == '\'') quoted = !quoted;
    for (size_t i = limit; i > PrefixLength; --i) {
        const char c = Text[i - 1];
        if (c == '\'')
            quoted = !quoted;
        else if (IsBreakChar(c) && (!quoted || FIgnoreQuotes))
            return i - 1;
    }
    return std::string_view::npos;
}

void TWrapFilter::WriteLine(std::string_view S) {
    const size_t width = static_cast<size_t>(FMaxWidth);
    if (!FEnabled || S.size() <= width) {
        TTextFilter::WriteLine(S);
        return;
    }
    size_t leading = 0;
    while (leading < S.size() && S[leading] == ' ')
        ++leading;
    const std::string prefix(leading + static_cast<size_t>(FIndent), ' ');

    std::string text(S);
    for (;;) {
        const size_t brk = FindBreak(text, prefix.size());
        if (brk == std::string_view::npos) {
            TTextFilter::WriteLine(text);
            return;
        }
        TTextFilter::WriteLine(std::string_view(text).substr(0, brk + 1));
        size_t rest = brk + 1;
        while (rest < text.size() && text[rest] == ' ')
            ++rest;
        if (rest == text.size()) return;
        text = prefix + text.substr(rest);
        if (text.size() <= width) {
            TTextFilter::WriteLine(text);
            return;
        }
    }
}

} // namespace kolva
