#include "settings/FormStates.h"

#include "platform/Registry.h"
#include "support/Raised.h"

#include <string>

#include <gtest/gtest.h>

namespace kolva {
namespace {

/// A window that only has bounds.
class TTestForm : public IFormWindow {
public:
    TTestForm(std::string ClassName, bool Sizeable, int32_t L, int32_t T, int32_t W, int32_t H)
        : FClassName(std::move(ClassName)), FSizeable(Sizeable), FLeft(L), FTop(T), FWidth(W),
          FHeight(H) {}
    std::string FormClassName() const override { return FClassName; }
    int32_t Left() const override { return FLeft; }
    int32_t Top() const override { return FTop; }
    int32_t Width() const override { return FWidth; }
    int32_t Height() const override { return FHeight; }
    bool Sizeable() const override { return FSizeable; }
    void SetBounds(int32_t L, int32_t T, int32_t W, int32_t H) override {
        FLeft = L, FTop = T, FWidth = W, FHeight = H;
    }
    std::string Bounds() const {
        return std::to_string(FLeft) + "," + std::to_string(FTop) + " " + std::to_string(FWidth) +
               "x" + std::to_string(FHeight);
    }

private:
    std::string FClassName;
    bool FSizeable;
    int32_t FLeft, FTop, FWidth, FHeight;
};

/// One line a state: "Name L,T WxH" with "sized" when it holds a size.
std::string StatesText(const TFormStateList& States) {
    std::string text;
    for (int i = 0; i < States.Count(); ++i) {
        const TFormState& s = States.State(i);
        text += s.Name + " " + std::to_string(s.Left) + "," + std::to_string(s.Top) + " " +
                std::to_string(s.Width) + "x" + std::to_string(s.Height) +
                (s.HasSize ? " sized" : "") + "\n";
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
