// Every Object Pascal source of the Free Pascal distribution goes through the tokenizer in
// tolerant mode: nothing may escape, hang or break the position invariants. Half the files
// are read through a string list and half through the buffered file, so both line sources
// meet real text. The files are split into shards so the suite can run them in parallel.
#include "model/BufTextF.h"
#include "model/Tokenizers.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "support/Corpus.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::CorpusFiles;

constexpr int ShardCount = 8;

struct TCorpusCount {
    int64_t Tokens = 0;
    int64_t Errors = 0;
};

// Reads every token, recording a failure when an invariant breaks; each token takes at
// least one character, so more tokens than characters means the tokenizer stands still.
void Tokenize(TPascalTokenizer& Tokenizer, int64_t Limit, const std::string& File,
              TCorpusCount& Count) {
    int64_t tokens = 0;
    Tokenizer.SetTolerant(true);
    Tokenizer.SetKeepCommentText(true);
    while (Tokenizer.NextToken() != tkNone) {
        const TTokenKind kind = Tokenizer.TokenKind();
        if (kind == tkError) ++Count.Errors;
        if (kind == tkWord || kind == tkSymbol || kind == tkString) {
            // Such a token is a view of the current line at its own column.
            const std::string_view line = Tokenizer.CurrentLine();
            const std::string_view text = Tokenizer.TokenText();
            if (text.empty() || text.data() != line.data() + Tokenizer.TokenColumn() - 1 ||
                Tokenizer.Column() != Tokenizer.TokenColumn() + int(text.size())) {
                ADD_FAILURE() << File << ":" << Tokenizer.TokenLine() << ":"
                              << Tokenizer.TokenColumn() << " token out of place";
                return;
            }
        }
        ++Count.Tokens;
        if (++tokens > Limit) {
            ADD_FAILURE() << File << ": more tokens than characters";
            return;
        }
    }
}

class TTokenizerCorpusTest : public testing::TestWithParam<int> {};

TEST_P(TTokenizerCorpusTest, EveryFileTokenizes) {
    const std::vector<std::string>& files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no sources under " << KOLVA_FPCSRC;
    TCorpusCount count;
    int64_t bytes = 0;
    int shardFiles = 0;
    for (size_t i = size_t(GetParam()); i < files.size(); i += ShardCount) {
        const std::string& file = files[i];
        const std::string text = ReadFileText(file);
        bytes += int64_t(text.size());
        ++shardFiles;
        const int64_t limit = int64_t(text.size()) + 1;
        try {
            if (i / ShardCount % 2 == 0) {
                TStringList lines;
                lines.SetText(text);
                TStringsTokenizer tokenizer(lines);
                Tokenize(tokenizer, limit, file, count);
            } else {
                TBufTextFile stream(file, 16384, tmRead);
                TTextStreamTokenizer tokenizer(stream);
                Tokenize(tokenizer, limit, file, count);
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << file << ": " << e.what();
        }
    }
    std::printf("shard %d: %d files, %lld bytes, %lld tokens, %lld error tokens\n", GetParam(),
                shardFiles, static_cast<long long>(bytes), static_cast<long long>(count.Tokens),
                static_cast<long long>(count.Errors));
}

INSTANTIATE_TEST_SUITE_P(Shards, TTokenizerCorpusTest, testing::Range(0, ShardCount));

} // namespace
} // namespace kolva
