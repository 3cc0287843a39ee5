#include "platform/FormFile.h"

#include "platform/Files.h"

#include <algorithm>

namespace kolva {

namespace {

bool IsIdentStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}
bool IsIdentChar(char C) {
    return IsIdentStart(C) || (C >= '0' && C <= '9');
}
bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}
bool IsHexDigit(char C) {
    return IsDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f');
}
bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ' && C != '\0';
}
bool IsBlankText(std::string_view S) {
    return std::all_of(S.begin(), S.end(), IsBlank);
}

// The last dotted part begins with "On": "OnClick", "EditLabel.OnClick".
bool IsEventProperty(std::string_view Property) {
    const size_t dot = Property.rfind('.');
    const std::string_view last =
        dot == std::string_view::npos ? Property : Property.substr(dot + 1);
    return last.size() > 2 && SameText(last.substr(0, 2), "On");
}

// Values that are identifiers but never name a method.
bool IsConstantWord(std::string_view Value) {
    return SameText(Value, "True") || SameText(Value, "False") || SameText(Value, "nil");
}

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

} // namespace

EFormFileError::EFormFileError(std::string_view What, int Line)
    : Exception(Format("%s on line %d", What, Line)), FLine(Line) {}

// ---------------------------------------------------------------------------------------
// Reading

// Tokens never span lines, except binary data, which the parser asks for explicitly. The
// grammar is read without recursion, from a stack of open blocks, so that no nesting of
// objects, lists or collections can exhaust the machine's stack.
class TFormFile::TReader {
public:
    explicit TReader(TFormFile& Form) : FForm(Form), FLines(Form.FLines) {
        if (!FLines.empty() && FLines[0].starts_with(Utf8Bom)) FColumn = 3;
        Next();
    }

    void Run();

private:
    enum TKind : uint8_t { tEnd, tIdent, tNumber, tString, tSymbol };
    enum TBlock : uint8_t { bObject, bItem, bList, bCollection };
    struct TFrame {
        TBlock Block;
        int Object;
        bool ChildrenBegun = false;
    };

    [[noreturn]] void Error(std::string_view What) const {
        throw EFormFileError(What, FTokenAt.Line + 1);
    }
    void Next();
    void ReadString(const std::string& Line);
    void SkipBinary();
    bool IsSymbol(char C) const { return FKind == tSymbol && FText.size() == 1 && FText[0] == C; }
    bool IsWord(std::string_view Word) const { return FKind == tIdent && SameText(FText, Word); }
    bool IsHeaderWord() const {
        return IsWord("object") || IsWord("inherited") || IsWord("inline");
    }
    void Expect(char C) {
        if (!IsSymbol(C)) Error(Format("'%s' expected", C));
        Next();
    }
    std::string ExpectIdent() {
        if (FKind != tIdent) Error("Identifier expected");
        std::string text(FText);
        Next();
        return text;
    }
    void ReadHeader(int Parent);
    void ReadOrder();
    void ReadProperty(int Object);
    void ReadValue(int Object, const TFormBinding* Property);
    void CloseObject();

    TFormFile& FForm;
    const std::vector<std::string>& FLines;
    int FLine = 0;
    int FColumn = 0;
    TKind FKind = tEnd;
    std::string_view FText;
    TFormPlace FTokenAt;
    TFormPlace FTokenEnd;
    /// Behind the token read before the current one.
    TFormPlace FLastEnd;
    std::vector<TFrame> FStack;
};

void TFormFile::TReader::Next() {
    FLastEnd = FTokenEnd;
    while (FLine < static_cast<int>(FLines.size())) {
        const std::string& line = FLines[FLine];
        while (FColumn < static_cast<int>(line.size()) && IsBlank(line[FColumn]))
            ++FColumn;
        if (FColumn >= static_cast<int>(line.size())) {
            ++FLine;
            FColumn = 0;
            continue;
        }
        FTokenAt = {FLine, FColumn};
        const int start = FColumn;
        const char c = line[start];
        const size_t n = line.size();
        size_t p = start;
        if (IsIdentStart(c)) {
            while (p < n && IsIdentChar(line[p]))
                ++p;
            FKind = tIdent;
        } else if (IsDigit(c) || (c == '-' && p + 1 < n && IsDigit(line[p + 1]))) {
            // As the component library reads numbers: digits, then anything that may continue
            // a real number, then an optional type suffix (currency, date, single).
            ++p;
            while (p < n && (IsDigit(line[p]) || line[p] == '.' || line[p] == 'e' ||
                             line[p] == 'E' || line[p] == '+' || line[p] == '-'))
                ++p;
            if (p < n && std::string_view("cCdDsS").find(line[p]) != std::string_view::npos) ++p;
            FKind = tNumber;
        } else if (c == '$' && p + 1 < n && IsHexDigit(line[p + 1])) {
            ++p;
            while (p < n && IsHexDigit(line[p]))
                ++p;
            FKind = tNumber;
        } else if (c == '\'' || c == '#') {
            ReadString(line);
            return;
        } else {
            p = start + 1;
            FKind = tSymbol;
        }
        FText = std::string_view(line).substr(start, p - start);
        FColumn = static_cast<int>(p);
        FTokenEnd = {FLine, FColumn};
        return;
    }
    FKind = tEnd;
    FText = {};
    FTokenAt = FTokenEnd = {std::max(static_cast<int>(FLines.size()) - 1, 0), 0};
}

// Quoted pieces and #codes written together make one string; a quote doubles itself.
void TFormFile::TReader::ReadString(const std::string& Line) {
    const size_t n = Line.size();
    size_t p = FColumn;
    while (p < n && (Line[p] == '\'' || Line[p] == '#')) {
        if (Line[p] == '#') {
            ++p;
            size_t digits = 0;
            if (p < n && Line[p] == '$') {
                ++p;
                while (p < n && IsHexDigit(Line[p]))
                    ++p, ++digits;
            } else {
                while (p < n && IsDigit(Line[p]))
                    ++p, ++digits;
            }
            if (digits == 0) Error("Invalid string constant");
            continue;
        }
        for (++p;; ++p) {
            if (p >= n) Error("Invalid string constant");
            if (Line[p] != '\'') continue;
            if (p + 1 < n && Line[p + 1] == '\'') {
                ++p;
                continue;
            }
            ++p;
            break;
        }
    }
    FKind = tString;
    FText = std::string_view(Line).substr(FColumn, p - FColumn);
    FColumn = static_cast<int>(p);
    FTokenEnd = {FLine, FColumn};
}

// Called on "{": pairs of hex digits, blanks and line breaks anywhere, up to "}".
void TFormFile::TReader::SkipBinary() {
    size_t digits = 0;
    int line = FLine;
    size_t p = FColumn;
    for (;;) {
        if (line >= static_cast<int>(FLines.size())) {
            FTokenAt = {line - 1, 0};
            Error("Invalid binary value");
        }
        const std::string& text = FLines[line];
        while (p < text.size() && (IsHexDigit(text[p]) || IsBlank(text[p]))) {
            if (IsHexDigit(text[p])) ++digits;
            ++p;
        }
        if (p < text.size()) {
            if (text[p] != '}' || digits % 2 != 0) {
                FTokenAt = {line, static_cast<int>(p)};
                Error("Invalid binary value");
            }
            FLine = line;
            FColumn = static_cast<int>(p) + 1;
            Next();
            return;
        }
        ++line;
        p = 0;
    }
}

void TFormFile::TReader::Run() {
    if (!IsHeaderWord()) Error("'object' expected");
    ReadHeader(-1);
    while (!FStack.empty()) {
        TFrame& frame = FStack.back();
        if (FKind == tEnd)
            Error(frame.Block == bList         ? "')' expected"
                  : frame.Block == bCollection ? "'>' expected"
                                               : "'end' expected");
        switch (frame.Block) {
        case bObject:
            if (IsWord("end")) {
                CloseObject();
            } else if (IsHeaderWord()) {
                frame.ChildrenBegun = true;
                ReadHeader(frame.Object);
            } else if (frame.ChildrenBegun) {
                Error("'end' expected");
            } else {
                ReadProperty(frame.Object);
            }
            break;
        case bItem:
            if (IsWord("end")) {
                FStack.pop_back();
                Next();
            } else {
                ReadProperty(frame.Object);
            }
            break;
        case bList:
            if (IsSymbol(')')) {
                FStack.pop_back();
                Next();
            } else {
                ReadValue(frame.Object, nullptr);
            }
            break;
        case bCollection:
            if (IsSymbol('>')) {
                FStack.pop_back();
                Next();
            } else {
                if (!IsWord("item")) Error("'item' expected");
                const int object = frame.Object;
                Next();
                ReadOrder();
                FStack.push_back({bItem, object});
            }
            break;
        }
    }
    if (FKind != tEnd) Error("End of file expected");
}

void TFormFile::TReader::ReadHeader(int Parent) {
    TFormObject object;
    object.Kind = IsWord("inherited") ? okInherited : IsWord("inline") ? okInline : okObject;
    object.Start = FTokenAt;
    object.StartLine = FTokenAt.Line;
    Next();
    object.ClassAt = FTokenAt;
    object.ClassName = ExpectIdent();
    if (IsSymbol(':')) {
        Next();
        object.Name = std::move(object.ClassName);
        object.NameAt = object.ClassAt;
        object.ClassAt = FTokenAt;
        object.ClassName = ExpectIdent();
    }
    ReadOrder();
    std::vector<TFormObject>& objects = FForm.FObjects;
    object.Parent = Parent;
    if (Parent >= 0) {
        const TFormObject& parent = objects[Parent];
        object.Depth = parent.Depth + 1;
        object.Owner = parent.Parent < 0 || parent.Kind == okInline ? Parent : parent.Owner;
    }
    objects.push_back(std::move(object));
    FStack.push_back({bObject, static_cast<int>(objects.size()) - 1});
}

// "[n]": the creation order of an inherited component.
void TFormFile::TReader::ReadOrder() {
    if (!IsSymbol('[')) return;
    Next();
    if (FKind != tNumber) Error("Number expected");
    Next();
    Expect(']');
}

void TFormFile::TReader::CloseObject() {
    TFormObject& object = FForm.FObjects[FStack.back().Object];
    object.EndLine = FTokenAt.Line;
    object.End = FTokenEnd;
    FStack.pop_back();
    Next();
}

void TFormFile::TReader::ReadProperty(int Object) {
    TFormBinding property;
    property.Object = Object;
    property.Start = FTokenAt;
    property.Property = ExpectIdent();
    while (IsSymbol('.')) {
        Next();
        property.Property += '.';
        property.Property += ExpectIdent();
    }
    Expect('=');
    ReadValue(Object, &property);
}

// Property is the property whose value this is; null for a value inside a list.
void TFormFile::TReader::ReadValue(int Object, const TFormBinding* Property) {
    switch (FKind) {
    case tNumber:
        Next();
        return;
    case tString:
        Next();
        while (IsSymbol('+')) {
            Next();
            if (FKind != tString) Error("String expected");
            Next();
        }
        return;
    case tIdent: {
        const TFormPlace at = FTokenAt;
        std::string value = ExpectIdent();
        bool dotted = false;
        while (IsSymbol('.')) {
            Next();
            value += '.';
            value += ExpectIdent();
            dotted = true;
        }
        if (!Property) return;
        TFormBinding binding = *Property;
        binding.Value = std::move(value);
        binding.Line = at.Line;
        binding.ValueAt = at;
        binding.End = FLastEnd;
        const bool event =
            !dotted && IsEventProperty(binding.Property) && !IsConstantWord(binding.Value);
        (event ? FForm.FEvents : FForm.FReferences).push_back(std::move(binding));
        return;
    }
    case tEnd:
        Error("Invalid property value");
    case tSymbol:
        break;
    }
    if (IsSymbol('(')) {
        Next();
        FStack.push_back({bList, Object});
    } else if (IsSymbol('<')) {
        Next();
        FStack.push_back({bCollection, Object});
    } else if (IsSymbol('[')) {
        Next();
        if (IsSymbol(']')) {
            Next();
            return;
        }
        for (;;) {
            if (FKind != tIdent && FKind != tNumber) Error("Identifier expected");
            Next();
            if (IsSymbol(']')) break;
            Expect(',');
        }
        Next();
    } else if (IsSymbol('{')) {
        SkipBinary();
    } else {
        Error("Invalid property value");
    }
}

// ---------------------------------------------------------------------------------------
// The file

TFormFile::TFormFile(std::string_view Text) {
    SetText(Text);
}

TFormFile TFormFile::LoadFromFile(std::string_view FileName) {
    return Load(ReadFileText(FileName), FileName);
}

TFormFile TFormFile::Load(std::string_view Text, std::string_view FileName) {
    try {
        return TFormFile(Text);
    } catch (EFormFileError& E) {
        E.SetMessage(std::string(FileName) + ": " + E.Message());
        throw;
    }
}

void TFormFile::SaveToFile(std::string_view FileName) {
    WriteFileText(FileName, Text());
    FModified = false;
}

void TFormFile::SetText(std::string_view Text) {
    TFormFile read;
    read.Split(Text);
    read.Parse();
    *this = std::move(read);
}

// Each line keeps its own line break, so that text with mixed breaks, or without a final
// one, is written back as it was read.
void TFormFile::Split(std::string_view Text) {
    FLines.clear();
    FBreaks.clear();
    size_t start = 0;
    while (start < Text.size()) {
        const size_t at = Text.find_first_of("\r\n", start);
        if (at == std::string_view::npos) {
            FLines.emplace_back(Text.substr(start));
            FBreaks.emplace_back();
            break;
        }
        const size_t length =
            Text[at] == '\r' && at + 1 < Text.size() && Text[at + 1] == '\n' ? 2 : 1;
        FLines.emplace_back(Text.substr(start, at - start));
        FBreaks.emplace_back(Text.substr(at, length));
        start = at + length;
    }
}

void TFormFile::Parse() {
    FObjects.clear();
    FEvents.clear();
    FReferences.clear();
    TReader(*this).Run();
}

std::string TFormFile::Text() const {
    std::string text;
    for (size_t i = 0; i < FLines.size(); ++i) {
        text += FLines[i];
        text += FBreaks[i];
    }
    return text;
}

int TFormFile::IndexOf(std::string_view Name) const {
    if (Name.empty()) return -1;
    for (size_t i = 0; i < FObjects.size(); ++i)
        if (SameText(FObjects[i].Name, Name)) return static_cast<int>(i);
    return -1;
}

int TFormFile::IndexOfComponent(std::string_view Name) const {
    if (Name.empty()) return -1;
    for (size_t i = 1; i < FObjects.size(); ++i)
        if (FObjects[i].Owner == 0 && SameText(FObjects[i].Name, Name)) return static_cast<int>(i);
    return -1;
}

int TFormFile::BlockEnd(int Index) const {
    const int depth = FObjects.at(Index).Depth;
    int end = Index + 1;
    while (end < static_cast<int>(FObjects.size()) && FObjects[end].Depth > depth)
        ++end;
    return end;
}

namespace {

// The first part of a dotted value, which is what names a component of this form.
std::string_view FirstPart(std::string_view Value) {
    return Value.substr(0, Value.find('.'));
}

TFormPlace Behind(TFormPlace At, std::string_view Text) {
    return {At.Line, At.Column + static_cast<int>(Text.size())};
}

std::string TrimBlanksLeft(std::string_view S) {
    size_t i = 0;
    while (i < S.size() && IsBlank(S[i]))
        ++i;
    return std::string(S.substr(i));
}

std::string TrimBlanksRight(std::string_view S) {
    size_t n = S.size();
    while (n > 0 && IsBlank(S[n - 1]))
        --n;
    return std::string(S.substr(0, n));
}

} // namespace

void TFormFile::RenameObject(int Index, std::string_view NewName) {
    if (!IsValidIdent(NewName))
        throw Exception(Format("'%s' is not a valid component name", NewName));
    const TFormObject& object = FObjects.at(Index);
    if (object.Name.empty()) return;
    std::vector<TReplacement> edits{
        {object.NameAt, Behind(object.NameAt, object.Name), std::string(NewName)}};
    for (const TFormBinding& reference : FReferences) {
        const std::string_view first = FirstPart(reference.Value);
        if (SameText(first, object.Name))
            edits.push_back(
                {reference.ValueAt, Behind(reference.ValueAt, first), std::string(NewName)});
    }
    Apply(std::move(edits));
}

void TFormFile::SetClassName(int Index, std::string_view NewClassName) {
    if (!IsValidIdent(NewClassName))
        throw Exception(Format("'%s' is not a valid identifier", NewClassName));
    const TFormObject& object = FObjects.at(Index);
    Apply({{object.ClassAt, Behind(object.ClassAt, object.ClassName), std::string(NewClassName)}});
}

void TFormFile::DeleteObject(int Index) {
    if (Index <= 0 || Index >= static_cast<int>(FObjects.size()))
        throw EListError(Format("List index out of bounds (%d)", Index));
    const TFormObject& object = FObjects[Index];
    const int end = BlockEnd(Index);
    std::vector<TReplacement> edits{{object.Start, object.End, std::string()}};
    for (const TFormBinding& reference : FReferences) {
        if (reference.Start >= object.Start && reference.Start < object.End) continue;
        const std::string_view first = FirstPart(reference.Value);
        for (int i = Index; i < end; ++i)
            if (!FObjects[i].Name.empty() && SameText(first, FObjects[i].Name)) {
                edits.push_back({reference.Start, reference.End, std::string()});
                break;
            }
    }
    Apply(std::move(edits));
}

int TFormFile::RenameHandler(std::string_view OldName, std::string_view NewName) {
    if (!IsValidIdent(NewName)) throw Exception(Format("'%s' is not a valid identifier", NewName));
    std::vector<TReplacement> edits;
    for (const TFormBinding& event : FEvents)
        if (SameText(event.Value, OldName))
            edits.push_back({event.ValueAt, event.End, std::string(NewName)});
    const int count = static_cast<int>(edits.size());
    if (count > 0) Apply(std::move(edits));
    return count;
}

int TFormFile::UnbindHandler(std::string_view Name) {
    std::vector<TReplacement> edits;
    for (const TFormBinding& event : FEvents)
        if (SameText(event.Value, Name)) edits.push_back({event.Start, event.End, std::string()});
    const int count = static_cast<int>(edits.size());
    if (count > 0) Apply(std::move(edits));
    return count;
}

// From the bottom up, so that the places of the edits still to come stay valid. A deletion
// that leaves nothing but blanks on its lines takes the lines out; otherwise what stood
// before and after it is joined, with a blank between two words.
void TFormFile::Apply(std::vector<TReplacement> Edits) {
    std::sort(Edits.begin(), Edits.end(),
              [](const TReplacement& A, const TReplacement& B) { return A.From > B.From; });
    TFormFile edited;
    edited.FLines = FLines;
    edited.FBreaks = FBreaks;
    std::vector<std::string>& lines = edited.FLines;
    std::vector<std::string>& breaks = edited.FBreaks;
    for (const TReplacement& edit : Edits) {
        const int first = edit.From.Line;
        const int last = edit.To.Line;
        const std::string prefix = lines[first].substr(0, edit.From.Column);
        const std::string suffix = lines[last].substr(edit.To.Column);
        const std::string lineBreak = breaks[last];
        std::string joined;
        if (!edit.Text.empty())
            joined = prefix + edit.Text + suffix;
        else if (IsBlankText(prefix) && IsBlankText(suffix)) {
            lines.erase(lines.begin() + first, lines.begin() + last + 1);
            breaks.erase(breaks.begin() + first, breaks.begin() + last + 1);
            continue;
        } else if (IsBlankText(prefix))
            joined = prefix + TrimBlanksLeft(suffix);
        else if (IsBlankText(suffix))
            joined = TrimBlanksRight(prefix);
        else
            joined = TrimBlanksRight(prefix) + " " + TrimBlanksLeft(suffix);
        lines[first] = std::move(joined);
        breaks[first] = lineBreak;
        lines.erase(lines.begin() + first + 1, lines.begin() + last + 1);
        breaks.erase(breaks.begin() + first + 1, breaks.begin() + last + 1);
    }
    edited.Parse();
    edited.FModified = true;
    *this = std::move(edited);
}

} // namespace kolva
