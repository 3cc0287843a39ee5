// The commands of the `kolva` program. Each takes its command line with the options taken
// apart, writes its result to standard output and its errors to standard error, and returns
// the exit status. The table of commands and options is also the source of the help, the
// man page and the shell completion, so they cannot disagree with what is parsed.
#pragma once

#include "platform/SysUtils.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolva::cli {

using TArgs = std::vector<std::string>;

/// The exit statuses of every command.
enum TExitStatus : int {
    esOk = 0,       ///< done (for check: nothing to report)
    esFailure = 1,  ///< failed, nothing written; check: some declaration could not be read
    esUsage = 2,    ///< the command line is wrong
    esDeclined = 3, ///< a question was answered No or Cancel (no --yes); nothing written
};

/// The command line itself is wrong: an unknown option, a missing value or argument.
class EUsage : public Exception {
public:
    using Exception::Exception;
};

struct TOptionInfo {
    const char* Name;  ///< "--line"
    const char* Value; ///< the value's placeholder ("N"), or null for a flag
    const char* Help;  ///< one line
};

/// A command's arguments with the options taken apart.
struct TCommandLine {
    std::vector<std::string> Positional;
    /// Options in the order given; a flag's value is empty.
    std::vector<std::pair<std::string, std::string>> Options;
    bool Help = false;

    bool Has(std::string_view Name) const;
    /// The value given last, or none.
    std::optional<std::string> Value(std::string_view Name) const;
};

struct TCommand {
    const char* Name;
    const char* Args;    ///< the positional arguments: "FILE ITEM NEWNAME"
    const char* Summary; ///< what the command does, a sentence or two
    std::vector<TOptionInfo> Options;
    int (*Run)(const TCommandLine& Line);
    const char* Details = nullptr; ///< further paragraphs of the help
};

/// Every command, in the order the help lists them.
const std::vector<TCommand>& Commands();
/// The command called Name, or null.
const TCommand* FindCommand(std::string_view Name);

/// Takes Args apart: "--opt VALUE" and "--opt=VALUE", "--" ends the options, "-" is a
/// positional argument, "-h"/"--help" asks for help. Raises EUsage for an option the command
/// does not take (with a suggestion), a flag given a value or a value missing.
TCommandLine ParseCommandLine(const TCommand& Command, const TArgs& Args);

/// "usage: kolva NAME ARGS [options]".
std::string UsageLine(const TCommand& Command);
/// The help of one command: usage, summary, every option with a line, the details, the
/// environment and the exit statuses.
void PrintHelp(std::ostream& Out, const TCommand& Command);
/// The list of commands.
void PrintOverview(std::ostream& Out);

/// "; did you mean \"X\"?" for the candidate closest to Word (ignoring case) when one is
/// close enough to be a typing error, else "".
std::string DidYouMean(std::string_view Word, const std::vector<std::string>& Candidates);

/// True once a question of the running command was declined.
bool QuestionDeclined();

int RunHelp(const TCommandLine& Line);
/// Lists the tokens of a source file: `LINE:COL KIND TEXT`, tolerant of malformed input.
int RunTokens(const TCommandLine& Line);
/// Prints the code model of source files, as text or as JSON.
int RunOutline(const TCommandLine& Line);
/// Reports every declaration that could not be read, as `file:line:col: message`.
int RunCheck(const TCommandLine& Line);

/// Operations of the editing engine on a file (see EngineCommands.cpp).
int RunAddProcedure(const TCommandLine& Line);
int RunEdit(const TCommandLine& Line);
int RunRename(const TCommandLine& Line);
int RunDelete(const TCommandLine& Line);
int RunMove(const TCommandLine& Line);
int RunVisibility(const TCommandLine& Line);
int RunAddField(const TCommandLine& Line);
int RunAddMethod(const TCommandLine& Line);
int RunAddResClause(const TCommandLine& Line);
int RunAddInterface(const TCommandLine& Line);
/// Registers the dialogs that answer from the command's options.
void RegisterCommandLineEditors();
/// Properties and the conversions that involve them (see PropertyCommands.cpp).
int RunAddProperty(const TCommandLine& Line);
int RunConvert(const TCommandLine& Line);
/// Registers the property dialog that answers from the command's options.
void RegisterPropertyEditor();

/// Lists, shows or changes the user's settings in the registry of the prefix.
int RunSettings(const TCommandLine& Line);

/// Prints "kolva VERSION".
int RunVersion(const TCommandLine& Line);
/// Prints a code template expanded with parameter values from the options.
int RunExpand(const TCommandLine& Line);
/// Writes a class's members (or the unit's procedures) and their implementations in a new
/// order.
int RunRearrange(const TCommandLine& Line);
/// Writes the copy buffer of a class, of members of one class or of procedures (all of the
/// unit's for none) to standard output.
int RunCopy(const TCommandLine& Line);
/// Writes the copy buffer of items to standard output and removes them from the unit.
int RunCut(const TCommandLine& Line);
/// Pastes a copy buffer (from a file or standard input) into a class or the unit.
int RunPaste(const TCommandLine& Line);
/// Copy or move members of a class or procedures into another class or the unit.
int RunCopyTo(const TCommandLine& Line);
int RunMoveTo(const TCommandLine& Line);

int RunAddClass(const TCommandLine& Line);
int RunSetAncestor(const TCommandLine& Line);
/// Registers the class dialog that answers from the command's options.
void RegisterClassEditor();
/// Lists, adds and removes the templates of the shared template list (see
/// TemplateCommands.cpp).
int RunTemplates(const TCommandLine& Line);
/// Writes members of a class into a template file and registers it.
int RunCreateTemplate(const TCommandLine& Line);
/// Applies a code template (registered or a file) to a class of a unit.
int RunApply(const TCommandLine& Line);

/// Registers the add-in library with the IDE's experts key of the prefix, or takes it out.
int RunAddin(const TCommandLine& Line);

} // namespace kolva::cli
