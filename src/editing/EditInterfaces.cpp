#include "editing/EditInterfaces.h"

#include "platform/SysUtils.h"

namespace kolva {

// "T", at least one character, "Form": TForm itself is the library's base class, never a
// form of the user's.
bool TDesignerInterface::IsDesignerClass(const std::string& ClassName) {
    return ClassName.size() > 5 && UpCase(ClassName[0]) == 'T' &&
           SameText(std::string_view(ClassName).substr(ClassName.size() - 4), "Form");
}

bool TDesignerInterface::DeleteComponent(const std::string&, const std::string&) {
    return false;
}
bool TDesignerInterface::IsComponent(const std::string&, const std::string&) {
    return false;
}
bool TDesignerInterface::IsEventHandler(const std::string&, const std::string&) {
    return false;
}
bool TDesignerInterface::RenameClass(const std::string&, const std::string&) {
    return false;
}
bool TDesignerInterface::RenameComponent(const std::string&, const std::string&,
                                         const std::string&) {
    return false;
}
bool TDesignerInterface::RenameEventHandler(const std::string&, const std::string&,
                                            const std::string&) {
    return false;
}
bool TDesignerInterface::DeleteEventHandler(const std::string&, const std::string&) {
    return false;
}
void TDesignerInterface::SelectComponent(const std::string&, const std::string&) {}
void TDesignerInterface::SelectRoot(const std::string&) {}

} // namespace kolva
