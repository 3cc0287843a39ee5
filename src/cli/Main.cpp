// kolva: Kolva's command line. It outlines and edits Object Pascal units on disk with the
// same engine the IDE add-in uses.
#include "cli/Commands.h"
#include "platform/SysUtils.h"
#include "settings/KolvaReg.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace kolva::cli {

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

// The engine's messages break lines with CR (or CR LF), as its message boxes do.
void PrintError(const std::string& Message) {
    std::string text = "kolva: ";
    for (size_t i = 0; i < Message.size(); ++i) {
        if (Message[i] == '\r' && i + 1 < Message.size() && Message[i + 1] == '\n') continue;
        text += Message[i] == '\r' ? '\n' : Message[i];
    }
    std::cerr << text << '\n';
}

// Output that did not arrive is a failure, reported as the GNU tools report it ("write
// error: No space left on device"); the reason is known when the last write failed.
int CloseStandardOutput(int Status) {
    // A write that failed earlier, when a full buffer went out, left its reason behind.
    int err = !std::cout.good() || std::ferror(stdout) ? errno : 0;
    errno = 0;
    std::cout.flush();
    if (err == 0) err = errno;
    bool failed = !std::cout.good() || std::ferror(stdout);
    errno = 0;
    if (std::fclose(stdout) != 0) {
        failed = true;
        if (err == 0) err = errno;
    }
    if (!failed) return Status;
    std::cerr << "kolva: write error" << (err ? std::string(": ") + std::strerror(err) : "")
              << '\n';
    return Status == esOk ? esFailure : Status;
}

int UnknownCommand(const std::string& Name) {
    std::vector<std::string> names;
    for (const TCommand& c : Commands())
        names.push_back(c.Name);
    PrintError(Format("unknown command \"%s\"%s", Name, DidYouMean(Name, names)));
    std::cerr << "Run 'kolva --help' for the list of commands.\n";
    return esUsage;
}

int RunCommand(const TCommand& Command, const TArgs& Args) {
    try {
        const TCommandLine line = ParseCommandLine(Command, Args);
        if (line.Help) {
            PrintHelp(std::cout, Command);
            return esOk;
        }
        // Help is made at build time too, where no settings are meant.
        if (Command.Run != RunHelp) LoadUserSettings();
        RegisterCommandLineEditors();
        RegisterPropertyEditor();
        RegisterClassEditor();
        return Command.Run(line);
    } catch (const EUsage& e) {
        PrintError(e.Message());
        std::cerr << UsageLine(Command) << "\nRun 'kolva help " << Command.Name
                  << "' for its options.\n";
        return esUsage;
    } catch (const EAbort&) {
        return QuestionDeclined() ? esDeclined : esFailure;
    } catch (const std::exception& e) {
        PrintError(e.what());
        return esFailure;
    }
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        PrintOverview(std::cerr);
        return esUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintOverview(std::cout);
        return esOk;
    }
    if (name == "--version" || name == "-V") return RunVersion({});
    const TCommand* command = FindCommand(name);
    if (!command) return UnknownCommand(name);
    return RunCommand(*command, TArgs(argv + 2, argv + argc));
}

} // namespace

} // namespace kolva::cli

int main(int argc, char** argv) {
    // A write beyond the file size limit then fails with an error that is reported and
    // leaves the files as they were, instead of killing the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Output up to this size fails, if it fails, when standard output is closed, where the
    // reason is still known: a failed flush half-way loses it (the help is over 4 KiB).
    static char outputBuffer[1 << 16];
    if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    using namespace kolva::cli;
    return CloseStandardOutput(Run(argc, argv));
}
