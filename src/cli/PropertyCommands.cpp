// The command line's properties: adding one to a class, the property dialog answered from
// the options, and the conversions between properties, fields and methods. The declaration
// given with --decl is what the dialog would write; its specifiers decide which access
// members are generated (see TPropertyLinks::AccessFromSpecifiers).
#include "cli/EngineSession.h"
#include "editing/DeclarationText.h"
#include "editing/PropertyLinks.h"
#include "foundation/Editable.h"
#include "foundation/FWStrUtils.h"
#include "model/DataTyp.h"
#include "platform/SysUtils.h"

namespace kolva::cli {

namespace {

bool IsIdentOrInteger(const std::string& Text) {
    int32_t value;
    return IsValidIdent(Text) || TryStrToInt(Text, value);
}

class TCliPropertyEditor : public TFWEditor {
public:
    static const TFWEditorClass ClassInfo;
    static constexpr uint16_t EditorID() { return edProperty; }
    explicit TCliPropertyEditor(TEditable& Entity)
        : TFWEditor(Entity), FItem(As<TPropertyItem>(Entity)) {}

    bool Execute() override {
        static const TEngineOptions none;
        const TEngineOptions& options = TakeDialogAnswers() ? CurrentEngineOptions() : none;
        const std::string oldName = FItem.Name;
        TPropertyLinks& links = TPropertyLinks::Of(FItem);
        if (options.Decl) {
            ReadDeclaration(FItem, *options.Decl);
            links.AccessFromSpecifiers();
        } else {
            links.SpecifiersFromAccess();
        }
        if (options.Visibility) FItem.Visibility = *options.Visibility;
        if (options.StateField) {
            if (*options.StateField && !links.StateFieldAllowed())
                throw Exception(Format("Property %s cannot have a state field", FItem.Name));
            links.HasStateField =
                *options.StateField || links.ReadAccess == rwField || links.WriteAccess == rwField;
        }
        Validate(oldName, links);
        NoteTypeUsed(FItem.DataType(), FItem.TypeName());
        return true;
    }

private:
    // The dialog's checks on OK, in its order, on texts without their blanks.
    void Validate(const std::string& OldName, const TPropertyLinks& Links) {
        FItem.Name = StripWhiteSpace(FItem.Name);
        FItem.CheckNewName(OldName, FItem.Name);
        const TCodeItem* owner = FItem.NameSpace();
        if (owner && (owner->Kind() == ckInterface || owner->Kind() == ckDispInterface) &&
            FItem.Visibility != scDefault)
            throw Exception(Format("The visibility %s is not available in %s %s",
                                   KeywordText(FItem.Visibility), ClassKindText(owner->Kind()),
                                   owner->Name));
        const auto check = [](bool Valid, const char* Message, const std::string& Text) {
            if (!Valid) throw Exception(Format(Message, Text));
        };
        if (Links.WriteAccess == rwMethod)
            check(IsValidIdent(Links.WriteParamName), "%s is not a valid write method parameter",
                  Links.WriteParamName);
        if (FItem.Flags.Contains(pfHasIndex))
            check(IsIdentOrInteger(StripWhiteSpace(FItem.IndexExpr)),
                  "%s is not a valid index specifier", FItem.IndexExpr);
        if (FItem.Flags.Contains(pfHasStored))
            check(IsValidIdent(StripWhiteSpace(FItem.StoredSpec)),
                  "%s is not a valid storage specifier", FItem.StoredSpec);
        if (FItem.DefaultKind == dkDefault)
            check(IsIdentOrInteger(StripWhiteSpace(FItem.DefaultValue)),
                  "%s is not a valid default specifier", FItem.DefaultValue);
        if (FItem.Flags.Contains(pfRedeclaration)) return;
        if (Links.ReadAccess == rwNone && Links.WriteAccess == rwNone)
            throw Exception("Property without read or write specifier is not allowed");
        if (FItem.DataType() == dtVoid) throw Exception("Void properties are not allowed");
        if (FItem.Visibility == scPublished) CheckPublishable(false, FItem.DataType());
        if (FItem.Visibility == scAutomated) CheckAutomatable(FItem.DataType());
    }

    TPropertyItem& FItem;
};

constinit const TFWEditorClass TCliPropertyEditor::ClassInfo =
    EditorClass<TCliPropertyEditor>("TCliPropertyEditor");

template <typename TBody>
int WithSession(const TCommandLine& Line, size_t Extra, TBody Body) {
    const TEngineOptions options = ParseEngineOptions(Line);
    if (options.Positional.size() < Extra + 1) throw EUsage("missing arguments");
    if (options.Positional.size() > Extra + 1)
        throw EUsage(Format("too many arguments: \"%s\"", options.Positional[Extra + 1]));
    TEngineSession session(options, options.Positional[0]);
    Body(session, options);
    return session.Finish();
}

TCodeItemKind TargetKind(const std::string& Word) {
    for (const auto& [word, kind] :
         {std::pair{"field", ckField}, std::pair{"method", ckMethod},
          std::pair{"property", ckProperty}, std::pair{"procedure", ckProcedure}})
        if (SameText(Word, word)) return kind;
    throw Exception(Format("\"%s\" is not field, method, property or procedure", Word));
}

} // namespace

void RegisterPropertyEditor() {
    EditorFactory().RegisterEditor(TCliPropertyEditor::ClassInfo);
}

int RunAddProperty(const TCommandLine& Line) {
    return WithSession(Line, 1, [](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        if (!IsTypeWithMembers(item.Kind()))
            throw Exception(Format("%s is not a type with members", item.Name));
        if (!s.Editor().AddProperty(static_cast<TClassItem&>(item))) Abort();
    });
}

int RunConvert(const TCommandLine& Line) {
    return WithSession(Line, 2, [&Line](TEngineSession& s, const TEngineOptions& o) {
        TCodeItem& item = s.Find(o.Positional[1]);
        const TCodeItemKind target = TargetKind(o.Positional[2]);
        TCodeItem* container = item.Parent();
        if (const auto name = Line.Value("--class")) {
            container = &s.FindTarget(*name);
            if (!IsClassKind(container->Kind()))
                throw Exception(Format("%s is not a class, interface or object type", *name));
        } else if (item.Kind() == ckProcedure && target == ckMethod) {
            throw EUsage("--class: name the class that takes the procedure");
        }
        s.Editor().ConvertMember(*container, item, target);
    });
}

} // namespace kolva::cli
