#include "editing/FormDesigner.h"

#include "editing/ModuleEditors.h"
#include "model/Tokenizers.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <exception>

namespace kolva {

namespace {

// A field declares one name or a list of them ("OkButton, CancelButton").
std::vector<std::string> SplitNames(std::string_view Names) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t comma = Names.find(',', start);
        std::string name = Trim(Names.substr(start, comma - start));
        if (!name.empty()) names.push_back(std::move(name));
        if (comma == std::string_view::npos) return names;
        start = comma + 1;
    }
}

std::string JoinNames(const std::vector<std::string>& Names) {
    std::string joined;
    for (const std::string& name : Names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

int IndexOfName(const std::vector<std::string>& Names, std::string_view Name) {
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], Name)) return static_cast<int>(i);
    return -1;
}

[[noreturn]] void RaiseAncestorComponent(const std::string& Name, const char* Operation) {
    throw Exception(Format("Component %s was introduced in an ancestor form and cannot be %s", Name,
                           Operation));
}

void CheckComponentName(const TFormFile& Form, int Index, const std::string& NewName) {
    if (!IsValidIdent(NewName))
        throw Exception(Format("'%s' is not a valid component name", NewName));
    const int other = Form.IndexOf(NewName);
    if (other >= 0 && other != Index)
        throw Exception(Format("A component named %s already exists", NewName));
}

} // namespace

TFormFileDesigner::TFormFileDesigner(TFormFile Form, TModuleEditor& Editor)
    : FForm(std::move(Form)), FEditor(Editor) {}

// ---------------------------------------------------------------------------------------
// Questions

bool TFormFileDesigner::IsDesignerClass(const std::string& ClassName) {
    const TFormObject* root = FForm.Root();
    return root && SameText(root->ClassName, ClassName);
}

bool TFormFileDesigner::IsComponent(const std::string& ClassName,
                                    const std::string& ComponentName) {
    if (!IsDesignerClass(ClassName)) return false;
    for (const std::string& name : SplitNames(ComponentName))
        if (FForm.IndexOfComponent(name) >= 0) return true;
    return false;
}

bool TFormFileDesigner::IsEventHandler(const std::string& ClassName,
                                       const std::string& MethodName) {
    if (!IsDesignerClass(ClassName)) return false;
    for (const TFormBinding& event : FForm.Events())
        if (SameText(event.Value, MethodName)) return true;
    return false;
}

void TFormFileDesigner::SelectComponent(const std::string& ClassName,
                                        const std::string& ComponentName) {
    if (!IsDesignerClass(ClassName)) return;
    const int index = FForm.IndexOfComponent(ComponentName);
    if (index >= 0) FSelection = FForm.Objects()[index].Name;
}

void TFormFileDesigner::SelectRoot(const std::string& ClassName) {
    if (IsDesignerClass(ClassName)) FSelection = FForm.Root()->Name;
}

// ---------------------------------------------------------------------------------------
// The unit

std::vector<TClassItem*> TFormFileDesigner::Classes(const std::string& ClassName) const {
    std::vector<TClassItem*> classes;
    for (TCodeItem* item : FEditor.Explorer().Module().Children())
        if (item->Kind() == ckClass && item->StartLine >= 0 && SameText(item->Name, ClassName))
            classes.push_back(static_cast<TClassItem*>(item));
    return classes;
}

TFieldItem* TFormFileDesigner::FieldOf(const std::string& ClassName,
                                       const std::string& Name) const {
    for (TClassItem* owner : Classes(ClassName))
        for (TCodeItem* member : owner->Children())
            if (member->Kind() == ckField && member->StartLine >= 0 &&
                IndexOfName(SplitNames(member->Name), Name) >= 0)
                return static_cast<TFieldItem*>(member);
    return nullptr;
}

// An edit of the unit that the form follows: when the unit's edit fails or is refused, the
// form is given back as it was, so the pair never falls out of step.
class TFormFileDesigner::TFormEdit {
public:
    explicit TFormEdit(TFormFileDesigner& Designer)
        : FDesigner(Designer), FSaved(Designer.FForm), FEdit(Designer.FEditor, false) {}
    /// Writes the unit's edit; a refused one gives the form back before the error leaves.
    void Commit() {
        FCommitted = true;
        try {
            FEdit.Commit();
        } catch (...) {
            FDesigner.FForm = std::move(FSaved);
            throw;
        }
    }
    ~TFormEdit() {
        if (!FCommitted) FDesigner.FForm = std::move(FSaved);
    }
    TFormEdit(const TFormEdit&) = delete;
    TFormEdit& operator=(const TFormEdit&) = delete;

private:
    TFormFileDesigner& FDesigner;
    TFormFile FSaved;
    bool FCommitted = false;
    TModuleEditor::TEdit FEdit;
};

// "FormName: TFormClass;" (or "var FormName: TFormClass;") on a line of its own in the
// interface part, outside every declaration the model knows: the variable the IDE declares
// for a form. Its type follows the class; its name follows the form's name.
void TFormFileDesigner::RenameFormVariable(const std::string& OldName, const std::string& OldClass,
                                           const std::string& NewName,
                                           const std::string& NewClass) {
    TModuleExplorer& explorer = FEditor.Explorer();
    const TStringList& lines = FEditor.Lines();
    const int limit =
        explorer.ImplementationLine() >= 0 ? explorer.ImplementationLine() : lines.Count();
    for (int line = 0; line < limit; ++line) {
        const bool covered = std::any_of(
            explorer.Module().Children().begin(), explorer.Module().Children().end(),
            [line](const TCodeItem* item) {
                return item->StartLine >= 0 && item->StartLine <= line && line <= item->LastLine();
            });
        if (covered) continue;
        std::vector<TSourceToken> tokens = SourceTokens(lines, line, line);
        if (!tokens.empty() && SameText(tokens.front().Text, "var")) tokens.erase(tokens.begin());
        if (tokens.size() != 4 || tokens[1].Text != ":" || tokens[3].Text != ";" ||
            !SameText(tokens[2].Text, OldClass))
            continue;
        std::string text = lines[line];
        text.replace(tokens[2].Column, OldClass.size(), NewClass);
        if (SameText(tokens[0].Text, OldName) && !OldName.empty())
            text.replace(tokens[0].Column, OldName.size(), NewName);
        FEditor.RemoveLines(nullptr, line, 1);
        FEditor.Scratch().Clear();
        FEditor.Scratch().Add(text);
        FEditor.PutScratch(nullptr, line);
    }
}

// ---------------------------------------------------------------------------------------
// Commands

bool TFormFileDesigner::DeleteComponent(const std::string& ClassNameRef,
                                        const std::string& ComponentNameRef) {
    const std::string ClassName = ClassNameRef, ComponentName = ComponentNameRef;
    if (!IsDesignerClass(ClassName)) return false;
    std::vector<std::string> targets;
    std::vector<std::string> going;
    const std::vector<TFormObject>& objects = FForm.Objects();
    for (const std::string& name : SplitNames(ComponentName)) {
        const int index = FForm.IndexOfComponent(name);
        if (index < 0) continue;
        if (objects[index].Kind == okInherited) RaiseAncestorComponent(name, "deleted");
        targets.push_back(objects[index].Name);
        // The components inside go with it, as when a panel is deleted in a designer; what
        // lies inside an inline frame has no field in this class.
        const int end = FForm.BlockEnd(index);
        for (int i = index; i < end; ++i)
            if (objects[i].Owner == 0 && !objects[i].Name.empty()) going.push_back(objects[i].Name);
    }
    if (targets.empty()) return false;

    TFormEdit edit(*this);
    std::vector<TFieldItem*> fields;
    for (const std::string& name : going) {
        TFieldItem* field = FieldOf(ClassName, name);
        if (field && std::find(fields.begin(), fields.end(), field) == fields.end())
            fields.push_back(field);
    }
    // From the bottom up, as every deletion of the editor.
    std::sort(fields.begin(), fields.end(),
              [](const TCodeItem* A, const TCodeItem* B) { return A->StartLine > B->StartLine; });
    for (TFieldItem* field : fields) {
        std::vector<std::string> kept;
        for (std::string& name : SplitNames(field->Name))
            if (IndexOfName(going, name) < 0) kept.push_back(std::move(name));
        if (kept.empty()) {
            FEditor.DeleteItem(*field);
        } else {
            field->Name = JoinNames(kept);
            FEditor.UpdateDeclaration(field);
        }
    }
    for (const std::string& name : targets) {
        const int index = FForm.IndexOfComponent(name);
        if (index >= 0) FForm.DeleteObject(index); // not already gone with an earlier one
    }
    edit.Commit();
    return true;
}

// The names may be the very strings of the items this changes: each is copied first.
bool TFormFileDesigner::RenameComponent(const std::string& ClassNameRef,
                                        const std::string& OldNameRef,
                                        const std::string& NewNameRef) {
    const std::string ClassName = ClassNameRef, OldName = OldNameRef, NewName = NewNameRef;
    if (!IsDesignerClass(ClassName)) return false;
    const std::vector<std::string> olds = SplitNames(OldName);
    const std::vector<std::string> news = SplitNames(NewName);
    if (olds.empty() || olds.size() != news.size()) return false;
    struct TRename {
        int Object;
        std::string Old;
        std::string New;
    };
    std::vector<TRename> renames;
    bool found = false;
    for (size_t i = 0; i < olds.size(); ++i) {
        const int index = FForm.IndexOfComponent(olds[i]);
        found = found || index >= 0;
        if (olds[i] == news[i]) continue;
        if (index >= 0) {
            if (FForm.Objects()[index].Kind == okInherited)
                RaiseAncestorComponent(olds[i], "renamed");
            CheckComponentName(FForm, index, news[i]);
        } else if (!IsValidIdent(news[i])) {
            throw Exception(Format("'%s' is not a valid identifier", news[i]));
        }
        renames.push_back({index, olds[i], news[i]});
    }
    if (!found) return false;
    if (renames.empty()) return true;

    TFormEdit edit(*this);
    // Pairwise by position in each field's original list, so that no new name is taken
    // for an old one.
    struct TFieldNames {
        TFieldItem* Field;
        std::vector<std::string> Old;
        std::vector<std::string> New;
    };
    std::vector<TFieldNames> fields;
    for (const TRename& rename : renames) {
        TFieldItem* field = FieldOf(ClassName, rename.Old);
        if (!field) continue;
        auto it = std::find_if(fields.begin(), fields.end(),
                               [field](const TFieldNames& F) { return F.Field == field; });
        if (it == fields.end()) {
            const std::vector<std::string> names = SplitNames(field->Name);
            it = fields.insert(fields.end(), {field, names, names});
        }
        it->New[IndexOfName(it->Old, rename.Old)] = rename.New;
    }
    for (TFieldNames& names : fields) {
        names.Field->Name = JoinNames(names.New);
        FEditor.UpdateDeclaration(names.Field);
    }
    for (const TRename& rename : renames)
        if (rename.Object >= 0) FForm.RenameObject(rename.Object, rename.New);
    edit.Commit();
    return true;
}

bool TFormFileDesigner::DeleteEventHandler(const std::string& ClassName,
                                           const std::string& MethodName) {
    return IsDesignerClass(ClassName) && FForm.UnbindHandler(MethodName) > 0;
}

bool TFormFileDesigner::RenameEventHandler(const std::string& ClassNameRef,
                                           const std::string& OldNameRef,
                                           const std::string& NewNameRef) {
    const std::string ClassName = ClassNameRef, OldName = OldNameRef, NewName = NewNameRef;
    if (!IsDesignerClass(ClassName)) return false;
    std::vector<TMethodItem*> methods;
    std::vector<TCodeItem*> others;
    for (TClassItem* owner : Classes(ClassName))
        for (TCodeItem* member : owner->Children()) {
            if (member->Kind() == ckMethod && member->StartLine >= 0 &&
                SameText(member->Name, OldName))
                methods.push_back(static_cast<TMethodItem*>(member));
            else
                others.push_back(member);
        }
    if (methods.empty()) return false;
    if (OldName == NewName) return true;
    if (!IsValidIdent(NewName)) throw Exception(Format("'%s' is not a valid identifier", NewName));
    for (TCodeItem* other : others)
        if (other->Kind() != ckVisibility && IndexOfName(SplitNames(other->Name), NewName) >= 0)
            throw Exception(Format("\"%s\" already exists", NewName));

    TFormEdit edit(*this);
    std::vector<TCodeItem*> rewritten;
    for (TMethodItem* method : methods) {
        rewritten.push_back(method);
        if (TProcItem* impl = method->ImplementationLink(); impl && impl->StartLine >= 0)
            rewritten.push_back(impl);
    }
    for (TCodeItem* item : rewritten) {
        item->Name = NewName;
        FEditor.UpdateDeclaration(item);
    }
    FForm.RenameHandler(OldName, NewName);
    edit.Commit();
    return true;
}

bool TFormFileDesigner::RenameClass(const std::string& OldClassNameRef,
                                    const std::string& NewClassNameRef) {
    const std::string OldClassName = OldClassNameRef, NewClassName = NewClassNameRef;
    if (!IsDesignerClass(OldClassName)) return false;
    if (OldClassName == NewClassName) return true;
    if (!IsValidIdent(NewClassName))
        throw Exception(Format("'%s' is not a valid identifier", NewClassName));
    const std::string rootName = NewClassName.substr(1);
    CheckComponentName(FForm, 0, rootName);
    const std::string oldRootName = FForm.Root()->Name;

    TFormEdit edit(*this);
    std::vector<TCodeItem*> rewritten;
    for (TClassItem* owner : Classes(OldClassName))
        rewritten.push_back(owner);
    for (TCodeItem* item : FEditor.Explorer().Module().Children())
        if (item->Kind() == ckMethodImpl && item->StartLine >= 0 &&
            SameText(static_cast<TMethodImplItem*>(item)->ClassName, OldClassName))
            rewritten.push_back(item);
    for (TCodeItem* item : rewritten) {
        if (item->Kind() == ckMethodImpl)
            static_cast<TMethodImplItem*>(item)->ClassName = NewClassName;
        else
            item->Name = NewClassName;
        FEditor.UpdateDeclaration(item);
    }
    RenameFormVariable(oldRootName, OldClassName, rootName, NewClassName);
    FForm.SetClassName(0, NewClassName);
    if (!oldRootName.empty()) FForm.RenameObject(0, rootName);
    edit.Commit();
    return true;
}

} // namespace kolva
