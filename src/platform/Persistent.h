// TPersistent: the component library's base of objects that can copy their state from one
// another. `Assign` asks the source to copy itself into the destination (`AssignTo`), so a
// class can teach an older class to take its state without that class knowing it; when no
// class in the pair knows how, the copy fails with the library's conversion error.
#pragma once

#include "platform/System.h"

#include <string>
#include <typeinfo>

namespace kolva {

/// The unqualified C++ name of a class, such as "TCollection" for kolva::TCollection.
std::string ClassNameOf(const std::type_info& Type);

class TPersistent : public TObject {
public:
    /// Copies Source's state into this object. The base hands the work to
    /// Source.AssignTo(*this); raises EConvertError "Cannot assign a %s to a %s" when
    /// neither class knows the other.
    virtual void Assign(const TPersistent& Source);
    /// The name of the object's own (most derived) class.
    std::string ClassName() const { return ClassNameOf(typeid(*this)); }

protected:
    /// Copies this object's state into Dest; the base knows no destination.
    virtual void AssignTo(TPersistent& Dest) const;
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

} // namespace kolva
