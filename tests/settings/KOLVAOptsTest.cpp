#include "settings/KOLVAOpts.h"

#include "model/CodeItems.h"
#include "platform/Registry.h"
#include "support/SettingsReset.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Records every notification an observer hears.
struct TRecorder {
    explicit TRecorder(TKOLVAOptions& Options) : Observer(Options) {
        Observer.SetOnChange([this](TKOLVAOptChanges Changes) { Heard.push_back(Changes); });
    }
    TKOLVAOptionsObserver Observer;
    std::vector<TKOLVAOptChanges> Heard;
};

TRegistry& OpenKey(TRegistry& Reg) {
    EXPECT_TRUE(Reg.OpenKey("Software\\Fernwright\\Kolva\\1.0\\Options", true));
    return Reg;
}

TEST(KOLVAOptions, ALoadNotifiesOnceWithEveryKindChanged) {
    TKOLVAOptions options;
    TRecorder recorder(options);
    TRegistry reg;
    OpenKey(reg).WriteString("ContentsDisplayMode", "dmSorted");
    reg.WriteString("SyncOptions", "[syAfterSave]");
    reg.WriteString("DetailsSortMode", "smCode"); // unchanged
    reg.WriteString("WideFilter", "maybe");       // unknown: keeps its value
    options.LoadFromRegistry(reg);
    ASSERT_EQ(recorder.Heard.size(), 1u);
    EXPECT_EQ(recorder.Heard[0], (TKOLVAOptChanges{ocContentsDisplayMode, ocSync}));
    EXPECT_EQ(options.SyncOptions(), TSyncOptions{syAfterSave});
    EXPECT_TRUE(options.WideFilter());

    // Loading the same again changes nothing and tells nobody.
    options.LoadFromRegistry(reg);
    EXPECT_EQ(recorder.Heard.size(), 1u);

    // A malformed number stops the load; what was read before it is kept and told.
    reg.WriteString("DetailsSortMode", "smName");
    reg.WriteString("GeneralSyncDelay", "12x");
    reg.WriteString("WideFilter", "False");
    EXPECT_THROW(options.LoadFromRegistry(reg), EConvertError);
    EXPECT_EQ(options.DetailsSortMode(), smName);
    EXPECT_TRUE(options.WideFilter()); // declared after the bad value: not read
    EXPECT_EQ(options.UpdateCount(), 0);
    ASSERT_EQ(recorder.Heard.size(), 2u);
    EXPECT_EQ(recorder.Heard[1], TKOLVAOptChanges{ocDetailsSortMode});
}

TEST(KOLVAOptions, EachSetterReportsItsKindOnlyWhenTheValueChanges) {
    test::TSettingsReset reset;
    TKOLVAOptions options;
    TRecorder recorder(options);
    struct TCase {
        std::function<void()> Set;
        TKOLVAOptChanges Expected;
    };
    TKOLVAOptions& o = options;
    const TCase cases[] = {
        {[&] { o.SetContentsDisplayMode(dmCode); }, {ocContentsDisplayMode}},
        {[&] { o.SetContentsDisplayOptions({}); }, {ocContentsDisplayOptions}},
        {[&] { o.SetCtrlExclusiveFilters(false); }, {}},
        {[&] { o.SetDesignerRestrictions({drHideMethods}); }, {ocDesignerRestrictions}},
        {[&] { o.SetDetailsDisplayOptions({ddShowType}); }, {ocDetailsDisplayOptions}},
        {[&] { o.SetDetailsSortMode(smKindVis); }, {ocDetailsSortMode}},
        {[&] { o.SetGeneralSyncDelay(5); }, {ocSync}},
        {[&] { o.SetModifiedSyncDelay(5); }, {ocSync}},
        {[&] { o.SetSourceModules("pas"); }, {ocSync}},
        {[&] { o.SetSyncOptions({}); }, {ocSync}},
        {[&] { o.SetUseIDEImages(false); }, {ocUseIDEImages}},
        {[&] { o.SetVisibleToolbars({}); }, {ocVisibleToolbars}},
        {[&] { o.SetWideFilter(false); }, {ocWideFilter}},
    };
    for (const TCase& c : cases) {
        recorder.Heard.clear();
        c.Set();
        c.Set(); // the same value again
        const std::vector<TKOLVAOptChanges> expected =
            c.Expected.Empty() ? std::vector<TKOLVAOptChanges>{}
                               : std::vector<TKOLVAOptChanges>{c.Expected};
        EXPECT_EQ(recorder.Heard, expected) << &c - cases;
    }
    EXPECT_FALSE(FilterButtonsCtrlExclusive());
    EXPECT_FALSE(ShowParameters());
    options.SetDetailsDisplayOptions({ddShowParams});
    EXPECT_TRUE(ShowParameters());
}

TEST(KOLVAOptions, BracketsObserversAndTheirLifetimes) {
    auto options = std::make_unique<TKOLVAOptions>();
    TRecorder first(*options), disabled(*options);
    disabled.Observer.SetEnabled(false);

    options->BeginUpdate();
    options->SetWideFilter(false);
    options->BeginUpdate();
    options->SetDetailsSortMode(smName);
    options->EndUpdate();
    EXPECT_TRUE(first.Heard.empty());
    EXPECT_EQ(options->PendingChanges(), (TKOLVAOptChanges{ocWideFilter, ocDetailsSortMode}));
    options->EndUpdate();
    EXPECT_EQ(first.Heard, (std::vector<TKOLVAOptChanges>{{ocWideFilter, ocDetailsSortMode}}));
    EXPECT_TRUE(disabled.Heard.empty());
    options->EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(options->UpdateCount(), 0);

    disabled.Observer.SetEnabled(true);
    options->SetWideFilter(true);
    EXPECT_EQ(disabled.Heard, (std::vector<TKOLVAOptChanges>{{ocWideFilter}}));

    // An observer that frees another while being told: the freed one hears nothing.
    auto victim = std::make_unique<TRecorder>(*options);
    first.Observer.SetOnChange([&](TKOLVAOptChanges) { victim.reset(); });
    options->SetWideFilter(false);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(options->Observers().size(), 2u);

    // Options freed before their observers leave them detached, not dangling.
    options.reset();
    EXPECT_EQ(first.Observer.Options(), nullptr);
}

TEST(KOLVAOptions, AssignCopiesEveryOptionWithOneNotification) {
    test::TSettingsReset reset;
    TKOLVAOptions source, target;
    source.SetContentsDisplayMode(dmCode);
    source.SetSourceModules("pp;lpr");
    source.SetModifiedSyncDelay(10);
    TRecorder recorder(target);
    target.Assign(source);
    EXPECT_EQ(recorder.Heard, (std::vector<TKOLVAOptChanges>{{ocContentsDisplayMode, ocSync}}));
    EXPECT_EQ(target.SourceModules(), "pp;lpr");
    EXPECT_EQ(target.ModifiedSyncDelay(), 10);
}

TEST(KOLVAOptions, SourceModulesText) {
    struct TCase {
        const char* Text;
        std::vector<std::string> Modules;
        const char* Stored;
    };
    const TCase cases[] = {
        {"*.pas, *.inc", {"pas", " *.inc"}, "pas; *.inc"},
        {".pp;;*lpr,", {"pp", "lpr"}, "pp;lpr"},
        {"\"a;b\";\"say \"\"hi\"\"\"", {"a;b", "say \"hi\""}, "\"a;b\";\"say \"\"hi\"\"\""},
        {"\"x\"\";y\"", {"x\";y"}, "\"x\"\";y\""}, // a doubled quote is one, and the word goes on
        {"", {}, ""},
    };
    for (const TCase& c : cases) {
        TKOLVAOptions options;
        options.SetSourceModules(c.Text);
        std::vector<std::string> modules;
        for (int i = 0; i < options.SourceModuleList().Count(); ++i)
            modules.push_back(options.SourceModuleList()[i]);
        EXPECT_EQ(modules, c.Modules) << c.Text;
        EXPECT_EQ(options.SourceModules(), c.Stored);
    }

    TKOLVAOptions options;
    options.SetSourceModules("*.pas, *.inc");
    EXPECT_TRUE(options.IsSourceModule(".PAS"));
    EXPECT_TRUE(options.IsSourceModule("pas"));
    EXPECT_FALSE(options.IsSourceModule(".inc"));
    EXPECT_FALSE(options.IsSourceModule("..pas"));

    // Another spelling of the same list is no change.
    TRecorder recorder(options);
    options.SetSourceModules("pas, *.inc");
    EXPECT_TRUE(recorder.Heard.empty());
}

} // namespace
} // namespace kolva
