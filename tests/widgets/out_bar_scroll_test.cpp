// The scroll arrows of a folder whose items do not fit: held, they scroll one
// item per timer tick (ticks are delivered directly).
#include "shown_bar.h"

namespace qh {
namespace {

int bottomEdge(const QRect& r) {
    return r.y() + r.height();
}

class OutBarScroll : public test::ShownBar {
protected:
    void SetUp() override { build(NAVBAR_DEFAULT_FLAGS, 10); }
    bool lastItemFits() const { return bottomEdge(bar->itemRect(9)) <= bottomEdge(bar->insideRect()); }
    // Holds an arrow and ticks until the repetition stops; every tick must
    // move by exactly `step`. Returns the number of ticks.
    int holdUntilStopped(QPoint arrow, int step) {
        press(arrow);
        const int id = bar->arrowTimerId();
        EXPECT_NE(id, 0);
        int ticks = 0;
        while (bar->arrowTimerId() != 0 && ticks < 20) {
            const int before = bar->firstVisibleItem();
            tick(id);
            ++ticks;
            EXPECT_EQ(bar->firstVisibleItem(), before + step) << "tick " << ticks;
        }
        return ticks;
    }
};

TEST_F(OutBarScroll, HeldArrowsScrollOneItemPerTickAndStopAtTheEnds) {
    ASSERT_TRUE(bar->downArrowShown());
    ASSERT_FALSE(bar->upArrowShown());
    const QPoint down = bar->downArrowRect().center();
    press(down);
    const int id = bar->arrowTimerId();
    ASSERT_NE(id, 0);
    tick(id);
    tick(id);
    EXPECT_EQ(bar->firstVisibleItem(), 2);
    EXPECT_TRUE(bar->upArrowShown());

    // Off the arrow the ticks do nothing; back on it they scroll again.
    move(QPoint(bar->insideRect().x() + 2, down.y()));
    tick(id);
    EXPECT_EQ(bar->firstVisibleItem(), 2);
    EXPECT_EQ(bar->arrowTimerId(), id);
    move(down);
    tick(id);
    EXPECT_EQ(bar->firstVisibleItem(), 3);

    // Releasing on the arrow scrolls once more and ends the repetition.
    release(down);
    EXPECT_EQ(bar->firstVisibleItem(), 4);
    EXPECT_EQ(bar->arrowTimerId(), 0);
    EXPECT_TRUE(owner.records.empty()) << "arrows report nothing";

    // Held until the last item is fully shown: then the repetition stops.
    ASSERT_FALSE(lastItemFits());
    EXPECT_GT(holdUntilStopped(down, 1), 0);
    EXPECT_EQ(bar->arrowTimerId(), 0);
    EXPECT_TRUE(lastItemFits());
    bar->setFirstVisibleItem(bar->firstVisibleItem() - 1);
    EXPECT_FALSE(lastItemFits()) << "it did not stop early";
    bar->setFirstVisibleItem(bar->firstVisibleItem() + 1);
    EXPECT_FALSE(bar->downArrowShown());
    EXPECT_TRUE(bar->upArrowShown());
    const int end = bar->firstVisibleItem();
    release(down);
    EXPECT_EQ(bar->firstVisibleItem(), end);

    // The up arrow goes back to the top and stops there.
    EXPECT_EQ(holdUntilStopped(bar->upArrowRect().center(), -1), end);
    EXPECT_EQ(bar->firstVisibleItem(), 0);
    EXPECT_FALSE(bar->upArrowShown());
    release(bar->upArrowRect().center());
    EXPECT_EQ(bar->firstVisibleItem(), 0);
}

TEST_F(OutBarScroll, EscAndVeryShortBarsEndTheRepetition) {
    const QPoint down = bar->downArrowRect().center();
    press(down);
    QTest::keyClick(bar.get(), Qt::Key_Escape);
    EXPECT_EQ(bar->arrowTimerId(), 0);
    release(down);
    EXPECT_EQ(bar->firstVisibleItem(), 0) << "abandoned: the release does not scroll";
    press(down);
    bar->hide();
    EXPECT_EQ(bar->arrowTimerId(), 0) << "hiding ends it too";
    release(down);
    EXPECT_EQ(bar->firstVisibleItem(), 0);

    // No item fits at all: scrolling still ends on the last item.
    build(NAVBAR_DEFAULT_FLAGS, 10, 3 * 22 + 40);
    ASSERT_TRUE(bar->downArrowShown());
    EXPECT_EQ(holdUntilStopped(bar->downArrowRect().center(), 1), 9);
    EXPECT_EQ(bar->firstVisibleItem(), 9);
    release(bar->downArrowRect().center());
    EXPECT_EQ(bar->firstVisibleItem(), 9);
}

} // namespace
} // namespace qh
