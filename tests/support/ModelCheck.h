// Test support: compact text forms of a parsed model and invariant checks that find whole
// classes of faults in it.
#pragma once

#include "model/ModuleExplorer.h"

#include <string>
#include <vector>

namespace kolva::test {

/// One line per item, two blanks a level: "kind name vis start-last", plus " implied" for
/// implied items and " -> N" for a routine linked to a partner starting at line N.
std::string Outline(const TModuleExplorer& Explorer);

/// Parses Source (lines split at any line break) and returns the outline.
std::string OutlineOf(const std::string& Source, TModuleExplorer* Explorer = nullptr);

/// Violations of what every parse must give: links point at each other, implied items have
/// no place, placed items lie inside the text with start <= last line. With Nested, also
/// that placed children lie inside their placed parent's lines (true of well-formed units).
std::vector<std::string> CheckModel(const TModuleExplorer& Explorer, int LineCount, bool Nested);

} // namespace kolva::test
