// Items named on the command line. A path names an item by the names on the way to it:
// "TFoo" (a top-level item), "TFoo.Bar" (a member, or the implementation of a method),
// "Outer.Inner" (a local procedure, found in the routine's implementation too) and
// "TC.IA.M" (the resolution clause IA.M of class TC): a name holding dots is matched whole,
// so every item can be reached. A path that reaches more than one item is an error that
// lists them; --line N keeps the reaches that pass through an item starting at line N.
#pragma once

#include "model/ModuleExplorer.h"

#include <optional>
#include <string>

namespace kolva::cli {

/// The kind word and the name with its owners, as a question names the item:
/// "constructor TOrderLine.Create", "method resolution clause TC.IA.M".
std::string FullItemName(const TCodeItem& Item);

/// The one item Path reaches in Module (see the header); a declaration and its own
/// implementation count as one item, the declaration. Line (0-based) chooses among several.
/// Raises Exception naming File when there is none, and listing the candidates with the
/// LineOption ("--line N") that picks each when there are several.
TCodeItem& FindItem(TCodeItem& Module, const std::string& Path, std::optional<int> Line,
                    const std::string& File, const char* LineOption = "--line");

} // namespace kolva::cli
