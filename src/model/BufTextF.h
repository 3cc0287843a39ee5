// A text stream over a file with a buffer of fixed size, for reading source files line by
// line and writing generated text. Reading accepts CR LF, LF, CR and LF CR line ends;
// writing ends every line with CR LF. The file stays open, and shared only as its mode
// allows, from creation to destruction.
#pragma once

#include "model/TextStrm.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kolva {

class TBufTextFile : public TTextStream {
public:
    /// Opens FileName (a Windows, native or relative path): tmRead for reading, shared with
    /// other readers only; tmWrite an existing file, emptied; tmCreate a new or emptied
    /// file; tmAppend an existing file at its end. Writing modes allow no other opener.
    /// Raises Exception "Illegal buffered text file operation" for tmReadWrite or a buffer
    /// size of 0, EInOutError when the file cannot be opened or is in use.
    TBufTextFile(std::string_view FileName, uint16_t BufferSize, TTextStreamMode Mode);
    /// Flushes what is buffered; a failure here goes unreported, so call Flush first
    /// where it matters.
    ~TBufTextFile() override;
    TBufTextFile(const TBufTextFile&) = delete;
    TBufTextFile& operator=(const TBufTextFile&) = delete;

    /// Lines read, or lines and partial lines written, since opening or the last reset.
    int LineNumber() override { return FLineCount; }
    /// Always true in writing modes.
    bool EndOfStream() override;
    /// Raises Exception "Illegal buffered text file operation" in a writing mode or at end.
    void ReadLineInto(std::string& Line) override;
    /// Back to the state just after opening: reading starts again at the first line;
    /// writing drops what this stream wrote.
    void Reset() override;
    /// Raise Exception "Illegal buffered text file operation" in tmRead.
    void Write(std::string_view S) override;
    void WriteLine(std::string_view S) override;

    /// Writes the buffer out; raises EInOutError on failure.
    void Flush();

private:
    bool Refill();
    /// The next byte without consuming it, or -1 at the end of the file.
    int PeekByte();
    void Put(std::string_view S);
    void CheckWriting() const;

    std::string FFileName;
    int FHandle = -1;
    int FLineCount = 0;
    TTextStreamMode FMode;
    std::unique_ptr<char[]> FBuffer;
    uint16_t FBufferSize;
    size_t FBufPos = 0;
    size_t FBufEnd = 0;
    int64_t FBufFilePos = 0;
    /// Where writing starts: 0, or the end of the file for tmAppend.
    int64_t FStartPos = 0;
};

} // namespace kolva
