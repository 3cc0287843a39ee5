// The explorer's own controls: the filter buttons' click convention, the visibility
// filter, moving rows, and the list's scrolling while something is dragged over its edges.
#include "explorer/ASListView.h"
#include "explorer/FormEx.h"
#include "explorer/ModelImages.h"
#include "explorer/Scopfltr.h"
#include "settings/KOLVAOpts.h"
#include "support/ManualClock.h"
#include "support/SettingsReset.h"

#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

namespace kolva {
namespace {

struct TKindButtons {
    QWidget Panel;
    TFilterButton* Fields = new TFilterButton(&Panel);
    TFilterButton* Methods = new TFilterButton(&Panel);
    TFilterButton* Properties = new TFilterButton(&Panel);
    TFilterButton* Other = new TFilterButton(&Panel); // another group
    int Clicks = 0;

    TKindButtons() {
        for (auto* Button : {Fields, Methods, Properties}) {
            Button->SetGroupIndex(1);
            Button->SetDown(true);
            Button->OnClick = [this](TFilterButton&) { ++Clicks; };
        }
        Other->SetGroupIndex(2);
        Other->SetDown(true);
    }
    std::string Pressed() const {
        std::string Text;
        for (auto* Button : {Fields, Methods, Properties, Other})
            Text += Button->Down() ? '1' : '0';
        return Text;
    }
};

TEST(FilterButtonTest, CtrlDecidesBetweenExclusiveAndToggleClicks) {
    test::TSettingsReset Settings;
    SetFilterButtonsCtrlExclusive(false);
    TKindButtons Buttons;
    QTest::mouseClick(Buttons.Methods, Qt::LeftButton); // exclusive: only methods
    EXPECT_EQ(Buttons.Pressed(), "0101");
    QTest::mouseClick(Buttons.Fields, Qt::LeftButton, Qt::ControlModifier); // adds fields back
    EXPECT_EQ(Buttons.Pressed(), "1101");
    QTest::mouseClick(Buttons.Fields, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Buttons.Pressed(), "0101");
    EXPECT_EQ(Buttons.Clicks, 3);

    SetFilterButtonsCtrlExclusive(true); // the default: Ctrl makes the click exclusive
    Buttons.Properties->Click(false);
    EXPECT_EQ(Buttons.Pressed(), "0111");
    Buttons.Properties->Click(true);
    EXPECT_EQ(Buttons.Pressed(), "0011");
    Buttons.Properties->Click(true); // stays pressed
    EXPECT_EQ(Buttons.Pressed(), "0011");
}

TEST(ScopeFilterTest, ScopesShowAllAndSizes) {
    test::TSettingsReset Settings;
    TScopeFilter Filter;
    int Changes = 0;
    Filter.OnFilterChange = [&](TScopeFilter&) { ++Changes; };
    EXPECT_EQ(Filter.FilterValue(), 63);

    Filter.SetScopes({scPrivate, scPublic});
    EXPECT_EQ(Filter.FilterValue(), 0b1010);
    EXPECT_EQ(Changes, 1); // once for several buttons
    Filter.SetScopes({scPrivate, scPublic});
    EXPECT_EQ(Changes, 1); // no change, no event

    Filter.ShowAll();
    EXPECT_EQ(Filter.FilterValue(), 63);
    Filter.ShowAll();
    EXPECT_EQ(Filter.FilterValue(), 0);
    EXPECT_EQ(Changes, 3);

    SetFilterButtonsCtrlExclusive(false);
    Filter.Button(scProtected).Click(false);
    EXPECT_EQ(Filter.Scopes(), TVisibilities{scProtected});
    EXPECT_EQ(Changes, 4);

    Filter.SetButtonWidth(10);
    Filter.SetButtonHeight(5);
    EXPECT_EQ(Filter.ButtonWidth(), 20);
    EXPECT_EQ(Filter.ButtonHeight(), 21);
    EXPECT_EQ(Filter.Button(scPublic).width(), 20);
}

std::string Captions(const QStandardItemModel& Rows) {
    std::string Text;
    for (int I = 0; I < Rows.rowCount(); ++I)
        Text += Rows.item(I)->text().toStdString();
    return Text;
}

TEST(ListViewExTest, MoveRowInsertsBeforeTheTargetRow) {
    QStandardItemModel Rows;
    for (const char* Caption : {"A", "B", "C", "D"})
        Rows.appendRow(new QStandardItem(Caption));
    TListViewEx List;
    List.setModel(&Rows);
    struct {
        int From, To;
        const char* After;
    } Moves[] = {{1, 1, "ABCD"}, {1, 2, "ABCD"}, {1, 3, "ACBD"}, {2, 1, "ABCD"},
                 {0, 4, "BCDA"}, {3, 0, "ABCD"}, {3, 9, "ABCD"}};
    for (auto& Move : Moves) {
        List.MoveRow(Move.From, Move.To);
        EXPECT_EQ(Captions(Rows), Move.After) << Move.From << " -> " << Move.To;
    }
    List.MoveRow(0, 2);
    EXPECT_EQ(List.currentIndex().row(), 1);
    EXPECT_TRUE(List.selectionModel()->isRowSelected(1, {}));
}

class AutoScrollTest : public testing::Test {
protected:
    test::TManualClockScope Time;
    QStandardItemModel Rows;
    TAutoScrollListView List;

    void SetUp() override {
        for (int I = 0; I < 50; ++I)
            Rows.appendRow(new QStandardItem(QString::number(I)));
        List.setModel(&Rows);
        List.resize(200, 200);
        List.show();
    }
    int Top() const { return List.verticalScrollBar()->value(); }
    int Bottom() const { return List.viewport()->height() - 1; }
};

TEST_F(AutoScrollTest, ScrollsFasterWhileInAZoneAndNotPastTheEnds) {
    ASSERT_GT(List.ZoneHeight(), 0);
    EXPECT_EQ(List.ZoneAt(List.ZoneHeight()), 0);

    List.DragOver(0); // the list shows its first row: nothing to scroll
    Time.Clock.Advance(1000);
    EXPECT_EQ(Top(), 0);

    List.DragOver(Bottom());
    EXPECT_EQ(List.CurrentInterval(), 250);
    std::vector<int> Intervals;
    for (int I = 0; I < 5; ++I) {
        int Before = Top();
        Time.Clock.Advance(List.CurrentInterval() + 100);
        EXPECT_EQ(Top(), Before + 1);
        Intervals.push_back(List.CurrentInterval());
    }
    EXPECT_EQ(Intervals, (std::vector<int>{187, 140, 105, 100, 100}));

    List.DragOver(List.viewport()->height() / 2); // left the zone
    int Stopped = Top();
    Time.Clock.Advance(1000);
    EXPECT_EQ(Top(), Stopped);
}

TEST(ModelImagesTest, EveryImagePaintsAtAnyDensity) {
    for (int Image = 0; Image < ModelImageCount; ++Image)
        for (int Size : {16, 48}) {
            QImage Picture = RenderModelImage(static_cast<TModelImage>(Image), Size);
            ASSERT_EQ(Picture.width(), Size);
            int Painted = 0;
            for (int Y = 0; Y < Size; ++Y)
                for (int X = 0; X < Size; ++X)
                    Painted += qAlpha(Picture.pixel(X, Y)) > 0;
            int Least = Image == imStatic ? Size * Size / 20 : Size * Size / 10;
            EXPECT_GT(Painted, Least) << "image " << Image << " at " << Size;
        }
}

TEST(FormExTest, AnEmbeddedFormIsAPlainChild) {
    QWidget Owner;
    TFormEx Embedded(&Owner, true), Floating(&Owner, false);
    EXPECT_FALSE(Embedded.isWindow());
    EXPECT_TRUE(Floating.isWindow());
}

} // namespace
} // namespace kolva
