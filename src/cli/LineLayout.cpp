#include "cli/LineLayout.h"

#include "cli/Diff.h"

namespace kolva::cli {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// The break new lines take where they have no neighbour with one: the file's first.
std::string FirstBreak(const TLineLayout& Layout) {
    for (const std::string& brk : Layout.Breaks)
        if (!brk.empty()) return brk;
    return "\n";
}

std::vector<std::string_view> Views(const std::vector<std::string>& Lines) {
    return std::vector<std::string_view>(Lines.begin(), Lines.end());
}

} // namespace

// The same lines as the string list makes of the text, so that line numbers agree.
TLineLayout SplitLines(std::string_view Bytes) {
    TLineLayout layout;
    if (Bytes.starts_with(Utf8Bom)) {
        layout.Bom = Utf8Bom;
        Bytes.remove_prefix(Utf8Bom.size());
    }
    while (!Bytes.empty()) {
        const size_t at = Bytes.find_first_of("\r\n");
        if (at == std::string_view::npos) {
            layout.Lines.emplace_back(Bytes);
            layout.Breaks.emplace_back();
            break;
        }
        const size_t length = Bytes.substr(at, 2) == "\r\n" ? 2 : 1;
        layout.Lines.emplace_back(Bytes.substr(0, at));
        layout.Breaks.emplace_back(Bytes.substr(at, length));
        Bytes.remove_prefix(at + length);
    }
    return layout;
}

std::string JoinLines(const TLineLayout& Layout) {
    std::string text = Layout.Bom;
    for (size_t i = 0; i < Layout.Lines.size(); ++i) {
        text += Layout.Lines[i];
        text += Layout.Breaks[i];
    }
    return text;
}

// Walks the shortest edit script from the original lines to the new ones: a kept line keeps
// its break; in a run of changes, the n-th new line takes the break of the n-th line it
// replaces, and the rest take the break of the line before the run (or after it).
TLineLayout Relayout(const TLineLayout& Original, std::vector<std::string> Lines) {
    TLineLayout result;
    result.Bom = Original.Bom;
    result.Lines = std::move(Lines);
    result.Breaks.assign(result.Lines.size(), std::string());
    const std::vector<std::string>& old = Original.Breaks;
    const std::string fallback = FirstBreak(Original);
    const std::vector<TDiffEdit> script = EditScript(Views(Original.Lines), Views(result.Lines));
    for (size_t k = 0; k < script.size();) {
        if (script[k].Op == opKeep) {
            result.Breaks[size_t(script[k].NewIndex)] = old[size_t(script[k].OldIndex)];
            ++k;
            continue;
        }
        const size_t position = size_t(script[k].OldIndex); // the run's first original line
        std::vector<size_t> replaced, added;
        for (; k < script.size() && script[k].Op != opKeep; ++k) {
            if (script[k].Op == opDelete)
                replaced.push_back(size_t(script[k].OldIndex));
            else
                added.push_back(size_t(script[k].NewIndex));
        }
        const size_t after = position + replaced.size();
        std::string neighbour = fallback;
        if (position > 0 && !old[position - 1].empty())
            neighbour = old[position - 1];
        else if (after < old.size() && !old[after].empty())
            neighbour = old[after];
        for (size_t i = 0; i < added.size(); ++i)
            result.Breaks[added[i]] = i < replaced.size() ? old[replaced[i]] : neighbour;
    }
    // Only the last line may lack a break, and only when the original's did.
    const bool finalBreak = old.empty() || !old.back().empty();
    for (size_t i = 0; i < result.Breaks.size(); ++i)
        if (result.Breaks[i].empty()) result.Breaks[i] = i > 0 ? result.Breaks[i - 1] : fallback;
    if (!finalBreak && !result.Breaks.empty()) result.Breaks.back().clear();
    return result;
}

} // namespace kolva::cli
