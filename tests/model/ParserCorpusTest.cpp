// Every Object Pascal source of the Free Pascal distribution goes through the module
// parser: nothing may escape or hang, the model must hold its invariants (links point at
// each other, every placed item lies inside the text), and four figures of how well the
// model fits the code may not get worse than their limits:
// - declarations dropped with an error;
// - implied items: this code compiles, so every method implementation has a declaration,
//   and each implied method of a class written in the file, and each implied class of a
//   unit or program, is a declaration the parser failed to see (an include file of
//   implementations is the one place where classes are declared elsewhere);
// - leaked members: module-level procedures that stand indented inside a type section,
//   that is members read as if their class had ended;
// - the deepest nesting of items.
// The figures are printed per shard; the limits hold for every shard. A quarter of the
// files are also parsed damaged (lines left out or cut short), as a unit is while typed.
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/Corpus.h"
#include "support/ModelCheck.h"

#include <algorithm>
#include <cctype>
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
constexpr TFigures Limits{320, 12, 70, 20};

int64_t ImpliedItems(TModuleExplorer& Explorer) {
    int64_t count = 0;
    for (const TCodeItem* item : Explorer.Module().Children()) {
        if (!item->Implied) {
            for (const TCodeItem* member : item->Children())
                count += member->Implied;
        } else if (Explorer.ModuleKind() != mkNoHeading) {
            count += 1 + item->ChildCount();
        }
    }
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

// For each line in a type section, the column of the section's type names; -1 for the
// other lines. A section is judged by the words that start lines in column 0: "type" opens
// one, the other section and routine keywords close it. Its type names stand at the
// indentation of the first line in it that starts with a letter.
std::vector<int> TypeNameColumns(const TStringList& Lines) {
    static const char* const closers[] = {
        "var",       "const",          "resourcestring", "threadvar",    "label",
        "interface", "implementation", "initialization", "finalization", "begin",
        "procedure", "function",       "constructor",    "destructor",   "operator",
        "generic",   "uses",           "exports",        "end",          "class"};
    std::vector<int> columns(size_t(Lines.Count()), -1);
    bool type = false;
    int column = -1;
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string& line = Lines[i];
        const std::string word = LeadingWord(line);
        if (word == "type") {
            type = true;
            column = -1;
            continue;
        }
        if (std::find(std::begin(closers), std::end(closers), word) != std::end(closers))
            type = false;
        if (!type) continue;
        const size_t first = line.find_first_not_of(" \t");
        if (column < 0 && first != std::string::npos &&
            std::isalpha(static_cast<unsigned char>(line[first])))
            column = int(first);
        columns[size_t(i)] = column;
    }
    return columns;
}

// Module-level procedures indented further than the type names of the type section they
// stand in.
int64_t LeakedMembers(const TModuleExplorer& Explorer, const TStringList& Lines) {
    const std::vector<int> columns = TypeNameColumns(Lines);
    int64_t count = 0;
    for (int i = 0; i < Explorer.ItemCount(); ++i) {
        const TCodeItem* item = Explorer.Item(i);
        if (item->Kind() == ckProcedure && item->StartLine >= 0 &&
            columns[size_t(item->StartLine)] >= 0 &&
            item->StartColumn > columns[size_t(item->StartLine)])
            ++count;
    }
    return count;
}

// The file with lines left out and cut short, as while typing: pseudo-random, the same in
// every run.
TStringList Damaged(const TStringList& Lines) {
    TStringList damaged;
    uint32_t state = 2463534242u;
    for (int i = 0; i < Lines.Count(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        if (state % 17 == 0) continue;
        const std::string& line = Lines[i];
        damaged.Add(state % 23 == 0 ? line.substr(0, state % (line.size() + 1)) : line);
    }
    return damaged;
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
        if (i % (4 * ShardCount) == size_t(GetParam())) {
            // Damaged text: still no escape, hang or broken invariant.
            TStringList damaged = Damaged(lines);
            try {
                TModuleExplorer other;
                other.Parse(&damaged);
                for (const std::string& fault : test::CheckModel(other, damaged.Count(), false))
                    ADD_FAILURE() << file << " (damaged): " << fault;
            } catch (const std::exception& e) {
                ADD_FAILURE() << file << " (damaged): " << e.what();
            }
        }
        figures.Errors += explorer.ErrorCount();
        figures.Implied += ImpliedItems(explorer);
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
