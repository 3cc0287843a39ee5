// Templates made from members of one class and applied to another, and the project's default
// templates applied to a class: whole units compared, and compiled.
#include "templates/TemplateInsert.h"

#include "editing/KolvaEditors.h"
#include "platform/Files.h"
#include "support/EngineFixture.h"
#include "templates/TemplateApply.h"
#include "templates/TemplateCreate.h"

#include <memory>

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shop = R"(unit Shop;

interface

uses
  Classes;

type
  TItem = class(TObject)
  private
    FName: string;
    function GetName: string;
  public
    property Name: string read GetName write FName;
  end;

  TBasket = class(TObject)
  public
    procedure Clear;
  end;

implementation

function TItem.GetName: string;
begin
  Result := FName;
end;

procedure TBasket.Clear;
begin
end;

end.
)";

class TemplateInsertTest : public test::TEngineTest {
protected:
    // The parameter dialog answers with Values until the next call or the test's end.
    void Answer(std::initializer_list<std::pair<const char*, const char*>> Values,
                bool Cancel = false) {
        auto params = std::make_unique<TPresetTemplateParams>();
        for (const auto& [name, value] : Values)
            params->SetValue(name, value);
        params->SetCancel(Cancel);
        SetTemplateParamService(std::move(params));
    }
    ~TemplateInsertTest() override { SetTemplateParamService(std::move(FPrevious)); }

    TKolvaEditor Kolva{Explorer, &Unit};
    std::unique_ptr<TTemplateParamService> FPrevious = SetTemplateParamService(nullptr);
};

// The property of TItem made into a template, given a parameter by hand, and applied to
// TBasket under another name; the file as it was written pastes as it stands.
TEST_F(TemplateInsertTest, MembersMadeIntoATemplateApplyToAnotherClass) {
    const std::string file = "C:\\T\\Named.pas";
    ASSERT_TRUE(ForceDirectories("C:\\T"));
    const auto create = [&] {
        WriteTemplateFile(Kolva, Find("TItem"), {&Find("TItem.Name")}, file);
        std::string text = test::Replaced(ReadFileText(file), {{"Name", "<!Prop!>"}}, true);
        text = test::Replaced(text, {{"\r\n\r\ninterface", "\r\n// DEFINEMACRO:Prop=the name"
                                                           "\r\n\r\ninterface"}});
        WriteFileText("C:\\T\\Prop.pas", text);
    };
    const auto named = [](const std::string& P) -> test::TReplacements {
        return {{"  public\n    procedure Clear;\n",
                 "  private\n    F" + P + ": string;\n    function Get" + P +
                     ": string;\n  public\n    procedure Clear;\n    property " + P +
                     ": string read Get" + P + " write F" + P + ";\n"},
                {"procedure TBasket.Clear;\nbegin\nend;\n",
                 "procedure TBasket.Clear;\nbegin\nend;\n\nfunction TBasket.Get" + P +
                     ": string;\nbegin\n  Result := F" + P + ";\nend;\n"}};
    };
    const test::TReplacements titled = named("Title");
    Answer({{"prop", "Title"}});
    Check({Shop,
           [&] {
               create();
               InsertTemplate(Kolva, Find("TBasket"), "C:\\T\\Prop.pas");
           },
           titled},
          "Shop");
    Check({Shop, [&] { PasteTemplateFile(Kolva, Find("TBasket"), file); }, named("Name")});
    Answer({}, true);
    Check({Shop,
           [&] { InsertTemplate(Kolva, Find("TBasket"), "C:\\T\\Prop.pas"); },
           {},
           "Operation aborted"});
}

// Every default template, with its parameters, gives members that compile in a class.
TEST_F(TemplateInsertTest, DefaultTemplatesCompileWhenApplied) {
    struct TCase {
        const char* File;
        std::initializer_list<std::pair<const char*, const char*>> Params;
        const char* Member; // one of the members it must add
    };
    const TCase cases[] = {
        {"Singleton.pas", {{"ClassName", "TBasket"}, {"Instance", "Shared"}}, "Shared"},
        {"ArrayProp_List.pas",
         {{"Item", "Entry"}, {"Items", "Entries"}, {"ItemType", "TItem"}},
         "Entries"},
        {"NotifyEvent.pas", {{"Event", "Change"}}, "OnChange"},
        {"ReferenceCount.pas", {{"RefCount", "Owners"}}, "Owners"},
        {"IUnknown.pas", {{"RefCount", "RefCount"}}, "_Release"},
        {"UpdateBracket.pas", {{"Event", "Change"}}, "EndUpdate"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        Load(Shop);
        Answer(c.Params);
        InsertTemplate(Kolva, Find("TBasket"),
                       std::string(KOLVA_SOURCE_DIR) + "/templates/" + c.File);
        EXPECT_EQ(Text().find("<!"), std::string::npos);
        EXPECT_NO_THROW(Find(std::string("TBasket.") + c.Member));
        EXPECT_TRUE(Compiles("Shop"));
    }
}

} // namespace
} // namespace kolva
