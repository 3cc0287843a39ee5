#include "foundation/Filters.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <vector>

namespace kolva {

constinit const TStreamableClass TStreamable::ClassInfo("TStreamable", nullptr,
                                                        &typeid(TStreamable),
                                                        &LoadStreamable<TStreamable>);

bool TStreamableClass::InheritsFrom(const TStreamableClass& Ancestor) const {
    for (const TStreamableClass* c = this; c; c = c->Parent)
        if (c == &Ancestor) return true;
    return false;
}

void TStreamable::Load(TFilter& Filter) {
    Filter.ObjectLoaded(*this);
}

void TStreamable::Store(TFilter&) const {}

// ---------------------------------------------------------------------------------------
// The registry. A function-local list exists before the first registrar runs, whichever
// unit's start-up comes first, and outlives every registrar.

namespace {

std::vector<const TStreamableClass*>& Registry() {
    static std::vector<const TStreamableClass*> classes;
    return classes;
}

std::string NotRegistered(std::string_view Name) {
    return Format("%s not registered as streamable", Name);
}

} // namespace

void RegisterStreamable(const TStreamableClass& Class) {
    if (!Class.Load)
        throw EStreamableError(Format("%s is abstract and cannot be streamed", Class.Name));
    if (!FindStreamableClass(Class.Name)) Registry().push_back(&Class);
}

void UnregisterStreamable(const TStreamableClass& Class) {
    auto& classes = Registry();
    classes.erase(std::remove(classes.begin(), classes.end(), &Class), classes.end());
}

const TStreamableClass* FindStreamableClass(std::string_view Name) {
    for (const TStreamableClass* c : Registry())
        if (SameText(c->Name, Name)) return c;
    return nullptr;
}

const TStreamableClass& GetStreamableClass(std::string_view Name) {
    const TStreamableClass* c = FindStreamableClass(Name);
    if (!c) throw EStreamableError(NotRegistered(Name));
    return *c;
}

// ---------------------------------------------------------------------------------------
// TFilter

TFilter::~TFilter() {
    if (FOwnsStream) delete FStream;
}

int32_t TFilter::Read(void* Buffer, int32_t Count) {
    return FStream ? FStream->Read(Buffer, Count) : 0;
}

int32_t TFilter::Write(const void* Buffer, int32_t Count) {
    return FStream ? FStream->Write(Buffer, Count) : 0;
}

int64_t TFilter::Seek(int64_t Offset, TSeekOrigin Origin) {
    return FStream ? FStream->Seek(Offset, Origin) : 0;
}

void TFilter::ObjectLoaded(TStreamable& Obj) {
    if (auto* inner = dynamic_cast<TFilter*>(FStream)) inner->ObjectLoaded(Obj);
}

void TFilter::SetStream(TStream* NewStream) {
    // Setting the stream it already wraps must not free the stream it goes on using.
    if (NewStream == FStream) return;
    if (FOwnsStream) delete FStream;
    FStream = NewStream;
}

std::unique_ptr<TStreamable> TFilter::ReadObject() {
    const TStreamableClass& cls = GetStreamableClass(ReadString(*this));
    if (FNesting >= MaxNesting) throw EStreamError("Objects nested too deeply in stream");
    ++FNesting;
    struct TLeave {
        int& Nesting;
        ~TLeave() { --Nesting; }
    } leave{FNesting};
    return cls.Load(*this);
}

void TFilter::WriteObject(const TStreamable& Obj) {
    // A class that inherits its parent's record would be read back as the parent: refuse
    // to write what cannot be read back as itself.
    const TStreamableClass& cls = Obj.ClassType();
    if (*cls.Type != typeid(Obj)) throw EStreamableError(NotRegistered(Obj.ClassName()));
    WriteString(*this, cls.Name);
    Obj.Store(*this);
}

std::unique_ptr<TStreamable> CloneStreamable(const TStreamable& Obj) {
    TMemoryStream memory;
    TFilter filter(&memory);
    filter.WriteObject(Obj);
    filter.Seek(0, soBeginning);
    return filter.ReadObject();
}

// ---------------------------------------------------------------------------------------
// The fixed encoding.

int32_t ReadInteger(TStream& Stream) {
    uint8_t b[4];
    Stream.ReadBuffer(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                uint32_t(b[3]) << 24);
}

void WriteInteger(TStream& Stream, int32_t Value) {
    const auto v = static_cast<uint32_t>(Value);
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Stream.WriteBuffer(b, 4);
}

std::string ReadString(TStream& Stream) {
    uint8_t length;
    Stream.ReadBuffer(&length, 1);
    std::string s(length, '\0');
    Stream.ReadBuffer(s.data(), length);
    return s;
}

void WriteString(TStream& Stream, std::string_view Value) {
    const auto length = static_cast<uint8_t>(std::min<size_t>(Value.size(), 255));
    Stream.WriteBuffer(&length, 1);
    Stream.WriteBuffer(Value.data(), length);
}

void ReadStrings(TStream& Stream, TStringList& List) {
    List.Clear();
    const int32_t count = ReadInteger(Stream);
    if (count < 0 || count > 0x7FFFFFF) throw EStreamError("Error reading TStrings from stream");
    for (int32_t i = 0; i < count; ++i)
        List.Add(ReadString(Stream));
}

void WriteStrings(TStream& Stream, const TStringList& List) {
    WriteInteger(Stream, List.Count());
    for (int i = 0; i < List.Count(); ++i)
        WriteString(Stream, List[i]);
}

} // namespace kolva
