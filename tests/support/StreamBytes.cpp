#include "support/StreamBytes.h"

namespace kolva::test {

std::string Bytes(const TMemoryStream& Stream) {
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), size_t(Stream.Size()));
}

TMemoryStream StreamOf(const std::string& Bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
    stream.SetPosition(0);
    return stream;
}

std::string Stored(const TStreamable& Obj) {
    TMemoryStream stream;
    TFilter(&stream).WriteObject(Obj);
    return Bytes(stream);
}

std::unique_ptr<TStreamable> ReadBack(const std::string& Bytes) {
    TMemoryStream stream = StreamOf(Bytes);
    return TFilter(&stream).ReadObject();
}

std::string Str(std::string_view S) {
    return char(S.size()) + std::string(S);
}

std::string Int(int32_t V) {
    return {char(V), char(V >> 8), char(V >> 16), char(V >> 24)};
}

} // namespace kolva::test
