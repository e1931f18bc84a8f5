#include <gtest/gtest.h>

#include "app/CTabStripLayout.h"

using namespace kv;

namespace {

// Five tabs of 100 pixels in a row of 300 with 40 pixels of scroll buttons: 260 pixels show tabs.
CTabStripLayout Overflowing()
{
    CTabStripLayout layout;
    layout.SetTabWidths({100, 100, 100, 100, 100});
    layout.Arrange(300, 40);
    return layout;
}

} // namespace

TEST(TabStripLayout, TabsThatFitStandSideBySideWithoutScrollButtons)
{
    CTabStripLayout layout;
    layout.SetTabWidths({80, 120, 40});
    layout.Arrange(240, 40);
    EXPECT_FALSE(layout.HasScrollButtons());
    EXPECT_EQ(layout.TabsRight(), 240);
    EXPECT_EQ(layout.TabLeft(0), 0);
    EXPECT_EQ(layout.TabLeft(1), 80);
    EXPECT_EQ(layout.TabLeft(2), 200);
    EXPECT_EQ(layout.TabAt(0), 0);
    EXPECT_EQ(layout.TabAt(79), 0);
    EXPECT_EQ(layout.TabAt(80), 1);
    EXPECT_EQ(layout.TabAt(239), 2);
    EXPECT_EQ(layout.TabAt(240), -1);
    EXPECT_EQ(layout.TabAt(-1), -1);
    EXPECT_FALSE(layout.CanScrollLeft());
    EXPECT_FALSE(layout.CanScrollRight());
}

TEST(TabStripLayout, ScrollsWithinWhatIsHiddenAndKeepsThePointerOffTheButtons)
{
    CTabStripLayout layout = Overflowing();
    EXPECT_TRUE(layout.HasScrollButtons());
    EXPECT_EQ(layout.TabsRight(), 260);
    EXPECT_TRUE(layout.IsVisible(2)); // partly shown
    EXPECT_FALSE(layout.IsVisible(3));
    EXPECT_EQ(layout.TabAt(270), -1); // on the buttons
    EXPECT_TRUE(layout.CanScrollRight());
    EXPECT_FALSE(layout.CanScrollLeft());

    layout.Scroll(1);
    EXPECT_EQ(layout.FirstVisible(), 1);
    EXPECT_EQ(layout.TabLeft(0), -100);
    EXPECT_EQ(layout.TabAt(10), 1);
    layout.Scroll(10); // never past the point where the last tabs fill the row
    EXPECT_EQ(layout.FirstVisible(), 3);
    EXPECT_FALSE(layout.CanScrollRight());
    layout.Scroll(-10);
    EXPECT_EQ(layout.FirstVisible(), 0);
}

TEST(TabStripLayout, EnsureVisibleBringsATabWhollyIntoSight)
{
    CTabStripLayout layout = Overflowing();
    layout.EnsureVisible(4);
    EXPECT_EQ(layout.FirstVisible(), 3);
    EXPECT_LE(layout.TabLeft(4) + layout.TabWidth(4), layout.TabsRight());
    layout.EnsureVisible(1);
    EXPECT_EQ(layout.FirstVisible(), 1);
    layout.EnsureVisible(9); // no such tab
    EXPECT_EQ(layout.FirstVisible(), 1);
}

// A strip that shows all its tabs again is never left shifted.
TEST(TabStripLayout, FewerOrNarrowerTabsOrAWiderRowScrollBackToTheStart)
{
    CTabStripLayout layout = Overflowing();
    layout.Scroll(3);
    layout.SetTabWidths({100, 100});
    EXPECT_EQ(layout.FirstVisible(), 0);
    EXPECT_FALSE(layout.HasScrollButtons());

    layout = Overflowing();
    layout.Scroll(3);
    layout.Arrange(600, 40);
    EXPECT_EQ(layout.FirstVisible(), 0);
    EXPECT_EQ(layout.TabLeft(0), 0);

    layout = Overflowing();
    layout.Scroll(3);
    layout.Arrange(400, 40); // 360 shown: tabs 2 to 4 fill 300 of it, so tab 1 cannot come back
    EXPECT_EQ(layout.FirstVisible(), 2);
    layout.Arrange(440, 40); // 400 shown: tabs 1 to 4 fit
    EXPECT_EQ(layout.FirstVisible(), 1);
}
