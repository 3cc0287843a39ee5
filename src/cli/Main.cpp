// kolva: Kolva's command line. It outlines and edits Object Pascal units on disk with the
// same engine the IDE add-in uses.
#include "cli/Commands.h"
#include "foundation/VersRes.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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
        {"add-property",
         "kolva add-property FILE CLASS --decl TEXT [--visibility V] [--[no-]state-field]",
         RunAddProperty},
        {"convert", "kolva convert FILE ITEM field|method|property|procedure [--yes]", RunConvert},
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

// Output that did not arrive is a failure, reported as the GNU tools report it ("write
// error: No space left on device"); the reason is known when the last write failed.
int CloseStandardOutput(int Status) {
    errno = 0;
    std::cout.flush();
    int err = errno;
    bool failed = !std::cout.good() || std::ferror(stdout);
    errno = 0;
    if (std::fclose(stdout) != 0) {
        failed = true;
        if (err == 0) err = errno;
    }
    if (!failed) return Status;
    std::cerr << "kolva: write error" << (err ? std::string(": ") + std::strerror(err) : "")
              << '\n';
    return Status == 0 ? 1 : Status;
}

int Run(int argc, char** argv) {
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
        RegisterPropertyEditor();
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

} // namespace

} // namespace kolva::cli

int main(int argc, char** argv) {
    // A write beyond the file size limit then fails with an error that is reported and
    // leaves the files as they were, instead of killing the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    using namespace kolva::cli;
    return CloseStandardOutput(Run(argc, argv));
}
