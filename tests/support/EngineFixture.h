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
#include <utility>
#include <vector>

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

using TReplacements = std::vector<std::pair<std::string, std::string>>;

/// Text with each old text replaced in order: its first occurrence, or with All every one.
/// An old text that does not occur fails the test.
std::string Replaced(std::string Text, const TReplacements& Replacements, bool All = false);

/// A unit, an operation on it, and what must come of it.
struct TEditCase {
    std::string Before;
    std::function<void()> Run;
    /// The unit after: Before with these replacements (see Replaced).
    TReplacements Changes;
    /// The message the operation raises; then the unit and its undo history stay as they were.
    const char* Error = nullptr;
};

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
    /// Loads Case.Before, runs it and compares the whole unit after; a done edit must undo to
    /// Before, and compile as UnitName when one is given. Either way no edit is left open.
    void Check(const TEditCase& Case, const char* UnitName = nullptr);
    /// Whether the current text compiles with "fpc -Mdelphi" (skips the test without fpc).
    bool Compiles(const std::string& UnitName);

    TSettingsReset Settings; // every test starts from the defaults and leaves them
    TMemoryEditor Unit;
    TModuleExplorer Explorer;
    TModuleEditor Editor;
    std::string Original;
};

} // namespace kolva::test
