// The command line's member dialogs: instead of showing a window they take their answers
// from the command's options (--decl, --interface), then check and store them as the
// dialogs do, so a command fails where the dialog would keep the user from pressing OK.
#include "cli/EngineSession.h"
#include "editing/DeclarationText.h"
#include "foundation/Editable.h"
#include "model/CodeItems.h"
#include "platform/SysUtils.h"

namespace kolva::cli {

namespace {

class TCliProcedureEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edProcedure; }
    explicit TCliProcedureEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TProcData>(Entity)) {}

    bool Execute() override {
        const TEngineOptions& options = CurrentEngineOptions();
        const std::string oldName = FItem.Name;
        if (options.Decl) ReadDeclaration(FItem, *options.Decl);
        if (options.Interface) {
            if (!FItem.InterfaceCapable)
                throw Exception(Format("%s cannot be declared in the interface part", FItem.Name));
            FItem.InInterface = *options.Interface;
        }
        if (FItem.Directives.Contains(pdExternal) && FItem.ExternalText.empty())
            FItem.ExternalText = "dllname";
        FItem.Name = Trim(FItem.Name);
        FItem.CheckNewName(oldName, FItem.Name);
        if (FItem.ProcKind == pkFunction && FItem.DataType() == dtVoid)
            throw Exception("Functions cannot be void");
        if (FItem.InterfaceCapable && FItem.InInterface && FItem.Directives.Contains(pdForward))
            throw Exception("Forward declarations in interface not supported");
        NoteTypeUsed(FItem.DataType(), FItem.TypeName());
        return true;
    }

private:
    TProcData& FItem;
};

constinit const TFWEditorClass TCliProcedureEditor::ClassInfo =
    EditorClass<TCliProcedureEditor>("TCliProcedureEditor");

} // namespace

void RegisterCommandLineEditors() {
    EditorFactory().RegisterEditor(TCliProcedureEditor::ClassInfo);
}

} // namespace kolva::cli
