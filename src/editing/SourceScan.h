// What the code model does not hold but where new text must not go: the conditional blocks
// ({$IFDEF} .. {$ENDIF}) and the declarations of type, constant and variable sections. The
// module editor asks these before it inserts lines, so that new text never splits such a
// construct or lands in one branch of a condition.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kolva {

class TStringList;

/// Where a line inserted before Line would stand inside a conditional block that opened at
/// or after From: the line of the directive that opens the outermost such block when no code
/// of the block comes before Line, else the line after the directive that closes it; Line
/// when it stands in no such block. Blocks opened before From (around a whole part of the
/// unit) do not count.
int AfterConditionals(TStringList& Lines, int From, int Line);

/// Whether a conditional block opened at or after From is still open before Line.
bool InsideConditional(TStringList& Lines, int From, int Line);

/// When the text from Line on continues a section of type, constant or variable
/// declarations (a record, an enumeration, "class of" or any other declaration after a
/// class), the line after the last of those declarations; else Line. A routine heading
/// put there would end the section early and leave the rest outside it.
int AfterSectionDeclarations(TStringList& Lines, int Line);

/// Whether a type declaration put before Line continues a type section: reading from From,
/// the last section opened before Line is a "type" section and no routine (the line ranges
/// of Routines, which the reading skips) or other section came after it.
bool TypeSectionOpen(TStringList& Lines, int From, int Line,
                     const std::vector<std::pair<int, int>>& Routines);

} // namespace kolva
