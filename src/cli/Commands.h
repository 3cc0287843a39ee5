// The commands of the `kolva` program. Each takes the arguments after its name, writes its
// result to standard output and its errors to standard error, and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace kolva::cli {

using TArgs = std::vector<std::string>;

struct TCommand {
    const char* Name;
    const char* Usage;
    int (*Run)(const TArgs& Args);
};

/// Every command, in the order the usage text lists them.
const std::vector<TCommand>& Commands();

int RunVersion(const TArgs& Args);
/// Lists the tokens of a source file: `LINE:COL KIND TEXT`, tolerant of malformed input.
int RunTokens(const TArgs& Args);
/// Prints the code model of a source file, as text or as JSON.
int RunOutline(const TArgs& Args);

/// Operations of the editing engine on a file (see EngineCommands.cpp).
int RunAddProcedure(const TArgs& Args);
int RunEdit(const TArgs& Args);
int RunRename(const TArgs& Args);
int RunDelete(const TArgs& Args);
int RunMove(const TArgs& Args);
int RunVisibility(const TArgs& Args);
int RunAddField(const TArgs& Args);
int RunAddMethod(const TArgs& Args);
int RunAddResClause(const TArgs& Args);
int RunAddInterface(const TArgs& Args);
/// Registers the dialogs that answer from the command's options.
void RegisterCommandLineEditors();
/// Properties and the conversions that involve them (see PropertyCommands.cpp).
int RunAddProperty(const TArgs& Args);
int RunConvert(const TArgs& Args);
/// Registers the property dialog that answers from the command's options.
void RegisterPropertyEditor();

/// Prints the usage line of a command to standard error; returns the exit status 2.
int Usage(const char* Line);

/// Lists, shows or changes the user's settings in the registry of the prefix.
int RunSettings(const TArgs& Args);

} // namespace kolva::cli
