// Byte streams as the component library has them: an abstract `TStream` whose
// `Read`/`Write` move as many bytes as they can and report how many, the exact-count
// `ReadBuffer`/`WriteBuffer` that turn a short transfer into an error, and `TMemoryStream`,
// a stream over a growable block of memory.
#pragma once

#include "platform/System.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <vector>

namespace kolva {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class EStreamError : public Exception {
    using Exception::Exception;
};
class EFilerError : public EStreamError {
    using EStreamError::EStreamError;
};
/// Raised by `ReadBuffer` with "Stream read error".
class EReadError : public EFilerError {
    using EFilerError::EFilerError;
};
/// Raised by `WriteBuffer` with "Stream write error".
class EWriteError : public EFilerError {
    using EFilerError::EFilerError;
};

class TStream : public TObject {
public:
    /// Moves up to Count bytes into Buffer; returns how many moved (0 at the end).
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    /// Moves up to Count bytes from Buffer; returns how many moved.
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    /// Moves the position; returns the new position.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
    /// The base cannot change its size and ignores the request.
    virtual void SetSize(int64_t NewSize);

    /// Reads exactly Count bytes or raises EReadError.
    void ReadBuffer(void* Buffer, int32_t Count);
    /// Writes exactly Count bytes or raises EWriteError.
    void WriteBuffer(const void* Buffer, int32_t Count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    int64_t Size();
};

/// A stream over memory that grows as it is written. The position may be set beyond the
/// end; reading there gives nothing, writing there fills the gap with zero bytes.
class TMemoryStream : public TStream {
public:
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    /// Truncates or zero-extends; the position is kept unless it lies beyond the new end.
    void SetSize(int64_t NewSize) override;

    void Clear();
    const uint8_t* Memory() const { return FData.data(); }
    int64_t Size() const { return static_cast<int64_t>(FData.size()); }

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

} // namespace kolva
