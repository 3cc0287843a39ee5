#include "settings/PrjStore.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

constexpr const char* MemberKindNames[] = {
    "ckNone",          "ckModule",    "ckUses",  "ckFWTag",     "ckVar",
    "ckVisibility",    "ckProcedure", "ckClass", "ckInterface", "ckObject",
    "ckDispInterface", "ckField",     "ckMethod"};

// The explorer's own kind of state object: a set type of its own, a property the info lacks
// (Zoom) and none for most of the info's.
class TExplorerView : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable() {
        using T = TExplorerView;
        static const TTypeInfo kinds = SetTypeInfo("TMemberKinds", MemberKindNames);
        static const TPropTable table(
            "TExplorerView", "Explorer", nullptr,
            {Prop<&T::Collapsed, &T::SetCollapsed>("collapsed"),
             Prop<&T::MemberFilter, &T::SetMemberFilter>("MemberFilter", &kinds),
             Prop<&T::Zoom, &T::SetZoom>("Zoom")});
        return table;
    }
    const TPropTable& PublishedProps() const override { return PropTable(); }
    const TStringList* Collapsed() const { return &FCollapsed; }
    void SetCollapsed(const TStringList* V) { FCollapsed.Assign(*V); }
    TCodeItems MemberFilter() const { return FMemberFilter; }
    void SetMemberFilter(TCodeItems V) { FMemberFilter = V; }
    int32_t Zoom() const { return FZoom; }
    void SetZoom(int32_t V) { FZoom = V; }

    TStringList FCollapsed;
    TCodeItems FMemberFilter;
    int32_t FZoom = 100;
};

TEST(PrjStore, ModulesAreFoundWithoutRegardToCase) {
    TModuleStore store;
    TModuleInfo& info = store.InfoFor("Unit1");
    EXPECT_EQ(&store.InfoFor("UNIT1"), &info);
    store.InfoFor("Alpha");
    int index = -1;
    EXPECT_TRUE(store.FindInfo("unit1", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(store.FindInfo("Beta", index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(store.Modules.Count(), 2);
    EXPECT_EQ(info.ModuleID(), "Unit1");
}

TEST(PrjStore, AViewMovesByPropertyNames) {
    TExplorerView view;
    view.FCollapsed.SetText("TFoo\nTBar\n");
    view.FMemberFilter = {ckField, ckMethod};
    TModuleInfo info("Unit1");
    info.SetTopItem("kept");
    info.Assign(view);
    EXPECT_EQ(info.Collapsed()->Text(), "TFoo\r\nTBar\r\n");
    EXPECT_EQ(info.MemberFilter(), (TCodeItems{ckField, ckMethod}));
    EXPECT_EQ(info.TopItem(), "kept");

    TExplorerView back;
    back.FZoom = 150;
    back.Assign(info);
    EXPECT_EQ(back.FCollapsed.Text(), view.FCollapsed.Text());
    EXPECT_EQ(back.FMemberFilter, view.FMemberFilter);
    EXPECT_EQ(back.FZoom, 150);
    EXPECT_THROW(info.Assign(TPersistent()), EConvertError);
}

TEST(PrjStore, AClassNameKeepsItsFirstKind) {
    TKnownClassNames names;
    names.Register("IFoo", ckInterface);
    names.Register("TBar", ckClass);
    names.Register("ifoo", ckClass);
    names.Register("TBaz", ckObject);
    names.Register("TAbc", ckClass);
    TStringList list{"tbar", "Zed"};
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    names.GetNames(list, {ckClass, ckObject});
    EXPECT_EQ(list.Text(), "tbar\r\nZed\r\nTAbc\r\nTBaz\r\n");
    EXPECT_EQ(changes, 1);
    list.Clear();
    names.GetNames(list, {ckInterface});
    EXPECT_EQ(list.Text(), "IFoo\r\n");
}

} // namespace
} // namespace kolva
