// The form of a host module as the tools interface shows it: the module's second editor,
// which answers AsFormEditor, with a designer whose components can be renamed and deleted.
// Every change goes through the module's THostForm, so form and unit change together.
#pragma once

#include "toolsapi/ToolsAPI.h"

namespace kolva {

class THostModule;

/// The form editor of Module; nil when the module has no form. Once the module is closed
/// the editor answers nothing: no module, no designer.
TIntf<IOTAFormEditor> MakeHostFormEditor(THostModule& Module) noexcept;

} // namespace kolva
