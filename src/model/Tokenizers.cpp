#include "model/Tokenizers.h"

#include "model/DataTyp.h"
#include "model/TextStrm.h"
#include "platform/StringList.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kolva {

namespace {

// Character classes drive the tokenizer through one table look-up per character. Word
// characters and the two that open a string literal ("#" and the quote) are the
// non-delimiters; blanks (codes up to 32) and symbols delimit words. The symbols that may
// begin a longer token ("(*", "{", ":=", "//") are a class of their own, so that every other
// symbol is taken without looking further.
enum TCharClass : uint8_t { ccWord, ccQuote, ccBlank, ccSymbol, ccOpener };

constexpr std::string_view TokenSymbols = "$&()*+,-./:;<=>@[]^{}";
constexpr std::string_view TokenOpeners = "(:/{";

constexpr std::array<uint8_t, 256> MakeCharClasses() {
    std::array<uint8_t, 256> classes{};
    for (int c = 0; c <= 32; ++c)
        classes[c] = ccBlank;
    for (char c : TokenSymbols)
        classes[static_cast<unsigned char>(c)] = ccSymbol;
    for (char c : TokenOpeners)
        classes[static_cast<unsigned char>(c)] = ccOpener;
    classes['#'] = ccQuote;
    classes['\''] = ccQuote;
    return classes;
}

constexpr std::array<uint8_t, 256> CharClasses = MakeCharClasses();

inline uint8_t ClassOf(char C) {
    return CharClasses[static_cast<unsigned char>(C)];
}

// Letters, digits and everything else that continues a word, the quotes included.
inline bool IsWordChar(char C) {
    return ClassOf(C) < ccBlank;
}

inline bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= 32;
}

// Where the word whose characters go on at From ends. Words are the bulk of the text: four
// characters a round while the line has four more, so that its end is tested once a round.
inline size_t WordEnd(const char* S, size_t From, size_t Size) {
    size_t p = From;
    while (p + 4 <= Size && IsWordChar(S[p]) && IsWordChar(S[p + 1]) && IsWordChar(S[p + 2]) &&
           IsWordChar(S[p + 3]))
        p += 4;
    while (p < Size && IsWordChar(S[p]))
        ++p;
    return p;
}

// The token behind From when it is a word or a symbol on the same line, which most tokens
// are: [Start, End) and its kind. False for any other token. Called in one place only, so
// that the compiler merges it into its caller.
bool FindPlainToken(std::string_view Line, size_t From, size_t& Start, size_t& End,
                    TTokenKind& Kind) {
    const char* s = Line.data();
    const size_t n = Line.size();
    size_t start = From;
    while (start < n && IsBlank(s[start]))
        ++start;
    if (start == n) return false;
    switch (ClassOf(s[start])) {
    case ccSymbol:
        End = start + 1;
        Kind = tkSymbol;
        break;
    case ccOpener: {
        // "(", ":" and "/" begin no comment most of the time: one symbol, or ":=".
        const char c = s[start];
        const char next = start + 1 < n ? s[start + 1] : '\0';
        if (c == '{' || (c == '(' && next == '*') || (c == '/' && next == '/')) return false;
        End = start + (c == ':' && next == '=' ? 2 : 1);
        Kind = tkSymbol;
        break;
    }
    case ccWord:
        End = WordEnd(s, start + 1, n);
        if (End - start == 5 && End < n && s[End] == ':') return false; // perhaps a tag
        Kind = tkWord;
        break;
    default:
        return false;
    }
    Start = start;
    return true;
}

// The texts of comments whose text is not kept.
constexpr std::string_view BraceOpener = "{";
constexpr std::string_view ParenOpener = "(*";
constexpr std::string_view SlashOpener = "//";

// The component library's message for a string literal left open.
constexpr const char* SInvalidString = "Invalid string constant";
constexpr const char* SInvalidComment = "Invalid comment termination";

} // namespace

const char* TokenKindName(TTokenKind Kind) {
    static const char* const names[] = {"tkNone",      "tkWord",   "tkComment",
                                        "tkDirective", "tkString", "tkSymbol",
                                        "tkTag",       "tkUnused", "tkError"};
    return Kind <= tkError ? names[Kind] : "tkUnknown";
}

// --- TPascalTokenizer ----------------------------------------------------------------

TPascalTokenizer::TPascalTokenizer(TLineReader Reader) : FReader(std::move(Reader)) {}

TPascalTokenizer::~TPascalTokenizer() = default;

void TPascalTokenizer::SetLine(std::string_view Line) {
    FlushMark();
    FLineBuf.assign(Line.data(), Line.size()); // safe even when Line views FLineBuf
    FLine = FLineBuf;
    FLineLent = false;
    FPos = 0;
    while (FPos < FLine.size() && IsBlank(FLine[FPos]))
        ++FPos;
    FMarkFrom = FPos;
}

bool TPascalTokenizer::NextLine() {
    if (FReader) {
        while (FReader(FLineBuf))
            if (AcceptLine(FLineBuf)) return true;
    }
    ClearLine();
    return false;
}

bool TPascalTokenizer::AcceptLine(std::string_view Line) {
    return TakeLine(Line);
}

// AcceptLine's work, merged into the line readers of this unit: a large unit has a hundred
// thousand lines.
inline bool TPascalTokenizer::TakeLine(std::string_view Line) {
    ++FLinesRead;
    if (FMarking) {
        // The current line can still be read: a lent line stays, and of any other line
        // nothing is left to mark.
        FlushMark();
        FMark += "\r\n";
    }
    // A UTF-8 byte-order mark before the first line is no part of the text; the line keeps
    // it, so columns count it as the line's text does.
    size_t p = FLinesRead == 1 && Line.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (p < Line.size() && IsBlank(Line[p]))
        ++p;
    if (p == Line.size()) return false;
    FLine = Line;
    FLineLent = FLinesLent;
    FPos = FMarkFrom = p;
    return true;
}

void TPascalTokenizer::ClearLine() {
    FlushMark();
    FLine = {};
    FLineLent = false;
    FPos = FMarkFrom = 0;
}

// The parser's innermost step. Most tokens are words or symbols that follow the previous
// token on the same line, after a blank at most. Such a token is read without a call, so that
// the common path saves no registers; a running mark takes it later, when the line is lent
// (FlushMark). Everything else (marks over other lines, line changes, comments, strings,
// tags, skipped kinds) is left to ReadOtherToken, which starts over from the same place.
TTokenKind TPascalTokenizer::NextToken() {
    size_t start, end;
    TTokenKind kind;
    if ((FMarking && !FLineLent) || !FindPlainToken(FLine, FPos, start, end, kind) ||
        FSkipSet.Contains(kind))
        return ReadOtherToken();
    FKind = kind;
    FToken = std::string_view(FLine.data() + start, end - start);
    FPos = end;
    FTokenLine = FLinesRead;
    FTokenColumn = static_cast<int>(start) + 1;
    return FKind;
}

TTokenKind TPascalTokenizer::ReadOtherToken() {
    for (;;) {
        FKind = tkNone;
        FToken = {};
        size_t p = FPos;
        while (p < FLine.size() && IsBlank(FLine[p]))
            ++p;
        if (FMarking) MarkUpTo(p);
        FPos = p;
        const bool found = p < FLine.size() || SkipToNextToken();
        FTokenLine = FLinesRead;
        FTokenColumn = Column();
        FMarkTokenStart = FMark.size();
        if (!found) break;

        const char* s = FLine.data();
        const size_t n = FLine.size();
        const size_t start = FPos;
        TReadResult result = rrOk;
        switch (ClassOf(s[start])) {
        case ccSymbol:
            Take(start, start + 1, tkSymbol);
            break;
        case ccOpener:
            result = ReadSymbol(start);
            break;
        case ccQuote:
            result = ReadString(start);
            break;
        default: {
            const size_t end = WordEnd(s, start + 1, n);
            if (end - start == 5 && end < n && s[end] == ':' &&
                SameText(std::string_view(s + start, 5), "FWWIN"))
                Take(start, n, tkTag);
            else
                Take(start, end, tkWord);
        }
        }
        if (result != rrOk) Failed(result);
        if (!FSkipSet.Contains(FKind)) break;
    }
    if (FKind == tkNone && FRaiseAtEnd) throw ENoMoreTokens();
    return FKind;
}

void TPascalTokenizer::Failed(TReadResult Result) {
    FKind = tkError;
    FToken = {};
    FMarkTokenStart = FMark.size();
    if (!FTolerant) throw ETokenError(Result == rrBadString ? SInvalidString : SInvalidComment);
}

bool TPascalTokenizer::SkipToNextToken() {
    while (NextLine()) {
        size_t p = FPos;
        while (p < FLine.size() && IsBlank(FLine[p]))
            ++p;
        if (FMarking) MarkUpTo(p);
        FPos = p;
        if (p < FLine.size()) return true;
    }
    return false;
}

inline void TPascalTokenizer::Take(size_t Start, size_t End, TTokenKind Kind) {
    FKind = Kind;
    FToken = std::string_view(FLine.data() + Start, End - Start);
    FPos = End;
    if (FMarking) MarkUpTo(End);
}

// Consumed text not yet in the mark holds plain tokens only, the last token among them: its
// place in the mark becomes known here.
void TPascalTokenizer::FlushMark() {
    if (FMarking && FMarkFrom < FPos)
        FMarkTokenStart = FMark.size() + (size_t(FTokenColumn - 1) - FMarkFrom);
    MarkUpTo(FPos);
}

void TPascalTokenizer::MarkUpTo(size_t End) {
    if (End <= FMarkFrom) return;
    if (FMarking) FMark.append(FLine.data() + FMarkFrom, End - FMarkFrom);
    FMarkFrom = End;
}

TPascalTokenizer::TReadResult TPascalTokenizer::ReadSymbol(size_t Start) {
    const size_t n = FLine.size();
    const char next = Start + 1 < n ? FLine[Start + 1] : '\0';
    switch (FLine[Start]) {
    case '(':
        if (next == '*') return ReadComment(Start, false, false);
        break;
    case '{':
        return ReadComment(Start, true, next == '$');
    case ':':
        if (next == '=') {
            Take(Start, Start + 2, tkSymbol);
            return rrOk;
        }
        break;
    case '/':
        if (next == '/') {
            Take(Start, n, tkComment);
            if (!FKeepCommentText) FToken = SlashOpener;
            return rrOk;
        }
        break;
    }
    Take(Start, Start + 1, tkSymbol);
    return rrOk;
}

TPascalTokenizer::TReadResult TPascalTokenizer::ReadString(size_t Start) {
    const char* s = FLine.data();
    const size_t n = FLine.size();
    size_t p = Start;
    while (p < n) {
        if (s[p] == '#') {
            ++p;
            while (p < n && s[p] >= '0' && s[p] <= '9')
                ++p;
        } else if (s[p] == '\'') {
            // A doubled quote stands for one quote and continues the part.
            do {
                ++p;
                const void* close = p < n ? std::memchr(s + p, '\'', n - p) : nullptr;
                if (!close) {
                    if (FMarking) MarkUpTo(n);
                    FPos = n;
                    return rrBadString;
                }
                p = size_t(static_cast<const char*>(close) - s) + 1;
            } while (p < n && s[p] == '\'');
        } else {
            break;
        }
    }
    Take(Start, p, tkString);
    return rrOk;
}

TPascalTokenizer::TReadResult TPascalTokenizer::ReadComment(size_t Start, bool Brace,
                                                            bool Directive) {
    const bool keep = Directive || FKeepCommentText;
    size_t segment = Start;             // where this comment's part of the line begins
    size_t p = Start + (Brace ? 1 : 2); // where the terminator may begin
    bool spans = false;
    for (;;) {
        const char* s = FLine.data();
        const size_t n = FLine.size();
        size_t end = std::string_view::npos; // just behind the terminator
        if (Brace) {
            const void* close = p < n ? std::memchr(s + p, '}', n - p) : nullptr;
            if (close) end = size_t(static_cast<const char*>(close) - s) + 1;
        } else {
            while (p + 1 < n) {
                const void* star = std::memchr(s + p, '*', n - p - 1);
                if (!star) break;
                const size_t i = size_t(static_cast<const char*>(star) - s);
                if (s[i + 1] == ')') {
                    end = i + 2;
                    break;
                }
                p = i + 1;
            }
        }
        if (end != std::string_view::npos) {
            if (FMarking) MarkUpTo(end);
            FPos = end;
            FKind = Directive ? tkDirective : tkComment;
            if (!keep) {
                FToken = Brace ? BraceOpener : ParenOpener;
            } else if (spans) {
                FTokenBuf.append(s + segment, end - segment);
                FToken = FTokenBuf;
            } else {
                FToken = FLine.substr(Start, end - Start);
            }
            return rrOk;
        }
        // The comment goes on: keep this line's part before the line is replaced.
        if (FMarking) MarkUpTo(n);
        if (keep) {
            if (!spans) FTokenBuf.clear();
            FTokenBuf.append(s + segment, n - segment);
            FTokenBuf += "\r\n";
        }
        spans = true;
        if (!NextLine()) return rrBadComment;
        // The continuation line's indentation belongs to the comment.
        segment = p = FPos = FMarkFrom = 0;
    }
}

void TPascalTokenizer::StartMark() {
    FMark.clear();
    FMarkFrom = FPos;
    FMarkTokenStart = 0;
    FMarking = true;
}

std::string TPascalTokenizer::GetMark() {
    if (!FMarking) throw Exception("Illegal use of Mark");
    FlushMark();
    FMarking = false;
    return FMark;
}

std::string TPascalTokenizer::GetMarkedText(bool IncludeLast) {
    if (!FMarking) throw Exception("Illegal use of Mark");
    FlushMark();
    FMarking = false;
    // The last token is cut where it began in the mark, which also covers comments whose
    // token text is shorter than their source.
    std::string_view raw = FMark;
    if (!IncludeLast && FMarkTokenStart < raw.size()) raw = raw.substr(0, FMarkTokenStart);
    return NormalizeMarkedText(raw);
}

// --- Descendants ---------------------------------------------------------------------

TTextStreamTokenizer::TTextStreamTokenizer(TTextStream& Stream) : FStream(&Stream) {}

bool TTextStreamTokenizer::NextLine() {
    while (!FStream->EndOfStream()) {
        FStream->ReadLineInto(FLineBuf);
        if (AcceptLine(FLineBuf)) return true;
    }
    ClearLine();
    return false;
}

TStringsTokenizer::TStringsTokenizer(TStringList& Lines)
    : FText(std::make_unique<TStringsText>(Lines)) {
    LendLines();
}

TStringsTokenizer::~TStringsTokenizer() = default;

bool TStringsTokenizer::NextLine() {
    while (const std::string* line = FText->ReadLineRef())
        if (TakeLine(*line)) return true;
    ClearLine();
    return false;
}

int TStringsTokenizer::LineNumber() const {
    return FText->LineNumber();
}

void TStringsTokenizer::SetLineNumber(int Index) {
    if (Index < 0) Index = 0;
    FText->SetIndex(Index);
    SetLinesRead(Index);
    ClearLine();
}

// --- Text helpers --------------------------------------------------------------------

namespace {

// A "//" comment ends at its line break, which the mark's one line no longer has: written
// back, it would comment out whatever followed it. Such comments become brace comments.
std::string CloseLineComments(std::string_view Raw) {
    std::string out;
    out.reserve(Raw.size() + 8);
    size_t i = 0;
    const size_t n = Raw.size();
    while (i < n) {
        const char c = Raw[i];
        size_t end = i + 1;
        if (c == '\'') {
            while (end < n && Raw[end] != '\'' && Raw[end] != '\r' && Raw[end] != '\n')
                ++end;
            end = std::min(end + 1, n);
        } else if (c == '{') {
            end = std::min(Raw.find('}', i), n - 1) + 1;
        } else if (c == '(' && i + 1 < n && Raw[i + 1] == '*') {
            const size_t close = Raw.find("*)", i + 2);
            end = close == std::string_view::npos ? n : close + 2;
        } else if (c == '/' && i + 1 < n && Raw[i + 1] == '/') {
            end = i + 2;
            while (end < n && Raw[end] != '\r' && Raw[end] != '\n')
                ++end;
            const std::string_view body = Raw.substr(i + 2, end - i - 2);
            if (Raw.find_first_not_of(" \t\r\n", end) == std::string_view::npos) {
                out.append(Raw.substr(i)); // nothing follows it
                break;
            }
            if (body.find('}') == std::string_view::npos)
                out.append("{").append(body).append("}");
            else if (body.find("*)") == std::string_view::npos)
                out.append("(*").append(body).append("*)");
            i = end;
            continue;
        }
        out.append(Raw.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string JoinMarkedLines(std::string_view Raw) {
    // Whitespace at either end never reaches the result, a line break there included.
    size_t i = 0;
    size_t n = Raw.size();
    while (i < n && IsBlank(Raw[i]))
        ++i;
    while (n > i && IsBlank(Raw[n - 1]))
        --n;
    // Most marks lie within one line, and then the trimmed mark is the result.
    const char* s = Raw.data();
    if (!std::memchr(s + i, '\r', n - i) && !std::memchr(s + i, '\n', n - i))
        return std::string(s + i, n - i);
    std::string out;
    out.reserve(n - i);
    while (i < n) {
        size_t stop = i;
        while (stop < n && Raw[stop] != '\r' && Raw[stop] != '\n')
            ++stop;
        out.append(Raw.data() + i, stop - i);
        if (stop == n) break;
        i = stop + 1;
        if (Raw[stop] == '\n') continue;
        while (!out.empty() && IsBlank(out.back()))
            out.pop_back();
        if (!out.empty()) out += ' ';
        while (i < n && IsBlank(Raw[i]))
            ++i;
    }
    return out;
}

} // namespace

std::string NormalizeMarkedText(std::string_view Raw) {
    if (Raw.find("//") != std::string_view::npos &&
        Raw.find_first_of("\r\n") != std::string_view::npos)
        return JoinMarkedLines(CloseLineComments(Raw));
    return JoinMarkedLines(Raw);
}

std::string CompactWhiteSpace(std::string_view S) {
    // The tokenizer's symbols and "#": a blank next to any of them carries no meaning.
    const auto isSymbol = [](char c) { return c == '#' || ClassOf(c) >= ccSymbol; };
    std::string out;
    out.reserve(S.size());
    size_t i = 0;
    while (i < S.size()) {
        if (!IsBlank(S[i])) {
            out += S[i++];
            continue;
        }
        while (i < S.size() && IsBlank(S[i]))
            ++i;
        if (!out.empty() && i < S.size() && !isSymbol(out.back()) && !isSymbol(S[i])) out += ' ';
    }
    return out;
}

std::string ParamSignature(std::string_view Params) {
    TPascalTokenizer tokenizer;
    tokenizer.SetSkipSet({tkComment, tkDirective, tkString, tkTag, tkUnused});
    tokenizer.SetLine(Params);
    std::string signature;
    int names = 0;
    const auto addGroup = [&](std::string_view TypeText) {
        const std::string code =
            TypeCode(CompactWhiteSpace(TypeText.substr(0, TypeText.find('='))));
        for (; names > 0; --names) {
            signature += '+';
            signature += code;
        }
    };
    bool inType = false;
    while (tokenizer.NextToken() != tkNone) {
        const std::string_view text = tokenizer.TokenText();
        const bool symbol = tokenizer.TokenKind() == tkSymbol;
        if (inType) {
            if (symbol && text == ";") {
                addGroup(tokenizer.GetMarkedText(false));
                inType = false;
            }
        } else if (!symbol) {
            if (!SameText(text, "CONST") && !SameText(text, "OUT") && !SameText(text, "VAR"))
                ++names;
        } else if (text == ":") {
            inType = true;
            tokenizer.StartMark();
        } else if (text == ";") {
            addGroup("Pointer");
        } else if (text != ",") {
            Abort();
        }
    }
    if (inType)
        addGroup(tokenizer.GetMarkedText(true));
    else
        addGroup("Pointer");
    return signature.empty() ? "+" : signature;
}

// --- Reserved words ------------------------------------------------------------------

namespace {

constexpr std::string_view ReservedWords[ReservedWordCount] = {
    "BEGIN",     "ASM",       "END",           "IMPLEMENTATION", "VAR",        "CONST",
    "TYPE",      "LABEL",     "RECORD",        "CASE",           "TRY",        "CLASS",
    "INTERFACE", "OBJECT",    "DISPINTERFACE", "CONSTRUCTOR",    "DESTRUCTOR", "PROCEDURE",
    "FUNCTION",  "PROPERTY",  "USES",          "PRIVATE",        "PROTECTED",  "PUBLIC",
    "PUBLISHED", "AUTOMATED", "FORWARD",       "EXTERNAL",       "OVERLOAD",   "REGISTER",
    "PASCAL",    "CDECL",     "STDCALL",       "EXPORT",         "SAFECALL",   "FAR",
    "VIRTUAL",   "DYNAMIC",   "ABSTRACT",      "MESSAGE",        "OVERRIDE",   "REINTRODUCE",
    "READ",      "WRITE",     "INDEX",         "IMPLEMENTS",     "STORED",     "DEFAULT",
    "NODEFAULT"};

// A perfect hash of the reserved words: their first, second and last letters and their
// length give each word a slot of its own, so a look-up compares one candidate at most and
// never allocates. The multipliers were found by search; the table is built at compile time
// and a collision (after a change of the words) stops the build.
//
// Letters are folded to lower case by or-ing 0x20, which is cheaper than UpCase and just as
// exact here: a character folds onto a lower-case letter only when it is that letter in
// either case, and every reserved word is letters only.
constexpr size_t SlotCount = 128;

constexpr uint8_t Fold(char C) {
    return static_cast<uint8_t>(C) | 0x20;
}

constexpr size_t WordSlot(std::string_view Word) {
    return (Fold(Word[0]) + 31u * Fold(Word[1]) + 17u * Fold(Word.back()) + Word.size()) %
           SlotCount;
}

// The ordinal of the word in each slot; ReservedWordCount for a free slot.
constexpr std::array<uint8_t, SlotCount> MakeWordSlots() {
    std::array<uint8_t, SlotCount> slots{};
    slots.fill(ReservedWordCount);
    for (int w = 0; w < ReservedWordCount; ++w) {
        uint8_t& slot = slots[WordSlot(ReservedWords[w])];
        if (slot != ReservedWordCount) throw "two reserved words share a slot";
        slot = static_cast<uint8_t>(w);
    }
    return slots;
}

constexpr std::array<uint8_t, SlotCount> WordSlots = MakeWordSlots();

// The lengths of the words by ordinal, 0 for the free slot's ordinal: one test rules out a
// free slot and a word of another length.
constexpr std::array<uint8_t, ReservedWordCount + 1> MakeWordLengths() {
    std::array<uint8_t, ReservedWordCount + 1> lengths{};
    for (int w = 0; w < ReservedWordCount; ++w)
        lengths[w] = static_cast<uint8_t>(ReservedWords[w].size());
    return lengths;
}

constexpr std::array<uint8_t, ReservedWordCount + 1> WordLengths = MakeWordLengths();

// The lengths of the words of each first letter, as bits: most identifiers are ruled out by
// one look-up before any hashing. Letters fold onto their slots; other characters may share
// a letter's slot, which only lets them on to the full comparison.
constexpr std::array<uint16_t, 32> MakeLengthsByFirst() {
    std::array<uint16_t, 32> lengths{};
    for (int w = 0; w < ReservedWordCount; ++w) {
        if (ReservedWords[w].size() > 15) throw "reserved word too long for the table";
        lengths[Fold(ReservedWords[w][0]) & 31] |= uint16_t(1u << ReservedWords[w].size());
    }
    return lengths;
}

constexpr std::array<uint16_t, 32> LengthsByFirst = MakeLengthsByFirst();

inline bool FindReserved(std::string_view Word, TReservedWord Last, TReservedWord& Result) {
    if (Word.size() < 3 || Word.size() > 15 ||
        !((LengthsByFirst[Fold(Word[0]) & 31] >> Word.size()) & 1))
        return false;
    const uint8_t ordinal = WordSlots[WordSlot(Word)];
    if (WordLengths[ordinal] != Word.size() || ordinal > Last) return false;
    const char* candidate = ReservedWords[ordinal].data();
    for (size_t k = 0; k < Word.size(); ++k)
        if (Fold(Word[k]) != Fold(candidate[k])) return false;
    Result = static_cast<TReservedWord>(ordinal);
    return true;
}

[[noreturn]] void NotA(TReservedWord Word, const char* What) {
    throw Exception(Format("Reserved word %d is not a %s", int(Word), What));
}

} // namespace

const char* ReservedWordText(TReservedWord Word) {
    return Word < ReservedWordCount ? ReservedWords[Word].data() : "";
}

bool FindStructureWord(std::string_view Word, TReservedWord& Result) {
    return FindReserved(Word, LastStructureWord, Result);
}

bool FindDirectiveWord(std::string_view Word, TReservedWord& Result) {
    return FindReserved(Word, rwNoDefault, Result);
}

TProcKind ReservedToProcKind(TReservedWord Word) {
    if (Word < rwConstructor || Word > rwFunction) NotA(Word, "procedure kind");
    return static_cast<TProcKind>(pkConstructor + (Word - rwConstructor));
}

TVisibility ReservedToVisibility(TReservedWord Word) {
    if (Word < rwPrivate || Word > rwAutomated) NotA(Word, "visibility");
    return static_cast<TVisibility>(scPrivate + (Word - rwPrivate));
}

TCallConvention ReservedToCallConvention(TReservedWord Word) {
    if (Word < rwRegister || Word > rwFar) NotA(Word, "calling convention");
    return static_cast<TCallConvention>(ccRegister + (Word - rwRegister));
}

TProcDirective ReservedToProcDirective(TReservedWord Word) {
    if (Word >= rwForward && Word <= rwOverload)
        return static_cast<TProcDirective>(pdForward + (Word - rwForward));
    if (Word >= rwVirtual && Word <= rwReintroduce)
        return static_cast<TProcDirective>(pdVirtual + (Word - rwVirtual));
    NotA(Word, "proc directive");
}

bool FindModuleKeyword(std::string_view Word, int& Kind) {
    static constexpr std::string_view keywords[] = {"program", "unit", "library", "package"};
    for (int i = 0; i < 4; ++i) {
        if (SameText(Word, keywords[i])) {
            Kind = i + 2;
            return true;
        }
    }
    return false;
}

} // namespace kolva
