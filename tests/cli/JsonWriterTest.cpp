// What a string becomes in the command line's JSON: a literal any JSON reader takes back.
#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

namespace kolva::cli {
namespace {

TEST(JsonWriter, StringsAreEscaped) {
    const std::pair<std::string_view, const char*> cases[] = {
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\Units\\A.pas", R"("C:\\Units\\A.pas")"},
        {"a\nb\rc\td", R"("a\nb\rc\td")"},
        {std::string_view("\0\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
        {"caf\xC3\xA9", R"("caf\u00c3\u00a9")"}, // bytes, read as Latin-1
    };
    for (const auto& [text, literal] : cases) {
        TJsonWriter writer;
        writer.String(text);
        EXPECT_EQ(writer.Text(), literal);
    }
    TJsonWriter writer;
    writer.BeginObject();
    writer.Key("\"k\\");
    writer.String("\x02");
    writer.EndObject();
    EXPECT_EQ(writer.Text(), "{\"\\\"k\\\\\":\"\\u0002\"}");
}

} // namespace
} // namespace kolva::cli
