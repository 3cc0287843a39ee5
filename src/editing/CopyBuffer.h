// Reading a copy buffer back: what its first line says it holds, and the small pieces of
// text work that every paste shares. A paste never copies the buffer blindly: it parses it
// with a parser of its own and writes what it found with the target's placement rules, as
// blocks framed by blank lines the way the module editor frames what it inserts.
#pragma once

#include "editing/ModuleEditors.h"

#include <functional>
#include <memory>
#include <string>

namespace kolva {

/// The kind Line names as a buffer's first line, every character below code 33 removed and
/// case ignored ("// fwwin : MembersCopy" is a members copy); false when it names none.
bool ReadCopySignature(const std::string& Line, TCopyKind& Kind);

/// A buffer's text parsed on its own, as a unit or, for procedures only, as a fragment whose
/// every line counts as implementation.
struct TParsedBuffer {
    TParsedBuffer(const TStringList& Text, bool ProceduresOnly);
    TStringList Lines;
    TModuleExplorer Explorer;
    /// The first class, interface, object or dispinterface; null when there is none.
    TClassItem* FirstClass();
};

/// Lines First..Last of From appended to To, each with Cut leading blanks taken away (fewer
/// when the line has fewer).
void AppendLines(TStringList& To, const TStringList& From, int First, int Last, int Cut = 0);
/// The smallest number of leading blanks over the non-blank lines First..Last; 0 for none.
int CommonIndent(const TStringList& Lines, int First, int Last);
/// Base when Taken says it is free, else Base without its trailing digits followed by 1, 2,
/// ... until one is free: a second NewMethod becomes NewMethod1.
std::string FreeName(const std::string& Base, const std::function<bool(const std::string&)>& Taken);

/// Puts the editor's scratch lines, whose blocks each end in an empty line, at Line (moved
/// out of conditional blocks): an empty line goes first when the line before is not blank,
/// and the last empty line is dropped when Line is blank. Returns the line where the first
/// scratch line landed.
int PutBlock(TModuleEditor& Editor, const TCodeItem* Item, int Line);

/// The heading of Routine written anew (under its current name, at its start column) into
/// the editor's scratch, followed by its lines after the heading from Lines, Cut leading
/// blanks taken off each.
void WriteRenamed(TModuleEditor& Editor, TProcItem& Routine, const TStringList& Lines, int Cut);

} // namespace kolva
