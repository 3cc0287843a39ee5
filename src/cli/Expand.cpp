// kolva expand FILE [--param NAME=VALUE]... [--list]: a code template expanded as the
// add-in would insert it, with the parameters given on the command line instead of the
// parameter dialog. A parameter not given keeps its own name, as when the dialog is
// accepted without edits.
#include "cli/Commands.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "templates/TemplateApply.h"

#include <iostream>

namespace kolva::cli {

namespace {

struct TExpandArgs {
    std::string File;
    std::vector<std::pair<std::string, std::string>> Params;
    bool List = false;
};

TExpandArgs ParseExpandArgs(const TCommandLine& Line) {
    if (Line.Positional.size() != 1)
        throw EUsage(Line.Positional.empty() ? "missing arguments" : "too many arguments");
    TExpandArgs args;
    args.File = Line.Positional[0];
    args.List = Line.Has("--list");
    for (const auto& [name, value] : Line.Options) {
        if (name != "--param") continue;
        const size_t eq = value.find('=');
        if (eq == std::string::npos)
            throw EUsage(Format("--param needs NAME=VALUE, not \"%s\"", value));
        args.Params.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    }
    return args;
}

int Expand(const TExpandArgs& Args) {
    TStringList lines;
    lines.LoadFromFile(Args.File);
    TStringList params;
    ReadTemplateParams(lines, params);
    if (Args.List) {
        for (int i = 0; i < params.Count(); ++i)
            std::cout << params.Names(i) << '\t' << params.Values(params.Names(i)) << '\n';
        return 0;
    }
    TPresetTemplateParams answers;
    for (const auto& [name, value] : Args.Params) {
        bool known = false;
        for (int i = 0; i < params.Count() && !known; ++i)
            known = SameText(Trim(name), params.Names(i));
        if (!known) throw Exception(Format("%s declares no parameter \"%s\"", Args.File, name));
        answers.SetValue(name, value);
    }
    ApplyTemplate(lines, answers);
    std::string out;
    for (int i = 0; i < lines.Count(); ++i)
        out += lines[i] + '\n';
    std::cout << out;
    return 0;
}

} // namespace

int RunExpand(const TCommandLine& Line) {
    return Expand(ParseExpandArgs(Line));
}

} // namespace kolva::cli
