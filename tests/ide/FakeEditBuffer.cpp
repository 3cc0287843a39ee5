#include "ide/FakeEditBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kolva::test {

namespace {

class TReader final : public TInterfacedObject, public IOTAEditReader {
public:
    explicit TReader(TFakeEditBuffer* Buffer) : FBuffer(Buffer) {}
    KOLVA_IMPLEMENT_REFCOUNT
    int GetText(int Position, char* Buffer, int Count) noexcept override {
        ++FBuffer->ReadRequests;
        if (FBuffer->WrongCount) return FBuffer->WrongCount;
        int length = static_cast<int>(FBuffer->Text.size());
        int count = std::clamp(length - Position, 0, Count);
        std::memcpy(Buffer, FBuffer->Text.data() + Position, count);
        return count;
    }

private:
    TIntf<TFakeEditBuffer> FBuffer;
};

/// Builds the new text as it goes and swaps it in when released.
class TWriter final : public TInterfacedObject, public IOTAEditWriter {
public:
    explicit TWriter(TFakeEditBuffer* Buffer) : FBuffer(Buffer) { ++Buffer->Writers; }
    ~TWriter() override { FBuffer->Text = FOut + FBuffer->Text.substr(FPos); }
    KOLVA_IMPLEMENT_REFCOUNT
    void CopyTo(int Pos) noexcept override {
        int to = std::min<int>(Pos, static_cast<int>(FBuffer->Text.size()));
        if (to > FPos) FOut += FBuffer->Text.substr(FPos, to - FPos);
        FPos = std::max(FPos, to);
    }
    void DeleteTo(int Pos) noexcept override {
        FPos = std::max(FPos, std::min<int>(Pos, static_cast<int>(FBuffer->Text.size())));
    }
    void Insert(const std::string& Text) noexcept override { FOut += Text; }
    int CurrentPos() noexcept override { return FPos; }

private:
    TIntf<TFakeEditBuffer> FBuffer;
    std::string FOut;
    int FPos = 0;
};

class TView final : public TInterfacedObject, public IOTAEditView {
public:
    explicit TView(TFakeEditBuffer* Buffer) : FBuffer(Buffer) {}
    KOLVA_IMPLEMENT_REFCOUNT
    TIntf<IOTAEditBuffer> GetBuffer() noexcept override { return FBuffer.Get(); }
    int CharPosToPos(TOTACharPos CharPos) noexcept override {
        return FBuffer->LineStart(CharPos.Line) + CharPos.CharIndex;
    }
    TOTAEditPos GetCursorPos() noexcept override { return FBuffer->Cursor; }
    void SetCursorPos(TOTAEditPos Pos) noexcept override { FBuffer->Cursor = Pos; }
    TOTAEditPos GetTopPos() noexcept override { return {1, FBuffer->TopLine}; }
    void SetTopPos(TOTAEditPos Pos) noexcept override { FBuffer->TopLine = Pos.Line; }
    TOTAViewSize GetViewSize() noexcept override { return {80, FBuffer->ViewRows}; }
    void Paint() noexcept override {}
    TIntf<IOTAEditWindow> GetEditWindow() noexcept override { return {}; }

private:
    TIntf<TFakeEditBuffer> FBuffer;
};

} // namespace

TIntf<IOTAEditView> TFakeEditBuffer::GetTopView() noexcept {
    return HasView ? TIntf<IOTAEditView>(new TView(this)) : TIntf<IOTAEditView>();
}

TIntf<IOTAEditReader> TFakeEditBuffer::CreateReader() noexcept {
    return new TReader(this);
}

TIntf<IOTAEditWriter> TFakeEditBuffer::CreateUndoableWriter() noexcept {
    return new TWriter(this);
}

int TFakeEditBuffer::LineStart(int Line) const {
    size_t pos = 0;
    for (int line = 1; line < Line; ++line) {
        pos = Text.find('\n', pos);
        if (pos == std::string::npos) return static_cast<int>(Text.size());
        ++pos;
    }
    return static_cast<int>(pos);
}

} // namespace kolva::test
