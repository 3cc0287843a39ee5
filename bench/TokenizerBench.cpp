// Tokenizer throughput over the 30 largest Object Pascal units of the Free Pascal sources,
// beside two floors measured over the same bytes: counting lines with memchr, and splitting
// into one std::string per line (what loading an editor buffer costs anyway).
#include "BenchCorpus.h"
#include "model/Tokenizers.h"
#include "platform/Files.h"
#include "platform/StringList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using namespace kolva;
using bench::Corpus;

const TStringList& CorpusLines() {
    static const TStringList lines = [] {
        TStringList l;
        l.SetText(Corpus());
        return l;
    }();
    return lines;
}

void Finish(benchmark::State& State, int64_t Tokens) {
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Corpus().size()));
    if (Tokens > 0)
        State.counters["tokens/s"] =
            benchmark::Counter(double(Tokens), benchmark::Counter::kIsRate);
}

void BM_MemchrLineCount(benchmark::State& State) {
    const std::string& text = Corpus();
    for (auto _ : State) {
        size_t lines = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p))))) {
            ++lines;
            ++p;
        }
        benchmark::DoNotOptimize(lines);
    }
    Finish(State, 0);
}
BENCHMARK(BM_MemchrLineCount);

void BM_LineSplit(benchmark::State& State) {
    const std::string& text = Corpus();
    std::vector<std::string> lines;
    for (auto _ : State) {
        lines.clear();
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
            if (!eol) eol = end;
            const char* stop = eol > p && eol[-1] == '\r' ? eol - 1 : eol;
            lines.emplace_back(p, size_t(stop - p));
            p = eol + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
    Finish(State, 0);
}
BENCHMARK(BM_LineSplit);

// The parser's settings: comments and directives read but not returned.
void TokenizeLines(benchmark::State& State, bool KeepComments, TTokenKinds Skip) {
    TStringList lines = CorpusLines();
    TStringsTokenizer tokenizer(lines);
    tokenizer.SetKeepCommentText(KeepComments);
    tokenizer.SetSkipSet(Skip);
    tokenizer.SetTolerant(true);
    int64_t tokens = 0;
    for (auto _ : State) {
        tokenizer.SetLineNumber(0);
        while (tokenizer.NextToken() != tkNone)
            ++tokens;
    }
    Finish(State, tokens);
}

void BM_Tokenizer(benchmark::State& State) {
    TokenizeLines(State, false, {});
}
BENCHMARK(BM_Tokenizer);

void BM_TokenizerSkipComments(benchmark::State& State) {
    TokenizeLines(State, false, {tkComment, tkDirective, tkTag, tkUnused});
}
BENCHMARK(BM_TokenizerSkipComments);

void BM_TokenizerKeepComments(benchmark::State& State) {
    TokenizeLines(State, true, {});
}
BENCHMARK(BM_TokenizerKeepComments);

} // namespace
