// kolva settings [list | get NAME | set NAME VALUE]: the user's settings as the add-in
// reads them from the registry of the prefix. Names are qualified by the object that holds
// the setting: "Options.WideFilter", "CodeGeneration.WrapMargin",
// "Preferences.ReadMethodPrefix"; a name without its group is taken when it is unique.
#include "cli/Commands.h"
#include "editing/ModuleEditors.h"
#include "editing/Prefs.h"
#include "foundation/Propinfo.h"
#include "platform/Registry.h"
#include "settings/KOLVAOpts.h"
#include "settings/KolvaReg.h"
#include "settings/PrefixRules.h"

#include <iostream>

namespace kolva::cli {

namespace {

struct TSettingsGroup {
    const char* Name;
    const char* SubKey;
    TObject& (*Object)();
};

const TSettingsGroup Groups[] = {
    {"Options", OptionsSubKey, []() -> TObject& { return KOLVAOptions(); }},
    {"CodeGeneration", CodeGenerationSubKey, []() -> TObject& { return ModuleEditorOptions(); }},
    {"Preferences", PreferencesSubKey, []() -> TObject& { return Preferences(); }},
};

// One setting: its group and its place in an access object over the group's object.
struct TSetting {
    const TSettingsGroup* Group = nullptr;
    std::unique_ptr<TObjectAccess> Access;
    int Index = -1;

    std::string Name() const { return std::string(Group->Name) + '.' + Access->GetPropName(Index); }
    std::string Line() const { return Name() + '=' + Access->GetValueAsString(Index); }
};

bool FindSetting(std::string_view Name, TSetting& Setting) {
    std::string_view group, prop = Name;
    if (const size_t dot = Name.find('.'); dot != std::string_view::npos) {
        group = Name.substr(0, dot);
        prop = Name.substr(dot + 1);
    }
    int found = 0;
    for (const TSettingsGroup& g : Groups) {
        if (!group.empty() && !SameText(group, g.Name)) continue;
        auto access = std::make_unique<TObjectAccess>(&g.Object());
        int index;
        if (!access->FindProp(prop, index)) continue;
        if (++found > 1) throw Exception(Format("\"%s\" is ambiguous: name its group", Name));
        Setting = {&g, std::move(access), index};
    }
    return found == 1;
}

std::string MemberList(TObjectAccess& Access, int Index) {
    Access.GetValueNames(Index);
    std::string list;
    for (int i = 0; i < Access.ValueNames().Count(); ++i)
        list += (i ? ", " : "") + Access.ValueNames()[i];
    return list;
}

// Loading is lenient (an unknown name keeps the old value); a value typed by hand is
// checked strictly first, so that a typing error is reported rather than ignored.
void CheckMembers(TSetting& Setting, std::string_view Text) {
    TObjectAccess& access = *Setting.Access;
    const TTypeKind kind = access.GetPropKind(Setting.Index);
    if (kind != TTypeKind::tkEnumeration && kind != TTypeKind::tkSet) return;
    access.GetValueNames(Setting.Index);
    const TStringList& names = access.ValueNames();
    std::vector<std::string_view> words;
    if (kind == TTypeKind::tkEnumeration) {
        words.push_back(Text);
    } else {
        if (Text.size() < 2 || Text.front() != '[' || Text.back() != ']')
            throw Exception(Format("%s: a set is written as [name,name,...], not \"%s\"",
                                   Setting.Name(), std::string(Text)));
        for (std::string_view rest = Text.substr(1, Text.size() - 2); !rest.empty();) {
            const size_t comma = rest.find(',');
            words.push_back(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? "" : rest.substr(comma + 1);
        }
    }
    for (const std::string_view word : words)
        if (names.IndexOf(word) < 0)
            throw Exception(Format("%s: \"%s\" is not one of %s", Setting.Name(), std::string(word),
                                   MemberList(access, Setting.Index)));
}

// Every setting's name, with and without its group.
std::vector<std::string> AllNames() {
    std::vector<std::string> names;
    for (const TSettingsGroup& g : Groups) {
        TObjectAccess access(&g.Object());
        for (int i = 0; i < access.Count(); ++i) {
            names.push_back(std::string(g.Name) + '.' + access.GetPropName(i));
            names.push_back(access.GetPropName(i));
        }
    }
    return names;
}

// The setting a mistyped name means: the same name in its real group, else a close one.
std::string Suggestion(std::string_view Name) {
    const std::string_view prop = Name.substr(Name.find('.') + 1);
    for (const std::string& name : AllNames())
        if (name.find('.') != std::string::npos && SameText(name.substr(name.find('.') + 1), prop))
            return Format("; did you mean \"%s\"?", name);
    return DidYouMean(Name, AllNames());
}

int List() {
    for (const TSettingsGroup& g : Groups) {
        TObjectAccess access(&g.Object());
        for (int i = 0; i < access.Count(); ++i)
            std::cout << g.Name << '.' << access.GetPropName(i) << '=' << access.GetValueAsString(i)
                      << '\n';
    }
    return 0;
}

int Set(TSetting& Setting, const std::string& Text) {
    CheckMembers(Setting, Text);
    try {
        Setting.Access->SetValueAsString(Setting.Index, Text);
    } catch (const Exception& e) {
        throw Exception(Setting.Name() + ": " + e.Message());
    }
    // The options dialog's checks, so that the command line stores nothing it would refuse.
    const TPreferences& prefs = Preferences();
    if (&Setting.Group->Object() == &prefs)
        CheckPrefixes(prefs.StateFieldPrefix(), prefs.ReadMethodPrefix(),
                      prefs.WriteMethodPrefix());
    TRegistry reg;
    if (!reg.OpenKey(KolvaRegKey(KolvaKeyVersion) + Setting.Group->SubKey, true))
        throw Exception("Cannot open the settings key");
    // The value as the object took it: "TRUE" is stored "True", a clamped number clamped.
    reg.WriteString(Setting.Access->GetPropName(Setting.Index),
                    Setting.Access->GetValueAsString(Setting.Index));
    std::cout << Setting.Line() << '\n';
    return 0;
}

} // namespace

int RunSettings(const TCommandLine& Line) {
    const TArgs& Args = Line.Positional;
    const std::string verb = Args.empty() ? "list" : Args[0];
    if (verb == "list" && Args.size() <= 1) return List();
    const size_t count = verb == "get" ? 2 : verb == "set" ? 3 : 0;
    if (count == 0)
        throw EUsage(Format("no verb \"%s\"%s", verb, DidYouMean(verb, {"list", "get", "set"})));
    if (Args.size() != count)
        throw EUsage(Format("%s takes %s", verb, count == 2 ? "NAME" : "NAME VALUE"));
    TSetting setting;
    if (!FindSetting(Args[1], setting))
        throw Exception(Format("Unknown setting \"%s\"%s", Args[1], Suggestion(Args[1])));
    if (verb == "set") return Set(setting, Args[2]);
    std::cout << setting.Access->GetValueAsString(setting.Index) << '\n';
    return 0;
}

} // namespace kolva::cli
