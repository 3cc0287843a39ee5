// The member list's rows: which members a listing shows under the filters and designer
// restrictions, in which order for each sort mode, and where local procedures go.
#include "explorer/DisplCache.h"

#include "explorer/ModelImages.h"
#include "model/ModuleExplorer.h"
#include "platform/StringList.h"
#include "support/SettingsReset.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Unit = R"(unit Shapes;

interface

uses Classes;

type
  TShape = class
  private
    FWidth: Integer;
    procedure Resize;
    function Area: Double;
  strict private
    FName: string;
  public
    FTag: Integer;
    constructor Create;
    destructor Destroy; override;
    procedure Draw(Scale: Integer); overload; virtual; abstract;
    procedure Draw(X, Y: Integer); overload;
    property Width: Integer read FWidth write FWidth;
    property Name: string read FName;
  end;

  TShapeForm = class
    Button1: TObject;
    procedure Button1Click(Sender: TObject);
  private
    FShape: TShape;
  end;

procedure Register;

implementation

uses SysUtils;

procedure Helper;
begin
end;

procedure Register;
  procedure Inner;
    procedure Deeper;
    begin
    end;
  begin
    Deeper;
  end;
begin
  Inner;
end;

procedure TShape.Resize;
  procedure Clamp;
  begin
  end;
begin
  Clamp;
end;

function TShape.Area: Double; begin Result := 0; end;
constructor TShape.Create; begin end;
destructor TShape.Destroy; begin end;
procedure TShape.Draw(X, Y: Integer); begin end;
procedure TShapeForm.Button1Click(Sender: TObject); begin end;

end.
)";

struct TListingCase {
    const char* Name;
    const char* Item; // "" for the module
    TDetailsSortMode Mode;
    bool ShowParams;
    const char* Rows; // one caption a line; local rows start with "> "
    TListingFilter Filter = {};
};

class DisplCacheTest : public testing::TestWithParam<TListingCase> {
protected:
    test::TSettingsReset Settings;
    TModuleExplorer Explorer;
};

std::string RowsOf(const TDisplayCache& Cache) {
    std::string Text;
    for (int I = 0; I < Cache.Count(); ++I)
        Text += (Cache.Row(I).Local ? "> " : "") + Cache.Row(I).Caption + "\n";
    return Text;
}

TEST_P(DisplCacheTest, ListsTheRowsInOrder) {
    const TListingCase& Case = GetParam();
    SetShowParameters(Case.ShowParams);
    TStringList Lines;
    Lines.SetText(Unit);
    Explorer.Parse(&Lines);
    TCodeItem* Item = &Explorer.Module();
    if (*Case.Item) Item = Explorer.Item(Explorer.Module().FindChild({ckClass}, Case.Item));
    TListingFilter Filter = Case.Filter;
    Filter.SortMode = Case.Mode;
    TDisplayCache Cache;
    Cache.List(Item, Filter);
    EXPECT_EQ(RowsOf(Cache), Case.Rows);
    for (int I = 1; I < Cache.Count(); ++I) { // rows of one caption keep their source order
        if (Cache.Row(I - 1).Caption == Cache.Row(I).Caption) {
            EXPECT_LT(Cache.Row(I - 1).Item->StartLine, Cache.Row(I).Item->StartLine);
        }
    }
}

TListingFilter Only(TCodeItems Kinds, TVisibilities Visibilities = TVisibilities::All()) {
    TListingFilter Filter;
    Filter.Kinds = Kinds;
    Filter.Visibilities = Visibilities;
    return Filter;
}

TListingFilter FormClass(TDesignerRestrictions Restrictions) {
    TListingFilter Filter;
    Filter.FormClass = true;
    Filter.Restrictions = Restrictions;
    return Filter;
}

INSTANTIATE_TEST_SUITE_P(
    Listings, DisplCacheTest,
    testing::Values(
        TListingCase{"CodeOrderWithLocals", "TShape", smCode, false,
                     "FWidth: Integer;\nResize;\n> Clamp;\nArea: Double;\nFName: string;\n"
                     "FTag: Integer;\nCreate;\nDestroy;\nDraw(...);\nDraw(...);\n"
                     "Width: Integer\nName: string\n"},
        TListingCase{"VisibilityThenKind", "TShape", smVisKind, false,
                     "FName: string;\nFWidth: Integer;\nArea: Double;\nResize;\n> Clamp;\n"
                     "FTag: Integer;\nCreate;\nDestroy;\nDraw(...);\nDraw(...);\n"
                     "Name: string\nWidth: Integer\n"},
        TListingCase{"KindThenVisibility", "TShape", smKindVis, true,
                     "FName: string;\nFWidth: Integer;\nFTag: Integer;\nCreate;\nDestroy;\n"
                     "Area: Double;\nResize;\n> Clamp;\nDraw(Scale: Integer);\n"
                     "Draw(X, Y: Integer);\nName: string\nWidth: Integer\n"},
        TListingCase{"ByName", "TShape", smName, false,
                     "Area: Double;\nCreate;\nDestroy;\nDraw(...);\nDraw(...);\nFName: string;\n"
                     "FTag: Integer;\nFWidth: Integer;\nName: string\nResize;\n> Clamp;\n"
                     "Width: Integer\n"},
        TListingCase{"PrivateMethodsWithoutLocals", "TShape", smCode, false,
                     "Resize;\nArea: Double;\n",
                     [] {
                         TListingFilter Filter = Only({ckMethod}, {scPrivate});
                         Filter.ShowLocalProcs = false;
                         return Filter;
                     }()},
        TListingCase{"ModuleEachProcedureOnceThenUses", "", smCode, false,
                     "Register;\n> Inner;\n> Deeper;\nHelper;\ninterface uses clause\n"
                     "implementation uses clause\n"},
        TListingCase{"ModulePublicFirstWhenSortedByVisibility", "", smVisibility, false,
                     "Register;\n> Inner;\n> Deeper;\nHelper;\ninterface uses clause\n"
                     "implementation uses clause\n"},
        TListingCase{"FormClassHidesItsDesignerSection", "TShapeForm", smCode, false,
                     "FShape: TShape;\n", FormClass({drHideFields, drHideMethods})},
        TListingCase{"FormClassHidesOnlyDesignerFields", "TShapeForm", smCode, false,
                     "Button1Click(...);\nFShape: TShape;\n", FormClass({drHideFields})}),
    [](const testing::TestParamInfo<TListingCase>& Info) { return Info.param.Name; });

TEST(DisplayRowTest, ImagesAndRanksFollowTheMember) {
    test::TSettingsReset Settings;
    TModuleExplorer Explorer;
    TStringList Lines;
    Lines.SetText(Unit);
    Explorer.Parse(&Lines);
    TCodeItem* Shape = Explorer.Item(Explorer.Module().FindChild({ckClass}, "TShape"));
    auto RowOf = [&](const char* Name, int Nth = 0) {
        for (TCodeItem* Member : Shape->Children())
            if (Member->Name == Name && Nth-- == 0) return TDisplayCache::MakeRow(*Member, false);
        return TDisplayRow{};
    };
    struct {
        TDisplayRow Row;
        int KindRank, KindImage, VisibilityRank, ExtraImage;
    } Cases[] = {
        {RowOf("FWidth"), 1, imField, imVisPrivate, imNone},
        {RowOf("FName"), 1, imField, imVisPrivate, imNone}, // strict private
        {RowOf("Create"), 2, imConstructor, imVisPublic, imStatic},
        {RowOf("Destroy"), 3, imDestructor, imVisPublic, imOverride},
        {RowOf("Draw"), 4, imProcedure, imVisPublic, imAbstract},
        {RowOf("Area"), 4, imFunction, imVisPrivate, imStatic},
        {RowOf("Width"), 5, imProperty, imVisPublic, imReadWrite},
        {RowOf("Name"), 5, imProperty, imVisPublic, imReadOnly},
    };
    for (auto& Case : Cases) {
        SCOPED_TRACE(Case.Row.Caption);
        EXPECT_EQ(Case.Row.KindRank, Case.KindRank);
        EXPECT_EQ(Case.Row.KindImage, Case.KindImage);
        EXPECT_EQ(Case.Row.VisibilityRank, Case.VisibilityRank);
        EXPECT_EQ(Case.Row.ExtraImage, Case.ExtraImage);
    }
}

} // namespace
} // namespace kolva
