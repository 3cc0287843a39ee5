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

constexpr const char* ExpandUsage = "kolva expand FILE [--param NAME=VALUE]... [--list]";

struct TExpandArgs {
    std::string File;
    std::vector<std::pair<std::string, std::string>> Params;
    bool List = false;
};

bool ParseExpandArgs(const TArgs& Args, TExpandArgs& Out) {
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& a = Args[i];
        if (a == "--list") {
            Out.List = true;
        } else if (a == "--param" && i + 1 < Args.size()) {
            const std::string& nameValue = Args[++i];
            const size_t eq = nameValue.find('=');
            if (eq == std::string::npos) return false;
            Out.Params.emplace_back(nameValue.substr(0, eq), nameValue.substr(eq + 1));
        } else if (Out.File.empty() && !a.starts_with("--")) {
            Out.File = a;
        } else {
            return false;
        }
    }
    return !Out.File.empty();
}

// The system's messages break lines with a carriage return; the terminal wants LF.
void PrintError(const std::string& Message) {
    std::string text = Message;
    for (char& c : text)
        if (c == '\r') c = '\n';
    std::cerr << text << '\n';
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

int RunExpand(const TArgs& Args) {
    TExpandArgs args;
    if (!ParseExpandArgs(Args, args)) return Usage(ExpandUsage);
    try {
        return Expand(args);
    } catch (const Exception& e) {
        PrintError(e.Message());
        return 1;
    }
}

} // namespace kolva::cli
