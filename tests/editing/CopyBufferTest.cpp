// The copy buffer: the exact text each kind of copy writes, from a unit before.
#include "editing/KolvaEditors.h"
#include "model/TextStrm.h"
#include "support/EngineFixture.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shop = R"(unit Shop;

interface

type
  TItem = class(TObject)
  private
    FName: string;
    function GetName: string;
    procedure SetName(const Value: string);
  public
    procedure Clear;
    constructor Create;
    property Name: string read GetName write SetName;
  end;

procedure Alpha;

implementation

procedure TItem.Clear;
begin
  FName := '';
end;

function TItem.GetName: string;
begin
  Result := FName;
end;

procedure TItem.SetName(const Value: string);
begin
  FName := Value;
end;

constructor TItem.Create;
begin
  inherited Create;
end;

procedure Helper;

  procedure Inner;
  begin
  end;

begin
  Inner;
end;

procedure Alpha;
begin
  Helper;
end;

end.
)";

class CopyBufferTest : public test::TEngineTest {
protected:
    CopyBufferTest() { Load(Shop); }
    std::string Buffer(TCopyKind Kind, TCodeItem* Container, const TItemList& Items) {
        TStringList lines;
        {
            TStringsText stream(lines);
            Kolva.WriteItems(Kind, Container, Items, stream);
        }
        std::string text;
        for (int i = 0; i < lines.Count(); ++i)
            text += lines[i] + "\n";
        return text;
    }
    TKolvaEditor Kolva{Explorer, &Unit};
};

TEST_F(CopyBufferTest, ClassCopyHoldsTheClassVerbatimAndItsImplementationsInOrder) {
    EXPECT_EQ(Buffer(coClassCopy, &Explorer.Module(), {&Find("TItem")}), R"(//FWWIN:CLASSCOPY
unit _FW_Copy_Buffer_;

interface

type
  TItem = class(TObject)
  private
    FName: string;
    function GetName: string;
    procedure SetName(const Value: string);
  public
    procedure Clear;
    constructor Create;
    property Name: string read GetName write SetName;
  end;


implementation

constructor TItem.Create;
begin
  inherited Create;
end;

procedure TItem.Clear;
begin
  FName := '';
end;

function TItem.GetName: string;
begin
  Result := FName;
end;

procedure TItem.SetName(const Value: string);
begin
  FName := Value;
end;


end.
)");
}

// The class stands at column 2: its members go to column 4, the keywords to column 2; the
// property brings its access methods and state field, and the implementations are renamed with the
// class.
TEST_F(CopyBufferTest, MembersCopyRegeneratesTheMembersUnderTheTemplateClass) {
    TCodeItem& cls = Find("TItem");
    EXPECT_EQ(Buffer(coMembersCopy, &cls, {&Find("TItem.Name"), &Find("TItem.Clear")}),
              R"(//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

interface

type
  TCodeTemplate = class(TObject)
  private
    FName: string;
    function GetName: string;
    procedure SetName(const Value: string);
  public
    procedure Clear;
    property Name: string read GetName write SetName;
  end;


implementation

procedure TCodeTemplate.Clear;
begin
  FName := '';
end;

function TCodeTemplate.GetName: string;
begin
  Result := FName;
end;

procedure TCodeTemplate.SetName(const Value: string);
begin
  FName := Value;
end;


end.
)");
}

TEST_F(CopyBufferTest, ModuleAndProcedureCopiesHoldTheLinesOfTheProcedures) {
    // No selection: every procedure of the unit, the interface declaration apart.
    EXPECT_EQ(Buffer(coModuleCopy, &Explorer.Module(), {}), R"(//FWWIN:MODULECOPY
unit _FW_Copy_Buffer_;

interface

procedure Alpha;


implementation

procedure Helper;

  procedure Inner;
  begin
  end;

begin
  Inner;
end;

procedure Alpha;
begin
  Helper;
end;


end.
)");
    // Only local procedures selected: a procedure copy without the unit around it. Every
    // edit, a read-only one too, parses the unit again when it closes: items are found anew.
    const auto inner = [&] { return Find("Helper").Child(0); };
    EXPECT_EQ(Buffer(coModuleCopy, &Explorer.Module(), {inner()}), R"(//FWWIN:PROCEDURECOPY
  procedure Inner;
  begin
  end;

)");
    // A local procedure among others stands for its routine.
    const std::string whole = Buffer(coModuleCopy, &Explorer.Module(), {});
    EXPECT_EQ(Buffer(coModuleCopy, &Explorer.Module(), {inner(), &Find("Alpha", 1)}), whole);
}

} // namespace
} // namespace kolva
