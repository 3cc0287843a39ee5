#include "platform/Clipboard.h"

namespace kolva {

namespace {

class TMemoryClipboard : public IClipboard {
public:
    bool HasText() const override { return FHasText; }
    std::string GetText() const override { return FText; }
    void SetText(std::string_view Text) override {
        FText.assign(Text);
        FHasText = true;
    }
    void Clear() override {
        FText.clear();
        FHasText = false;
    }

private:
    std::string FText;
    bool FHasText = false;
};

TMemoryClipboard& MemoryClipboard() {
    static TMemoryClipboard clipboard;
    return clipboard;
}

IClipboard*& Installed() {
    static IClipboard* service = nullptr;
    return service;
}

} // namespace

IClipboard& Clipboard() {
    IClipboard* service = Installed();
    return service ? *service : MemoryClipboard();
}

IClipboard* SetClipboard(IClipboard* Service) {
    IClipboard* previous = &Clipboard();
    Installed() = Service;
    return previous;
}

} // namespace kolva
