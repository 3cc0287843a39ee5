// Declarations of later dialects read and rendered back: every directive that was written,
// short implementation headings, text without a heading, a byte-order mark.
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"
#include "support/ModelCheck.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::OutlineOf;

struct TRenderCase {
    const char* Written;
    const char* Rendered;
};

void PrintTo(const TRenderCase& Case, std::ostream* Out) {
    *Out << Case.Written;
}

// A member written in a class, and its declaration as rendered from the model.
const TRenderCase MemberCases[] = {
    {"procedure A; stdcall; export;", "procedure A; stdcall; export;"},
    {"procedure B; dispid 8;", "procedure B; dispid 8;"},
    {"procedure C; override; final;", "procedure C; override; final;"},
    {"class procedure D; static;", "class procedure D; static;"},
    {"function E: Integer; inline;", "function E: Integer; inline;"},
    {"procedure F; deprecated 'use G';", "procedure F; deprecated 'use G';"},
    {"procedure G; platform; experimental;", "procedure G; platform; experimental;"},
    {"procedure H; reintroduce; virtual;", "procedure H; reintroduce; virtual;"},
    {"procedure I(A: Integer); cdecl; varargs; external 'c';",
     "procedure I(A: Integer); cdecl; external 'c'; varargs;"},
    {"function J<T>(const A: T): TArray<T>;", "function J<T>(const A: T): TArray<T>;"},
    {"generic function K<T>: specialize TList<T>;", "generic function K<T>: specialize TList<T>;"},
    {"class operator Add(const A, B: TRec): TRec;", "class operator Add(const A, B: TRec): TRec;"},
    {"class operator := (const S: string): TRec; inline;",
     "class operator :=(const S: string): TRec; inline;"},
    {"property P: TList<T> read FP; deprecated;", "property P: TList<T> read FP; deprecated;"},
    {"class property Q: Integer read FQ;", "class property Q: Integer read FQ;"},
    {"property R: Integer readonly dispid 3;", "property R: Integer dispid 3 readonly;"},
    {"FS: Integer; external name 'fs';", "FS: Integer; external name 'fs';"},
    {"&Type: Integer;", "&Type: Integer;"},
};

class TMemberRenderTest : public testing::TestWithParam<TRenderCase> {};

TEST_P(TMemberRenderTest, KeepsWhatWasWritten) {
    TModuleExplorer explorer;
    OutlineOf(std::string("unit U; interface type\n  TFoo = class\n    ") + GetParam().Written +
                  "\n  end;\nimplementation end.",
              &explorer);
    EXPECT_EQ(explorer.ErrorCount(), 0) << explorer.Errors().front();
    ASSERT_EQ(explorer.ItemCount(), 1);
    ASSERT_EQ(explorer.Item(0)->ChildCount(), 1);
    EXPECT_EQ(explorer.Item(0)->Child(0)->GetDeclaration(), GetParam().Rendered);
}

INSTANTIATE_TEST_SUITE_P(Members, TMemberRenderTest, testing::ValuesIn(MemberCases));

TEST(ModernDeclarations, TypeHeadingsAreRenderedAsWritten) {
    TModuleExplorer explorer;
    OutlineOf("unit U; interface type\n"
              "  generic TList<T> = class end;\n"
              "  TBox<T: class> = class sealed(TObject) end;\n"
              "  TVec = packed record function Len: Integer; end;\n"
              "  TH = class helper(TBaseHelper) for TFoo end;\n"
              "  TI = type helper for Integer end;\n"
              "  JObj = class external 'java.lang' name 'Object' (JLRoot) end;\n"
              "  NSView = objcclass external (NSResponder) end;\n"
              "implementation end.",
              &explorer);
    EXPECT_EQ(explorer.ErrorCount(), 0) << explorer.Errors().front();
    const char* const headings[] = {"generic TList<T> = class(TObject)",
                                    "TBox<T: class> = class sealed(TObject)",
                                    "TVec = packed record",
                                    "TH = class helper(TBaseHelper) for TFoo",
                                    "TI = type helper for Integer",
                                    "JObj = class external 'java.lang' name 'Object'(JLRoot)",
                                    "NSView = objcclass external(NSResponder)"};
    ASSERT_EQ(explorer.ItemCount(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(explorer.Item(i)->GetDeclaration(), headings[i]);
    EXPECT_EQ(explorer.Item(1)->GetDisplayText(), "TBox<T: class>");
}

// The qualifier a new implementation is written with: nested types dotted, a Delphi
// generic with its type parameters and without their constraints, a Free Pascal generic by
// its name.
TEST(ModernDeclarations, QualifiersOfNewImplementations) {
    TModuleExplorer explorer;
    OutlineOf("unit U; interface type\n"
              "  TOuter = class type TInner = class procedure Run; end; end;\n"
              "  TBox<T: class; U> = class procedure Put; end;\n"
              "  generic TList<T> = class procedure Add; end;\n"
              "implementation end.",
              &explorer);
    ASSERT_EQ(explorer.ItemCount(), 3);
    const auto* inner = static_cast<TClassItem*>(explorer.Item(0)->Child(1));
    const char* const headings[] = {"procedure TOuter.TInner.Run;", "procedure TBox<T, U>.Put;",
                                    "procedure TList.Add;"};
    const TClassItem* classes[] = {inner, static_cast<TClassItem*>(explorer.Item(1)),
                                   static_cast<TClassItem*>(explorer.Item(2))};
    for (int i = 0; i < 3; ++i) {
        TMethodImplItem impl(nullptr);
        impl.AssignDeclaration(*classes[i]->Child(classes[i]->ChildCount() - 1));
        impl.SetClass(*classes[i]);
        EXPECT_EQ(impl.GetDeclaration(), headings[i]);
    }
}

// A short implementation heading takes its declaration's signature, and stays short.
TEST(ModernDeclarations, ShortImplementationHeadings) {
    TModuleExplorer explorer;
    OutlineOf("unit U; interface type\n"
              "  TFoo = class function Get(A: Integer): Integer; procedure Run; end;\n"
              "function Free(const S: string): Boolean;\n"
              "implementation\n"
              "function TFoo.Get; begin end;\n"
              "procedure TFoo.Run; begin end;\n"
              "function Free; begin end;\n"
              "end.",
              &explorer);
    auto* get = static_cast<TProcItem*>(explorer.Item(2));
    EXPECT_EQ(get->GetDisplayText(), "Get(A: Integer): Integer;");
    EXPECT_EQ(get->GetDeclaration(), "function TFoo.Get;");
    get->Name = "Fetch";
    EXPECT_EQ(get->GetDeclaration(), "function TFoo.Fetch;") << "never \": Void\"";
    auto* run = static_cast<TProcItem*>(explorer.Item(3));
    EXPECT_FALSE(run->ShortHeading) << "nothing left out";
    auto* free = static_cast<TProcItem*>(explorer.Item(4));
    EXPECT_EQ(free->GetDisplayText(), "Free(const S: string): Boolean;");
    EXPECT_EQ(free->GetDeclaration(), "function Free;");
}

// A file of declarations (systemh.inc) is flat; a file of bodies keeps its local routines.
TEST(ModernDeclarations, TextWithoutHeading) {
    EXPECT_EQ(OutlineOf("procedure A(X: Integer);\n"
                        "function B: Integer; inline;\n"
                        "type\n"
                        "  TRec = record F: Integer; end;\n"
                        "procedure C;\n"),
              "ckProcedure A scPrivate 0-0\n"
              "ckProcedure B scPrivate 1-1\n"
              "ckProcedure C scPrivate 4-4\n");
    EXPECT_EQ(OutlineOf("procedure A(X: Integer);\n"
                        "  procedure Local;\n"
                        "  begin\n"
                        "  end;\n"
                        "begin\n"
                        "end;\n"),
              "ckProcedure A scPrivate 0-5\n"
              "  ckProcedure Local scDefault 1-3\n");
}

TEST(ModernDeclarations, ByteOrderMarkIsSkippedAndKeptInColumns) {
    TModuleExplorer explorer;
    TStringList lines;
    lines.SetText("\xEF\xBB\xBFunit U; interface type TFoo = class procedure X; end;\n"
                  "implementation\nprocedure TFoo.X; begin end;\nend.\n");
    explorer.Parse(&lines);
    EXPECT_EQ(explorer.ModuleKind(), mkUnit);
    EXPECT_EQ(test::Outline(explorer), "ckClass TFoo scPublic 0-0\n"
                                       "  ckMethod X scDefault 0-0 -> 2\n"
                                       "ckMethodImpl TFoo.X scDefault 2-2 -> 0\n");
    EXPECT_EQ(size_t(explorer.Item(0)->StartColumn), lines[0].find("TFoo"));
    EXPECT_TRUE(lines[0].starts_with("\xEF\xBB\xBF")) << "the line keeps the mark";
}

// What cannot be read is recorded, and the members around it stay in their type.
TEST(ModernDeclarations, UnreadableMembersStayInTheirType) {
    TModuleExplorer explorer;
    EXPECT_EQ(OutlineOf("unit U; interface type\n"
                        "  TFoo = class\n"
                        "    property X: Integer frobnicate;\n"
                        "    procedure Y; virtual;\n"
                        "  end;\n"
                        "implementation end.",
                        &explorer),
              "ckClass TFoo scPublic 1-4\n"
              "  ckProperty X scDefault 2-2\n"
              "  ckMethod Y scDefault 3-3\n");
    EXPECT_EQ(explorer.ErrorCount(), 1);
    // Statements inside a body are no members, and a type heading there ends the body.
    EXPECT_EQ(OutlineOf("unit U; interface type\n"
                        "  TFoo = class\n"
                        "    FA: Integer;\n"
                        "    begin X = 1; end;\n"
                        "    TBar = class end;\n"
                        "implementation end."),
              "ckClass TFoo scPublic 1-3\n"
              "  ckField FA scDefault 2-2\n"
              "ckClass TBar scPublic 4-4\n");
}

} // namespace
} // namespace kolva
