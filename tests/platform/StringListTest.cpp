#include "platform/StringList.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(StringList, SortedListAppliesDuplicatesMode) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("beta"), 0);
    EXPECT_EQ(list.Add("Alpha"), 0);
    EXPECT_EQ(list.Add("gamma"), 2);

    EXPECT_EQ(list.Add("BETA"), 1) << "dupIgnore returns the existing entry";
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1], "beta");

    list.SetDuplicates(dupAccept);
    list.Add("BETA");
    EXPECT_EQ(list.Count(), 4);
    int index;
    EXPECT_TRUE(list.Find("Beta", index));
    EXPECT_EQ(index, 1) << "Find reports the first of equal strings";

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("alpha"), EListError);
    EXPECT_THROW(list.Insert(0, "x"), EListError);
    EXPECT_FALSE(list.Find("delta", index));
    EXPECT_EQ(index, 3) << "the insertion point";
}

TEST(StringList, LookupIgnoresCaseAndChecksBounds) {
    TStringList list{"One", "Two", "Three"};
    EXPECT_EQ(list.IndexOf("tWO"), 1);
    EXPECT_EQ(list.IndexOf("four"), -1);
    EXPECT_THROW(list.Strings(3), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    list.Move(0, 2);
    EXPECT_EQ(list.Text(), "Two\r\nThree\r\nOne\r\n");
    list.SetValue("Key", "v");
    EXPECT_EQ(list.Values("KEY"), "v");
}

TEST(StringList, UpdateBracketsNotifyOnceAtTheOutermostEnd) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add("a");
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    list.SetText("x\ny");
    EXPECT_EQ(changes, 3) << "SetText is one change";
    list.SetText("");
    EXPECT_EQ(list.Count(), 0) << "an empty text has no lines";
}

// Each text, read as comma text, gives the items (joined by "|") and writes back as Written.
TEST(StringList, CommaTextQuotesWhatWouldSplitAndReadsBackWhole) {
    struct TCase {
        const char* Text;
        const char* Items;
        const char* Written;
    };
    const TCase cases[] = {
        {" a , b ,", "a|b", "a,b"},
        {"a b,c", "a|b|c", "a,b,c"},
        {"a,,b", "a||b", "a,\"\",b"},
        {"\"C:\\My Files\\x.pas\",Page", "C:\\My Files\\x.pas|Page",
         "\"C:\\My Files\\x.pas\",Page"},
        {"\"say \"\"hi\"\"\",\"x,y\"", "say \"hi\"|x,y", "\"say \"\"hi\"\"\",\"x,y\""},
        {"\"open", "open", "open"},
        {"\"\"", "", "\"\""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TStringList list;
        list.SetCommaText(c.Text);
        std::string items;
        for (int i = 0; i < list.Count(); ++i)
            items += (i ? "|" : "") + list[i];
        EXPECT_EQ(items, c.Items);
        EXPECT_EQ(list.CommaText(), c.Written);
    }
}

} // namespace
} // namespace kolva
