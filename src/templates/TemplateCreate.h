// Creating a code template from members of a class: the members are written in the copy
// buffer's members format (under the stand-in class TCodeTemplate, so that the template
// applies to any class) into a file, which is then registered in the shared template list.
// The user adds the parameters afterwards, by editing the file.
#pragma once

#include "editing/ModuleEditors.h"

#include <string>

namespace kolva {

/// Writes the members copy of Members of Class (every member when empty) into FileName,
/// created or emptied, with CR LF line ends. Raises as the copy does; the file is then
/// removed again.
void WriteTemplateFile(TModuleEditor& Editor, TCodeItem& Class, const TItemList& Members,
                       const std::string& FileName);

/// WriteTemplateFile and then, when Install, TemplateRegistry().AddTemplate(FileName, Name,
/// Page): the file stays written when the user declines to replace a template of that name.
void CreateTemplate(TModuleEditor& Editor, TCodeItem& Class, const TItemList& Members,
                    const std::string& FileName, const std::string& Name, const std::string& Page,
                    bool Install);

} // namespace kolva
