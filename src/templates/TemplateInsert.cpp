#include "templates/TemplateInsert.h"

#include "templates/TemplateApply.h"

namespace kolva {

void InsertTemplate(TModuleEditor& Editor, TCodeItem& Class, const std::string& FileName) {
    TModuleEditor::TEdit edit(Editor, false);
    TStringList lines;
    ApplyTemplateFile(FileName, lines);
    Editor.InsertMembers(Class, lines);
    edit.Commit();
}

void PasteTemplateFile(TModuleEditor& Editor, TCodeItem& Target, const std::string& FileName) {
    TStringList lines;
    lines.LoadFromFile(FileName);
    Editor.PasteText(&Target, &Target, lines);
}

} // namespace kolva
