// Taking a command's arguments apart, and the help made from the table of commands.
#include "cli/Commands.h"
#include "foundation/VersRes.h"

#include <algorithm>
#include <iostream>

namespace kolva::cli {

namespace {

const TOptionInfo HelpOption{"--help", nullptr, "show this help (also -h)"};

const TOptionInfo* FindOption(const TCommand& Command, std::string_view Name) {
    for (const TOptionInfo& o : Command.Options)
        if (Name == o.Name) return &o;
    return nullptr;
}

// Edit distance with transpositions, letters compared without case.
size_t Distance(std::string_view A, std::string_view B) {
    std::vector<std::vector<size_t>> d(A.size() + 1, std::vector<size_t>(B.size() + 1));
    for (size_t i = 0; i <= A.size(); ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= B.size(); ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= A.size(); ++i)
        for (size_t j = 1; j <= B.size(); ++j) {
            const size_t cost = UpCase(A[i - 1]) == UpCase(B[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && UpCase(A[i - 1]) == UpCase(B[j - 2]) &&
                UpCase(A[i - 2]) == UpCase(B[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[A.size()][B.size()];
}

// The environment and the exit statuses, which every command shares.
void PrintFooter(std::ostream& Out) {
    Out << "\nenvironment:\n"
           "  KOLVA_PREFIX   the folder that holds the settings (registry) and the drive\n"
           "                 mappings; default ~/.kolva\n"
           "\nexit status:\n"
           "  0  done\n"
           "  1  failed, nothing written (check: a declaration could not be read)\n"
           "  2  usage error: unknown command or option, missing argument\n"
           "  3  a question was declined (give --yes); nothing written\n";
}

// Text broken into lines of at most Width characters, each after Indent blanks.
void PrintWrapped(std::ostream& Out, std::string_view Text, size_t Indent, size_t Width = 79) {
    size_t column = Indent;
    bool first = true;
    while (!Text.empty()) {
        const size_t end = std::min(Text.find(' '), Text.size());
        const std::string_view word = Text.substr(0, end);
        Text.remove_prefix(std::min(end + 1, Text.size()));
        if (!first && column + 1 + word.size() > Width) {
            Out << '\n' << std::string(Indent, ' ');
            column = Indent;
            first = true;
        }
        if (!first) {
            Out << ' ';
            ++column;
        }
        Out << word;
        column += word.size();
        first = false;
    }
    Out << '\n';
}

} // namespace

bool TCommandLine::Has(std::string_view Name) const {
    return std::any_of(Options.begin(), Options.end(),
                       [&](const auto& o) { return o.first == Name; });
}

std::optional<std::string> TCommandLine::Value(std::string_view Name) const {
    for (auto o = Options.rbegin(); o != Options.rend(); ++o)
        if (o->first == Name) return o->second;
    return std::nullopt;
}

const TCommand* FindCommand(std::string_view Name) {
    for (const TCommand& c : Commands())
        if (Name == c.Name) return &c;
    return nullptr;
}

std::string DidYouMean(std::string_view Word, const std::vector<std::string>& Candidates) {
    const std::string* best = nullptr;
    size_t bestDistance = std::max<size_t>(1, Word.size() / 3) + 1;
    for (const std::string& c : Candidates) {
        const size_t d = Distance(Word, c);
        if (d < bestDistance) {
            best = &c;
            bestDistance = d;
        }
    }
    return best ? Format("; did you mean \"%s\"?", *best) : "";
}

TCommandLine ParseCommandLine(const TCommand& Command, const TArgs& Args) {
    TCommandLine line;
    bool optionsEnded = false;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            line.Positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            line.Help = true;
        } else {
            const size_t eq = arg.find('=');
            const std::string name = arg.substr(0, eq);
            const TOptionInfo* option = FindOption(Command, name);
            if (!option) {
                std::vector<std::string> names{"--help"};
                for (const TOptionInfo& o : Command.Options)
                    names.push_back(o.Name);
                throw EUsage(
                    Format("%s takes no option %s%s", Command.Name, name, DidYouMean(name, names)));
            }
            if (!option->Value && eq != std::string::npos)
                throw EUsage(Format("%s takes no value", name));
            std::string value;
            if (option->Value && eq != std::string::npos) {
                value = arg.substr(eq + 1);
            } else if (option->Value) {
                if (i + 1 >= Args.size())
                    throw EUsage(Format("%s needs a value (%s %s)", name, name, option->Value));
                value = Args[++i];
            }
            line.Options.emplace_back(name, value);
        }
    }
    return line;
}

std::string UsageLine(const TCommand& Command) {
    std::string line = std::string("usage: kolva ") + Command.Name;
    if (*Command.Args) line += std::string(" ") + Command.Args;
    if (!Command.Options.empty()) line += " [options]";
    return line;
}

void PrintHelp(std::ostream& Out, const TCommand& Command) {
    Out << UsageLine(Command) << "\n\n";
    PrintWrapped(Out, Command.Summary, 0);
    Out << "\noptions:\n";
    std::vector<TOptionInfo> options = Command.Options;
    options.push_back(HelpOption);
    for (const TOptionInfo& o : options) {
        // Help starts in column 24, on a line of its own after a long option.
        std::string head = std::string("  ") + o.Name + (o.Value ? std::string(" ") + o.Value : "");
        head = head.size() + 2 > 24 ? head + "\n" + std::string(24, ' ')
                                    : head.append(24 - head.size(), ' ');
        Out << head;
        PrintWrapped(Out, o.Help, 24);
    }
    if (Command.Details) {
        std::string_view details = Command.Details;
        while (!details.empty()) {
            const size_t end = std::min(details.find('\n'), details.size());
            Out << '\n';
            PrintWrapped(Out, details.substr(0, end), 0);
            details.remove_prefix(std::min(end + 1, details.size()));
        }
    }
    PrintFooter(Out);
}

void PrintOverview(std::ostream& Out) {
    Out << "usage: kolva COMMAND [ARGS] [options]\n\ncommands:\n";
    for (const TCommand& c : Commands()) {
        std::string head = std::string("  ") + c.Name;
        head.resize(18, ' ');
        std::string_view summary = c.Summary;
        summary = summary.substr(0, std::min(summary.find(". "), summary.size()));
        Out << head;
        PrintWrapped(Out, summary, head.size());
    }
    Out << "\n  kolva --version (-V)   prints the version\n"
           "  kolva help COMMAND     the options of COMMAND (also kolva COMMAND --help)\n";
    PrintFooter(Out);
}

int RunVersion(const TCommandLine&) {
    std::string text = VersionRes().VersionText();
    if (text.starts_with("Version ")) text.erase(0, 8);
    std::cout << "kolva " << text << '\n';
    return esOk;
}

} // namespace kolva::cli
