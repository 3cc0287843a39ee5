// The object model of the tools interface: every object that crosses between the IDE and an
// add-in is an interface with its own reference count, released by the side that made it.
//
// Rules on both sides of the library boundary:
// - An object is created and freed by the module that implements it: `Release` of the last
//   reference runs the destructor inside that module, so neither side frees the other's memory.
// - A function returning `TIntf<T>` hands the caller a reference of its own; a raw pointer
//   parameter is borrowed for the call.
// - No exception crosses: every operation is `noexcept`, so an implementation catches what its
//   own code raises and answers with its "nothing" result (nil, false, 0, "").
// - Everything runs on the user-interface thread, so counts are plain integers.
// - The side asking whether an object also answers as another interface uses the `As...`
//   operations, never `dynamic_cast` (type information is not shared between the modules).
#pragma once

#include <utility>

namespace kolva {

class IInterface {
public:
    virtual void AddRef() noexcept = 0;
    /// Frees the object when the last reference goes. EXPECTS: a reference the caller holds.
    virtual void Release() noexcept = 0;

protected:
    ~IInterface() = default;
};

/// An interface reference, as an interface variable of the IDE's language holds one.
template <class T>
class TIntf {
public:
    TIntf() noexcept = default;
    /// Takes a reference of its own on Object.
    TIntf(T* Object) noexcept : FObject(Object) {
        if (FObject) FObject->AddRef();
    }
    TIntf(const TIntf& Other) noexcept : TIntf(Other.FObject) {}
    TIntf(TIntf&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
    template <class U>
    TIntf(const TIntf<U>& Other) noexcept : TIntf(Other.Get()) {}
    ~TIntf() {
        if (FObject) FObject->Release();
    }
    TIntf& operator=(TIntf Other) noexcept {
        std::swap(FObject, Other.FObject);
        return *this;
    }
    T* Get() const noexcept { return FObject; }
    T* operator->() const noexcept { return FObject; }
    T& operator*() const noexcept { return *FObject; }
    explicit operator bool() const noexcept { return FObject != nullptr; }
    friend bool operator==(const TIntf& A, const TIntf& B) noexcept {
        return A.FObject == B.FObject;
    }

private:
    T* FObject = nullptr;
};

/// The usual implementation of the count: starts at 0, the first TIntf takes it to 1, and
/// the object deletes itself at 0. Derive from it first, before the interfaces (so the object
/// starts with it and is freed from its own address), and implement
/// AddRef and Release by forwarding (KOLVA_IMPLEMENT_REFCOUNT).
class TInterfacedObject {
public:
    virtual ~TInterfacedObject() = default;
    int RefCount() const noexcept { return FRefCount; }

protected:
    void DoAddRef() noexcept { ++FRefCount; }
    void DoRelease() noexcept {
        if (--FRefCount == 0) delete this;
    }

private:
    int FRefCount = 0;
};

} // namespace kolva

/// Implements IInterface's two operations for a class derived from TInterfacedObject.
#define KOLVA_IMPLEMENT_REFCOUNT                                                                   \
    void AddRef() noexcept override {                                                              \
        DoAddRef();                                                                                \
    }                                                                                              \
    void Release() noexcept override {                                                             \
        DoRelease();                                                                               \
    }
