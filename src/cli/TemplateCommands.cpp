// `kolva templates`, `kolva create-template` and `kolva apply`: the shared template list of
// the prefix's registry, templates made from members of a class, and templates applied to
// one. File names are registered in full
// (the drive-letter form), as the add-in's file dialogs give them.
#include "cli/EngineSession.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/SysUtils.h"
#include "templates/CTemplateReg.h"
#include "templates/TemplateApply.h"
#include "templates/TemplateCreate.h"
#include "templates/TemplateInsert.h"

#include <iostream>
#include <memory>
#include <optional>

namespace kolva::cli {

namespace {

// The page the register dialog proposes.
constexpr const char* DefaultPage = "Templates";

std::string FullFileName(const std::string& File) {
    return WindowsPath(NativePath(File));
}

// The page a template is shown on: an empty page means the default one.
std::string ShownPage(const std::string& Page) {
    return Page.empty() ? DefaultPage : Page;
}

void ExpectArgs(const TCommandLine& Line, size_t Count) {
    if (Line.Positional.size() < Count) throw EUsage("missing arguments");
    if (Line.Positional.size() > Count) throw EUsage("too many arguments");
}

int ListTemplates() {
    TCodeTemplateRegistry& registry = TemplateRegistry();
    TStringList names;
    registry.GetTemplateNames(names);
    std::string file, page;
    for (int i = 0; i < names.Count(); ++i)
        if (registry.ReadTemplate(names[i], file, page))
            std::cout << names[i] << '\t' << ShownPage(page) << '\t' << file << '\n';
    return esOk;
}

// The pages as the palette shows them: the default page stands for the empty one, so the
// two are one tab.
int ListPages() {
    TStringList pages, shown;
    TemplateRegistry().GetPages(pages);
    for (int i = 0; i < pages.Count(); ++i)
        if (shown.IndexOf(ShownPage(pages[i])) < 0) shown.Add(ShownPage(pages[i]));
    for (int i = 0; i < shown.Count(); ++i)
        std::cout << shown[i] << '\n';
    return esOk;
}

int AddTemplate(const TCommandLine& Line) {
    ExpectArgs(Line, 2);
    const std::string& file = Line.Positional[1];
    if (!FileExists(file)) throw Exception(Format("%s: no such file", file));
    const TEngineOptions options = ParseEngineOptions(Line);
    TCommandLineQuestions questions(options);
    TemplateRegistry().AddTemplate(FullFileName(file), Line.Value("--name").value_or(""),
                                   Line.Value("--page").value_or(DefaultPage));
    return esOk;
}

int RemoveTemplate(const TCommandLine& Line) {
    ExpectArgs(Line, 2);
    const std::string& name = Line.Positional[1];
    if (!TemplateRegistry().TemplateExists(name))
        throw Exception(Format("no template named \"%s\"", name));
    TemplateRegistry().DeleteTemplate(name);
    return esOk;
}

// A registered name first, as the palette offers them; then a file.
std::string TemplateFile(const std::string& Template) {
    std::string file, page;
    if (TemplateRegistry().ReadTemplate(Template, file, page)) return file;
    if (FileExists(Template)) return Template;
    throw Exception(Format("\"%s\" is neither a registered template nor a file", Template));
}

// The parameter values the dialog would be given; a name the template does not declare is
// a mistake worth reporting rather than a value silently dropped.
std::unique_ptr<TTemplateParamService> ParamAnswers(const TCommandLine& Line,
                                                    const std::string& File) {
    TStringList lines, params;
    lines.LoadFromFile(File);
    ReadTemplateParams(lines, params);
    auto answers = std::make_unique<TPresetTemplateParams>();
    for (const auto& [option, value] : Line.Options) {
        if (option != "--param") continue;
        const size_t eq = value.find('=');
        if (eq == std::string::npos)
            throw EUsage(Format("--param needs NAME=VALUE, not \"%s\"", value));
        const std::string name = Trim(value.substr(0, eq));
        if (params.IndexOfName(name) < 0)
            throw Exception(Format("%s declares no parameter \"%s\"", File, name));
        answers->SetValue(name, value.substr(eq + 1));
    }
    return answers;
}

} // namespace

int RunTemplates(const TCommandLine& Line) {
    if (Line.Positional.empty()) throw EUsage("missing arguments");
    const std::string& action = Line.Positional[0];
    if (action == "list" || action == "pages") {
        ExpectArgs(Line, 1);
        return action == "list" ? ListTemplates() : ListPages();
    }
    if (action == "add") return AddTemplate(Line);
    if (action == "remove") return RemoveTemplate(Line);
    throw EUsage(Format("unknown action \"%s\"%s", action,
                        DidYouMean(action, {"list", "pages", "add", "remove"})));
}

int RunCreateTemplate(const TCommandLine& Line) {
    if (Line.Positional.size() < 2) throw EUsage("missing arguments");
    const std::optional<std::string> out = Line.Value("--out");
    if (!out) throw EUsage("missing --out FILE.pas");
    TEngineOptions options = ParseEngineOptions(Line);
    options.Stdout = true; // the unit is only read
    TEngineSession session(options, options.Positional[0]);
    const std::string& className = options.Positional[1];
    TCodeItem& cls = session.Find(className);
    if (!IsClassKind(cls.Kind())) throw Exception(Format("%s is not a class", className));
    TItemList members;
    for (size_t i = 2; i < options.Positional.size(); ++i)
        members.push_back(&session.Find(className + "." + options.Positional[i]));
    CreateTemplate(session.Editor(), cls, members, FullFileName(*out),
                   Line.Value("--name").value_or(""), Line.Value("--page").value_or(DefaultPage),
                   !Line.Has("--no-register"));
    return esOk;
}

int RunApply(const TCommandLine& Line) {
    ExpectArgs(Line, 3);
    const TEngineOptions options = ParseEngineOptions(Line);
    const std::string file = TemplateFile(options.Positional[2]);
    const bool asIs = Line.Has("--as-is");
    if (asIs && Line.Has("--param")) throw EUsage("--as-is takes no --param");
    std::unique_ptr<TTemplateParamService> previous =
        SetTemplateParamService(asIs ? nullptr : ParamAnswers(Line, file));
    struct TRestore {
        std::unique_ptr<TTemplateParamService>& Previous;
        ~TRestore() { SetTemplateParamService(std::move(Previous)); }
    } restore{previous};
    TEngineSession session(options, options.Positional[0]);
    TCodeItem& target = options.Positional[1] == "." ? session.Explorer().Module()
                                                     : session.Find(options.Positional[1]);
    if (asIs)
        PasteTemplateFile(session.Editor(), target, file);
    else if (IsClassKind(target.Kind()))
        InsertTemplate(session.Editor(), target, file);
    else
        throw Exception(Format("%s is not a class", options.Positional[1]));
    return session.Finish();
}

} // namespace kolva::cli
