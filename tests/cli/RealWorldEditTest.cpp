// Every operation of the command line on real code: units of the Free Pascal sources that
// compile on their own (tests/cli/RealWorldUnits.txt), a sample of items in each, each
// operation on a fresh copy. A result must keep every word, comment and directive it did not
// mean to take out and compile again, or the operation must refuse and leave the file as it
// was. A rename changes declarations, not the references to them, so a renamed item that the
// unit still uses under its old name is counted apart.
//
// Run it alone with --gtest_filter='RealWorldEdit.*'; KOLVA_REALWORLD_VERBOSE prints every
// operation's outcome, not only the failures.
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "support/EditSampler.h"
#include "support/FpcUnits.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include <gtest/gtest.h>

namespace kolva {
namespace {

namespace fs = std::filesystem;

// Failures the engine may have on this sample: none. (43 of 762 operations failed when the
// check was written.)
constexpr int KnownFailures = 0;

enum TVerdict { vdCompiled, vdRefused, vdExcluded, vdFailed };

struct TResult {
    TVerdict Verdict = vdFailed;
    std::string Detail;
};

struct TJob {
    const test::TFpcUnit* Unit;
    const test::TEditOperation* Operation; // null: the unit as it is must compile
    std::string Folder;
};

std::string CommandLine(const test::TEditOperation& Operation, const std::string& File) {
    std::string line;
    for (const std::string& arg : Operation.Args)
        line += (line.empty() ? "" : " ") + (arg == "FILE"     ? File
                                             : arg == "BUFFER" ? File + ".buffer"
                                                               : test::ShellQuoted(arg));
    return line;
}

bool NamesWord(const std::string& Text, const std::string& Word) {
    return test::FindWord(LowerCase(Text), LowerCase(Word)) != std::string::npos;
}

// The words, strings, comments and directives of a unit, case and layout ignored, with the
// number of times each is written.
std::map<std::string, int> Words(const std::string& Text) {
    std::map<std::string, int> words;
    for (size_t i = 0; i < Text.size();) {
        const char c = Text[i];
        size_t end = i + 1;
        if (test::IsIdentChar(c)) {
            while (end < Text.size() && test::IsIdentChar(Text[end]))
                ++end;
            if (!std::isdigit(static_cast<unsigned char>(c)))
                ++words[LowerCase(Text.substr(i, end - i))];
        } else if (c == '{' || c == '\'' || (c == '(' && Text.compare(i, 2, "(*") == 0) ||
                   Text.compare(i, 2, "//") == 0) {
            const char* close = c == '{' ? "}" : c == '\'' ? "'" : c == '(' ? "*)" : "\n";
            const size_t at = Text.find(close, i + 1);
            end = at == std::string::npos ? Text.size() : at + std::strlen(close);
            std::string token;
            for (size_t k = i; k < end; ++k)
                if (!std::isspace(static_cast<unsigned char>(Text[k]))) token += Text[k];
            ++words[token];
        }
        i = end;
    }
    return words;
}

// What the operation dropped from the unit: words written fewer times after it than before
// it. A rename may drop the old name, an operation what it removes by design; a deletion is
// not checked.
std::string LostWords(const test::TEditOperation& Operation, const std::string& Before,
                      const std::string& After) {
    if (Operation.Args.front() == "delete" || Operation.Args.front() == "cut") return {};
    std::map<std::string, int> after = Words(After);
    for (const auto& [word, count] : Words(Operation.Removes))
        after[word] += count;
    if (!Operation.RenamedFrom.empty()) after[LowerCase(Operation.RenamedFrom)] += 1 << 20;
    std::string lost;
    for (const auto& [word, count] : Words(Before))
        if (after[word] < count) lost += (lost.empty() ? "" : ", ") + word;
    return lost;
}

bool IsRoutineHeading(const std::string& Line) {
    std::string text = LowerCase(Line);
    text.erase(0, text.find_first_not_of(" \t"));
    if (text.starts_with("class ")) text.erase(0, 6);
    for (const char* word : {"procedure ", "function ", "constructor ", "destructor ", "operator "})
        if (text.starts_with(word)) return true;
    return false;
}

// A rename's compile error that comes from a use the operation does not change: the renamed
// method no longer overrides the ancestor's or implements the interface's, which keep the
// old name; or the line the error stands on (in the unit or one of its include files) names
// the old identifier and not the new one, and is no routine heading, which a rename must
// change (a declaration or implementation left behind is a fault).
bool ReferenceLeftBehind(const test::TFpcUnit& Unit, const test::TEditOperation& Operation,
                         const std::string& Error, const std::string& File) {
    auto says = [&](const char* Message) { return Error.find(Message) != std::string::npos; };
    if (says("There is no method in an ancestor class to be overridden") ||
        says("No matching implementation for interface method"))
        return true;
    // A type renamed: a pointer or class reference to it is left waiting for its old name.
    const bool type = Operation.Label == "rename class" || Operation.Label == "rename interface" ||
                      Operation.Label == "rename object";
    if (type && says("Forward type not resolved") && NamesWord(Error, Operation.RenamedFrom))
        return true;
    if (says("Forward declaration not solved") || says("function header doesn't match") ||
        says("already declared") || says("Duplicate identifier"))
        return false;
    const size_t open = Error.find('(');
    if (open == std::string::npos) return false;
    std::vector<std::string> folders = test::IncludeFolders(Unit);
    folders.insert(folders.begin(), fs::path(File).parent_path().string());
    std::string path;
    for (const std::string& folder : folders)
        if (path.empty() && fs::is_regular_file(folder + "/" + Error.substr(0, open)))
            path = folder + "/" + Error.substr(0, open);
    if (path.empty()) return false;
    const int line = std::atoi(Error.c_str() + open + 1) - 1;
    TStringList lines;
    lines.SetText(ReadFileText(path));
    if (line < 0 || line >= lines.Count()) return false;
    // A routine heading of a renamed type is one only when qualified by it ("TFoo.Bar").
    const bool heading =
        IsRoutineHeading(lines[line]) &&
        (!type ||
         LowerCase(lines[line]).find(LowerCase(Operation.RenamedFrom) + ".") != std::string::npos);
    return NamesWord(lines[line], Operation.RenamedFrom) &&
           !NamesWord(lines[line], Operation.RenamedFrom + "Kv") && !heading;
}

TResult Run(const TJob& Job) {
    fs::create_directories(Job.Folder);
    const std::string file = Job.Folder + "/" + fs::path(Job.Unit->Path).filename().string();
    const std::string original = ReadFileText(Job.Unit->Path);
    test::WriteNative(file, original);
    if (Job.Operation && !Job.Operation->Buffer.empty())
        test::WriteNative(file + ".buffer", Job.Operation->Buffer);
    if (!Job.Operation) {
        const std::vector<std::string> errors = test::CompileErrors(*Job.Unit, file);
        return {errors.empty() ? vdCompiled : vdFailed, errors.empty() ? "" : errors.front()};
    }
    const test::TRun run = test::RunKolva(CommandLine(*Job.Operation, file) + " 2>&1");
    const bool unchanged = ReadFileText(file) == original;
    TResult result;
    if (run.Status < 0 || run.Status > 1) {
        result = {vdFailed, "kolva ended abnormally (" + std::to_string(run.Status) +
                                "): " + run.Output.substr(0, 300)};
    } else if (run.Status == 1) {
        result = unchanged ? TResult{vdRefused, run.Output}
                           : TResult{vdFailed, "refused but changed the file: " + run.Output};
    } else if (unchanged) {
        result = {vdCompiled, ""};
    } else if (const std::string lost = LostWords(*Job.Operation, original, ReadFileText(file));
               !lost.empty()) {
        result = {vdFailed, "lost text: " + lost.substr(0, 300)};
    } else {
        const std::vector<std::string> errors = test::CompileErrors(*Job.Unit, file);
        if (errors.empty())
            result = {vdCompiled, ""};
        else if (!Job.Operation->RenamedFrom.empty() &&
                 ReferenceLeftBehind(*Job.Unit, *Job.Operation, errors.front(), file))
            result = {vdExcluded, errors.front()};
        else
            result = {vdFailed, errors.front()};
    }
    if (result.Verdict != vdFailed) fs::remove_all(Job.Folder);
    return result;
}

// Runs the jobs on two threads: nearly all the time goes to the compiler.
std::vector<TResult> RunAll(const std::vector<TJob>& Jobs) {
    std::vector<TResult> results(Jobs.size());
    std::atomic<size_t> next{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < 2; ++t)
        pool.emplace_back([&] {
            for (size_t i; (i = next++) < Jobs.size();)
                results[i] = Run(Jobs[i]);
        });
    for (std::thread& thread : pool)
        thread.join();
    return results;
}

TEST(RealWorldEdit, EveryOperationCompilesOrRefusesUnchanged) {
    if (!test::FpcAvailable()) GTEST_SKIP() << "fpc or the sources under " << KOLVA_FPCSRC;
    const std::vector<test::TFpcUnit> units =
        test::ReadFpcUnits(std::string(KOLVA_SOURCE_DIR) + "/tests/cli/RealWorldUnits.txt");
    std::vector<std::vector<test::TEditOperation>> operations(units.size());
    std::vector<TJob> jobs;
    for (size_t u = 0; u < units.size(); ++u) {
        TStringList lines;
        lines.SetText(ReadFileText(units[u].Path));
        TModuleExplorer explorer;
        explorer.Parse(&lines);
        operations[u] = test::SampleEdits(explorer, lines, test::IncludedText(units[u]));
        const std::string folder = test::TempPrefix() + "/" + units[u].Name + "/";
        jobs.push_back({&units[u], nullptr, folder + "original"});
        for (size_t k = 0; k < operations[u].size(); ++k)
            jobs.push_back({&units[u], &operations[u][k], folder + std::to_string(k)});
    }
    const std::vector<TResult> results = RunAll(jobs);
    const char* const VerdictNames[] = {"COMPILED", "REFUSED", "EXCLUDED", "FAILED"};
    const bool verbose = std::getenv("KOLVA_REALWORLD_VERBOSE") != nullptr;
    int counts[4] = {};
    for (size_t i = 0; i < jobs.size(); ++i) {
        const TJob& job = jobs[i];
        if (!job.Operation) {
            EXPECT_EQ(results[i].Verdict, vdCompiled)
                << job.Unit->Name << " does not compile as it is: " << results[i].Detail;
            continue;
        }
        ++counts[results[i].Verdict];
        if (verbose || results[i].Verdict == vdFailed)
            std::printf("%s %s | %s | %s | %s\n    kolva %s\n", VerdictNames[results[i].Verdict],
                        job.Unit->Name.c_str(), job.Operation->Label.c_str(),
                        job.Operation->Item.c_str(), results[i].Detail.c_str(),
                        CommandLine(*job.Operation, "FILE").c_str());
    }
    const int tried =
        counts[vdCompiled] + counts[vdRefused] + counts[vdExcluded] + counts[vdFailed];
    std::printf("real-world edits on %zu units: %d operations tried, %d succeeded and compiled, "
                "%d refused with the unit unchanged, %d renames excluded (references keep the "
                "old name), %d failures\n",
                units.size(), tried, counts[vdCompiled], counts[vdRefused], counts[vdExcluded],
                counts[vdFailed]);
    EXPECT_LE(counts[vdFailed], KnownFailures);
}

} // namespace
} // namespace kolva
