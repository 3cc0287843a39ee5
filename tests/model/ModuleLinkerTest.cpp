// Linking on the scale of a large unit: hundreds of routines whose names differ only in their
// last characters or in letter case, overloads implemented in another order than declared,
// implementations without declarations, and classes declared twice or not at all.
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"
#include "support/ModelCheck.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Every implementation's partner must be a routine of the same name and the same parameters.
void ExpectPartnersAgree(TCodeItem& Owner, int& Linked) {
    for (TCodeItem* item : Owner.Children()) {
        auto* proc = dynamic_cast<TProcItem*>(item);
        if (!proc || !proc->ImplementationLink()) continue;
        const TProcItem* impl = proc->ImplementationLink();
        EXPECT_TRUE(SameText(proc->Name, impl->Name)) << proc->Name << " / " << impl->Name;
        EXPECT_EQ(proc->Params, impl->Params) << proc->Name;
        ++Linked;
    }
}

TEST(ModuleLinker, ManyRoutinesAreLinkedByNameAndSignature) {
    constexpr int Count = 300;
    std::string decls, impls;
    for (int i = 0; i < Count; ++i) {
        decls += Format("    procedure Method%d(A: Integer);\n", i);
        decls += Format("    procedure Over%d(A: Integer); overload;\n", i);
        decls += Format("    procedure Over%d(S: string); overload;\n", i);
        decls += Format("    procedure Proc%d;\n", i);
    }
    // Implemented backwards, names in other letter case, overloads in the other order.
    for (int i = Count - 1; i >= 0; --i) {
        impls += Format("procedure TBig.METHOD%d(A: Integer); begin end;\n", i);
        impls += Format("procedure TBig.over%d(S: string); begin end;\n", i);
        impls += Format("procedure TBig.Over%d(A: Integer); begin end;\n", i);
        impls += Format("procedure proc%d; begin end;\n", i);
    }
    // Without declarations: implied ones, in order of name.
    impls += "procedure TBig.Zeta; begin end;\nprocedure TBig.alpha; begin end;\n";
    std::string procs;
    for (int i = 0; i < Count; ++i)
        procs += Format("procedure Proc%d;\n", i);
    const std::string source = "unit U;\ninterface\ntype\n  TBig = class\n" + decls + "  end;\n" +
                               procs + "implementation\n" + impls + "end.\n";

    TModuleExplorer explorer;
    TStringList lines;
    lines.SetText(source);
    explorer.Parse(&lines);
    EXPECT_EQ(explorer.ErrorCount(), 0);
    EXPECT_TRUE(test::CheckModel(explorer, lines.Count(), false).empty());

    auto* big = static_cast<TClassItem*>(explorer.Item(0));
    ASSERT_EQ(big->Name, "TBig");
    int linked = 0;
    ExpectPartnersAgree(*big, linked);
    EXPECT_EQ(linked, 3 * Count + 2);
    const int children = big->ChildCount();
    ASSERT_GE(children, 2);
    EXPECT_EQ(big->Child(children - 2)->Name, "alpha");
    EXPECT_EQ(big->Child(children - 1)->Name, "Zeta");
    EXPECT_TRUE(big->Child(children - 1)->Implied);

    linked = 0;
    ExpectPartnersAgree(explorer.Module(), linked);
    EXPECT_EQ(linked, Count);
}

TEST(ModuleLinker, ClassesDeclaredTwiceOrNotAtAll) {
    EXPECT_EQ(test::OutlineOf("unit U; interface type\n"
                              "  TA = class procedure X; end;\n"
                              "  ta = class procedure Y; procedure X; end;\n"
                              "implementation\n"
                              "procedure TA.X; begin end;\n"
                              "procedure Ta.Y; begin end;\n"
                              "procedure tA.x; begin end;\n"
                              "procedure TB.Q; begin end;\n"
                              "procedure tb.P; begin end;\n"
                              "end.\n"),
              // Two classes of one name (conditional branches) share the implementations:
              // each takes those of its own declarations, and nothing is implied.
              "ckClass TA scPublic 1-1\n"
              "  ckMethod X scDefault 1-1 -> 4\n"
              "ckClass ta scPublic 2-2\n"
              "  ckMethod Y scDefault 2-2 -> 5\n"
              "  ckMethod X scDefault 2-2 -> 6\n"
              "ckMethodImpl TA.X scDefault 4-4 -> 1\n"
              "ckMethodImpl Ta.Y scDefault 5-5 -> 2\n"
              "ckMethodImpl tA.x scDefault 6-6 -> 2\n"
              "ckMethodImpl TB.Q scDefault 7-7 -> -1\n"
              "ckMethodImpl tb.P scDefault 8-8 -> -1\n"
              "ckClass TB scPublic -1-0 implied\n"
              "  ckMethod P scDefault -1-0 implied -> 8\n"
              "  ckMethod Q scDefault -1-0 implied -> 7\n");
}

} // namespace
} // namespace kolva
