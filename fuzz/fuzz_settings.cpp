// Arbitrary stored texts (the registry file is the user's to edit) through every published
// property of the options, the preferences and the layout options. Besides crashes and
// sanitizer reports it checks what must always hold: a text a property accepted reads back
// as a text that sets the same value again, so saving and loading is stable.
#include "editing/ModuleEditors.h"
#include "editing/Prefs.h"
#include "foundation/Propinfo.h"
#include "settings/KOLVAOpts.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

void Feed(TObject& Obj, uint8_t Selector, std::string_view Text) {
    TObjectAccess access(&Obj);
    const int index = Selector % access.Count();
    try {
        access.SetValueAsString(index, Text);
    } catch (const EConvertError&) {
        return;
    }
    const std::string once = access.GetValueAsString(index);
    access.SetValueAsString(index, once);
    Check(access.GetValueAsString(index) == once);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 2) return 0;
    const std::string_view text(reinterpret_cast<const char*>(Data + 2), Size - 2);
    std::unique_ptr<TObject> objects[] = {std::make_unique<TKOLVAOptions>(),
                                          std::make_unique<TPreferences>(),
                                          std::make_unique<TModuleEditorOptions>()};
    Feed(*objects[Data[0] % 3], Data[1], text);
    return 0;
}
