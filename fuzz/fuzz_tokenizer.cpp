// Arbitrary bytes, split into lines, through the tokenizer in every mode: comment text kept
// or not, tolerant or raising, raising at the end or not, with skip sets, marks taken at
// arbitrary points, and the parameter signature of the whole input. Besides crashes and
// sanitizer reports it checks what must always hold: single-line tokens are views of the
// current line at their column, a mark over the whole input holds every non-blank character
// of it, and the list and stream line sources agree token for token.
#include "model/TextStrm.h"
#include "model/Tokenizers.h"
#include "platform/StringList.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

std::string NonBlank(std::string_view S) {
    std::string out;
    for (char c : S)
        if (static_cast<unsigned char>(c) > 32) out += c;
    return out;
}

bool IsNormalized(std::string_view S) {
    if (S.empty()) return true;
    if (static_cast<unsigned char>(S.front()) <= 32 || static_cast<unsigned char>(S.back()) <= 32)
        return false;
    return S.find('\r') == std::string_view::npos && S.find('\n') == std::string_view::npos;
}

struct TToken {
    TTokenKind Kind;
    std::string Text;
    int Line, Column;
    bool operator==(const TToken&) const = default;
};

// Runs one tokenizer to the end and returns what it saw. Flags: bit 0 keep comment text,
// 1 tolerant, 2 raise at end, 3 mark the whole input; Skip is the skip set; MarkEvery > 0
// starts and ends marks every so many tokens.
std::vector<TToken> Run(TPascalTokenizer& T, uint8_t Flags, TTokenKinds Skip, int MarkEvery,
                        std::string_view Source) {
    T.SetKeepCommentText(Flags & 1);
    T.SetTolerant(Flags & 2);
    T.SetRaiseAtEnd(Flags & 4);
    T.SetSkipSet(Skip);
    const bool wholeMark = Flags & 8;
    if (wholeMark) T.StartMark();
    std::vector<TToken> seen;
    const size_t limit = Source.size() + 1;
    for (;;) {
        TTokenKind kind;
        try {
            kind = T.NextToken();
        } catch (const ENoMoreTokens&) {
            Check(Flags & 4);
            break;
        } catch (const ETokenError&) {
            Check(!(Flags & 2));
            seen.push_back({tkError, "", T.TokenLine(), T.TokenColumn()});
            Check(seen.size() <= limit);
            continue;
        }
        if (kind == tkNone) {
            Check(!(Flags & 4));
            break;
        }
        Check(!Skip.Contains(kind));
        const std::string_view text = T.TokenText();
        Check(kind == tkError ? text.empty() : !text.empty());
        if (kind == tkWord || kind == tkSymbol || kind == tkString) {
            const std::string_view line = T.CurrentLine();
            Check(text.data() == line.data() + T.TokenColumn() - 1);
            Check(T.Column() == T.TokenColumn() + int(text.size()));
        }
        seen.push_back({kind, std::string(text), T.TokenLine(), T.TokenColumn()});
        Check(seen.size() <= limit);
        if (!wholeMark && MarkEvery > 0 && seen.size() % size_t(MarkEvery) == 0) {
            if (T.Marking())
                Check(IsNormalized(T.GetMarkedText(seen.size() % 3 == 0)));
            else
                T.StartMark();
        }
    }
    if (wholeMark) Check(NonBlank(T.GetMark()) == NonBlank(Source));
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 3) return 0;
    const uint8_t flags = Data[0];
    const TTokenKinds skip = TTokenKinds::FromBits(Data[1] & 0x7E); // never tkNone
    const int markEvery = Data[2] & 7;
    const std::string_view source(reinterpret_cast<const char*>(Data + 3), Size - 3);

    TStringList lines;
    lines.SetText(source);
    TStringsTokenizer listed(lines);
    const std::vector<TToken> fromList = Run(listed, flags, skip, markEvery, source);

    TStringList copy = lines;
    TStringsText stream(copy);
    TTextStreamTokenizer streamed(stream);
    Check(Run(streamed, flags, skip, markEvery, source) == fromList);

    try {
        const std::string signature = ParamSignature(source);
        Check(!signature.empty() && signature[0] == '+');
    } catch (const EAbort&) {
    } catch (const ETokenError&) {
    }
    Check(IsNormalized(NormalizeMarkedText(source)));
    const std::string compact = CompactWhiteSpace(source);
    Check(NonBlank(compact) == NonBlank(source));
    return 0;
}
