// kolva: Kolva's command line. It outlines and edits Object Pascal units on disk with the
// same engine the IDE add-in uses.
#include "cli/Commands.h"
#include "foundation/VersRes.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <iostream>

namespace kolva::cli {

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {"--version", "kolva --version", RunVersion},
        {"tokens", "kolva tokens FILE", RunTokens},
        {"outline", "kolva outline FILE [--json]", RunOutline},
        {"add-procedure", "kolva add-procedure FILE [NEAR] --decl TEXT [--[no-]interface]",
         RunAddProcedure},
        {"add-field", "kolva add-field FILE CLASS --decl TEXT [--visibility V]", RunAddField},
        {"add-method", "kolva add-method FILE CLASS --decl TEXT [--visibility V]", RunAddMethod},
        {"add-resclause", "kolva add-resclause FILE CLASS --decl TEXT [--visibility V]",
         RunAddResClause},
        {"add-interface", "kolva add-interface FILE CLASS INTERFACE", RunAddInterface},
        {"edit", "kolva edit FILE ITEM [--decl TEXT] [--[no-]interface] [--visibility V]", RunEdit},
        {"rename", "kolva rename FILE ITEM NEWNAME", RunRename},
        {"delete", "kolva delete FILE ITEM", RunDelete},
        {"move", "kolva move FILE ITEM TARGET", RunMove},
        {"visibility", "kolva visibility FILE ITEM interface|implementation|VISIBILITY",
         RunVisibility},
        {"settings", "kolva settings [list | get NAME | set NAME VALUE]", RunSettings},
    };
    return commands;
}

int Usage(const char* Line) {
    std::cerr << "usage: " << Line << '\n';
    return 2;
}

int RunVersion(const TArgs&) {
    std::cout << VersionRes().VersionText() << '\n';
    return 0;
}

namespace {

// Every operation follows the user's settings, as the add-in would. A damaged value is
// reported and the operation goes on with the rest of the settings.
void LoadUserSettings() {
    try {
        LoadSettings();
    } catch (const std::exception& e) {
        std::cerr << "kolva: settings: " << e.what() << '\n';
    }
}

void PrintUsage(std::ostream& out) {
    out << "usage:\n";
    for (const TCommand& c : Commands())
        out << "  " << c.Usage << '\n';
}

} // namespace

} // namespace kolva::cli

int main(int argc, char** argv) {
    using namespace kolva::cli;
    if (argc < 2) {
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    for (const TCommand& c : Commands()) {
        if (name != c.Name) continue;
        LoadUserSettings();
        RegisterCommandLineEditors();
        try {
            return c.Run(TArgs(argv + 2, argv + argc));
        } catch (const kolva::EAbort&) {
            return 1;
        } catch (const std::exception& e) {
            std::cerr << e.what() << '\n';
            return 1;
        }
    }
    std::cerr << "kolva: unknown command \"" << name << "\"\n";
    PrintUsage(std::cerr);
    return 2;
}
