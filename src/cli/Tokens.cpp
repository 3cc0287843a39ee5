// kolva tokens FILE: the tokenizer's view of a source file, one token a line, for people
// checking what the parser will see and for scripts.
#include "cli/Commands.h"
#include "cli/EngineSession.h"
#include "model/Tokenizers.h"
#include "platform/Files.h"
#include "platform/StringList.h"

#include <cstdio>
#include <iostream>

namespace kolva::cli {

namespace {

// "LINE:COL KIND TEXT"; the CR LF that a comment spanning lines carries is shown escaped,
// so every token stays on one output line.
void AppendToken(std::string& Out, const TPascalTokenizer& Tokenizer) {
    Out += std::to_string(Tokenizer.TokenLine());
    Out += ':';
    Out += std::to_string(Tokenizer.TokenColumn());
    Out += ' ';
    Out += TokenKindName(Tokenizer.TokenKind());
    const std::string_view text = Tokenizer.TokenText();
    if (!text.empty()) Out += ' ';
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            Out += "\\r\\n";
            ++i;
        } else {
            Out += text[i];
        }
    }
    Out += '\n';
}

} // namespace

int RunTokens(const TCommandLine& Line) {
    if (Line.Positional.size() != 1)
        throw EUsage(Line.Positional.empty() ? "missing FILE" : "one FILE at a time");
    const std::string& file = Line.Positional[0];
    TStringList lines;
    lines.SetText(file == "-" ? ReadStandardInput() : ReadFileText(file));
    TStringsTokenizer tokenizer(lines);
    tokenizer.SetKeepCommentText(true);
    tokenizer.SetTolerant(true);
    std::string out;
    while (tokenizer.NextToken() != tkNone) {
        AppendToken(out, tokenizer);
        if (out.size() >= 1 << 16) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace kolva::cli
