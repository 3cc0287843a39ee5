// Unified diffs of two texts given as lines, for `--diff` on the command line's edits.
#pragma once

#include <string>
#include <vector>

namespace kolva::cli {

/// A unified diff ("--- From", "+++ To", hunks with three lines of context); empty when the
/// texts are equal. Lines are compared exactly.
std::string UnifiedDiff(const std::vector<std::string>& Old, const std::vector<std::string>& New,
                        const std::string& From, const std::string& To);

} // namespace kolva::cli
