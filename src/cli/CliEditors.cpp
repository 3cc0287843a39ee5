// The command line's member dialogs: instead of showing a window they take their answers
// from the command's options (--decl, --interface), then check and store them as the
// dialogs do, so a command fails where the dialog would keep the user from pressing OK.
#include "cli/DeclOption.h"
#include "cli/EngineSession.h"
#include "editing/DeclarationText.h"
#include "foundation/Editable.h"
#include "foundation/FWStrUtils.h"
#include "model/CodeItems.h"
#include "model/DataTyp.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <iostream>

namespace kolva::cli {

namespace {

// A new item without --decl takes the dialog's defaults; the user learns what they are.
void NoteDefault(const TEngineOptions& Options, TCodeItem& Item) {
    if (!Options.Adding || Options.Decl) return;
    std::string decl = Item.GetDeclaration();
    std::replace(decl.begin(), decl.end(), '\r', ' ');
    std::erase(decl, '\n');
    std::cerr << "kolva: no --decl given; adding the default \"" << Trim(decl) << "\"\n";
}

class TCliProcedureEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edProcedure; }
    explicit TCliProcedureEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TProcData>(Entity)) {}

    bool Execute() override {
        static const TEngineOptions none;
        const TEngineOptions& options = TakeDialogAnswers() ? CurrentEngineOptions() : none;
        const std::string oldName = FItem.Name;
        if (options.Decl) ReadUserDeclaration(FItem, *options.Decl);
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
        NoteDefault(options, FItem);
        return true;
    }

private:
    TProcData& FItem;
};

constinit const TFWEditorClass TCliProcedureEditor::ClassInfo =
    EditorClass<TCliProcedureEditor>("TCliProcedureEditor");

// The part every member dialog shares: the declaration and the visibility from the options,
// then the name checked with the member's own rules.
const TEngineOptions& LoadMember(TCodeItem& Item) {
    static const TEngineOptions none;
    const TEngineOptions& options = TakeDialogAnswers() ? CurrentEngineOptions() : none;
    const std::string oldName = Item.Name;
    if (options.Decl) ReadUserDeclaration(Item, *options.Decl);
    if (options.Visibility) Item.Visibility = *options.Visibility;
    Item.Name = Trim(Item.Name);
    Item.CheckNewName(oldName, Item.Name);
    return options;
}

// The visibilities the dialogs offer for a member of each kind of type.
void CheckVisibilityOffered(const TCodeItem& Item) {
    const TCodeItem* owner = Item.NameSpace();
    if (!owner) return;
    const TVisibility v = Item.Visibility;
    const bool offered = owner->Kind() == ckClass ||
                         (owner->Kind() == ckObject && (v == scDefault || v == scPrivate)) ||
                         v == scDefault;
    if (!offered)
        throw Exception(Format("The visibility %s is not available in %s %s", KeywordText(v),
                               ClassKindText(owner->Kind()), owner->Name));
}

class TCliFieldEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edField; }
    explicit TCliFieldEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TFieldItem>(Entity)) {}

    bool Execute() override {
        const TEngineOptions& options = LoadMember(FItem);
        CheckVisibilityOffered(FItem);
        if (FItem.DataType() == dtVoid) throw Exception("Void fields are not allowed");
        if (FItem.Visibility == scPublished) CheckPublishable(true, FItem.DataType());
        NoteTypeUsed(FItem.DataType(), FItem.TypeName());
        NoteDefault(options, FItem);
        return true;
    }

private:
    TFieldItem& FItem;
};

constinit const TFWEditorClass TCliFieldEditor::ClassInfo =
    EditorClass<TCliFieldEditor>("TCliFieldEditor");

class TCliMethodEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edMethod; }
    explicit TCliMethodEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TMethodItem>(Entity)) {}

    bool Execute() override {
        const TEngineOptions& options = LoadMember(FItem);
        CheckVisibilityOffered(FItem);
        if (FItem.ProcKind == pkFunction && FItem.DataType() == dtVoid)
            throw Exception("Functions cannot be void");
        if (FItem.Visibility == scPublished) CheckPublishable(false, FItem.DataType());
        if (FItem.Visibility == scAutomated) CheckAutomatable(FItem.DataType());
        if (FItem.ProcKind == pkFunction) NoteTypeUsed(FItem.DataType(), FItem.TypeName());
        NoteDefault(options, FItem);
        return true;
    }

private:
    TMethodItem& FItem;
};

constinit const TFWEditorClass TCliMethodEditor::ClassInfo =
    EditorClass<TCliMethodEditor>("TCliMethodEditor");

class TCliResClauseEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edResClause; }
    explicit TCliResClauseEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TResClauseItem>(Entity)) {}

    bool Execute() override {
        static const TEngineOptions none;
        const TEngineOptions& options = TakeDialogAnswers() ? CurrentEngineOptions() : none;
        const std::string oldName = FItem.Name;
        if (options.Decl) ReadUserDeclaration(FItem, *options.Decl);
        if (options.Visibility) FItem.Visibility = *options.Visibility;
        // The dialog takes out all whitespace before its checks.
        FItem.ImplementingName = StripWhiteSpace(FItem.ImplementingName);
        FItem.Name = StripWhiteSpace(FItem.Name);
        if (!IsValidIdent(FItem.ImplementingName))
            throw Exception(Format("%s is not a valid identifier", FItem.ImplementingName));
        FItem.CheckNewName(oldName, FItem.Name);
        NoteDefault(options, FItem);
        return true;
    }

private:
    TResClauseItem& FItem;
};

constinit const TFWEditorClass TCliResClauseEditor::ClassInfo =
    EditorClass<TCliResClauseEditor>("TCliResClauseEditor");

} // namespace

void RegisterCommandLineEditors() {
    EditorFactory().RegisterEditors({&TCliProcedureEditor::ClassInfo, &TCliFieldEditor::ClassInfo,
                                     &TCliMethodEditor::ClassInfo,
                                     &TCliResClauseEditor::ClassInfo});
}

} // namespace kolva::cli
