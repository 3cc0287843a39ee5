#include "platform/Persistent.h"

#include "platform/SysUtils.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace kolva {

std::string ClassNameOf(const std::type_info& Type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(Type.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : Type.name();
    // Class names are compared with the system's own (Delphi-style) names, which carry
    // no namespace.
    const size_t sep = name.rfind("::");
    return sep == std::string::npos ? name : name.substr(sep + 2);
}

void TPersistent::Assign(const TPersistent& Source) {
    Source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& Dest) const {
    Dest.AssignError(*this);
}

void TPersistent::AssignError(const TPersistent& Source) const {
    throw EConvertError(Format("Cannot assign a %s to a %s", Source.ClassName(), ClassName()));
}

} // namespace kolva
