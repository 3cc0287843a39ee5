#include "platform/SysUtils.h"
#include "support/EngineFixture.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shop = R"(unit Shop;

interface

type
  TItem = class
  private
    FName: string;
    // the price in cents
    FPrice: Integer;
    function GetName: string;
  public
    procedure Clear;
    property Name: string read GetName;
  end;

procedure Beta;
procedure Alpha;

implementation

function TItem.GetName: string;
begin
  Result := FName;
end;



procedure TItem.Clear;
begin
  FPrice := 0;
end;

procedure Helper;
begin
end;

procedure Caller;
begin
  Helper;
end;

procedure Beta;
begin
end;

procedure Alpha;
begin
end;

end.
)";

class RearrangeTest : public test::TEngineTest {
protected:
    TItemList Items(std::initializer_list<const char*> Names) {
        TItemList items;
        for (const char* name : Names)
            items.push_back(&Find(name));
        return items;
    }
    TItemList Impls(std::initializer_list<const char*> Methods) {
        TItemList items;
        for (const char* name : Methods)
            items.push_back(static_cast<TMethodItem&>(Find(name)).ImplementationLink());
        return items;
    }
    void Rearrange(const char* Container, std::initializer_list<const char*> Declarations,
                   TRearrangeOptions Options, TItemList Implementations = {}) {
        TCodeItem& container = std::string(Container) == "." ? Explorer.Module() : Find(Container);
        Editor.Rearrange(container, Items(Declarations), Options, Implementations);
    }
    static constexpr TRearrangeOptions Both = {roRearrangeInterface, roRearrangeImplementation};
};

TEST_F(RearrangeTest, RewritesClassesAndMovesBlocks) {
    const test::TEditCase cases[] = {
        // Keyword lines where the visibility changes; comments go with their member; the
        // implementations end up one blank line apart.
        {Shop,
         [this] {
             Rearrange(
                 "TItem",
                 {"TItem.Clear", "TItem.FPrice", "TItem.FName", "TItem.GetName", "TItem.Name"},
                 Both, Impls({"TItem.Clear", "TItem.GetName"}));
         },
         {{"  private\n    FName: string;\n    // the price in cents\n    FPrice: Integer;\n"
           "    function GetName: string;\n  public\n    procedure Clear;\n",
           "  public\n    procedure Clear;\n  private\n    // the price in cents\n"
           "    FPrice: Integer;\n    FName: string;\n    function GetName: string;\n"
           "  public\n"},
          {"function TItem.GetName: string;\nbegin\n  Result := FName;\nend;\n\n\n\n"
           "procedure TItem.Clear;\nbegin\n  FPrice := 0;\nend;\n",
           "procedure TItem.Clear;\nbegin\n  FPrice := 0;\nend;\n\n"
           "function TItem.GetName: string;\nbegin\n  Result := FName;\nend;\n"}}},
        // A field after a method of the same section repeats the keyword; the
        // implementations stay.
        {Shop,
         [this] {
             Rearrange("TItem", {"TItem.GetName", "TItem.FName"}, {roRearrangeInterface});
         },
         {{"  private\n    FName: string;\n    // the price in cents\n    FPrice: Integer;\n"
           "    function GetName: string;\n",
           "  private\n    function GetName: string;\n  private\n    FName: string;\n"
           "    // the price in cents\n    FPrice: Integer;\n"}}},
        // The interface procedures one blank line apart.
        {Shop,
         [this] {
             Rearrange(".", {"Alpha", "Beta"}, Both);
         },
         {{"procedure Beta;\nprocedure Alpha;\n\nimplementation",
           "procedure Alpha;\n\nprocedure Beta;\n\nimplementation"}}},
        {Shop,
         [this] {
             Editor.Rearrange(Explorer.Module(), {}, Both, {&Find("Caller"), &Find("Helper")});
         },
         {},
         "Cannot rearrange the unit: Caller uses Helper, which would then come after it"},
        {test::Replaced(Shop, {{"  public\n", "  {$IFDEF DEBUG}\n  public\n"},
                               {"Name;\n  end;", "Name;\n  {$ENDIF}\n  end;"}}),
         [this] { Rearrange("TItem", {"TItem.Clear"}, Both); },
         {},
         "Cannot rearrange TItem: its members lie in conditional blocks"},
        {test::Replaced(Shop, {{"  public\n", "  public\n    type TKind = (kA, kB);\n"}}),
         [this] { Rearrange("TItem", {"TItem.Clear"}, Both); },
         {},
         "Cannot rearrange TItem: it declares nested types, constants or class variables"},
        {"unit U;\ninterface\ntype\n  TOne = class\n    procedure A;\n  end;\nimplementation\n"
         "procedure TOne.A;\nbegin\nend;\nend.\n",
         [this] { Editor.CheckRearrange(Find("TOne")); },
         {},
         "Nothing to rearrange"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check(c, c.Before == Shop ? "Shop" : nullptr);
    }
}

TEST_F(RearrangeTest, ASecondRunInTheSameOrderChangesNothing) {
    Load(Shop);
    const auto run = [this] {
        Rearrange("TItem",
                  {"TItem.Clear", "TItem.GetName", "TItem.Name", "TItem.FName", "TItem.FPrice"},
                  Both, Impls({"TItem.Clear", "TItem.GetName"}));
    };
    run();
    const std::string once = Text();
    run();
    EXPECT_EQ(Text(), once);
}

} // namespace
} // namespace kolva
