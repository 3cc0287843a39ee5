// Objects that can be written to a byte stream and rebuilt from it by class name.
//
// A streamable class has a class reference: a `TStreamableClass` record with its name, its
// parent's record and its virtual constructor, the factory that builds an object from the
// body its `Store` wrote. Records are constants, so they exist before any code runs. A
// class is found by name only while it is registered (`RegisterStreamable`, usually through
// a `TStreamableRegistrar` at namespace scope in the class's unit).
//
// The byte encoding is fixed: integers are 4 bytes, signed, little-endian; a string is a
// length byte N and N bytes (longer strings are cut to 255 bytes); a string list is a count
// and that many strings; an object record is the class name as a string followed by the
// object's body. Nothing outside the process ever reads this format: it serves deep copies.
//
// Declaring a streamable class (see also TStreamableClass):
//   class TFoo : public TStreamable {
//   public:
//       static const TStreamableClass ClassInfo;
//       const TStreamableClass& ClassType() const override { return ClassInfo; }
//   protected:
//       void Load(TFilter& Filter) override;        // TStreamable::Load first, then fields
//       void Store(TFilter& Filter) const override; // the inherited Store first, then fields
//   };
//   // TFoo.cpp
//   constinit const TStreamableClass TFoo::ClassInfo = StreamableClass<TFoo, TStreamable>("TFoo");
//   static const TStreamableRegistrar RegisterFoo(TFoo::ClassInfo);
#pragma once

#include "platform/Persistent.h"
#include "platform/Streams.h"
#include "platform/StringList.h"

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

namespace kolva {

class TFilter;
class TStreamable;

/// Raised when a class name read from a stream is not registered, and when an object that
/// has no class record of its own is written.
class EStreamableError : public EStreamError {
    using EStreamError::EStreamError;
};

/// A class reference. `Load` is the virtual constructor; it is null for abstract classes,
/// which cannot be registered. The record is polymorphic only so that a reference can be
/// checked for a richer kind of record (such as TListableClass) with dynamic_cast.
struct TStreamableClass {
    using TLoadFunc = std::unique_ptr<TStreamable> (*)(TFilter& Filter);

    constexpr TStreamableClass(const char* AName, const TStreamableClass* AParent,
                               const std::type_info* AType, TLoadFunc ALoad)
        : Name(AName), Parent(AParent), Type(AType), Load(ALoad) {}
    constexpr virtual ~TStreamableClass() = default;

    /// True when this class is Ancestor or derives from it.
    bool InheritsFrom(const TStreamableClass& Ancestor) const;

    const char* Name;
    const TStreamableClass* Parent;
    const std::type_info* Type;
    TLoadFunc Load;
};

class TStreamable : public TPersistent {
public:
    static const TStreamableClass ClassInfo;
    /// This object's class reference. Every class that is written to a stream overrides
    /// it; writing an object whose record belongs to an ancestor raises EStreamableError.
    virtual const TStreamableClass& ClassType() const { return ClassInfo; }

protected:
    /// The body of the virtual constructor, run on a default-constructed object. The base
    /// tells the filter that an object was built (`ObjectLoaded`); overrides call it first
    /// and then read their fields in the order `Store` wrote them.
    virtual void Load(TFilter& Filter);
    /// Writes the body; the base writes nothing.
    virtual void Store(TFilter& Filter) const;
    /// Called when the object is to be destroyed as part of a load that failed or whose
    /// result nobody took, so that objects it built from the stream and does not own are
    /// freed with it.
    virtual void LoadAborted() {}
    static void LoadAborted(TStreamable& Obj) { Obj.LoadAborted(); }

    friend class TFilter;
    template <class T>
    friend std::unique_ptr<TStreamable> LoadStreamable(TFilter& Filter);
};

/// The virtual constructor of T: a default-constructed T that then runs its `Load`. When
/// `Load` raises, the object is destroyed and the error passes on.
template <class T>
std::unique_ptr<TStreamable> LoadStreamable(TFilter& Filter) {
    std::unique_ptr<TStreamable> obj = std::make_unique<T>();
    try {
        obj->Load(Filter);
    } catch (...) {
        obj->LoadAborted();
        throw;
    }
    return obj;
}

/// The class record of a concrete streamable class T whose direct base is Parent.
template <class T, class Parent>
consteval TStreamableClass StreamableClass(const char* Name) {
    static_assert(std::is_base_of_v<Parent, T> && !std::is_same_v<Parent, T>);
    static_assert(std::is_default_constructible_v<T>, "the virtual constructor needs T()");
    return TStreamableClass(Name, &Parent::ClassInfo, &typeid(T), &LoadStreamable<T>);
}

/// The class record of an abstract streamable class.
template <class T, class Parent>
consteval TStreamableClass AbstractStreamableClass(const char* Name) {
    static_assert(std::is_base_of_v<Parent, T> && !std::is_same_v<Parent, T>);
    return TStreamableClass(Name, &Parent::ClassInfo, &typeid(T), nullptr);
}

/// Adds Class to the process-wide registry unless a class of the same name (ASCII case
/// ignored) is already there; such a second registration is ignored. Raises
/// EStreamableError for an abstract class.
void RegisterStreamable(const TStreamableClass& Class);
/// Removes Class (this very record) when it is registered.
void UnregisterStreamable(const TStreamableClass& Class);
/// The registered class of that name (ASCII case ignored), or null.
const TStreamableClass* FindStreamableClass(std::string_view Name);
/// As FindStreamableClass; raises EStreamableError "<Name> not registered as streamable"
/// when there is none.
const TStreamableClass& GetStreamableClass(std::string_view Name);

/// Registers a class for the registrar's lifetime: a namespace-scope registrar in the
/// class's unit makes the class known from start-up to shutdown.
class TStreamableRegistrar {
public:
    explicit TStreamableRegistrar(const TStreamableClass& Class) : FClass(Class) {
        RegisterStreamable(Class);
    }
    ~TStreamableRegistrar() { UnregisterStreamable(FClass); }
    TStreamableRegistrar(const TStreamableRegistrar&) = delete;
    TStreamableRegistrar& operator=(const TStreamableRegistrar&) = delete;

private:
    const TStreamableClass& FClass;
};

/// A stream that wraps another one and knows how to write and read whole objects.
/// Reads, writes and seeks go to the wrapped stream; without one they move nothing.
class TFilter : public TStream {
public:
    /// Object records nest at most this deep in one stream; deeper input is refused so that
    /// bytes from anywhere cannot exhaust the call stack.
    static constexpr int MaxNesting = 256;

    explicit TFilter(TStream* Stream = nullptr) : FStream(Stream) {}
    ~TFilter() override;
    TFilter(const TFilter&) = delete;
    TFilter& operator=(const TFilter&) = delete;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

    /// Told of every object built by a virtual constructor; the base passes the news on to
    /// the wrapped stream when that is a filter too.
    virtual void ObjectLoaded(TStreamable& Obj);
    /// Replaces the wrapped stream, freeing the old one first when the filter owns it.
    virtual void SetStream(TStream* NewStream);
    /// Builds a new object from the next object record. Raises EStreamableError for an
    /// unregistered class name, EReadError when the stream ends early.
    virtual std::unique_ptr<TStreamable> ReadObject();
    /// Writes Obj as an object record.
    virtual void WriteObject(const TStreamable& Obj);

    TStream* Stream() const { return FStream; }
    /// When set, the filter frees the wrapped stream when it is replaced or destroyed.
    bool OwnsStream() const { return FOwnsStream; }
    void SetOwnsStream(bool Value) { FOwnsStream = Value; }

private:
    bool FOwnsStream = false;
    TStream* FStream = nullptr;
    int FNesting = 0;
};

/// A deep copy of Obj made by writing it to a memory stream and reading it back. Raises
/// EStreamableError when Obj's class is not registered.
std::unique_ptr<TStreamable> CloneStreamable(const TStreamable& Obj);

int32_t ReadInteger(TStream& Stream);
void WriteInteger(TStream& Stream, int32_t Value);
std::string ReadString(TStream& Stream);
/// Writes at most the first 255 bytes of Value.
void WriteString(TStream& Stream, std::string_view Value);
/// Replaces List's lines. A count below 0 or above 134217727 raises EStreamError
/// "Error reading TStrings from stream".
void ReadStrings(TStream& Stream, TStringList& List);
void WriteStrings(TStream& Stream, const TStringList& List);

} // namespace kolva
