#include "cli/DeclOption.h"

#include "editing/DeclarationText.h"
#include "model/CodeItems.h"
#include "model/Tokenizers.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <regex>

namespace kolva::cli {

namespace {

// Words that start something other than a declaration: a body, a section, the end of the
// class or unit the text is read in.
bool StartsOtherThanDeclaration(std::string_view Word) {
    for (const char* w : {"begin", "asm", "var", "const", "type", "resourcestring", "threadvar",
                          "label", "end", "implementation", "initialization", "finalization",
                          "private", "protected", "public", "published", "strict"})
        if (SameText(Word, w)) return true;
    return false;
}

bool StartsRoutineOrProperty(std::string_view Word) {
    for (const char* w :
         {"procedure", "function", "constructor", "destructor", "operator", "property"})
        if (SameText(Word, w)) return true;
    return false;
}

std::string Where(int Line, int Column, int LineCount) {
    return LineCount > 1 ? Format("line %d col %d", Line, Column) : Format("col %d", Column);
}

// Refuses what the dialog could not take from one declaration. Counted at bracket depth 0:
// a field list ends at its first semicolon, a routine or property is one keyword.
void CheckSingleDeclaration(const TCodeItem& Item, const std::string& Text, int LineCount) {
    TStringList lines;
    lines.SetText(Text);
    TStringsTokenizer tokens(lines);
    tokens.SetTolerant(true);
    tokens.SetSkipSet({tkComment, tkDirective, tkTag, tkUnused});
    int depth = 0, declarations = 0;
    bool fieldEnded = false;
    for (TTokenKind kind; (kind = tokens.NextToken()) != tkNone;) {
        const std::string_view text = tokens.TokenText();
        const std::string where = Where(tokens.TokenLine(), tokens.TokenColumn(), LineCount);
        if (kind == tkSymbol && (text == "(" || text == "[")) ++depth;
        if (kind == tkSymbol && (text == ")" || text == "]")) --depth;
        if (depth > 0) continue;
        if (Item.Kind() == ckField && fieldEnded)
            throw Exception(Format("--decl holds more than one declaration (\"%s\" at %s): "
                                   "give one field declaration",
                                   std::string(text), where));
        if (kind == tkSymbol && text == ";") fieldEnded = true;
        if (kind != tkWord) continue;
        if (StartsOtherThanDeclaration(text))
            throw Exception(Format("--decl holds more than a declaration (\"%s\" at %s): give the "
                                   "declaration alone, without a body or section",
                                   std::string(text), where));
        if (StartsRoutineOrProperty(text) && ++declarations > 1)
            throw Exception(Format("--decl holds more than one declaration (\"%s\" at %s): give "
                                   "one",
                                   std::string(text), where));
    }
}

// The declaration is read in a wrapper whose first line comes before the user's text; the
// parser's places are moved into the text, or past its end.
std::string PlaceInText(const std::string& Message, int LineCount) {
    static const std::regex place(" in line ([0-9]+) col ([0-9]+)");
    std::smatch m;
    if (!std::regex_search(Message, m, place)) return "--decl: " + Message;
    const int line = std::stoi(m[1]) - 1;
    // What the parser met past the text is the wrapper's, not the user's.
    if (line < 1 || line > LineCount) return "--decl: the text ends before the declaration does";
    return "--decl: " + m.prefix().str() + " at " + Where(line, std::stoi(m[2]), LineCount) +
           m.suffix().str();
}

} // namespace

void ReadUserDeclaration(TCodeItem& Item, const std::string& Text) {
    TStringList lines;
    lines.SetText(Text);
    const int lineCount = std::max(1, lines.Count());
    CheckSingleDeclaration(Item, Text, lineCount);
    try {
        ReadDeclaration(Item, Text);
    } catch (const Exception& e) {
        throw Exception(PlaceInText(e.Message(), lineCount));
    }
}

std::string CheckInterfaceName(const std::string& Name) {
    const std::string name = Trim(Name);
    bool valid = !name.empty();
    for (size_t start = 0; valid;) {
        const size_t dot = name.find('.', start);
        valid = IsValidIdent(std::string_view(name).substr(start, dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (!valid)
        throw Exception(Format("\"%s\" is not an interface name: give an identifier, dotted or "
                               "not (IFoo, Unit1.IFoo)",
                               Name));
    return name;
}

} // namespace kolva::cli
