#include "platform/FormFile.h"

#include "platform/Files.h"
#include "support/FormSample.h"
#include "support/Raised.h"

#include <functional>

#include <gtest/gtest.h>

namespace kolva {
namespace {

// One line an object: depth, name, class, lines, owner; then the event bindings.
std::string Outline(const TFormFile& Form) {
    std::string text;
    for (const TFormObject& object : Form.Objects())
        text += Format("%d %s: %s %d-%d owner %d\n", object.Depth, object.Name, object.ClassName,
                       object.StartLine, object.EndLine, object.Owner);
    for (const TFormBinding& event : Form.Events())
        text += Format("%s.%s=%s@%d\n", Form.Objects()[event.Object].Name, event.Property,
                       event.Value, event.Line);
    return text;
}

TEST(FormFileTest, ReadsObjectsAndEventBindings) {
    const TFormFile form(test::MainFormDfm);
    EXPECT_EQ(Outline(form), R"(0 MainForm: TMainForm 0-50 owner -1
1 TopPanel: TPanel 9-21 owner 0
2 NameLabel: TLabel 11-14 owner 0
2 NameEdit: TEdit 15-20 owner 0
1 OrderList: TListView 22-35 owner 0
1 OkButton: TButton 36-40 owner 0
1 CancelButton: TButton 41-44 owner 0
1 Images: TImageList 45-49 owner 0
MainForm.OnCreate=FormCreate@7
NameEdit.OnChange=NameEditChange@18
NameEdit.OnExit=NameEditChange@19
OkButton.OnClick=OkButtonClick@39
)");
    std::string references;
    for (const TFormBinding& reference : form.References())
        references += reference.Property + "=" + reference.Value + " ";
    EXPECT_EQ(references, "ActiveControl=NameEdit Align=alTop FocusControl=NameEdit "
                          "Alignment=taRightJustify Default=True ");
    EXPECT_EQ(form.Text(), test::MainFormDfm);
    EXPECT_FALSE(form.Modified());
}

// Every form reads and writes back byte for byte.
TEST(FormFileTest, WritesBackWhatItRead) {
    const char* const texts[] = {
        "object A: TA\r\n  Left = 1\r\nend\r\n",
        "object A: TA\n  Left = 1\r\nend",
        "\xEF\xBB\xBF"
        "object A: TA\n\n\tTop = 2\nend\n\n",
        "object A: TA Left = 1 object B: TB end end",
        "inherited A: TA\n  inline F: TF [0]\n    inherited B: TB [2]\n    end\n  end\n"
        "  object TTimer\n  end\nend\n",
        "object A: TA\n  X = -1.5E-3\n  Y = $FF\n  Z = 12.5c\n  S = #$41'it''s'#13\n"
        "  L = ( ( 1 2 ) 'a' b )\n  E = ()\n  C = <>\n  D = {}\n  N = [0, 3]\n  M = []\n"
        "  Q = Form2.Button1\nend\n",
        "object A: TA\n  Items = <\n    item [1]\n      Sub = <\n        item\n          X = 1\n"
        "        end>\n    end>\n  OnClick = AClick\nend\n",
    };
    for (const char* text : texts) {
        const TFormFile form(text);
        EXPECT_EQ(form.Text(), text);
    }
}

TEST(FormFileTest, NamesTheLineOfWhatIsMalformed) {
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"", "'object' expected on line 1"},
        {"object : TA\nend", "Identifier expected on line 1"},
        {"object A: TA [x]\nend", "Number expected on line 1"},
        {"object A: TA\n  Left 1\nend", "'=' expected on line 2"},
        {"object A: TA\n  Left = ?\nend", "Invalid property value on line 2"},
        {"object A: TA\n  Caption = 'abc\nend", "Invalid string constant on line 2"},
        {"object A: TA\n  Caption = #\nend", "Invalid string constant on line 2"},
        {"object A: TA\n  Caption = 'a' +\nend", "String expected on line 3"},
        {"object A: TA\n  Style = [a b]\nend", "',' expected on line 2"},
        {"object A: TA\n  Data = {\n    0A0\n  }\nend", "Invalid binary value on line 4"},
        {"object A: TA\n  Data = {0G}\nend", "Invalid binary value on line 2"},
        {"object A: TA\n  Data = {\n    0A", "Invalid binary value on line 3"},
        {"object A: TA\n  Items = <\n    Caption = 'x'\n  >\nend", "'item' expected on line 3"},
        {"object A: TA\n  object B: TB\n  end\n  Left = 1\nend", "'end' expected on line 4"},
        {"object A: TA\n  Left = 1\n", "'end' expected on line 2"},
        {"object A: TA\n  L = (\n    1", "')' expected on line 3"},
        {"object A: TA\nend\nobject B: TB\nend", "End of file expected on line 3"},
        {std::string_view("object\0", 7).data(), "Identifier expected on line 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::ErrorOf<EFormFileError>([&] { TFormFile form(c.Text); }), c.Message);
}

TEST(FormFileTest, OwnersStopAtInlineFrames) {
    const TFormFile form("object Form1: TForm1\n"
                         "  inline Frame: TFrame1\n"
                         "    inherited Button: TButton\n"
                         "      OnClick = FrameButtonClick\n"
                         "    end\n"
                         "  end\n"
                         "  object Panel: TPanel\n"
                         "    object Inner: TButton\n"
                         "    end\n"
                         "  end\n"
                         "end\n");
    EXPECT_EQ(form.IndexOfComponent("frame"), 1);
    EXPECT_EQ(form.IndexOfComponent("Button"), -1) << "the frame's own component";
    EXPECT_EQ(form.IndexOf("Button"), 2);
    EXPECT_EQ(form.IndexOfComponent("Inner"), 4);
    EXPECT_EQ(form.IndexOfComponent("Form1"), -1) << "the root is no component";
    EXPECT_EQ(form.BlockEnd(1), 3);
    EXPECT_EQ(form.BlockEnd(0), 5);
}

// Edits touch only their tokens, keep every line break, and delete whole blocks.
TEST(FormFileTest, EditsMinimally) {
    const struct {
        const char* Text;
        std::function<void(TFormFile&)> Edit;
        const char* Expected;
    } cases[] = {
        {"object A: TA\r\n  P = B.Sub\r\n  Q = B\n  object B: TB\r\n  end\r\nend",
         [](TFormFile& F) { F.RenameObject(F.IndexOf("b"), "Cee"); },
         "object A: TA\r\n  P = Cee.Sub\r\n  Q = Cee\n  object Cee: TB\r\n  end\r\nend"},
        {"object A: TA Left = 1 object B: TB end end", [](TFormFile& F) { F.DeleteObject(1); },
         "object A: TA Left = 1 end"},
        {"object A: TA\n  Active = B\n  Left = 1\n  object P: TP\n    object B: TB\n    end\n"
         "  end\n  object C: TC\n    Link = B.X\n  end\nend\n",
         [](TFormFile& F) { F.DeleteObject(1); },
         "object A: TA\n  Left = 1\n  object C: TC\n  end\nend\n"},
        {"object A: TA\n  OnShow = Go\n  object B: TB\n    OnClick = go Tag = 1\n  end\nend",
         [](TFormFile& F) { EXPECT_EQ(F.RenameHandler("GO", "Run"), 2); },
         "object A: TA\n  OnShow = Run\n  object B: TB\n    OnClick = Run Tag = 1\n  end\nend"},
        {"object A: TA\nend\n", [](TFormFile& F) { F.SetClassName(0, "TBee"); },
         "object A: TBee\nend\n"},
    };
    for (const auto& c : cases) {
        TFormFile form(c.Text);
        c.Edit(form);
        EXPECT_EQ(form.Text(), c.Expected);
        EXPECT_TRUE(form.Modified());
    }
}

TEST(FormFileTest, RefusesBadNamesAndKeepsTheText) {
    TFormFile form(test::MainFormDfm);
    EXPECT_EQ(test::ErrorOf([&] { form.RenameObject(1, "2Panel"); }),
              "'2Panel' is not a valid component name");
    EXPECT_EQ(test::ErrorOf([&] { form.RenameHandler("FormCreate", "Form Create"); }),
              "'Form Create' is not a valid identifier");
    EXPECT_EQ(test::ErrorOf([&] { form.SetClassName(0, ""); }), "'' is not a valid identifier");
    EXPECT_EQ(form.Text(), test::MainFormDfm);
    EXPECT_FALSE(form.Modified());
}

// No depth of objects, lists or collections exhausts the stack.
TEST(FormFileTest, ReadsAnyDepth) {
    const int depth = 20000;
    std::string objects, lists = "object A: TA\n  L = ";
    for (int i = 0; i < depth; ++i) {
        objects += "object O" + std::to_string(i) + ": T\n";
        lists += "(<item X = ";
    }
    lists += "1";
    for (int i = 0; i < depth; ++i) {
        objects += "end\n";
        lists += " end>)";
    }
    const TFormFile nested(objects);
    EXPECT_EQ(nested.Objects().back().Depth, depth - 1);
    EXPECT_EQ(nested.BlockEnd(0), depth);
    EXPECT_EQ(TFormFile(lists + "\nend\n").Objects().size(), 1u);
}

TEST(FormFileTest, LoadsAndSavesThroughThePathLayer) {
    ASSERT_TRUE(ForceDirectories("C:\\Forms"));
    WriteFileText("C:\\Forms\\Bad.dfm", "object A: TA\r\n  Left = ?\r\nend\r\n");
    try {
        TFormFile::LoadFromFile("C:\\Forms\\Bad.dfm");
        ADD_FAILURE() << "no error";
    } catch (const EFormFileError& E) {
        EXPECT_EQ(E.Message(), "C:\\Forms\\Bad.dfm: Invalid property value on line 2");
        EXPECT_EQ(E.Line(), 2);
    }
    WriteFileText("C:\\Forms\\Main.dfm", test::MainFormDfm);
    TFormFile form = TFormFile::LoadFromFile("C:\\Forms\\Main.dfm");
    form.RenameObject(form.IndexOf("Images"), "Icons");
    form.SaveToFile("C:\\Forms\\Main.dfm");
    EXPECT_FALSE(form.Modified());
    EXPECT_EQ(ReadFileText("C:\\Forms\\Main.dfm"), form.Text());
    EXPECT_NE(form.Text().find("  object Icons: TImageList\n"), std::string::npos);
}

} // namespace
} // namespace kolva
