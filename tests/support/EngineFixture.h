// Test support for the editing engine: a unit held in memory, its parser and its module
// editor, wired as the add-in wires them (every closed edit parses the unit again), and
// scripted member dialogs.
#pragma once

#include "editing/MemoryEditor.h"
#include "editing/ModuleEditors.h"
#include "foundation/Editable.h"
#include "support/SettingsReset.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace kolva::test {

/// Answers every member dialog (editor numbers 20 to 26) with Script for its lifetime;
/// without a script the dialog is cancelled.
class TScriptedDialogEditors {
public:
    using TScript = std::function<bool(TCodeItem& Item)>;
    explicit TScriptedDialogEditors(TScript Script = nullptr);
    ~TScriptedDialogEditors();
    TScript Script;
    int Runs = 0;
};

/// A dialog script that reads Declaration into the item (see ReadDeclaration) and confirms.
TScriptedDialogEditors::TScript Answer(const std::string& Declaration);

class TEngineTest : public testing::Test {
protected:
    TEngineTest();
    /// Replaces the unit's text (lines separated by "\n") and parses it.
    void Load(const std::string& Source);
    /// The unit's text, lines separated by "\n", each line ended.
    std::string Text() const;
    /// The N-th (0-based) top-level item named Name, or a member "Class.Name".
    TCodeItem& Find(const std::string& Name, int N = 0);
    /// Takes back every edit and checks the original text returns.
    void ExpectUndoRestores();
    /// Whether the current text compiles with "fpc -Mdelphi" (skips the test without fpc).
    bool Compiles(const std::string& UnitName);

    TSettingsReset Settings; // every test starts from the defaults and leaves them
    TMemoryEditor Unit;
    TModuleExplorer Explorer;
    TModuleEditor Editor;
    std::string Original;
};

} // namespace kolva::test
