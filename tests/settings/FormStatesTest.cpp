#include "settings/FormStates.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "support/Raised.h"

#include <string>

#include <gtest/gtest.h>

namespace kolva {
namespace {

/// A window that only has bounds.
struct TTestForm : IFormWindow {
    TTestForm(std::string Class, bool Resizable, int32_t L, int32_t T, int32_t W, int32_t H)
        : Class(std::move(Class)), Resizable(Resizable), L(L), T(T), W(W), H(H) {}
    std::string FormClassName() const override { return Class; }
    int32_t Left() const override { return L; }
    int32_t Top() const override { return T; }
    int32_t Width() const override { return W; }
    int32_t Height() const override { return H; }
    bool Sizeable() const override { return Resizable; }
    void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override {
        L = ALeft, T = ATop, W = AWidth, H = AHeight;
    }
    std::string Bounds() const { return Format("%d,%d %dx%d", L, T, W, H); }

    std::string Class;
    bool Resizable;
    int32_t L, T, W, H;
};

/// One line a state: "Name L,T WxH" with "sized" when it holds a size.
std::string StatesText(const TFormStateList& States) {
    std::string text;
    for (int i = 0; i < States.Count(); ++i) {
        const TFormState& s = States.State(i);
        text += Format("%s %d,%d %dx%d", s.Name, s.Left, s.Top, s.Width, s.Height) +
                (s.HasSize ? " sized\n" : "\n");
    }
    return text;
}

struct TRestoreRow {
    const char* Name;
    bool StoredSizeable; // the window the state was stored from
    bool Sizeable;       // the window restored
    const char* FormClass;
    bool Restored;
    const char* Bounds;
};

class RestoreForm : public testing::TestWithParam<TRestoreRow> {};

TEST_P(RestoreForm, AppliesWhatTheStateHolds) {
    const TRestoreRow& row = GetParam();
    TFormStateStore store;
    store.StoreForm(TTestForm("TFieldEditForm", row.StoredSizeable, 10, 20, 300, 200));
    TTestForm form(row.FormClass, row.Sizeable, 0, 0, 640, 480);
    EXPECT_EQ(store.RestoreForm(form), row.Restored);
    EXPECT_EQ(form.Bounds(), row.Bounds);
}

INSTANTIATE_TEST_SUITE_P(
    FormStates, RestoreForm,
    testing::Values(TRestoreRow{"Sizeable", true, true, "TFieldEditForm", true, "10,20 300x200"},
                    TRestoreRow{"NowFixed", true, false, "TFieldEditForm", true, "10,20 640x480"},
                    // Stored without a size: moved only, whatever the window is now.
                    TRestoreRow{"NoSize", false, false, "TFieldEditForm", true, "10,20 640x480"},
                    TRestoreRow{"NoSizeNowSizeable", false, true, "TFieldEditForm", true,
                                "10,20 640x480"},
                    TRestoreRow{"OtherCase", true, true, "TFIELDEDITFORM", true, "10,20 300x200"},
                    TRestoreRow{"NoState", true, true, "TMethodEditForm", false, "0,0 640x480"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(FormStates, DialogsOfOneClassShareOneState) {
    TFormStateStore store;
    TTestForm first("TPropertyEditForm", true, 5, 6, 400, 300);
    TTestForm second("TPropertyEditForm", true, 0, 0, 100, 100);
    store.StoreForm(first);
    store.StoreForm(TTestForm("TPROPERTYEDITFORM", true, 7, 8, 500, 350));
    store.StoreForm(first, "Other"); // a name of its own
    EXPECT_EQ(StatesText(store.States), "Other 5,6 400x300 sized\n"
                                        "TPropertyEditForm 7,8 500x350 sized\n");
    EXPECT_TRUE(store.RestoreForm(second));
    EXPECT_EQ(second.Bounds(), "7,8 500x350");
}

TEST(FormStates, RegistryKeepsOneSubkeyPerState) {
    TFormStateStore store;
    store.StoreForm(TTestForm("TClassEditForm", true, 1, 2, 300, 200));
    store.StoreForm(TTestForm("TRearrangeForm", false, -3, 4, 50, 60));
    TRegistry reg;
    const std::string key = "Software\\Fernwright\\Kolva\\1.0\\FormStore";
    ASSERT_TRUE(reg.OpenKey("Software\\Fernwright\\Kolva\\1.0\\FormStore\\TOldForm", true));
    reg.WriteInteger("Left", 9);
    reg.WriteString("Top", "twelve"); // not an integer: reads as 0
    ASSERT_TRUE(reg.OpenKey("\\" + key, false));
    store.SaveStates(reg);
    EXPECT_EQ(reg.CurrentPath(), key);

    TFormStateStore loaded;
    loaded.StoreForm(TTestForm("TGoneForm", true, 0, 0, 1, 1));
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\" + key));
    loaded.LoadStates(reg);
    EXPECT_EQ(reg.CurrentPath(), key);
    EXPECT_EQ(StatesText(loaded.States), "TClassEditForm 1,2 300x200 sized\n"
                                         "TOldForm 9,0 0x0\n"
                                         "TRearrangeForm -3,4 0x0\n");
}

TEST(FormStates, TheStoreAnswersThreeRequests) {
    FormStateStore(srForget);
    EXPECT_EQ(FormStateStore(srCurrent), nullptr);
    TFormStateStore* store = FormStateStore(srCreate);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(FormStateStore(srCreate), store);
    EXPECT_EQ(FormStateStore(srCurrent), store);
    EXPECT_EQ(FormStateStore(srForget), nullptr);
    EXPECT_EQ(FormStateStore(srCurrent), nullptr);
    for (int request : {3, -1})
        EXPECT_EQ(test::ErrorOf([&] { FormStateStore(request); }),
                  "Illegal request " + std::to_string(request) + " in AccessInstance");
}

} // namespace
} // namespace kolva
