// The root of the component library's object model, as far as this system needs it: a
// polymorphic root object, the event type of change notifications, the date type and sets
// of enumeration members.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace kolva {

/// Root of the objects that lists may carry and that take part in runtime type checks.
class TObject {
public:
    virtual ~TObject() = default;
};

/// A notification handler; the sender is the object that changed.
using TNotifyEvent = std::function<void(TObject* Sender)>;

/// Days since 1899-12-30, the fraction being the time of day.
using TDateTime = double;

/// A set of members of an enumeration with at most 64 members. `Count` is the number of
/// members; the check keeps a set type from silently losing members added later.
template <typename E, int Count>
class TSet {
    static_assert(Count > 0 && Count <= 64, "TSet holds at most 64 members");

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> members) {
        for (E m : members)
            Include(m);
    }
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.FBits = bits & Mask();
        return s;
    }
    static constexpr TSet All() { return FromBits(~uint64_t(0)); }

    constexpr bool Contains(E m) const { return (FBits >> Bit(m)) & 1; }
    constexpr TSet& Include(E m) {
        FBits |= uint64_t(1) << Bit(m);
        return *this;
    }
    constexpr TSet& Exclude(E m) {
        FBits &= ~(uint64_t(1) << Bit(m));
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint64_t Bits() const { return FBits; }

    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint64_t Mask() {
        return Count == 64 ? ~uint64_t(0) : (uint64_t(1) << Count) - 1;
    }
    static constexpr unsigned Bit(E m) { return static_cast<unsigned>(m); }
    uint64_t FBits = 0;
};

} // namespace kolva
