// The texts a user writes into an engine command: the declaration of --decl, read as the
// dialog would take it but only when it holds exactly one declaration and nothing else, with
// its errors placed in the user's own text; and the interface name of add-interface.
#pragma once

#include <string>

namespace kolva {
class TCodeItem;
}

namespace kolva::cli {

/// Reads Text into Item as ReadDeclaration does (editing/DeclarationText.h). Raises
/// Exception when Text holds a body, a section or more than one declaration, and for a
/// declaration that does not read, with the parser's line and column counted in Text.
void ReadUserDeclaration(TCodeItem& Item, const std::string& Text);

/// Name trimmed; raises Exception unless it is an identifier, dotted or not ("IFoo",
/// "Unit1.IFoo").
std::string CheckInterfaceName(const std::string& Name);

} // namespace kolva::cli
