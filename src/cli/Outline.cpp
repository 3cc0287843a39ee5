// kolva outline FILE... [--json] and kolva check FILE...: the code model of units as the
// explorer would show it, and the declarations the parser could not read, in the form
// editors and CI read (FILE:LINE:COL: MESSAGE).
#include "cli/Commands.h"
#include "cli/OutlineWriters.h"
#include "cli/SourceRunner.h"

#include <regex>

namespace kolva::cli {

namespace {

std::vector<TSourceFile> Sources(const TCommandLine& Line) {
    if (Line.Positional.empty()) throw EUsage("missing FILE");
    return ExpandSources(Line.Positional, Line.Value("--assume-filename"));
}

int JobsOption(const TCommandLine& Line) {
    const std::optional<std::string> jobs = Line.Value("--jobs");
    if (!jobs) return 0;
    const int n = StrToIntDef(*jobs, -1);
    if (n < 1) throw EUsage(Format("--jobs takes a number of threads, not \"%s\"", *jobs));
    return n;
}

// The parser says where a declaration failed as " in line N col M" (1-based) at the end of
// its message.
std::string CheckLine(const std::string& Name, const std::string& Error) {
    static const std::regex place(" in line ([0-9]+) col ([0-9]+)$");
    std::smatch m;
    if (!std::regex_search(Error, m, place)) return Name + ": " + Error + "\n";
    return Format("%s:%s:%s: %s\n", Name, m[1].str(), m[2].str(), m.prefix().str());
}

} // namespace

int RunOutline(const TCommandLine& Line) {
    const bool json = Line.Has("--json");
    const bool pretty = Line.Has("--pretty");
    if (pretty && !json) throw EUsage("--pretty goes with --json");
    const std::vector<TSourceFile> files = Sources(Line);
    const bool several = files.size() > 1;
    const int status = RunOverSources(
        files, JobsOption(Line),
        [&](const TSourceFile& File, TModuleExplorer& Explorer, std::string& Out, std::FILE* Sink,
            std::string& Err) {
            if (json) {
                TJsonWriter writer(pretty, Sink);
                writer.Text().swap(Out);
                WriteJsonOutline(writer, File.Name, Explorer);
                writer.EndDocument();
                writer.Text().swap(Out);
                return false;
            }
            if (several) Out += "==> " + File.Name + " <==\n";
            WriteTextOutline(Out, Sink, Explorer);
            if (Explorer.ErrorCount() > 0)
                Err += Format("kolva: %s: %d declaration(s) could not be read; the first: %s\n",
                              File.Name, Explorer.ErrorCount(), Explorer.Errors().front());
            return false;
        });
    return status;
}

int RunCheck(const TCommandLine& Line) {
    return RunOverSources(
        Sources(Line), JobsOption(Line),
        [](const TSourceFile& File, TModuleExplorer& Explorer, std::string& Out, std::FILE*,
           std::string&) {
            for (const std::string& error : Explorer.Errors())
                Out += CheckLine(File.Name, error);
            const int more = Explorer.ErrorCount() - int(Explorer.Errors().size());
            if (more > 0)
                Out += Format("%s: %d more declaration(s) could not be read\n", File.Name, more);
            return Explorer.ErrorCount() > 0;
        });
}

} // namespace kolva::cli
