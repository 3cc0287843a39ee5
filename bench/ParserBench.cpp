// Module parser throughput: the whole unit is parsed again after every pause in typing, so
// this is the figure that decides whether the explorer feels instant. Measured over the 30
// largest Free Pascal units (the same bytes as the tokenizer's baselines in this program),
// over sharepoint.pp alone (119,000 lines, 900 classes) and over a generated 10,000-line
// unit, and over a generated include file of declarations. Peak memory counts every
// allocation made during one parse, per source byte.
#include "BenchCorpus.h"
#include "model/ModuleExplorer.h"
#include "platform/StringList.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using namespace kolva;

std::unique_ptr<TStringList> Split(const std::string& Text) {
    auto lines = std::make_unique<TStringList>();
    lines->SetText(Text);
    return lines;
}

// Parses Lines once more with the allocation counter reset, for the peak-memory counter.
// A fresh parser on a thread of its own: code items come from a per-thread pool, and only a
// pool that starts empty shows what the model takes.
double PeakPerByte(TStringList& Lines, size_t Bytes) {
    double perByte = 0;
    std::thread([&] {
        const size_t before = bench::LiveBytes();
        bench::ResetPeak();
        TModuleExplorer explorer;
        explorer.Parse(&Lines);
        perByte = double(bench::PeakBytes() - before) / double(Bytes);
    }).join();
    return perByte;
}

void ParseText(benchmark::State& State, const std::string& Text) {
    if (Text.empty()) {
        State.SkipWithError("source not found");
        return;
    }
    std::unique_ptr<TStringList> lines = Split(Text);
    TModuleExplorer explorer;
    for (auto _ : State)
        explorer.Parse(lines.get());
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Text.size()));
    State.counters["lines"] = lines->Count();
    State.counters["items"] = explorer.ItemCount();
    State.counters["peak B/B"] = PeakPerByte(*lines, Text.size());
}

void BM_ParseLargestUnits(benchmark::State& State) {
    std::vector<std::unique_ptr<TStringList>> units;
    for (const bench::TUnitText& unit : bench::LargestUnits())
        units.push_back(Split(unit.Text));
    TModuleExplorer explorer;
    double peak = 0;
    for (auto _ : State)
        for (auto& lines : units)
            explorer.Parse(lines.get());
    for (size_t i = 0; i < units.size(); ++i)
        peak = std::max(peak, PeakPerByte(*units[i], bench::LargestUnits()[i].Text.size()));
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(bench::Corpus().size()));
    State.counters["peak B/B"] = peak;
}
BENCHMARK(BM_ParseLargestUnits)->Unit(benchmark::kMillisecond);

void BM_ParseSharepoint(benchmark::State& State) {
    static const std::string text = bench::CorpusFile("odata/src/sharepoint.pp");
    ParseText(State, text);
}
BENCHMARK(BM_ParseSharepoint)->Unit(benchmark::kMillisecond);

void BM_ParseGenerated10000Lines(benchmark::State& State) {
    static const std::string text = bench::GeneratedUnit(10000);
    ParseText(State, text);
}
BENCHMARK(BM_ParseGenerated10000Lines)->Unit(benchmark::kMillisecond);

// An include file of 40,000 routine declarations without a heading, as systemh.inc is: a
// flat list, read in time that grows with its length.
std::string IncludeOfDeclarations(int Count) {
    std::string text;
    for (int i = 0; i < Count; i += 2) {
        text += "procedure Proc" + std::to_string(i) + "(A: Integer; const S: string);\n";
        text += "function Func" + std::to_string(i + 1) + ": Integer; inline;\n";
    }
    return text;
}

void BM_ParseIncludeOf40000Declarations(benchmark::State& State) {
    static const std::string text = IncludeOfDeclarations(40000);
    ParseText(State, text);
}
BENCHMARK(BM_ParseIncludeOf40000Declarations)->Unit(benchmark::kMillisecond);

} // namespace
