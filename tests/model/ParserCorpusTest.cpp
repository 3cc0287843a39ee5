// Every Object Pascal source of the Free Pascal distribution goes through the module
// parser: nothing may escape or hang, and the model must hold its invariants (links point
// at each other, every placed item lies inside the text). Declarations this parser cannot
// read are counted, not failed: it reads the Object Pascal of its own time, and much of
// this corpus is later dialects.
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "support/Corpus.h"
#include "support/ModelCheck.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace kolva {
namespace {

constexpr int ShardCount = 8;

class TParserCorpusTest : public testing::TestWithParam<int> {};

TEST_P(TParserCorpusTest, EveryFileParses) {
    const std::vector<std::string>& files = test::CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no sources under " << KOLVA_FPCSRC;
    int64_t bytes = 0, items = 0, errors = 0;
    int shardFiles = 0, filesWithErrors = 0;
    TModuleExplorer explorer;
    for (size_t i = size_t(GetParam()); i < files.size(); i += ShardCount) {
        const std::string& file = files[i];
        TStringList lines;
        lines.SetText(ReadFileText(file));
        ++shardFiles;
        try {
            explorer.Parse(&lines);
        } catch (const std::exception& e) {
            ADD_FAILURE() << file << ": " << e.what();
            continue;
        }
        for (const std::string& fault : test::CheckModel(explorer, lines.Count(), false))
            ADD_FAILURE() << file << ": " << fault;
        for (int k = 0; k < lines.Count(); ++k)
            bytes += int64_t(lines[k].size()) + 1;
        items += explorer.ItemCount();
        errors += explorer.ErrorCount();
        filesWithErrors += explorer.ErrorCount() > 0;
    }
    std::printf("shard %d: %d files, %lld bytes, %lld top-level items, %lld discarded "
                "errors in %d files\n",
                GetParam(), shardFiles, static_cast<long long>(bytes),
                static_cast<long long>(items), static_cast<long long>(errors), filesWithErrors);
}

INSTANTIATE_TEST_SUITE_P(Shards, TParserCorpusTest, testing::Range(0, ShardCount));

} // namespace
} // namespace kolva
