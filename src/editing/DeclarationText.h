// Reading a declaration written as source text into an item: what the command line and the
// tests use to answer a member dialog ("--decl 'function F(A: Integer): string;'"), so that
// everything a dialog can set can be given the way a programmer writes it.
#pragma once

#include <string>

namespace kolva {

class TCodeItem;

/// Parses Text with the module parser and copies the declaration data of the item it
/// declares into Target, which keeps its visibility and its place. Procedures are read at
/// module level; fields, methods, properties and resolution clauses inside a class.
/// Raises Exception with the parser's message when Text does not read cleanly, and
/// "No %s declaration in \"%s\"" when it declares nothing of Target's kind.
void ReadDeclaration(TCodeItem& Target, const std::string& Text);

} // namespace kolva
