// A unit's bytes as the editor's lines and what lies between them, so that a unit written
// back after an edit differs from the file read only where the edit changed it: lines the
// edit kept keep their own line breaks (a file may mix CR LF, LF and CR, and a lone CR inside
// a comment is a break of its own), a changed line keeps the break of the line it replaces,
// new lines take the break of their neighbours, a missing final line break stays missing,
// and a UTF-8 byte-order mark stays in front.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolva::cli {

struct TLineLayout {
    /// The UTF-8 byte-order mark the file starts with, or "".
    std::string Bom;
    /// The lines as the editor holds them: split at every CR LF, LF and lone CR.
    std::vector<std::string> Lines;
    /// The break after each line: "\r\n", "\n" or "\r"; "" after a last line without one.
    std::vector<std::string> Breaks;
};

/// The layout of a file's bytes; JoinLines gives them back exactly.
TLineLayout SplitLines(std::string_view Bytes);
std::string JoinLines(const TLineLayout& Layout);

/// The layout of Lines, an edited version of Original's lines (see the header).
TLineLayout Relayout(const TLineLayout& Original, std::vector<std::string> Lines);

} // namespace kolva::cli
