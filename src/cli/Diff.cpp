// Myers' O(ND) difference algorithm: edits touch a few places of a long unit, so D is small
// and the diff costs little more than reading both texts.
#include "cli/Diff.h"

#include <algorithm>

namespace kolva::cli {

namespace {

enum TOp : char { opKeep = ' ', opDelete = '-', opInsert = '+' };

struct TEdit {
    TOp Op;
    int OldIndex;
    int NewIndex;
};

// The shortest edit script, as one entry per line of either text.
std::vector<TEdit> EditScript(const std::vector<std::string>& A,
                              const std::vector<std::string>& B) {
    const int n = int(A.size()), m = int(B.size()), max = n + m;
    std::vector<int> v(2 * size_t(max) + 2, 0);
    // The frontier before each step, kept only where that step reads it (diagonals -d-1 to
    // d+1), so memory grows with the square of the difference, not with the texts.
    std::vector<std::vector<int>> trace;
    int found = -1;
    for (int d = 0; d <= max && found < 0; ++d) {
        const int lo = std::max(-d - 1, -max), hi = std::min(d + 1, max);
        trace.emplace_back(v.begin() + lo + max, v.begin() + hi + max + 1);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[k - 1 + max] < v[k + 1 + max])) ? v[k + 1 + max]
                                                                             : v[k - 1 + max] + 1;
            int y = x - k;
            while (x < n && y < m && A[size_t(x)] == B[size_t(y)])
                ++x, ++y;
            v[k + max] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    // Walk back from the end through the saved frontiers.
    std::vector<TEdit> script;
    int x = n, y = m;
    for (int d = found; d >= 0; --d) {
        const std::vector<int>& saved = trace[size_t(d)];
        const int lo = std::max(-d - 1, -max);
        auto frontier = [&](int diagonal) { return saved[size_t(diagonal - lo)]; };
        const int k = x - y;
        int prevK;
        if (d == 0) {
            prevK = k;
        } else if (k == -d || (k != d && frontier(k - 1) < frontier(k + 1))) {
            prevK = k + 1;
        } else {
            prevK = k - 1;
        }
        const int prevX = d == 0 ? 0 : frontier(prevK);
        const int prevY = prevX - prevK;
        while (x > prevX && y > prevY)
            script.push_back({opKeep, --x, --y});
        if (d > 0) {
            if (x == prevX)
                script.push_back({opInsert, x, --y});
            else
                script.push_back({opDelete, --x, y});
        }
    }
    std::reverse(script.begin(), script.end());
    return script;
}

} // namespace

std::string UnifiedDiff(const std::vector<std::string>& Old, const std::vector<std::string>& New,
                        const std::string& From, const std::string& To) {
    const std::vector<TEdit> script = EditScript(Old, New);
    constexpr int Context = 3;
    std::string out;
    size_t i = 0;
    while (i < script.size()) {
        while (i < script.size() && script[i].Op == opKeep)
            ++i;
        if (i == script.size()) break;
        // A hunk: from Context lines before this change to Context lines after the last
        // change that is no more than 2 * Context kept lines away.
        size_t start = i >= Context ? i - Context : 0;
        size_t end = i;
        for (size_t k = i; k < script.size(); ++k) {
            if (script[k].Op != opKeep)
                end = k;
            else if (k - end > 2 * Context)
                break;
        }
        end = std::min(script.size(), end + Context + 1);
        int oldCount = 0, newCount = 0;
        for (size_t k = start; k < end; ++k) {
            oldCount += script[k].Op != opInsert;
            newCount += script[k].Op != opDelete;
        }
        if (out.empty()) out = "--- " + From + "\n+++ " + To + "\n";
        const int oldStart = script[start].OldIndex + (oldCount > 0 ? 1 : 0);
        const int newStart = script[start].NewIndex + (newCount > 0 ? 1 : 0);
        out += "@@ -" + std::to_string(oldStart) + "," + std::to_string(oldCount) + " +" +
               std::to_string(newStart) + "," + std::to_string(newCount) + " @@\n";
        for (size_t k = start; k < end; ++k) {
            const TEdit& e = script[k];
            out += char(e.Op);
            out += e.Op == opInsert ? New[size_t(e.NewIndex)] : Old[size_t(e.OldIndex)];
            out += '\n';
        }
        i = end;
    }
    return out;
}

} // namespace kolva::cli
