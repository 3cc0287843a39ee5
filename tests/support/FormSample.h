// A form as an IDE saves it and the unit that goes with it, for the tests of the form file
// and of the designer over it. The unit compiles with "fpc -Mdelphi": its control classes
// are declared in the unit itself, since no component library is installed.
#pragma once

namespace kolva::test {

/// Nested panels, a collection, strings with codes and "+" continuation lines, a string
/// list, binary data over several lines, a reference to a component (ActiveControl,
/// FocusControl) and one handler bound to two events.
extern const char* const MainFormDfm;
/// The unit of TMainForm: component fields in the default section (two in one list), the
/// event handlers with their implementations, the form variable.
extern const char* const MainUnitPas;

} // namespace kolva::test
