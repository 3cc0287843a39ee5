// The Object Pascal tokenizer: splits source into words, symbols, strings, comments,
// compiler directives and tag lines, one line at a time, keeping each token's text and able
// to record ("mark") the exact source consumed between two points. Reserved words are not a
// token kind; two keyword tables recognise them afterwards. The parameter signature, which
// tells overloaded routines apart, is computed here too.
//
// Lines come from a line-reader callback, a text stream or a string list. Token texts are
// views that stay valid until the next token is read or the line is changed; no token
// allocates memory unless it spans lines.
#pragma once

#include "model/FWEngineDefs.h"
#include "platform/System.h"
#include "platform/SysUtils.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kolva {

class TStringList;
class TStringsText;
class TTextStream;

enum TTokenKind : uint8_t {
    tkNone,      ///< no more input
    tkWord,      ///< identifier, number or any run of non-delimiters
    tkComment,   ///< "{", "(*" or "//" (the whole comment when comment text is kept)
    tkDirective, ///< "{$" ... "}", always whole
    tkString,    ///< a literal as written: quotes, doubled quotes and #codes
    tkSymbol,    ///< one symbol character, or ":="
    tkTag,       ///< a "FWWIN:" tag line
    tkUnused,    ///< never produced; callers may put it into a skip set
    tkError      ///< a malformed string or comment in tolerant mode; empty text
};
/// The skip set is 16 bits wide, like the stored form of its callers' options.
using TTokenKinds = TSet<TTokenKind, 16>;

/// "tkWord" and so on.
const char* TokenKindName(TTokenKind Kind);

class ETokenError : public Exception {
public:
    using Exception::Exception;
};

/// End of input while the tokenizer raises at end.
class ENoMoreTokens : public ETokenError {
public:
    ENoMoreTokens() : ETokenError("") {}
};

/// Yields the next source line into Line; false when there is none.
using TLineReader = std::function<bool(std::string& Line)>;

class TPascalTokenizer {
public:
    explicit TPascalTokenizer(TLineReader Reader = nullptr);
    virtual ~TPascalTokenizer();
    TPascalTokenizer(const TPascalTokenizer&) = delete;
    TPascalTokenizer& operator=(const TPascalTokenizer&) = delete;

    /// Makes a copy of Line the current line, the column on its first non-blank character.
    void SetLine(std::string_view Line);
    /// Moves to the next line that is not blank; false when the source is exhausted (the
    /// current line is then empty). Blank lines are skipped; every line read while marking
    /// adds CR LF to the mark.
    virtual bool NextLine();

    /// Reads the next token whose kind is not in the skip set. Raises ETokenError for a
    /// malformed string ("Invalid string constant") or a comment left open at the end of
    /// input ("Invalid comment termination") unless tolerant, and ENoMoreTokens at the
    /// end when RaiseAtEnd is set.
    TTokenKind NextToken();
    TTokenKind TokenKind() const { return FKind; }
    /// Valid until the next token is read or the line changes.
    std::string_view TokenText() const { return FToken; }
    /// 1-based column of the next character to look at, just behind the last token.
    int Column() const { return static_cast<int>(FPos) + 1; }
    /// 1-based column where the last token started.
    int TokenColumn() const { return FTokenColumn; }
    /// How many source lines had been read when the last token started: its 1-based line
    /// number when reading started at the first line.
    int TokenLine() const { return FTokenLine; }
    std::string_view CurrentLine() const { return FLine; }

    /// Starts recording the consumed text; a mark already running is discarded.
    void StartMark();
    /// The raw text consumed since StartMark (CR LF at line changes), ending the mark.
    /// Raises Exception "Illegal use of Mark" when no mark runs.
    std::string GetMark();
    /// The mark as one normalised line (see NormalizeMarkedText); without IncludeLast the
    /// last token read is left out.
    std::string GetMarkedText(bool IncludeLast);
    bool Marking() const { return FMarking; }

    bool KeepCommentText() const { return FKeepCommentText; }
    void SetKeepCommentText(bool Value) { FKeepCommentText = Value; }
    TTokenKinds SkipSet() const { return FSkipSet; }
    void SetSkipSet(TTokenKinds Value) { FSkipSet = Value; }
    bool RaiseAtEnd() const { return FRaiseAtEnd; }
    void SetRaiseAtEnd(bool Value) { FRaiseAtEnd = Value; }
    bool Tolerant() const { return FTolerant; }
    void SetTolerant(bool Value) { FTolerant = Value; }

protected:
    /// Counts Line as read and, unless it is blank, makes it the current line; Line must
    /// outlive its use as the current line.
    bool AcceptLine(std::string_view Line);
    /// Leaves the tokenizer without a current line.
    void ClearLine();
    void SetLinesRead(int Count) { FLinesRead = Count; }
    /// Declares that the lines given to AcceptLine stay as they are while tokens are read, so
    /// that a running mark may take their text when it is asked for rather than as tokens
    /// are read.
    void LendLines() { FLinesLent = true; }

    /// Storage for lines that the source cannot lend.
    std::string FLineBuf;

private:
    friend class TStringsTokenizer;
    enum TReadResult : uint8_t { rrOk, rrBadString, rrBadComment };

    /// AcceptLine, merged into the string-list tokenizer's reading.
    bool TakeLine(std::string_view Line);

    TTokenKind ReadOtherToken();
    /// Reads lines until one has a token left; false at the end of the input.
    bool SkipToNextToken();
    /// Makes the token an error, which raises unless tolerant.
    void Failed(TReadResult Result);
    TReadResult ReadSymbol(size_t Start);
    TReadResult ReadComment(size_t Start, bool Brace, bool Directive);
    TReadResult ReadString(size_t Start);
    /// Makes FLine[Start, End) the token and moves behind it.
    void Take(size_t Start, size_t End, TTokenKind Kind);
    /// Adds the current line's text from where the mark stopped up to End.
    void MarkUpTo(size_t End);
    /// Adds everything consumed to the mark, before the current line goes or the mark is read.
    void FlushMark();

    TLineReader FReader;
    std::string_view FLine;
    size_t FPos = 0;
    std::string_view FToken;
    std::string FTokenBuf;
    TTokenKind FKind = tkNone;
    int FTokenColumn = 1;
    int FTokenLine = 0;
    int FLinesRead = 0;
    // The mark is FMark followed by the current line from FMarkFrom to FPos: plain tokens on
    // a lent line are not copied into it one by one.
    std::string FMark;
    size_t FMarkFrom = 0;
    size_t FMarkTokenStart = 0; // where the last token began in the mark
    bool FMarking = false;
    bool FLinesLent = false;
    bool FLineLent = false;
    bool FKeepCommentText = false;
    bool FRaiseAtEnd = false;
    bool FTolerant = false;
    TTokenKinds FSkipSet;
};

/// Reads its lines from a text stream, which it does not own.
class TTextStreamTokenizer : public TPascalTokenizer {
public:
    explicit TTextStreamTokenizer(TTextStream& Stream);
    bool NextLine() override;

private:
    TTextStream* FStream;
};

/// Reads the lines of a string list without copying them; the list must not change while
/// tokens are read.
class TStringsTokenizer : public TPascalTokenizer {
public:
    explicit TStringsTokenizer(TStringList& Lines);
    ~TStringsTokenizer() override;
    bool NextLine() override;

    /// After a line was read, its 1-based number.
    int LineNumber() const;
    /// Continues at the 0-based line Index; the current line is dropped.
    void SetLineNumber(int Index);

private:
    std::unique_ptr<TStringsText> FText;
};

/// The mark as one line: leading and trailing whitespace dropped, LF dropped, every CR with
/// the whitespace around it made one blank; everything else, tabs and inner runs of blanks
/// included, kept.
std::string NormalizeMarkedText(std::string_view Raw);

/// Runs of whitespace (codes up to 32) become one blank between two other characters
/// neither of which is a symbol character (with "#"); elsewhere they are dropped.
std::string CompactWhiteSpace(std::string_view S);

/// The signature of a parameter list without its parentheses: "+" and the type code of
/// each parameter in order ("+I+I+P"), "+" for none. Untyped parameters count as Pointer,
/// default values are ignored. A symbol out of place raises the silent abort; a malformed
/// string raises ETokenError.
std::string ParamSignature(std::string_view Params);

// --- Reserved words ---------------------------------------------------------------------

/// The reserved words the parser reacts to. Ordinals are fixed: the parser keeps them on its
/// block stack and converts ranges of them to the model's vocabulary.
enum TReservedWord : uint8_t {
    rwBegin,
    rwAsm,
    rwEnd,
    rwImplementation,
    rwVar,
    rwConst,
    rwType,
    rwLabel,
    rwRecord,
    rwCase,
    rwTry,
    rwClass,
    rwInterface,
    rwObject,
    rwDispInterface,
    rwConstructor,
    rwDestructor,
    rwProcedure,
    rwFunction,
    rwProperty,
    rwUses,
    rwPrivate,
    rwProtected,
    rwPublic,
    rwPublished,
    rwAutomated,
    rwForward,
    rwExternal,
    rwOverload,
    rwRegister,
    rwPascal,
    rwCDecl,
    rwStdCall,
    rwExport,
    rwSafeCall,
    rwFar,
    rwVirtual,
    rwDynamic,
    rwAbstract,
    rwMessage,
    rwOverride,
    rwReintroduce,
    rwRead,
    rwWrite,
    rwIndex,
    rwImplements,
    rwStored,
    rwDefault,
    rwNoDefault
};
constexpr int ReservedWordCount = rwNoDefault + 1;
/// The last word of the structure table: the words that open or close blocks and
/// declarations.
constexpr TReservedWord LastStructureWord = rwUses;

/// The word in upper case, as the tables hold it ("BEGIN").
const char* ReservedWordText(TReservedWord Word);
/// Finds Word (any case) among rwBegin..rwUses.
bool FindStructureWord(std::string_view Word, TReservedWord& Result);
/// Finds Word (any case) among all reserved words.
bool FindDirectiveWord(std::string_view Word, TReservedWord& Result);

/// rwConstructor..rwFunction; other words raise Exception
/// "Reserved word %d is not a procedure kind".
TProcKind ReservedToProcKind(TReservedWord Word);
/// rwPrivate..rwAutomated; other words raise Exception "Reserved word %d is not a visibility".
TVisibility ReservedToVisibility(TReservedWord Word);
/// rwRegister..rwFar; other words raise Exception
/// "Reserved word %d is not a calling convention".
TCallConvention ReservedToCallConvention(TReservedWord Word);
/// rwForward..rwOverload and rwVirtual..rwReintroduce; other words raise Exception
/// "Reserved word %d is not a proc directive".
TProcDirective ReservedToProcDirective(TReservedWord Word);

/// "program", "unit", "library" and "package" (any case) give the module kinds 2 to 5;
/// false for every other word.
bool FindModuleKeyword(std::string_view Word, int& Kind);

} // namespace kolva
