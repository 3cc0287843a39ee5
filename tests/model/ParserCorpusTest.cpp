// Every Object Pascal source of the Free Pascal distribution goes through the module
// parser: nothing may escape or hang, the model must hold its invariants (links point at
// each other, every placed item lies inside the text), and four figures of how well the
// model fits the code may not get worse than their limits:
// - declarations dropped with an error;
// - implied items: this code compiles, so every method implementation has a declaration,
//   and each implied class or method is a declaration the parser failed to see;
// - leaked members: module-level procedures that stand indented inside a type section,
//   that is members read as if their class had ended;
// - the deepest nesting of items.
// The figures are printed per shard; the limits hold for every shard.
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/Corpus.h"
#include "support/ModelCheck.h"

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

namespace kolva {
namespace {

constexpr int ShardCount = 8;

struct TFigures {
    int64_t Errors = 0;
    int64_t Implied = 0;
    int64_t Leaked = 0;
    int Depth = 0;
};

// What no shard may exceed.
constexpr TFigures Limits{37000, 2200, 1450, 900};

int64_t ImpliedItems(const TCodeItem& Item) {
    int64_t count = Item.Implied ? 1 : 0;
    for (const TCodeItem* child : Item.Children())
        count += ImpliedItems(*child);
    return count;
}

int Depth(const TCodeItem& Item) {
    int deepest = 0;
    for (const TCodeItem* child : Item.Children())
        deepest = std::max(deepest, 1 + Depth(*child));
    return deepest;
}

// The first word of a line when it starts in column 0, lower case; empty otherwise.
std::string LeadingWord(const std::string& Line) {
    size_t end = 0;
    while (end < Line.size() &&
           (std::isalnum(static_cast<unsigned char>(Line[end])) || Line[end] == '_'))
        ++end;
    return LowerCase(Line.substr(0, end));
}

// Which lines lie in a type section, judged by the words that start lines in column 0: such
// a "type" opens one, and the other section and routine keywords close it.
std::vector<bool> TypeSectionLines(const TStringList& Lines) {
    static const char* const closers[] = {
        "var",       "const",          "resourcestring", "threadvar",    "label",
        "interface", "implementation", "initialization", "finalization", "begin",
        "procedure", "function",       "constructor",    "destructor",   "operator",
        "generic",   "uses",           "exports",        "end",          "class"};
    std::vector<bool> inType(size_t(Lines.Count()), false);
    bool type = false;
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string word = LeadingWord(Lines[i]);
        if (word == "type")
            type = true;
        else if (std::find(std::begin(closers), std::end(closers), word) != std::end(closers))
            type = false;
        inType[size_t(i)] = type;
    }
    return inType;
}

int64_t LeakedMembers(const TModuleExplorer& Explorer, const TStringList& Lines) {
    const std::vector<bool> inType = TypeSectionLines(Lines);
    int64_t count = 0;
    for (int i = 0; i < Explorer.ItemCount(); ++i) {
        const TCodeItem* item = Explorer.Item(i);
        if (item->Kind() == ckProcedure && item->StartColumn > 0 && item->StartLine >= 0 &&
            inType[size_t(item->StartLine)])
            ++count;
    }
    return count;
}

class TParserCorpusTest : public testing::TestWithParam<int> {};

TEST_P(TParserCorpusTest, EveryFileParsesWithinTheLimits) {
    const std::vector<std::string>& files = test::CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no sources under " << KOLVA_FPCSRC;
    TFigures figures;
    int shardFiles = 0;
    std::string deepestFile;
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
        figures.Errors += explorer.ErrorCount();
        figures.Implied += ImpliedItems(explorer.Module());
        figures.Leaked += LeakedMembers(explorer, lines);
        const int depth = Depth(explorer.Module());
        if (depth > figures.Depth) {
            figures.Depth = depth;
            deepestFile = file;
        }
    }
    std::printf("shard %d: %d files, %lld dropped with an error, %lld implied, %lld leaked, "
                "depth %d (%s)\n",
                GetParam(), shardFiles, static_cast<long long>(figures.Errors),
                static_cast<long long>(figures.Implied), static_cast<long long>(figures.Leaked),
                figures.Depth, deepestFile.c_str());
    EXPECT_LE(figures.Errors, Limits.Errors);
    EXPECT_LE(figures.Implied, Limits.Implied);
    EXPECT_LE(figures.Leaked, Limits.Leaked);
    EXPECT_LE(figures.Depth, Limits.Depth);
}

INSTANTIATE_TEST_SUITE_P(Shards, TParserCorpusTest, testing::Range(0, ShardCount));

} // namespace
} // namespace kolva
