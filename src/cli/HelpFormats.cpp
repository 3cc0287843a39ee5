// The table of commands as a manual page (roff) and as a bash completion script, which the
// build makes from the program itself so that neither can fall behind what it parses.
#include "cli/Commands.h"
#include "foundation/VersRes.h"

#include <iostream>

namespace kolva::cli {

namespace {

// roff takes a backslash as an escape, a line starting with a dot or quote as a request,
// and "-" as a hyphen (options need the minus sign "\-").
std::string Roff(std::string_view Text) {
    std::string out;
    for (const char c : Text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else if (c == '\n')
            out += "\n.PP\n";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

void PrintManPage(std::ostream& Out) {
    Out << ".TH KOLVA 1 \"\" \"" << Roff(VersionRes().VersionText()) << "\" \"User Commands\"\n"
        << ".SH NAME\nkolva \\- outline and edit Object Pascal units from the command line\n"
        << ".SH SYNOPSIS\n.B kolva\n.I COMMAND\n[\\fIARGS\\fR] [\\fIoptions\\fR]\n"
        << ".br\n.B kolva \\-\\-version\n.br\n.B kolva help\n[\\fICOMMAND\\fR]\n"
        << ".SH DESCRIPTION\nKolva outlines Object Pascal units (classes, members, procedures "
           "and the links between declarations and implementations) and edits them through "
           "the same engine as the Kolva IDE add-in: every edit either completes or leaves "
           "the files as they were.\n"
        << ".SH COMMANDS\n";
    for (const TCommand& c : Commands()) {
        Out << ".SS \"kolva " << c.Name << (*c.Args ? " " : "") << Roff(c.Args) << "\"\n"
            << Roff(c.Summary) << "\n";
        for (const TOptionInfo& o : c.Options) {
            Out << ".TP\n.B " << Roff(o.Name);
            if (o.Value) Out << " \\fI" << Roff(o.Value) << "\\fR";
            Out << "\n" << Roff(o.Help) << "\n";
        }
        if (c.Details) Out << ".PP\n" << Roff(c.Details) << "\n";
    }
    Out << ".SH ENVIRONMENT\n.TP\n.B KOLVA_PREFIX\nThe folder that holds the settings "
           "(registry) and the drive mappings; default \\fI~/.kolva\\fR.\n"
        << ".SH EXIT STATUS\n.TP\n0\ndone\n.TP\n1\nfailed, nothing written (check: a "
           "declaration could not be read)\n.TP\n2\nusage error: unknown command or option, "
           "missing argument\n.TP\n3\na question was declined (give \\-\\-yes); nothing "
           "written\n";
}

void PrintBashCompletion(std::ostream& Out) {
    Out << "# bash completion for kolva, made by `kolva help --bash-completion`.\n"
           "_kolva() {\n"
           "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
           "  local IFS=$'\\n'\n"
           "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
           "    COMPREPLY=($(compgen -W \"--help\n--version";
    for (const TCommand& c : Commands())
        Out << "\n" << c.Name;
    Out << "\" -- \"$cur\"))\n    return\n  fi\n"
           "  case \"$prev\" in\n"
           "    --visibility) COMPREPLY=($(compgen -W \"private\nprotected\npublic\npublished\n"
           "automated\ndefault\" -- \"$cur\")); return ;;\n"
           "    --decl|--line|--jobs|--assume-filename) return ;;\n"
           "  esac\n"
           "  local opts=\"--help\"\n"
           "  case \"${COMP_WORDS[1]}\" in\n";
    for (const TCommand& c : Commands()) {
        if (c.Options.empty()) continue;
        Out << "    " << c.Name << ") opts=\"--help";
        for (const TOptionInfo& o : c.Options)
            Out << "\n" << o.Name;
        Out << "\" ;;\n";
    }
    Out << "  esac\n"
           "  if [[ \"$cur\" == -* ]]; then\n"
           "    COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))\n"
           "  elif [ \"${COMP_WORDS[1]}\" = help ]; then\n"
           "    COMPREPLY=($(compgen -W \"";
    for (const TCommand& c : Commands())
        Out << (&c == &Commands().front() ? "" : "\n") << c.Name;
    Out << "\" -- \"$cur\"))\n"
           "  else\n"
           "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "  fi\n"
           "}\n"
           "complete -o filenames -F _kolva kolva\n";
}

} // namespace

int RunHelp(const TCommandLine& Line) {
    if (Line.Has("--man")) {
        PrintManPage(std::cout);
        return esOk;
    }
    if (Line.Has("--bash-completion")) {
        PrintBashCompletion(std::cout);
        return esOk;
    }
    if (Line.Positional.empty()) {
        PrintOverview(std::cout);
        return esOk;
    }
    if (Line.Positional.size() > 1) throw EUsage("help takes one command");
    const TCommand* command = FindCommand(Line.Positional[0]);
    if (!command) {
        std::vector<std::string> names;
        for (const TCommand& c : Commands())
            names.push_back(c.Name);
        throw EUsage(Format("no command \"%s\"%s", Line.Positional[0],
                            DidYouMean(Line.Positional[0], names)));
    }
    PrintHelp(std::cout, *command);
    return esOk;
}

} // namespace kolva::cli
