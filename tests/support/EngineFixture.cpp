#include "support/EngineFixture.h"

#include "editing/DeclarationText.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/FpcUnits.h"
#include "support/TempPrefix.h"

#include <memory>

namespace kolva::test {

namespace {

TScriptedDialogEditors* GActive = nullptr;

class TScriptedEditor : public TFWEditor {
public:
    explicit TScriptedEditor(TEditable& Entity) : TFWEditor(Entity), FItem(As<TCodeItem>(Entity)) {}
    bool Execute() override {
        if (!GActive) return false;
        ++GActive->Runs;
        return GActive->Script ? GActive->Script(FItem) : false;
    }

private:
    TCodeItem& FItem;
};

std::unique_ptr<TFWEditor> CreateScripted(TEditable& Entity) {
    return std::make_unique<TScriptedEditor>(Entity);
}

constexpr TFWEditorClass ScriptedClasses[] = {{"TScriptedProcedureEditor", 20, CreateScripted},
                                              {"TScriptedClassEditor", 21, CreateScripted},
                                              {"TScriptedFieldEditor", 22, CreateScripted},
                                              {"TScriptedMethodEditor", 23, CreateScripted},
                                              {"TScriptedPropertyEditor", 24, CreateScripted},
                                              {"TScriptedResClauseEditor", 25, CreateScripted},
                                              {"TScriptedModuleEditor", 26, CreateScripted}};

} // namespace

TScriptedDialogEditors::TScriptedDialogEditors(TScript AScript) : Script(std::move(AScript)) {
    for (const TFWEditorClass& c : ScriptedClasses)
        EditorFactory().RegisterEditor(c);
    GActive = this;
}

TScriptedDialogEditors::~TScriptedDialogEditors() {
    for (const TFWEditorClass& c : ScriptedClasses)
        EditorFactory().UnregisterEditor(c);
    GActive = nullptr;
}

TScriptedDialogEditors::TScript Answer(const std::string& Declaration) {
    return [Declaration](TCodeItem& Item) {
        ReadDeclaration(Item, Declaration);
        return true;
    };
}

std::string Replaced(std::string Text, const TReplacements& Replacements, bool All) {
    for (const auto& [old, with] : Replacements) {
        size_t at = Text.find(old);
        EXPECT_NE(at, std::string::npos) << old;
        for (; at != std::string::npos; at = All ? Text.find(old, at + with.size()) : Text.npos)
            Text.replace(at, old.size(), with);
    }
    return Text;
}

TEngineTest::TEngineTest() : Unit("C:\\Units\\Unit.pas"), Editor(Explorer, &Unit) {
    Unit.OnEditEnd = [this] { Explorer.Parse(&Unit.Text()); };
}

void TEngineTest::Load(const std::string& Source) {
    Unit.Text().SetText(Source);
    Original = Text();
    Explorer.Parse(&Unit.Text());
}

std::string TEngineTest::Text() const {
    std::string text;
    const TStringList& lines = const_cast<TMemoryEditor&>(Unit).Text();
    for (int i = 0; i < lines.Count(); ++i)
        text += lines[i] + "\n";
    return text;
}

TCodeItem& TEngineTest::Find(const std::string& Name, int N) {
    const size_t dot = Name.find('.');
    const std::string owner = dot == std::string::npos ? std::string() : Name.substr(0, dot);
    const std::string name = dot == std::string::npos ? Name : Name.substr(dot + 1);
    const TCodeItem* parent = &Explorer.Module();
    if (!owner.empty()) {
        const int i = parent->FindChild(TCodeItems::All(), owner);
        if (i < 0) throw Exception("no item " + owner);
        parent = parent->Child(i);
    }
    for (TCodeItem* child : parent->Children())
        if (SameText(child->Name, name) && N-- == 0) return *child;
    throw Exception("no item " + Name);
}

void TEngineTest::ExpectUndoRestores() {
    while (Unit.UndoCount() > 0)
        Unit.Undo();
    EXPECT_EQ(Text(), Original) << "undoing every step gives the text back";
}

void TEngineTest::Check(const TEditCase& Case, const char* UnitName) {
    Load(Case.Before);
    std::string error = "(no error)";
    try {
        Case.Run();
    } catch (const Exception& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, Case.Error ? Case.Error : "(no error)");
    EXPECT_FALSE(Unit.IsEditing()) << "the edit is closed however the operation ends";
    if (Case.Error) {
        EXPECT_EQ(Text(), Original);
        EXPECT_EQ(Unit.UndoCount(), 0);
        return;
    }
    EXPECT_EQ(Text(), Replaced(Original, Case.Changes));
    if (UnitName) {
        EXPECT_TRUE(Compiles(UnitName));
    }
    ExpectUndoRestores();
}

bool TEngineTest::Compiles(const std::string& UnitName) {
    const std::string file = TempPrefix() + "/fpc/" + UnitName + ".pas";
    WriteNative(file, Text());
    const std::vector<std::string> errors = CompileErrors({UnitName, file, "-Mdelphi"}, file);
    for (const std::string& error : errors)
        ADD_FAILURE() << error;
    return errors.empty();
}

} // namespace kolva::test
