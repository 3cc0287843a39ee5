// The outline of a parsed unit as text (one item a line) and as JSON, written as it is made.
#pragma once

#include "cli/JsonWriter.h"
#include "model/ModuleExplorer.h"

#include <string>

namespace kolva::cli {

/// "kind name [visibility] lines a-b" for every item, two blanks a level (at most
/// MaxIndentLevel levels); appended to Out, which goes to Sink (when set) as it grows.
void WriteTextOutline(std::string& Out, std::FILE* Sink, TModuleExplorer& Explorer);

/// One JSON object: the file name, module kind, implementation line, items and errors.
void WriteJsonOutline(TJsonWriter& Json, const std::string& File, TModuleExplorer& Explorer);

} // namespace kolva::cli
