// The Object Pascal of today, on units that fpc compiles: each unit and the outline it must
// give, without an error and with every member inside its type. Rendering each declaration
// back in its place must give a unit that still compiles, so that an edit never writes
// what the model lost (a directive, a type parameter, a "generic", a short heading). Then
// single declarations of later dialects read and rendered back: every directive that was
// written, short implementation headings, text without a heading, a byte-order mark.
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/FpcUnits.h"
#include "support/ModelCheck.h"
#include "support/TempPrefix.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::OutlineOf;

struct TUnitCase {
    const char* File;
    const char* Mode;
    const char* Outline;
};

void PrintTo(const TUnitCase& Case, std::ostream* Out) {
    *Out << Case.File;
}

const TUnitCase UnitCases[] = {
    // Strict sections, class var, const and type sections with a nested class, a class
    // property, an attribute, Delphi generics, an advanced record with a class operator,
    // sealed and abstract classes, helpers, a packed record that stays a plain record, an
    // object, and short implementation headings.
    {"ModernDelphi", "-Mdelphi",
     "ckClass TBase scPublic 5-24\n"
     "  ckVisibility strict private scStrictPrivate 6-6\n"
     "  ckField FValue scStrictPrivate 7-7\n"
     "  ckVisibility strict protected scStrictProtected 8-8\n"
     "  ckMethod Changed scStrictProtected 9-9 -> 78\n"
     "  ckVisibility private scPrivate 10-10\n"
     "  ckSection class var scPrivate 11-11\n"
     "  ckField FCount scPrivate 11-11\n"
     "  ckVisibility public scPublic 12-12\n"
     "  ckSection const scPublic 13-13\n"
     "  ckSection type scPublic 14-14\n"
     "  ckClass TInner scPublic 15-18\n"
     "    ckVisibility public scPublic 16-16\n"
     "    ckMethod Run scPublic 17-17 -> 82\n"
     "  ckVisibility public scPublic 20-20\n"
     "  ckField FOwner scPublic 21-21\n"
     "  ckProperty Count scPublic 22-22\n"
     "  ckProperty Value scPublic 23-23\n"
     "ckClass TBox scPublic 26-33\n"
     "  ckVisibility private scPrivate 27-27\n"
     "  ckField FItem scPrivate 28-28\n"
     "  ckVisibility public scPublic 29-29\n"
     "  ckMethod Get scPublic 30-30 -> 86\n"
     "  ckMethod SetValue scPublic 31-31 -> 91\n"
     "  ckProperty Item scPublic 32-32\n"
     "ckRecord TPoint scPublic 35-42\n"
     "  ckVisibility private scPrivate 36-36\n"
     "  ckField FX, FY scPrivate 37-37\n"
     "  ckVisibility public scPublic 38-38\n"
     "  ckMethod Add scPublic 39-39 -> 96\n"
     "  ckMethod Len scPublic 40-40 -> 102\n"
     "  ckProperty X scPublic 41-41\n"
     "ckClass TSealed scPublic 44-45\n"
     "ckClass TAbstract scPublic 47-49\n"
     "  ckMethod Go scDefault 48-48\n"
     "ckHelper TIntHelper scPublic 51-53\n"
     "  ckMethod Twice scDefault 52-52 -> 107\n"
     "ckHelper TBaseHelper scPublic 55-57\n"
     "  ckMethod Doubled scDefault 56-56 -> 112\n"
     "ckObject TObj scPublic 64-69\n"
     "  ckVisibility private scPrivate 65-65\n"
     "  ckField FA scPrivate 66-66\n"
     "  ckVisibility public scPublic 67-67\n"
     "  ckMethod Init scPublic 68-68 -> 117\n"
     "ckClass TShort scPublic 71-74\n"
     "  ckMethod Get scDefault 72-72 -> 122\n"
     "  ckMethod Put scDefault 73-73 -> 127\n"
     "ckMethodImpl TBase.Changed scDefault 78-80 -> 9\n"
     "ckMethodImpl TBase.TInner.Run scDefault 82-84 -> 17\n"
     "ckMethodImpl TBox.Get scDefault 86-89 -> 30\n"
     "ckMethodImpl TBox.SetValue scDefault 91-94 -> 31\n"
     "ckMethodImpl TPoint.Add scDefault 96-100 -> 39\n"
     "ckMethodImpl TPoint.Len scDefault 102-105 -> 40\n"
     "ckMethodImpl TIntHelper.Twice scDefault 107-110 -> 52\n"
     "ckMethodImpl TBaseHelper.Doubled scDefault 112-115 -> 56\n"
     "ckMethodImpl TObj.Init scDefault 117-120 -> 68\n"
     "ckMethodImpl TShort.Get scDefault 122-125 -> 72\n"
     "ckMethodImpl TShort.Put scDefault 127-129 -> 73\n"},
    // Free Pascal generics and specialisations, an advanced record, a type helper, global
    // operators and generic functions, directives and an &-escaped name.
    {"ModernFpc", "-Mobjfpc",
     "ckClass TList scPublic 9-15\n"
     "  ckVisibility private scPrivate 10-10\n"
     "  ckField FItems scPrivate 11-11\n"
     "  ckVisibility public scPublic 12-12\n"
     "  ckMethod Count scPublic 13-13 -> 44\n"
     "  ckMethod First scPublic 14-14 -> 49\n"
     "ckClass TStrList scPublic 19-22\n"
     "  ckVisibility public scPublic 20-20\n"
     "  ckMethod Clear scPublic 21-21 -> 54\n"
     "ckRecord TVec scPublic 24-27\n"
     "  ckField X, Y scDefault 25-25\n"
     "  ckMethod Sum scDefault 26-26 -> 58\n"
     "ckHelper TWordHelper scPublic 29-31\n"
     "  ckMethod IsZero scDefault 30-30 -> 63\n"
     "ckProcedure + scPublic 35-35 -> 68\n"
     "ckProcedure Largest scPublic 36-36 -> 74\n"
     "ckProcedure Twice scPublic 37-37 -> 82\n"
     "ckProcedure Log scPublic 38-38 -> 87\n"
     "ckProcedure Old scPublic 39-39 -> 91\n"
     "ckProcedure &Begin scPublic 40-40 -> 96\n"
     "ckMethodImpl TList.Count scDefault 44-47 -> 13\n"
     "ckMethodImpl TList.First scDefault 49-52 -> 14\n"
     "ckMethodImpl TStrList.Clear scDefault 54-56 -> 21\n"
     "ckMethodImpl TVec.Sum scDefault 58-61 -> 26\n"
     "ckMethodImpl TWordHelper.IsZero scDefault 63-66 -> 30\n"
     "ckProcedure + scPrivate 68-72 -> 35\n"
     "ckProcedure Largest scPrivate 74-80 -> 36\n"
     "ckProcedure Twice scPrivate 82-85 -> 37\n"
     "ckProcedure Log scPrivate 87-89 -> 38\n"
     "ckProcedure Old scPrivate 91-94 -> 39\n"
     "ckProcedure &Begin scPrivate 96-98 -> 40\n"},
    // Conditional branches: a class heading written twice, two classes of one name whose
    // methods are implemented once each, a procedure heading written twice, and a body
    // whose branches open one "begin" more than they close.
    {"CondUnit", "-Mdelphi",
     "ckClass TFoo scPublic 9-14\n"
     "  ckMethod X scDefault 13-13 -> 31\n"
     "ckClass TBar scPublic 17-19\n"
     "  ckMethod P scDefault 18-18 -> 35\n"
     "ckClass TBar scPublic 21-24\n"
     "  ckMethod P scDefault 22-22\n"
     "  ckMethod Q scDefault 23-23 -> 40\n"
     "ckProcedure Work scPublic 27-27 -> 46\n"
     "ckMethodImpl TFoo.X scDefault 31-33 -> 13\n"
     "ckMethodImpl TBar.P scDefault 35-37 -> 18\n"
     "ckMethodImpl TBar.Q scDefault 40-42 -> 23\n"
     "ckProcedure Work scPrivate 46-58 -> 27\n"
     "ckProcedure After scPrivate 60-62\n"},
};

std::string UnitPath(const TUnitCase& Case) {
    return std::string(KOLVA_SOURCE_DIR) + "/tests/model/units/" + Case.File + ".pas";
}

// Every declaration that has its lines to itself, written again from the model.
std::string Rendered(TModuleExplorer& Explorer, const std::string& Source) {
    TStringList lines;
    lines.SetText(Source);
    std::vector<TCodeItem*> items;
    std::function<void(TCodeItem&)> collect = [&](TCodeItem& Item) {
        for (TCodeItem* child : Item.Children()) {
            if (child->StartLine >= 0 && child->Kind() != ckSection) items.push_back(child);
            collect(*child);
        }
    };
    collect(Explorer.Module());
    std::sort(items.begin(), items.end(),
              [](const TCodeItem* a, const TCodeItem* b) { return a->StartLine > b->StartLine; });
    for (size_t i = 0; i < items.size(); ++i) {
        TCodeItem& item = *items[i];
        const auto shares = [&](const TCodeItem* other) {
            return other != &item && other->StartLine <= item.DeclEndLine &&
                   other->DeclEndLine >= item.StartLine && !IsTypeWithMembers(other->Kind());
        };
        if (std::any_of(items.begin(), items.end(), shares)) continue;
        // Code before the declaration on its line ("class var", an attribute).
        const std::string& first = lines[item.StartLine];
        if (first.find_first_not_of(" \t") < size_t(item.StartColumn)) continue;
        if (!IsTypeWithMembers(item.Kind()) &&
            std::any_of(items.begin(), items.end(), [&](const TCodeItem* other) {
                return other != &item && other->StartLine == item.StartLine;
            }))
            continue;
        TStringList text;
        text.SetText(std::string(size_t(item.StartColumn), ' ') + item.GetDeclaration());
        for (int k = item.DeclEndLine; k >= item.StartLine; --k)
            lines.Delete(k);
        for (int k = text.Count() - 1; k >= 0; --k)
            lines.Insert(item.StartLine, text[k]);
    }
    return lines.Text();
}

// The compiler's errors on Source, written as the unit's file.
std::vector<std::string> CompileErrors(const TUnitCase& Case, const std::string& Source) {
    const std::string file = test::TempPrefix() + "/fpc/" + Case.File + ".pas";
    test::WriteNative(file, Source);
    return test::CompileErrors({Case.File, file, Case.Mode}, file);
}

class TModernUnitTest : public testing::TestWithParam<TUnitCase> {};

TEST_P(TModernUnitTest, GivesItsOutline) {
    TModuleExplorer explorer;
    const std::string source = ReadFileText(UnitPath(GetParam()));
    EXPECT_EQ(OutlineOf(source, &explorer), GetParam().Outline);
    EXPECT_EQ(explorer.ErrorCount(), 0) << explorer.Errors().front();
    TStringList lines;
    lines.SetText(source);
    for (const std::string& fault : test::CheckModel(explorer, lines.Count(), true))
        ADD_FAILURE() << fault;
}

TEST_P(TModernUnitTest, CompilesWithEveryDeclarationRendered) {
    if (!test::FpcAvailable()) GTEST_SKIP() << "no fpc";
    const std::string source = ReadFileText(UnitPath(GetParam()));
    ASSERT_EQ(CompileErrors(GetParam(), source), std::vector<std::string>{});
    TModuleExplorer explorer;
    OutlineOf(source, &explorer);
    const std::string rendered = Rendered(explorer, source);
    EXPECT_EQ(CompileErrors(GetParam(), rendered), std::vector<std::string>{}) << rendered;
}

INSTANTIATE_TEST_SUITE_P(Units, TModernUnitTest, testing::ValuesIn(UnitCases));

// Each member written in a class, and its declaration as rendered from the model.
TEST(ModernDeclarations, MembersKeepWhatWasWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"procedure A; stdcall; export;", "procedure A; stdcall; export;"},
        {"procedure B; dispid 8;", "procedure B; dispid 8;"},
        {"procedure C; override; final;", "procedure C; override; final;"},
        {"class procedure D; static;", "class procedure D; static;"},
        {"function E: Integer; inline;", "function E: Integer; inline;"},
        {"procedure F; deprecated 'use G';", "procedure F; deprecated 'use G';"},
        {"procedure G; platform; experimental;", "procedure G; platform; experimental;"},
        {"procedure H; reintroduce; virtual;", "procedure H; reintroduce; virtual;"},
        {"procedure H2; far;", "procedure H2; far;"},
        {"procedure I(A: Integer); cdecl; varargs; external 'c';",
         "procedure I(A: Integer); cdecl; external 'c'; varargs;"},
        {"function J<T>(const A: T): TArray<T>;", "function J<T>(const A: T): TArray<T>;"},
        {"generic function K<T>: specialize TList<T>;",
         "generic function K<T>: specialize TList<T>;"},
        {"class operator Add(const A, B: TRec): TRec;",
         "class operator Add(const A, B: TRec): TRec;"},
        {"class operator := (const S: string): TRec; inline;",
         "class operator :=(const S: string): TRec; inline;"},
        {"property P: TList<T> read FP; deprecated;", "property P: TList<T> read FP; deprecated;"},
        {"class property Q: Integer read FQ;", "class property Q: Integer read FQ;"},
        {"property R: Integer readonly dispid 3;", "property R: Integer dispid 3 readonly;"},
        {"FS: Integer; external name 'fs';", "FS: Integer; external name 'fs';"},
        {"&Type: Integer;", "&Type: Integer;"},
    };
    for (const auto& [written, rendered] : cases) {
        TModuleExplorer explorer;
        OutlineOf(std::string("unit U; interface type\n  TFoo = class\n    ") + written +
                      "\n  end;\nimplementation end.",
                  &explorer);
        EXPECT_EQ(explorer.ErrorCount(), 0) << written;
        ASSERT_EQ(explorer.ItemCount(), 1) << written;
        ASSERT_EQ(explorer.Item(0)->ChildCount(), 1) << written;
        EXPECT_EQ(explorer.Item(0)->Child(0)->GetDeclaration(), rendered);
    }
}

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

// Statements inside a body are no members, and a type heading there ends the body.
TEST(ModernDeclarations, StatementsInABodyAreNoMembers) {
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
