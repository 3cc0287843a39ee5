#include "cli/SourceRunner.h"

#include "cli/EngineSession.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

namespace kolva::cli {

namespace {

namespace fs = std::filesystem;

bool IsPascalSource(const fs::path& Path) {
    const std::string ext = Path.extension().string();
    for (const char* e : {".pas", ".pp", ".p", ".dpr", ".lpr", ".dpk", ".inc"})
        if (SameText(ext, e)) return true;
    return false;
}

struct TResult {
    std::string Out, Err;
    bool Reported = false;
    bool Done = false;
    bool Written = false;
};

// One file from reading to output. The text is dropped once the lines hold it, so a large
// unit is in memory once.
void Process(const TSourceFile& File, const TSourceWork& Work, TResult& Result, std::FILE* Sink) {
    try {
        TStringList lines;
        lines.SetText(File.Path == "-" ? ReadStandardInput() : ReadFileText(File.Path));
        TModuleExplorer explorer;
        explorer.Parse(&lines);
        Result.Reported = Work(File, explorer, Result.Out, Sink, Result.Err);
    } catch (const std::exception& e) {
        Result.Err += "kolva: " + File.Name + ": " + e.what() + "\n";
        Result.Reported = true;
    }
}

void Emit(TResult& Result) {
    std::fwrite(Result.Out.data(), 1, Result.Out.size(), stdout);
    std::fflush(stdout);
    std::cerr << Result.Err;
    Result.Out = std::string();
    Result.Err = std::string();
}

// Files parsed on several threads and written in order. The file due next is streamed
// straight to standard output by the thread that parses it; the others are kept until their
// turn, and at most Window files run ahead of the one due.
class TParallelRun {
public:
    TParallelRun(const std::vector<TSourceFile>& Files, const TSourceWork& Work,
                 std::vector<TResult>& Results, size_t Threads)
        : FFiles(Files), FWork(Work), FResults(Results), FThreads(Threads), FWindow(4 * Threads) {}

    void Run() {
        std::vector<std::thread> pool;
        for (size_t t = 0; t < FThreads; ++t)
            pool.emplace_back([this] { Worker(); });
        for (std::thread& t : pool)
            t.join();
    }

private:
    void Worker() {
        std::unique_lock lock(FMutex);
        for (;;) {
            FChanged.wait(lock,
                          [&] { return FNext >= FFiles.size() || FNext < FWritten + FWindow; });
            if (FNext >= FFiles.size()) return;
            const size_t i = FNext++;
            // Nothing before it waits to be written, and nobody writes it but this thread.
            const bool due = i == FWritten;
            lock.unlock();
            TResult result;
            Process(FFiles[i], FWork, result, due ? stdout : nullptr);
            if (due) Emit(result);
            lock.lock();
            FResults[i] = std::move(result);
            FResults[i].Done = true;
            if (due) FWritten = i + 1;
            WriteReady(lock);
            FChanged.notify_all();
        }
    }

    // Writes the results that are due and done, one thread at a time.
    void WriteReady(std::unique_lock<std::mutex>& Lock) {
        if (FWriting) return;
        FWriting = true;
        while (FWritten < FFiles.size() && FResults[FWritten].Done && !FResults[FWritten].Written) {
            TResult& result = FResults[FWritten];
            Lock.unlock();
            Emit(result);
            Lock.lock();
            result.Written = true;
            ++FWritten;
        }
        FWriting = false;
    }

    const std::vector<TSourceFile>& FFiles;
    const TSourceWork& FWork;
    std::vector<TResult>& FResults;
    const size_t FThreads, FWindow;
    std::mutex FMutex;
    std::condition_variable FChanged;
    size_t FNext = 0, FWritten = 0;
    bool FWriting = false;
};

} // namespace

std::vector<TSourceFile> ExpandSources(const std::vector<std::string>& Args,
                                       const std::optional<std::string>& Assumed) {
    std::vector<TSourceFile> files;
    for (const std::string& arg : Args) {
        if (arg == "-") {
            files.push_back({arg, DisplayName(arg, Assumed)});
            continue;
        }
        std::error_code error;
        if (!fs::is_directory(arg, error)) {
            files.push_back({arg, arg});
            continue;
        }
        std::vector<std::string> found;
        for (auto it = fs::recursive_directory_iterator(arg, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            if (it->is_regular_file(error) && IsPascalSource(it->path()))
                found.push_back(it->path().string());
        if (error) throw Exception(Format("Cannot read the folder %s: %s", arg, error.message()));
        std::sort(found.begin(), found.end());
        for (std::string& f : found)
            files.push_back({f, f});
    }
    return files;
}

int RunOverSources(const std::vector<TSourceFile>& Files, int Jobs, const TSourceWork& Work) {
    const int threads = std::max(
        1, std::min<int>(Jobs > 0 ? Jobs : int(std::thread::hardware_concurrency()), Files.size()));
    std::vector<TResult> results(Files.size());
    if (threads == 1) {
        // One file after the other, each streamed as it is written.
        for (size_t i = 0; i < Files.size(); ++i) {
            Process(Files[i], Work, results[i], stdout);
            Emit(results[i]);
        }
    } else {
        TParallelRun(Files, Work, results, size_t(threads)).Run();
    }
    const bool reported =
        std::any_of(results.begin(), results.end(), [](const TResult& r) { return r.Reported; });
    return reported ? 1 : 0;
}

} // namespace kolva::cli
