// Turning a code template file into source lines, without any window.
//
// A template file is Object Pascal text in which lines holding "DEFINEMACRO:Name=Description"
// declare its parameters and "<!Name!>" uses them. Applying it asks the user for a value of
// every parameter through the parameter service (the dialog "Code Template Parameters" in
// the add-in; preset values on the command line and in tests), defines one macro per
// parameter and expands every line of the file, the declaration lines included.
#pragma once

#include "platform/StringList.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// The tags between which templates call their macros.
inline constexpr std::string_view TemplateStartTag = "<!";
inline constexpr std::string_view TemplateEndTag = "!>";

/// Asks for the values of a template's parameters.
class TTemplateParamService {
public:
    virtual ~TTemplateParamService() = default;
    /// Shows one row per entry of Params ("Name=Description", in order) whose first column
    /// is Values[I], each row's name when called. Returns false for Cancel; on OK, Values[I]
    /// holds the text the user left in row I's first column.
    virtual bool Execute(const TStringList& Params, std::vector<std::string>& Values) = 0;
};

/// The installed service. Until one is installed, every request is cancelled.
TTemplateParamService& TemplateParamService();
/// Installs a service and returns the previous one (null for the built-in default).
std::unique_ptr<TTemplateParamService>
SetTemplateParamService(std::unique_ptr<TTemplateParamService> Service);

/// Answers without asking anybody: a row whose name matches a preset (white space around
/// either ignored, ASCII case ignored) gets the preset value, any other row keeps its name,
/// as when the dialog is accepted without edits.
class TPresetTemplateParams : public TTemplateParamService {
public:
    /// A later value for the same name replaces the earlier one.
    void SetValue(std::string_view Name, std::string Value);
    /// Answer Cancel instead of OK.
    void SetCancel(bool Value) { FCancel = Value; }
    /// The rows of every request so far, one list per request.
    const std::vector<TStringList>& Requests() const { return FRequests; }

    bool Execute(const TStringList& Params, std::vector<std::string>& Values) override;

private:
    std::vector<std::pair<std::string, std::string>> FValues;
    bool FCancel = false;
    std::vector<TStringList> FRequests;
};

/// Collects the parameters that Lines declare, as "Name=Description" in the order of their
/// first declaration: on a line holding "DEFINEMACRO:", the text after it up to the first
/// "=" names the parameter (trimmed; nothing left declares nothing) and the rest describes
/// it. A later declaration of a name (ASCII case ignored) replaces the earlier one in its
/// place; one with an empty description removes it. A line without "=" declares nothing.
void ReadTemplateParams(const TStringList& Lines, TStringList& Params);

/// Expands Lines as a template, asking Service for the parameter values when there are
/// parameters. Raises EAbort when the service cancels and EMacroExpansionError for any
/// error of the expansion; Lines changes only when all went well.
void ApplyTemplate(TStringList& Lines, TTemplateParamService& Service);

/// Fills Lines with the expanded text of the template file, asking the installed
/// TemplateParamService. Raises as ApplyTemplate, and EInOutError when the file cannot be
/// read.
void ApplyTemplateFile(const std::string& FileName, TStringList& Lines);

} // namespace kolva
