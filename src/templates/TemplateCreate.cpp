#include "templates/TemplateCreate.h"

#include "model/BufTextF.h"
#include "platform/Files.h"
#include "templates/CTemplateReg.h"

#include <memory>

namespace kolva {

namespace {

constexpr uint16_t TemplateBufferSize = 16384;

} // namespace

// A copy that fails half-way must not leave half a template behind, where the user would
// take it for a finished one.
void WriteTemplateFile(TModuleEditor& Editor, TCodeItem& Class, const TItemList& Members,
                       const std::string& FileName) {
    auto file = std::make_unique<TBufTextFile>(FileName, TemplateBufferSize, tmCreate);
    try {
        Editor.WriteItems(coMembersCopy, &Class, Members, *file);
        file->Flush();
    } catch (...) {
        file.reset();
        DeleteFile(FileName);
        throw;
    }
}

void CreateTemplate(TModuleEditor& Editor, TCodeItem& Class, const TItemList& Members,
                    const std::string& FileName, const std::string& Name, const std::string& Page,
                    bool Install) {
    WriteTemplateFile(Editor, Class, Members, FileName);
    if (Install) TemplateRegistry().AddTemplate(FileName, Name, Page);
}

} // namespace kolva
