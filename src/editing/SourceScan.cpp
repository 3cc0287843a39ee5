#include "editing/SourceScan.h"

#include "model/Tokenizers.h"
#include "platform/SysUtils.h"

#include <deque>

namespace kolva {

namespace {

bool IsIdentChar(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '_';
}

// +1 for a directive that opens a conditional block, -1 for one that closes it.
int ConditionalStep(std::string_view Directive) {
    std::string word;
    for (size_t i = 2; i < Directive.size() && IsIdentChar(Directive[i]); ++i)
        word += UpCase(Directive[i]);
    if (word == "IF" || word == "IFDEF" || word == "IFNDEF" || word == "IFOPT") return 1;
    if (word == "ENDIF" || word == "IFEND") return -1;
    return 0;
}

// The tokens of the text from a line on, read as they are asked for, with a look-ahead.
class TTokenReader {
public:
    TTokenReader(TStringList& Lines, int Line, bool Directives = false) : FTokenizer(Lines) {
        if (Directives)
            FTokenizer.SetSkipSet({tkComment, tkTag});
        else
            FTokenizer.SetSkipSet({tkComment, tkDirective, tkTag});
        FTokenizer.SetTolerant(true);
        FTokenizer.SetLineNumber(Line);
    }
    struct TToken {
        TTokenKind Kind = tkNone;
        std::string Text; // upper case
        int Line = 0;     // 0-based
    };
    const TToken& Peek(size_t Ahead = 0) {
        while (FAhead.size() <= Ahead) {
            TToken token;
            token.Kind = FTokenizer.NextToken();
            if (token.Kind != tkNone) {
                token.Text = UpperCase(FTokenizer.TokenText());
                token.Line = FTokenizer.TokenLine() - 1;
            }
            FAhead.push_back(std::move(token));
        }
        return FAhead[Ahead];
    }
    TToken Take() {
        Peek();
        TToken token = std::move(FAhead.front());
        FAhead.pop_front();
        return token;
    }

private:
    TStringsTokenizer FTokenizer;
    std::deque<TToken> FAhead;
};

// Words that begin something other than one more declaration of the section.
bool EndsSection(const std::string& Word) {
    static const char* const words[] = {"TYPE",
                                        "VAR",
                                        "CONST",
                                        "RESOURCESTRING",
                                        "THREADVAR",
                                        "PROCEDURE",
                                        "FUNCTION",
                                        "CONSTRUCTOR",
                                        "DESTRUCTOR",
                                        "OPERATOR",
                                        "IMPLEMENTATION",
                                        "INITIALIZATION",
                                        "FINALIZATION",
                                        "BEGIN",
                                        "END",
                                        "USES",
                                        "LABEL",
                                        "EXPORTS",
                                        "CLASS",
                                        "ASM"};
    for (const char* word : words)
        if (Word == word) return true;
    return false;
}

// After "= class" (or interface, object, dispinterface): whether a body follows.
bool HasBody(TTokenReader& Reader) {
    size_t at = 0;
    const auto& next = Reader.Peek(at);
    if (next.Text == ";" || next.Text == "OF") return false;
    if (next.Text == "(") {
        int depth = 0;
        for (;; ++at) {
            const auto& token = Reader.Peek(at);
            if (token.Kind == tkNone) return false;
            if (token.Text == "(") ++depth;
            if (token.Text == ")" && --depth == 0) break;
        }
        return Reader.Peek(at + 1).Text != ";";
    }
    return true;
}

// Reads one declaration up to its ";" at nesting level 0; false at the end of the text.
bool SkipDeclaration(TTokenReader& Reader, int& LastLine) {
    int depth = 0;
    std::string previous;
    for (;;) {
        TTokenReader::TToken token = Reader.Take();
        if (token.Kind == tkNone) return false;
        const std::string& t = token.Text;
        if (t == "(" || t == "[") {
            ++depth;
        } else if (t == ")" || t == "]") {
            depth = std::max(depth - 1, 0);
        } else if (t == "RECORD" || (t == "OBJECT" && previous != "OF")) {
            if (t == "RECORD" || HasBody(Reader)) ++depth;
        } else if ((t == "CLASS" || t == "INTERFACE" || t == "DISPINTERFACE") &&
                   (previous == "=" || previous == "PACKED")) {
            if (HasBody(Reader)) ++depth;
        } else if (t == "END") {
            depth = std::max(depth - 1, 0);
        } else if (t == ";" && depth == 0) {
            LastLine = token.Line;
            return true;
        }
        previous = t;
    }
}

} // namespace

int AfterConditionals(TStringList& Lines, int From, int Line) {
    TStringsTokenizer tokenizer(Lines);
    tokenizer.SetTolerant(true);
    tokenizer.SetLineNumber(std::max(From, 0));
    int depth = 0;
    int opened = 0;      // the line of the directive that opened the outermost block
    bool filled = false; // whether code stands in that block before Line
    TTokenKind kind;
    while ((kind = tokenizer.NextToken()) != tkNone) {
        const int line = tokenizer.TokenLine() - 1;
        if (line >= Line) {
            if (depth == 0) return Line;
            // Nothing of the block comes before the new text: it goes in front of the block.
            if (!filled) return opened;
        }
        if (kind != tkDirective) {
            filled = filled || depth > 0;
            continue;
        }
        const int step = ConditionalStep(tokenizer.TokenText());
        if (step > 0 && depth == 0) {
            opened = line;
            filled = false;
        }
        depth = std::max(depth + step, 0);
        if (line >= Line && depth == 0) return line + 1;
    }
    return Line;
}

bool InsideConditional(TStringList& Lines, int From, int Line) {
    return AfterConditionals(Lines, From, Line) != Line;
}

int AfterSectionDeclarations(TStringList& Lines, int Line) {
    TTokenReader reader(Lines, Line);
    int after = Line;
    for (;;) {
        const TTokenReader::TToken& first = reader.Peek();
        if (first.Kind == tkNone) return Line;
        if (first.Kind == tkWord && EndsSection(first.Text)) return after;
        // "Name =" or "Name :" (or "Name," of a variable list): one more declaration.
        if (first.Kind != tkWord && first.Text != "[") return after;
        int last = after;
        if (!SkipDeclaration(reader, last)) return Line;
        after = last + 1;
    }
}

namespace {

// Headings that end at their ";" and open no section: the unit's own, its uses clauses.
bool EndsAtSemicolon(const std::string& Word) {
    for (const char* w : {"UNIT", "PROGRAM", "LIBRARY", "PACKAGE", "USES", "CONTAINS", "REQUIRES"})
        if (Word == w) return true;
    return false;
}

} // namespace

bool TypeSectionOpen(TStringList& Lines, int From, int Line,
                     const std::vector<std::pair<int, int>>& Routines) {
    bool open = false;
    for (int at = std::max(From, 0);;) {
        TTokenReader reader(Lines, at, true);
        at = -1;
        while (at < 0) {
            const TTokenReader::TToken& token = reader.Peek();
            if (token.Kind == tkNone || token.Line >= Line) return open;
            for (const auto& [first, last] : Routines)
                if (token.Line >= first && token.Line <= last) at = last + 1;
            if (at >= 0) {
                open = false;
                break;
            }
            if (token.Kind == tkDirective) {
                // A section opened in one branch of a condition may not be open in another.
                if (ConditionalStep(token.Text) != 0) open = false;
                reader.Take();
            } else if (token.Kind == tkWord &&
                       (EndsSection(token.Text) || token.Text == "INTERFACE")) {
                open = token.Text == "TYPE";
                reader.Take();
            } else if (token.Kind == tkWord && EndsAtSemicolon(token.Text)) {
                open = false;
                while (reader.Peek().Kind != tkNone && reader.Take().Text != ";") {
                }
            } else {
                int last = 0;
                if (!SkipDeclaration(reader, last)) return open;
            }
        }
    }
}

} // namespace kolva
