// The command line's types: adding a class, interface, object type or dispinterface, setting
// a type's ancestor, and the class dialog answered from the options (--decl with the heading,
// --part for the part of the unit that declares it). Editing, renaming and deleting a type go
// through the edit, rename and delete commands.
#include "cli/DeclOption.h"
#include "cli/EngineSession.h"
#include "foundation/Editable.h"
#include "platform/SysUtils.h"

#include <iostream>

namespace kolva::cli {

namespace {

// An ancestor as a heading names it: an identifier, dotted or not, maybe with type arguments.
bool IsAncestorName(const std::string& Name) {
    const std::string bare = Name.substr(0, Name.find('<'));
    if (bare.empty()) return false;
    for (size_t start = 0;;) {
        const size_t dot = bare.find('.', start);
        if (!IsValidIdent(bare.substr(start, dot - start))) return false;
        if (dot == std::string::npos) return true;
        start = dot + 1;
    }
}

class TCliClassEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edClass; }
    explicit TCliClassEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TClassItem>(Entity)) {}

    bool Execute() override {
        static const TEngineOptions none;
        const TEngineOptions& options = TakeDialogAnswers() ? CurrentEngineOptions() : none;
        const std::string oldName = FItem.Name;
        if (options.Decl) ReadUserDeclaration(FItem, *options.Decl);
        if (options.Part) FItem.Visibility = *options.Part;
        // The dialog's checks on OK, in its order.
        FItem.Name = Trim(FItem.Name);
        FItem.CheckNewName(oldName, FItem.Name);
        FItem.Ancestor = Trim(FItem.Ancestor);
        if (!FItem.Ancestor.empty() && !IsAncestorName(FItem.Ancestor))
            throw Exception(Format("\"%s\" is an invalid ancestor name", FItem.Ancestor));
        FItem.InterfacesText = Trim(FItem.InterfacesText);
        if (options.Adding && !options.Decl) {
            std::string decl = FItem.GetDeclaration();
            for (char& c : decl)
                if (c == '\r' || c == '\n') c = ' ';
            std::cerr << "kolva: no --decl given; adding the default \"" << decl << "\"\n";
        }
        return true;
    }

private:
    TClassItem& FItem;
};

constinit const TFWEditorClass TCliClassEditor::ClassInfo =
    EditorClass<TCliClassEditor>("TCliClassEditor");

template <typename TBody>
int WithSession(const TCommandLine& Line, size_t Extra, TBody Body, bool Adding = false) {
    TEngineOptions options = ParseEngineOptions(Line);
    options.Adding = Adding;
    if (options.Positional.size() < Extra + 1) throw EUsage("missing arguments");
    if (options.Positional.size() > Extra + 1)
        throw EUsage(Format("too many arguments: \"%s\"", options.Positional[Extra + 1]));
    TEngineSession session(options, options.Positional[0]);
    Body(session, options);
    return session.Finish();
}

int KindIndex(const std::string& Word) {
    for (int i = 0; i < 4; ++i)
        if (SameText(Word, ClassKindText(TCodeItemKind(ckClass + i)))) return i;
    throw EUsage(Format("\"%s\" is not class, interface, object or dispinterface", Word));
}

} // namespace

void RegisterClassEditor() {
    EditorFactory().RegisterEditor(TCliClassEditor::ClassInfo);
}

int RunAddClass(const TCommandLine& Line) {
    const std::string ancestor = Trim(Line.Value("--ancestor").value_or(std::string()));
    if (!ancestor.empty() && !IsAncestorName(ancestor))
        throw EUsage(Format("--ancestor: \"%s\" is an invalid ancestor name", ancestor));
    return WithSession(
        Line, 1,
        [&](TEngineSession& s, const TEngineOptions& o) {
            if (!s.Editor().AddClass(KindIndex(o.Positional[1]), ancestor)) Abort();
        },
        true);
}

int RunSetAncestor(const TCommandLine& Line) {
    return WithSession(Line, 2, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        if (!IsClassKind(item.Kind()))
            throw Exception(Format("%s is not a class, interface or object type", item.Name));
        const std::string ancestor = Trim(o.Positional[2]);
        if (!IsAncestorName(ancestor))
            throw Exception(Format("\"%s\" is an invalid ancestor name", ancestor));
        s.Editor().SetAncestor(static_cast<TClassItem&>(item), ancestor);
    });
}

} // namespace kolva::cli
