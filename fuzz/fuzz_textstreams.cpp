// Arbitrary bytes through the line streams that take outside text: the wrap filter (every
// width, indent and quote mode) must end, lose no character and keep every piece but the
// last within the width when it broke the line; the buffered file must split lines exactly
// as CR, LF, CR LF and LF CR say, whatever its buffer size; the word scanner must return
// words that lie inside the text.
#include "model/BufTextF.h"
#include "model/TextStrm.h"
#include "model/WordScanners.h"
#include "platform/StringList.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

std::string NonBlank(std::string_view S) {
    std::string out;
    for (char c : S)
        if (c != ' ') out += c;
    return out;
}

void FuzzWrap(std::string_view Line, int Width, int Indent, bool IgnoreQuotes) {
    TStringList pieces;
    TStringsText target(pieces);
    TWrapFilter filter(&target, false, Width, Indent);
    filter.SetIgnoreQuotes(IgnoreQuotes);
    filter.WriteLine(Line);
    std::string joined;
    for (int i = 0; i < pieces.Count(); ++i)
        joined += pieces[i];
    Check(NonBlank(joined) == NonBlank(Line));
    if (pieces.Count() > 1)
        for (int i = 0; i + 1 < pieces.Count(); ++i)
            Check(int(pieces[i].size()) <= filter.MaxWidth());
}

// The lines a reader of CR, LF, CR LF and LF CR line ends must see.
std::vector<std::string> ExpectedLines(std::string_view Text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < Text.size()) {
        std::string line;
        while (i < Text.size() && Text[i] != '\r' && Text[i] != '\n')
            line += Text[i++];
        if (i < Text.size()) {
            const char partner = Text[i] == '\r' ? '\n' : '\r';
            ++i;
            if (i < Text.size() && Text[i] == partner) ++i;
        }
        lines.push_back(line);
    }
    return lines;
}

void FuzzBufferedFile(std::string_view Text, uint16_t BufferSize) {
    static const std::string path = "/tmp/fuzz_textstreams." + std::to_string(getpid());
    {
        TBufTextFile out(path, 4096, tmCreate);
        out.Write(Text);
    }
    {
        TBufTextFile in(path, BufferSize, tmRead);
        std::vector<std::string> lines;
        while (!in.EndOfStream())
            lines.push_back(in.ReadLine());
        Check(lines == ExpectedLines(Text));
        Check(in.LineNumber() == int(lines.size()));
    }
    unlink(path.c_str());
}

void FuzzWordScanner(std::string_view Text, char Quote) {
    TWordScanner scanner(",; ");
    scanner.SetQuoteChar(Quote);
    const int count = scanner.Scan(Text);
    for (int i = 0; i < count; ++i) {
        const std::string_view word = scanner.Words(i);
        Check(!word.empty());
        Check(size_t(scanner.WordStart(i)) + word.size() <= Text.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 4) return 0;
    const int width = Data[0] % 120;
    const int indent = int(Data[1] % 64) - 4;
    const bool ignoreQuotes = Data[2] & 1;
    const uint16_t bufferSize = uint16_t(1 + Data[3] % 16);
    const std::string_view text(reinterpret_cast<const char*>(Data + 4), Size - 4);

    FuzzWrap(text, width, indent, ignoreQuotes);
    FuzzBufferedFile(text, bufferSize);
    FuzzWordScanner(text, char(Data[2]));
    return 0;
}
