// `kolva outline` as a user runs it: the whole program, reading files and writing its output,
// side by side with Universal Ctags over the same files (skipped when ctags is not
// installed). Over the 30 largest Free Pascal units (default threads and one), over
// sharepoint.pp alone (the peak memory that matters), over a folder of those units with one
// and with two threads, and over deeply nested routines, whose output must stay linear in
// the input. Counters: peak resident memory and CPU time of the program (peakMB, cpuMs; with
// GNU time) and output bytes per source byte (outPerIn).
#include "BenchCorpus.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {

using namespace kolva;
namespace fs = std::filesystem;

const std::string OutFile = fs::temp_directory_path() / "kolva-bench-out";
const std::string PeakFile = fs::temp_directory_path() / "kolva-bench-peak";
const char* const Time = "/usr/bin/time";

struct TChild {
    bool Ok;
    long PeakKB;
    double CpuSeconds;
};

// Runs Argv with standard output into OutFile. The peak memory comes from GNU time when it
// is installed: a child spawned from this process starts with this process's peak (the
// corpus it holds), and only a process forked by a small one starts from nothing.
TChild Run(const std::vector<std::string>& Argv) {
    std::vector<std::string> command = Argv;
    const bool timed = access(Time, X_OK) == 0;
    if (timed) command.insert(command.begin(), {Time, "-f", "%M %U %S", "-o", PeakFile});
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, OutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return {false, 0, 0};
    int status = 0;
    waitpid(pid, &status, 0);
    long peak = 0;
    double user = 0, system = 0;
    if (timed) std::ifstream(PeakFile) >> peak >> user >> system;
    return {WIFEXITED(status) && WEXITSTATUS(status) <= 1, peak, user + system};
}

std::vector<std::string> UnitPaths() {
    std::vector<std::string> paths;
    for (const bench::TUnitText& unit : bench::LargestUnits())
        paths.push_back(unit.Path);
    return paths;
}

size_t SourceBytes(const std::vector<std::string>& Paths) {
    size_t bytes = 0;
    for (const std::string& p : Paths)
        bytes += fs::file_size(p);
    return bytes;
}

void Measure(benchmark::State& State, const std::vector<std::string>& Argv, size_t InBytes) {
    long peak = 0;
    double cpu = 0;
    for (auto _ : State) {
        const TChild child = Run(Argv);
        if (!child.Ok) {
            State.SkipWithError(("cannot run " + Argv[0]).c_str());
            return;
        }
        peak = std::max(peak, child.PeakKB);
        cpu += child.CpuSeconds;
    }
    State.counters["peakMB"] = double(peak) / 1024;
    // On a shared machine the wall time waits for other programs; the CPU time does not.
    State.counters["cpuMs"] = 1000 * cpu / double(State.iterations());
    State.counters["outPerIn"] = double(fs::file_size(OutFile)) / double(InBytes);
    State.SetBytesProcessed(int64_t(State.iterations() * InBytes));
}

std::vector<std::string> With(std::vector<std::string> Argv, const std::vector<std::string>& More) {
    Argv.insert(Argv.end(), More.begin(), More.end());
    return Argv;
}

bool HaveCtags() {
    static const bool have = Run({"ctags", "--version"}).Ok;
    return have;
}

void BM_KolvaOutlineJson(benchmark::State& State) {
    const std::vector<std::string> units = UnitPaths();
    std::vector<std::string> argv = {KOLVA_EXE, "outline", "--json"};
    if (State.range(0) > 0) argv.push_back("--jobs=" + std::to_string(State.range(0)));
    Measure(State, With(argv, units), SourceBytes(units));
}
// 0: one thread per core.
BENCHMARK(BM_KolvaOutlineJson)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CtagsLargestUnits(benchmark::State& State) {
    if (!HaveCtags()) return State.SkipWithError("ctags is not installed");
    const std::vector<std::string> units = UnitPaths();
    // ctags takes .pp for Puppet unless told, and is then far slower.
    Measure(State, With({"ctags", "-f", "-", "--langmap=Pascal:+.pp"}, units), SourceBytes(units));
}
BENCHMARK(BM_CtagsLargestUnits)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_KolvaOutlineJsonSharepoint(benchmark::State& State) {
    const std::vector<std::string> units = UnitPaths();
    for (const std::string& u : units)
        if (u.ends_with("odata/src/sharepoint.pp"))
            return Measure(State, {KOLVA_EXE, "outline", "--json", u}, SourceBytes({u}));
    State.SkipWithError("sharepoint.pp not found");
}
BENCHMARK(BM_KolvaOutlineJsonSharepoint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A folder holding the largest units (as links): kolva outline DIR with N threads.
void BM_KolvaOutlineFolder(benchmark::State& State) {
    const fs::path folder = fs::temp_directory_path() / "kolva-bench-units";
    const std::vector<std::string> units = UnitPaths();
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (size_t i = 0; i < units.size(); ++i)
        fs::create_symlink(units[i], folder / (std::to_string(100 + i) + ".pas"));
    Measure(State,
            {KOLVA_EXE, "outline", "--json", "--jobs=" + std::to_string(State.range(0)),
             folder.string()},
            SourceBytes(units));
    fs::remove_all(folder);
}
BENCHMARK(BM_KolvaOutlineFolder)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// N routines each nested in the one before: the output grows with N, not with its square.
void BM_KolvaOutlineNested(benchmark::State& State) {
    const int n = int(State.range(0));
    const std::string file = fs::temp_directory_path() / "kolva-bench-nested.pas";
    {
        std::ofstream out(file);
        out << "program P;\n";
        for (int i = 0; i < n; ++i)
            out << "procedure P" << i << ";\n";
        for (int i = 0; i < n; ++i)
            out << "begin end;\n";
        out << "begin end.\n";
    }
    Measure(State, {KOLVA_EXE, "outline", "--json", file}, fs::file_size(file));
    fs::remove(file);
}
BENCHMARK(BM_KolvaOutlineNested)
    ->Arg(4000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
