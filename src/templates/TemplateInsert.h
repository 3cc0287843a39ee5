// Applying a code template to a class through the editing engine: the template palette's
// way (parameters asked for, macros expanded, the members inserted) and the explorer's
// "Apply Code Template..." (the file pasted as it stands, as a copy buffer).
#pragma once

#include "editing/ModuleEditors.h"

#include <string>

namespace kolva {

/// In one edit: the template file expanded by ApplyTemplateFile (asking the installed
/// parameter service) and its members inserted into Class by InsertMembers. Raises EAbort
/// when the parameters are cancelled, and the errors of the expansion and of the insertion;
/// the unit is then unchanged.
void InsertTemplate(TModuleEditor& Editor, TCodeItem& Class, const std::string& FileName);

/// The file's lines unchanged, pasted by PasteText with Target as reference and target.
void PasteTemplateFile(TModuleEditor& Editor, TCodeItem& Target, const std::string& FileName);

} // namespace kolva
