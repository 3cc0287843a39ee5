#include "model/BufTextF.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kolva {

namespace {

[[noreturn]] void IllegalOperation() {
    throw Exception("Illegal buffered text file operation");
}

[[noreturn]] void RaiseFileError(const char* What, std::string_view Name) {
    throw EInOutError(Format("%s \"%s\": %s", What, std::string(Name), std::strerror(errno)));
}

bool IsWritingMode(TTextStreamMode Mode) {
    return Mode == tmWrite || Mode == tmCreate || Mode == tmAppend;
}

} // namespace

TBufTextFile::TBufTextFile(std::string_view FileName, uint16_t BufferSize, TTextStreamMode Mode)
    : FFileName(FileName), FMode(Mode), FBufferSize(BufferSize) {
    if (BufferSize == 0 || (Mode != tmRead && !IsWritingMode(Mode))) IllegalOperation();
    const std::string native = NativePath(FileName);
    const int flags = O_CLOEXEC | (Mode == tmRead     ? O_RDONLY
                                   : Mode == tmCreate ? O_WRONLY | O_CREAT
                                                      : O_WRONLY);
    FHandle = open(native.c_str(), flags, 0666);
    if (FHandle < 0) RaiseFileError("Cannot open file", FileName);
    // Advisory locks stand in for share modes: readers share, a writer is alone. Taking the
    // lock before truncating keeps a refused opener from emptying someone else's file.
    if (flock(FHandle, (Mode == tmRead ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        close(FHandle);
        FHandle = -1;
        throw EInOutError(Format("Cannot open file \"%s\": the file is in use", FFileName));
    }
    try {
        if (Mode == tmAppend) {
            FStartPos = lseek(FHandle, 0, SEEK_END);
            if (FStartPos < 0) RaiseFileError("Cannot seek in file", FFileName);
        } else if (Mode != tmRead && ftruncate(FHandle, 0) != 0) {
            RaiseFileError("Cannot write file", FFileName);
        }
    } catch (...) {
        close(FHandle);
        throw;
    }
    FBufFilePos = FStartPos;
    FBuffer.reset(new char[BufferSize]);
}

TBufTextFile::~TBufTextFile() {
    if (FHandle < 0) return;
    if (IsWritingMode(FMode)) {
        try {
            Flush();
        } catch (...) {
        }
    }
    close(FHandle);
}

void TBufTextFile::Flush() {
    if (!IsWritingMode(FMode)) return;
    const char* data = FBuffer.get();
    size_t left = FBufEnd;
    while (left > 0) {
        const ssize_t n = ::write(FHandle, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) RaiseFileError("Cannot write file", FFileName);
        data += n;
        left -= size_t(n);
    }
    FBufFilePos += int64_t(FBufEnd);
    FBufEnd = 0;
}

bool TBufTextFile::Refill() {
    FBufFilePos += int64_t(FBufEnd);
    FBufPos = FBufEnd = 0;
    for (;;) {
        const ssize_t n = ::read(FHandle, FBuffer.get(), FBufferSize);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseFileError("Cannot read file", FFileName);
        FBufEnd = size_t(n);
        return n > 0;
    }
}

int TBufTextFile::PeekByte() {
    if (FBufPos >= FBufEnd && !Refill()) return -1;
    return static_cast<unsigned char>(FBuffer[FBufPos]);
}

bool TBufTextFile::EndOfStream() {
    if (FMode != tmRead) return true;
    return FBufPos >= FBufEnd && !Refill();
}

void TBufTextFile::ReadLineInto(std::string& Line) {
    if (EndOfStream()) IllegalOperation();
    Line.clear();
    for (;;) {
        if (FBufPos >= FBufEnd && !Refill()) break;
        const char* begin = FBuffer.get() + FBufPos;
        const char* end = FBuffer.get() + FBufEnd;
        const char* p = begin;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        Line.append(begin, size_t(p - begin));
        FBufPos += size_t(p - begin);
        if (p == end) continue;
        // The terminator and its partner, if it directly follows: CR LF and LF CR are one
        // line end each; the partner may sit in the next buffer load.
        const char partner = *p == '\r' ? '\n' : '\r';
        ++FBufPos;
        if (PeekByte() == static_cast<unsigned char>(partner)) ++FBufPos;
        break;
    }
    ++FLineCount;
}

void TBufTextFile::Reset() {
    FLineCount = 0;
    FBufPos = FBufEnd = 0;
    FBufFilePos = FStartPos;
    if (FMode != tmRead && ftruncate(FHandle, FStartPos) != 0)
        RaiseFileError("Cannot write file", FFileName);
    if (lseek(FHandle, FStartPos, SEEK_SET) < 0) RaiseFileError("Cannot seek in file", FFileName);
}

void TBufTextFile::CheckWriting() const {
    if (!IsWritingMode(FMode)) IllegalOperation();
}

void TBufTextFile::Put(std::string_view S) {
    while (!S.empty()) {
        const size_t n = std::min(S.size(), size_t(FBufferSize) - FBufEnd);
        std::memcpy(FBuffer.get() + FBufEnd, S.data(), n);
        FBufEnd += n;
        S.remove_prefix(n);
        if (FBufEnd == FBufferSize) Flush();
    }
}

void TBufTextFile::Write(std::string_view S) {
    CheckWriting();
    Put(S);
    ++FLineCount;
}

void TBufTextFile::WriteLine(std::string_view S) {
    CheckWriting();
    Put(S);
    Put("\r\n");
    ++FLineCount;
}

} // namespace kolva
