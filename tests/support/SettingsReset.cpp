#include "support/SettingsReset.h"

#include "editing/ModuleEditors.h"
#include "editing/Prefs.h"
#include "model/CodeItems.h"
#include "model/DataTyp.h"
#include "settings/KOLVAOpts.h"

namespace kolva::test {

void TSettingsReset::Reset() {
    SetFilterButtonsCtrlExclusive(true);
    TKOLVAOptions defaults;
    KOLVAOptions().Assign(defaults);
    TPreferences preferences;
    CopyProperties(preferences, Preferences());
    Preferences().SetRestrictStore(false);
    delete &ModuleEditorOptions();
    SetShowParameters(true);
    SetUpcaseStringTypeName(false);
}

} // namespace kolva::test
