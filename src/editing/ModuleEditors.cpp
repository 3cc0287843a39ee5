#include "editing/ModuleEditors.h"

#include <algorithm>
#include <memory>

namespace kolva {

namespace {

TModuleEditorOptions* GModuleEditorOptions = nullptr;

// Frees the process-wide options at exit, unless someone freed them before.
struct TModuleEditorOptionsHolder {
    ~TModuleEditorOptionsHolder() { delete GModuleEditorOptions; }
};

const TPublishedRegistrar<TModuleEditorOptions> RegisterModuleEditorOptions;

} // namespace

const TPropTable& TModuleEditorOptions::PropTable() {
    using T = TModuleEditorOptions;
    static const TPropTable table(
        "TModuleEditorOptions", "ModuleEditors", nullptr,
        {
            Prop<&T::BlockIndention, &T::SetBlockIndention>("BlockIndention"),
            Prop<&T::WrapIndention, &T::SetWrapIndention>("WrapIndention"),
            Prop<&T::WrapMargin, &T::SetWrapMargin>("WrapMargin"),
        });
    return table;
}

TModuleEditorOptions::~TModuleEditorOptions() {
    if (GModuleEditorOptions == this) GModuleEditorOptions = nullptr;
}

void TModuleEditorOptions::SetBlockIndention(int32_t Value) {
    FBlockIndention = std::clamp(Value, MinBlockIndention, MaxBlockIndention);
}

void TModuleEditorOptions::SetWrapIndention(int32_t Value) {
    FWrapIndention = std::clamp(Value, MinWrapIndention, MaxWrapIndention);
}

void TModuleEditorOptions::SetWrapMargin(int32_t Value) {
    FWrapMargin = std::clamp(Value, MinWrapMargin, MaxWrapMargin);
}

TModuleEditorOptions& ModuleEditorOptions() {
    static TModuleEditorOptionsHolder holder;
    if (!GModuleEditorOptions) GModuleEditorOptions = new TModuleEditorOptions;
    return *GModuleEditorOptions;
}

} // namespace kolva
