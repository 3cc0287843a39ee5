// Pasting copy buffers: a unit before, a buffer pasted into one of its items, the unit after,
// which must still compile; refused pastes and cuts leave the unit and the clipboard alone.
#include "editing/KolvaEditors.h"
#include "model/TextStrm.h"
#include "platform/Clipboard.h"
#include "support/EngineFixture.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shapes = R"(unit Shapes;

interface

type
  TShape = class(TObject)
  private
    FSize: Integer;
  public
    procedure NewMethod;
  end;

  IShape = interface
    procedure Draw;
  end;

  TPoint3 = object
    X: Integer;
  end;

procedure Run;

implementation

procedure TShape.NewMethod;
begin
end;

procedure Run;

  procedure Step;
  begin
  end;

begin
  Step;
end;

end.
)";

// Two methods of a class written as a members copy: one with a body, one abstract.
const char* const Members = R"(//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

interface

type
  TCodeTemplate = class(TObject)
  public
    procedure NewMethod; virtual;
    function Area: Integer; virtual; abstract;
  end;

implementation

procedure TCodeTemplate.NewMethod;
begin
  Area;
end;

end.
)";

class PasteTest : public test::TEngineTest {
protected:
    void Paste(const char* Reference, const char* Target, const std::string& Buffer) {
        TStringList lines;
        lines.SetText(Buffer);
        TCodeItem* target = std::string(Target) == "." ? &Explorer.Module() : &Find(Target);
        TCodeItem* reference = std::string(Reference) == "." ? target : &Find(Reference);
        Kolva.PasteText(reference, target, lines);
    }
    TKolvaEditor Kolva{Explorer, &Unit};
    test::TScriptedDialogs Dialogs;
};

struct TPasteCase {
    const char* Name;
    const char* Reference;
    const char* Target;
    std::string Buffer;
    test::TReplacements Changes;
    const char* Error = nullptr;
};

class PasteCases : public PasteTest, public testing::WithParamInterface<TPasteCase> {};

TEST_P(PasteCases, PastesIntoTheUnit) {
    const TPasteCase& c = GetParam();
    Dialogs.Answers = {mrOk};
    Check({Shapes, [&] { Paste(c.Reference, c.Target, c.Buffer); }, c.Changes, c.Error},
          c.Error ? nullptr : "Shapes");
}

const std::string Locals = "//FWWIN:PROCEDURECOPY\n  procedure Step;\n  begin\n  end;\n\n"
                           "  procedure Jump;\n  begin\n  end;\n\n";
const std::string Procedures = "//FWWIN:MODULECOPY\nunit _FW_Copy_Buffer_;\n\ninterface\n\n"
                               "procedure Run;\nprocedure Paint(Color: Integer); external 'gdi';"
                               "\n\nimplementation\n\nprocedure Run;\nbegin\nend;\n\n"
                               "function Twice(N: Integer): Integer;\n  var\n    K: Integer;\n"
                               "  begin\n    K := N;\n    Result := K * 2;\n  end;\n\n"
                               "procedure Beep; external 'snd';\n\nend.\n";
const std::string Body = "  Step;\nend;\n";

// One case, a few lines:
// clang-format off
const TPasteCase Cases[] = {
    {"MembersRenamedWithTheirImplementation", "TShape", "TShape", Members,
     {{"    procedure NewMethod;\n  end;", "    procedure NewMethod;\n    procedure NewMethod1; "
       "virtual;\n    function Area: Integer; virtual; abstract;\n  end;"},
      {"begin\nend;\n\nprocedure Run;",
       "begin\nend;\n\nprocedure TShape.NewMethod1;\nbegin\n  Area;\nend;\n\nprocedure Run;"}}},
    // The signature in lower case and with blanks still names a members copy.
    {"MethodsIntoAnInterface", "IShape", "IShape",
     test::Replaced(Members, {{"//FWWIN:MEMBERSCOPY", " // fwwin : memberscopy"}}),
     {{"    procedure Draw;\n", "    procedure Draw;\n    procedure NewMethod;\n    function Area: Integer;\n"}}},
    {"MethodsIntoAnObject", "TPoint3", "TPoint3", Members,
     {{"    X: Integer;\n", "    X: Integer;\n    procedure NewMethod; virtual;\n    function Area: Integer; virtual;\n"},
      {Body, Body + "\nprocedure TPoint3.NewMethod;\nbegin\n  Area;\nend;\n\nfunction TPoint3.Area: Integer;\n"
                    "begin\n  // TODO -cFW : Default method body inserted\nend;\n"}}},
    {"MethodsIntoTheUnit", ".", ".", Members,
     {{"procedure Run;\n\nimplementation", "procedure Run;\n\nprocedure NewMethod;\nfunction Area: Integer;\n\nimplementation"},
      {Body, Body + "\nprocedure NewMethod;\nbegin\n  Area;\nend;\n\nfunction Area: Integer;\n"
                    "begin\n  // TODO -cFW : Default procedure body inserted\nend;\n"}}},
    {"ClassRenamedWithItsImplementations", ".", ".",
     "//FWWIN:CLASSCOPY\nunit _FW_Copy_Buffer_;\n\ninterface\n\ntype\n  TShape = class\n    procedure Grow;\n"
     "  end;\n\nimplementation\n\nprocedure TShape.Grow;\nbegin\nend;\n\nend.\n",
     {{"  end;\n\n  IShape", "  end;\n\n  TShape1 = class(TObject)\n    procedure Grow;\n  end;\n\n  IShape"},
      {Body, Body + "\nprocedure TShape1.Grow;\nbegin\nend;\n"}}},
    {"LocalProceduresBeforeTheBody", "Run", ".", Locals,
     {{"  end;\n\nbegin\n  Step;", "  end;\n\n  procedure Step1;\n  begin\n  end;\n\n"
                                   "  procedure Jump;\n  begin\n  end;\n\nbegin\n  Step;"}}},
    // Only implementations become methods, dedented; one without a body gets the TODO body.
    {"ProceduresAsMethods", "TShape", "TShape", Procedures,
     {{"  public\n    procedure NewMethod;\n", "  public\n    procedure NewMethod;\n    procedure Run;\n"},
      {"    FSize: Integer;\n", "    FSize: Integer;\n    function Twice(N: Integer): Integer;\n    procedure Beep;\n"},
      {"begin\nend;\n\nprocedure Run;", "begin\nend;\n\nprocedure TShape.Run;\nbegin\nend;\n\n"
       "function TShape.Twice(N: Integer): Integer;\nvar\n  K: Integer;\nbegin\n  K := N;\n  Result := K * 2;\n"
       "end;\n\nprocedure TShape.Beep;\nbegin\n  // TODO -cFW : Default method body inserted\nend;\n\nprocedure Run;"}}},
    {"ProceduresRenamedTogether", ".", ".",
     test::Replaced(Procedures, {{"procedure Paint(Color: Integer); external 'gdi';\n", ""}}),
     {{"procedure Run;\n\nimplementation", "procedure Run;\n\nprocedure Run1;\n\nimplementation"},
      {Body, Body + "\nprocedure Run1;\nbegin\nend;\n\nfunction Twice(N: Integer): Integer;\n  var\n    K: Integer;\n"
                    "  begin\n    K := N;\n    Result := K * 2;\n  end;\n\nprocedure Beep; external 'snd';\n"}}},
    {"PlainTextAsMembers", "TShape", "TShape", "type\n  TX = class\n    Count: Integer;\n  end;\n",
     {{"class(TObject)\n", "class(TObject)\n    Count: Integer;\n"}}},
    {"PlainTextWithoutClass", "TShape", "TShape", "begin end.", {}, "No members found to insert"},
    {"ClassCopyWithoutClass", ".", ".", "//FWWIN:CLASSCOPY\nunit U;\nend.", {}, "No class or interface found to insert"},
    {"FieldsIntoTheUnit", ".", ".", "//FWWIN:MEMBERSCOPY\ntype\n  T = class\n    A: Integer;\n  end;", {},
     "No methods found to convert to procedures"},
    {"NoProcedures", "TShape", "TShape", "//FWWIN:MODULECOPY\nunit U;\nend.", {}, "No procedures found to insert"},
    {"LocalsIntoAnInterfaceMethod", "IShape.Draw", "IShape", Locals, {}, "Cannot paste local procedures in Draw"},
    {"IntoAProcedure", "Run", "Run", Members, {}, "Pasting into this content is not implemented yet"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Buffers, PasteCases, testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

class TFormDesigner : public TDesignerInterface {
public:
    bool IsDesignerClass(const std::string& Name) override { return Name == "TShape"; }
};

std::string ClipboardLines() {
    std::string text = Clipboard().GetText();
    std::erase(text, '\r');
    return text;
}

TEST_F(PasteTest, CuttingTheDesignerClassWritesNothing) {
    Clipboard().SetText("before");
    TFormDesigner designer;
    Kolva.SetDesigner(&designer);
    Check({Shapes,
           [&] { Kolva.CutItems(coClassCopy, &Explorer.Module(), {&Find("TShape")}); },
           {},
           "Cannot delete designer class TShape"});
    EXPECT_EQ(Clipboard().GetText(), "before");
}

TEST_F(PasteTest, ACutClassPastesBackWhereItWas) {
    const test::TReplacements cut{{"  TPoint3 = object\n    X: Integer;\n  end;\n\n", ""}};
    Check({Shapes, [&] { Kolva.CutItems(coClassCopy, nullptr, {&Find("TPoint3")}); }, cut});
    EXPECT_EQ(ClipboardLines(), "//FWWIN:CLASSCOPY\nunit _FW_Copy_Buffer_;\n\ninterface\n\ntype\n"
                                "  TPoint3 = object\n    X: Integer;\n  end;\n\n\nimplementation"
                                "\n\n\nend.\n");
    Load(Shapes);
    Kolva.CutItems(coClassCopy, nullptr, {&Find("TPoint3")});
    Kolva.PasteItems(&Explorer.Module(), &Explorer.Module());
    EXPECT_EQ(Text(), Original);
}

TEST_F(PasteTest, MovingAMethodTakesItsImplementationAlong) {
    Check({Shapes,
           [&] {
               Kolva.CopyOrMoveItems(Find("TShape"), Find("TPoint3"), true,
                                     {&Find("TShape.NewMethod")});
           },
           {{"    procedure NewMethod;\n", ""},
            {"procedure TShape.NewMethod;\nbegin\nend;\n\n", ""},
            {"    X: Integer;\n", "    X: Integer;\n    procedure NewMethod;\n"},
            {Body, Body + "\nprocedure TPoint3.NewMethod;\nbegin\nend;\n"}}},
          "Shapes");
}

} // namespace
} // namespace kolva
