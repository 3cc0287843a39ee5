#include "platform/Clipboard.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

class TRecordingClipboard : public IClipboard {
public:
    bool HasText() const override { return !Text.empty(); }
    std::string GetText() const override { return Text; }
    void SetText(std::string_view S) override { Text = S; }
    void Clear() override { Text.clear(); }
    std::string Text;
};

TEST(ClipboardTest, InMemoryUntilReplaced) {
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasText());
    Clipboard().SetText("");
    EXPECT_TRUE(Clipboard().HasText()); // empty text is text
    Clipboard().SetText("mem");

    TRecordingClipboard desktop;
    IClipboard* previous = SetClipboard(&desktop);
    Clipboard().SetText("desk");
    EXPECT_EQ(desktop.Text, "desk");
    EXPECT_EQ(previous->GetText(), "mem");

    EXPECT_EQ(SetClipboard(nullptr), &desktop);
    EXPECT_EQ(Clipboard().GetText(), "mem");
    Clipboard().Clear();
}

} // namespace
} // namespace kolva
