// Myers' O(ND) difference algorithm: edits touch a few places of a long unit, so D is small
// and the diff costs little more than reading both texts.
#include "cli/Diff.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace kolva::cli {

std::vector<TDiffEdit> EditScript(const std::vector<std::string_view>& A,
                                  const std::vector<std::string_view>& B) {
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
    std::vector<TDiffEdit> script;
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

namespace {

// Each line with its LF; the last one may have none.
std::vector<std::string_view> LfLines(std::string_view Text) {
    std::vector<std::string_view> lines;
    while (!Text.empty()) {
        const size_t lf = Text.find('\n');
        const size_t length = lf == std::string_view::npos ? Text.size() : lf + 1;
        lines.push_back(Text.substr(0, length));
        Text.remove_prefix(length);
    }
    return lines;
}

// git's quoting of names that hold a quote, a backslash or a byte outside printable ASCII.
std::string QuotedName(const std::string& Name) {
    const bool plain = std::none_of(Name.begin(), Name.end(), [](char c) {
        return c == '"' || c == '\\' || (unsigned char)c < 0x20 || (unsigned char)c >= 0x7f;
    });
    if (plain) return Name;
    std::string quoted = "\"";
    for (const char c : Name) {
        const unsigned char u = (unsigned char)c;
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (u < 0x20 || u >= 0x7f) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", u);
            quoted += octal;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

// git ends a name that holds a blank with a TAB, where GNU patch ends the name.
std::string Header(const std::string& Name) {
    const std::string a = QuotedName("a/" + Name), b = QuotedName("b/" + Name);
    const char* tab = Name.find(' ') != std::string::npos ? "\t" : "";
    return "diff --git " + a + " " + b + "\n--- " + a + tab + "\n+++ " + b + tab + "\n";
}

} // namespace

std::string DiffPathName(const std::string& File) {
    const std::string native = NativePath(File);
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) {
        const std::string folder = cwd == std::string("/") ? "" : cwd;
        if (native.starts_with(folder + "/")) return native.substr(folder.size() + 1);
    }
    return native.substr(native.starts_with('/') ? 1 : 0);
}

std::string UnifiedDiff(std::string_view OldText, std::string_view NewText,
                        const std::string& Name) {
    const std::vector<std::string_view> Old = LfLines(OldText), New = LfLines(NewText);
    const std::vector<TDiffEdit> script = EditScript(Old, New);
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
        if (out.empty()) out = Header(Name);
        const int oldStart = script[start].OldIndex + (oldCount > 0 ? 1 : 0);
        const int newStart = script[start].NewIndex + (newCount > 0 ? 1 : 0);
        out += "@@ -" + std::to_string(oldStart) + "," + std::to_string(oldCount) + " +" +
               std::to_string(newStart) + "," + std::to_string(newCount) + " @@\n";
        for (size_t k = start; k < end; ++k) {
            const TDiffEdit& e = script[k];
            const std::string_view line =
                e.Op == opInsert ? New[size_t(e.NewIndex)] : Old[size_t(e.OldIndex)];
            out += char(e.Op);
            out += line;
            if (!line.ends_with('\n')) out += "\n\\ No newline at end of file\n";
        }
        i = end;
    }
    return out;
}

} // namespace kolva::cli
