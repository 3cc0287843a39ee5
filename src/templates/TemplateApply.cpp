#include "templates/TemplateApply.h"

#include "platform/SysUtils.h"
#include "templates/MACROEXP.h"

namespace kolva {

namespace {

class TCancelParams : public TTemplateParamService {
public:
    bool Execute(const TStringList&, std::vector<std::string>&) override { return false; }
};

std::unique_ptr<TTemplateParamService>& InstalledService() {
    static std::unique_ptr<TTemplateParamService> service;
    return service;
}

constexpr std::string_view DefineMacroMark = "DEFINEMACRO:";

} // namespace

TTemplateParamService& TemplateParamService() {
    static TCancelParams cancel;
    const auto& service = InstalledService();
    return service ? *service : cancel;
}

std::unique_ptr<TTemplateParamService>
SetTemplateParamService(std::unique_ptr<TTemplateParamService> Service) {
    std::swap(InstalledService(), Service);
    return Service;
}

void TPresetTemplateParams::SetValue(std::string_view Name, std::string Value) {
    const std::string name = Trim(Name);
    for (auto& [presetName, presetValue] : FValues)
        if (SameText(presetName, name)) {
            presetValue = std::move(Value);
            return;
        }
    FValues.emplace_back(name, std::move(Value));
}

bool TPresetTemplateParams::Execute(const TStringList& Params, std::vector<std::string>& Values) {
    FRequests.push_back(Params);
    if (FCancel) return false;
    for (int i = 0; i < Params.Count(); ++i)
        for (const auto& [name, value] : FValues)
            if (SameText(name, Trim(Params.Names(i)))) Values[size_t(i)] = value;
    return true;
}

// Names are trimmed here, not only by the macro they define: " A" and "A" name one macro,
// and as two rows the second definition would fail.
void ReadTemplateParams(const TStringList& Lines, TStringList& Params) {
    Params.Clear();
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string_view line = Lines[i];
        const size_t mark = line.find(DefineMacroMark);
        if (mark == std::string_view::npos) continue;
        const std::string_view declaration = line.substr(mark + DefineMacroMark.size());
        const size_t eq = declaration.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string name = Trim(declaration.substr(0, eq));
        if (!name.empty()) Params.SetValue(name, declaration.substr(eq + 1));
    }
}

// Values go to the parameters row by row, never through the name-value list, which would
// drop a row whose text was emptied and shift the rows after it. An emptied row defines its
// parameter as an empty macro.
void ApplyTemplate(TStringList& Lines, TTemplateParamService& Service) {
    TStringList params;
    ReadTemplateParams(Lines, params);
    std::vector<std::string> values;
    for (int i = 0; i < params.Count(); ++i)
        values.push_back(params.Names(i));
    if (params.Count() > 0 && !Service.Execute(params, values)) Abort();

    TMacroExpander expander(nullptr, TemplateStartTag, TemplateEndTag);
    for (int i = 0; i < params.Count(); ++i)
        expander.DefineMacro(params.Names(i), values.at(size_t(i)));
    TStringList result;
    for (int i = 0; i < Lines.Count(); ++i) {
        expander.ExpandLine(Lines[i]);
        result.AddStrings(expander.Output());
        expander.Output().Clear();
    }
    Lines.Assign(result);
}

void ApplyTemplateFile(const std::string& FileName, TStringList& Lines) {
    Lines.LoadFromFile(FileName);
    ApplyTemplate(Lines, TemplateParamService());
}

} // namespace kolva
