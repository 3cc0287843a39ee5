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
        const size_t window = 4 * size_t(threads);
        std::mutex mutex;
        std::condition_variable changed;
        size_t next = 0, written = 0;
        auto worker = [&] {
            std::unique_lock lock(mutex);
            for (;;) {
                changed.wait(lock, [&] { return next >= Files.size() || next < written + window; });
                if (next >= Files.size()) return;
                const size_t i = next++;
                lock.unlock();
                TResult result;
                Process(Files[i], Work, result, nullptr);
                lock.lock();
                results[i] = std::move(result);
                results[i].Done = true;
                changed.notify_all();
            }
        };
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(worker);
        for (std::unique_lock lock(mutex); written < Files.size();) {
            changed.wait(lock, [&] { return results[written].Done; });
            TResult result = std::move(results[written]);
            lock.unlock();
            Emit(result);
            lock.lock();
            results[written].Reported = result.Reported;
            ++written;
            changed.notify_all();
        }
        for (std::thread& t : pool)
            t.join();
    }
    const bool reported =
        std::any_of(results.begin(), results.end(), [](const TResult& r) { return r.Reported; });
    return reported ? 1 : 0;
}

} // namespace kolva::cli
