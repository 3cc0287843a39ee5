#include "platform/RegHive.h"

#include <map>
#include <random>

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Root = "HKEY_CURRENT_USER";

std::string Rewrite(std::string_view Text) {
    return WriteHive(ReadHive(Text, Root, "user.reg"));
}

// Lines joined with CR LF, each one ended, so that expected files read like files.
std::string Lines(std::initializer_list<std::string_view> List, std::string_view LB = "\r\n") {
    std::string text;
    for (std::string_view line : List)
        (text += line) += LB;
    return text;
}

// A file as the registry editor writes it comes back byte for byte, whatever it holds.
TEST(RegHive, RegeditFileRoundTripsExactly) {
    const std::string file = Lines({
        "REGEDIT4",
        "",
        "[HKEY_CURRENT_USER]",
        "@=\"root default\"",
        "",
        "[HKEY_CURRENT_USER\\Software]",
        "",
        "[HKEY_CURRENT_USER\\Software\\Fernwright]",
        "",
        "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva]",
        "",
        "; settings of the add-in",
        "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva\\1.0]",
        "@=\"default\"",
        "\"InstallDir\"=\"C:\\\\Program Files\\\\Fernwright\\\\Kolva\\\\1.0\"",
        "\"Quoted\"=\"say \\\"hi\\\"\"",
        "\"Lines\"=\"one\\r\\ntwo\\0three\"",
        "; the answer",
        "\"Answer\"=dword:0000002a",
        "\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\",
        "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\",
        "  2f,30,31",
        "\"Path\"=hex(2):25,50,41,54,48,25,00",
        "\"List\"=hex(7):61,00,62,00,00",
        "\"Qword\"=hex(b):01,00,00,00,00,00,00,00",
        "\"Empty\"=hex:",
        "\"Nothing\"=hex(0):",
        "",
        "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva\\1.0\\Empty key]",
        "",
        "; end",
    });
    EXPECT_EQ(Rewrite(file), file);
}

struct TRewriteCase {
    const char* What;
    std::string Input;
    std::string Output;
};

TEST(RegHive, NormalisesOnWrite) {
    const std::string head = "REGEDIT4\r\n\r\n";
    const TRewriteCase cases[] = {
        {"empty file", "", head},
        {"LF line breaks kept", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n",
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n\n"},
        {"UTF-8 BOM and blank lines",
         "\xEF\xBB\xBFREGEDIT4  \r\n\r\n \t\r\n[HKEY_CURRENT_USER\\A]\r\n\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\r\n"},
        {"parents get sections", head + "[HKEY_CURRENT_USER\\A\\B]\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\r\n[HKEY_CURRENT_USER\\A\\B]\r\n\r\n"},
        {"sections sorted, duplicates merged",
         head + "[HKEY_CURRENT_USER\\b]\r\n\"1\"=\"x\"\r\n[HKEY_CURRENT_USER\\A]\r\n"
                "[HKEY_CURRENT_USER\\B]\r\n\"2\"=\"y\"\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\r\n[HKEY_CURRENT_USER\\b]\r\n\"1\"=\"x\"\r\n\"2\"="
                "\"y\"\r\n\r\n"},
        {"later value wins in the first place",
         head +
             "[HKEY_CURRENT_USER\\A]\r\n\"Name\"=\"1\"\r\n\"Other\"=\"2\"\r\n\"NAME\"=dword:3\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\"Name\"=dword:00000003\r\n\"Other\"=\"2\"\r\n\r\n"},
        {"empty name is the default value", head + "[HKEY_CURRENT_USER\\A]\r\n\"\" = \"d\"\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n@=\"d\"\r\n\r\n"},
        {"dword digits and case", head + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=DWORD:2A\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:0000002a\r\n\r\n"},
        {"hex spacing, hex(3), upper case",
         head +
             "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex(3):0A, B ,\\\r\n   c\r\n\"y\"=HEX(0002):41,0\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:0a,0b,0c\r\n\"y\"=hex(2):41,00\r\n\r\n"},
        {"unknown escape kept as text", head + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"a\\q\"\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"a\\\\q\"\r\n\r\n"},
        {"deletions applied",
         head + "[HKEY_CURRENT_USER\\A\\B\\C]\r\n[HKEY_CURRENT_USER\\A\\D]\r\n\"x\"=\"1\"\r\n"
                "\"y\"=\"2\"\r\n[-HKEY_CURRENT_USER\\a\\b]\r\n[HKEY_CURRENT_USER\\A\\D]\r\n"
                "\"X\"=-\r\n[-HKEY_CURRENT_USER\\Missing\\Key]\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\r\n[HKEY_CURRENT_USER\\A\\D]\r\n\"y\"=\"2\"\r\n\r\n"},
        {"root section only with values",
         head + "[HKEY_CURRENT_USER]\r\n[hkey_current_user\\A]\r\n",
         head + "[HKEY_CURRENT_USER\\A]\r\n\r\n"},
    };
    for (const TRewriteCase& c : cases)
        EXPECT_EQ(Rewrite(c.Input), c.Output) << c.What;
}

struct TErrorCase {
    std::string Text;
    int Line;
    const char* Problem;
};

TEST(RegHive, MalformedFilesNameTheLine) {
    const std::string key = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
    const TErrorCase cases[] = {
        {"hello\r\n", 1, "not a registration file: the first line must be REGEDIT4"},
        {std::string(8, '\0'), 1, "not a registration file"},
        {"Windows Registry Editor Version 5.00\r\n", 1, "the first line must be REGEDIT4"},
        {"\xFF\xFER\0E\0", 1, "UTF-16 text"},
        {"REGEDIT4\r\n\r\n\"x\"=\"1\"\r\n", 3, "value outside a key"},
        {"REGEDIT4\r\n[-HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n", 3, "value outside a key"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A\r\n", 2, "missing \"]\" after the key"},
        {"REGEDIT4\r\n[HKEY_CURRENT_USER\\A] x\r\n", 2, "unexpected text after the key"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", 2, "key outside HKEY_CURRENT_USER"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\\\A]\n", 2, "empty key name"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\n", 2,
         "key name longer than 255 characters"},
        {"REGEDIT4\r[-HKEY_CURRENT_USER]\r", 2, "the root key cannot be deleted"},
        {key + "\"x\" \"1\"\r\n", 4, "missing \"=\" after the value name"},
        {key + "\"x\"=\"1\r\n", 4, "missing closing quote"},
        {key + "\"x\"=\"1\" 2\r\n", 4, "unexpected text after the value"},
        {key + "\"x\"=dword:\r\n", 4, "invalid dword value"},
        {key + "\"x\"=dword:123456789\r\n", 4, "unexpected text after the value"},
        {key + "\"x\"=hex(:00\r\n", 4, "invalid value type in hex(...)"},
        {key + "\"x\"=hex 00\r\n", 4, "missing \":\" after hex"},
        {key + "\"x\"=hex:0g\r\n", 4, "expected \",\" between hex bytes"},
        {key + "\"x\"=hex:01,,02\r\n", 4, "invalid hex byte"},
        {key + "\"x\"=hex:01,\\ x\r\n", 4, "unexpected text after \"\\\""},
        {key + "\"x\"=hex:01,\\\r\n  02,\\\r\n", 5, "the value continues past the end of the file"},
        {key + "\"x\"=hex:01,\\\r\n  zz\r\n", 5, "invalid hex byte"},
        {key + "\"x\"=str(2):\"a\"\r\n", 4, "unknown kind of value"},
        {key + "x=1\r\n", 4, "unexpected text: expected a [key], a value or a ;comment"},
    };
    for (const TErrorCase& c : cases) {
        try {
            ReadHive(c.Text, Root, "/p/user.reg");
            ADD_FAILURE() << "no error for: " << c.Text;
        } catch (const ERegHiveError& e) {
            EXPECT_EQ(e.FileName(), "/p/user.reg");
            EXPECT_EQ(e.Line(), c.Line) << c.Text;
            EXPECT_NE(e.Message().find(c.Problem), std::string::npos) << e.Message();
        }
    }
}

TEST(RegHive, KeyDepthIsLimited) {
    std::string path = "HKEY_CURRENT_USER";
    for (size_t i = 0; i < MaxKeyDepth; ++i)
        path += "\\k";
    const THive hive = ReadHive("REGEDIT4\n[" + path + "]\n", Root, "f");
    EXPECT_TRUE(hive.FindKey(std::vector<std::string>(MaxKeyDepth, "K")));
    EXPECT_THROW(ReadHive("REGEDIT4\n[" + path + "\\k]\n", Root, "f"), ERegHiveError);
}

// The value index of a key against a plain list, over random sets and deletes with names in
// random letter case: the two must always agree on lookup and order.
TEST(RegHive, ValueIndexAgreesWithPlainList) {
    std::mt19937 random(42);
    TRegKey key("K");
    std::vector<std::pair<std::string, std::string>> plain;
    const auto findPlain = [&](const std::string& name) {
        return std::find_if(plain.begin(), plain.end(),
                            [&](const auto& p) { return SameText(p.first, name); });
    };
    for (int step = 0; step < 2000; ++step) {
        std::string name = "v" + std::to_string(random() % 40);
        if (random() % 2) name = UpperCase(name);
        const std::string data = std::to_string(step);
        if (random() % 3) {
            const auto it = findPlain(name);
            if (it == plain.end())
                plain.emplace_back(name, data);
            else
                it->second = data;
            EXPECT_TRUE(key.SetValue(TRegValue::String(name, data)));
            EXPECT_FALSE(key.SetValue(TRegValue::String(name, data)));
        } else {
            const auto it = findPlain(name);
            EXPECT_EQ(key.DeleteValue(name), it != plain.end());
            if (it != plain.end()) plain.erase(it);
        }
        ASSERT_EQ(key.Values().size(), plain.size());
        for (size_t i = 0; i < plain.size(); ++i) {
            EXPECT_EQ(key.Values()[i].Name, plain[i].first);
            const TRegValue* v = key.FindValue(LowerCase(plain[i].first));
            ASSERT_TRUE(v);
            EXPECT_EQ(v->Data, plain[i].second);
        }
    }
}

} // namespace
} // namespace kolva
