// Dragging items to new positions within the open folder.
#include "shown_bar.h"

namespace qh {
namespace {

using test::NotifyRecord;

class OutBarDrag : public test::ShownBar {
protected:
    QPoint belowLast() const {
        return QPoint(bar->insideRect().center().x(), bar->itemRect(bar->itemCount() - 1).bottom() + 10);
    }
    // Presses `item`, leaves it for a point on no item (the drag starts),
    // then moves to `to`, and releases there unless told not to.
    void drag(int item, QPoint to, bool drop = true) {
        press(bar->iconRect(item).center());
        move(besideFirstItem());
        move(to);
        if (drop)
            release(to);
    }
    QRgb black() const { return QColor(Qt::black).rgb(); }
};

TEST_F(OutBarDrag, DroppedItemsMoveBeforeTheTargetOrToTheEnd) {
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, bar->iconRect(3).center());
    ASSERT_EQ(bar->lastClickedItem(), 3);
    owner.records.clear();

    drag(0, belowLast(), false);
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_ITEMDRAG, 0, -1, -1, "Item 0", 0}));
    EXPECT_EQ(bar->dragMarkerIndex(), 4);
    const QRect marker = bar->dragMarkerRect();
    EXPECT_GT(marker.y(), bar->itemRect(3).bottom());
    EXPECT_EQ(pixel(marker.center()), black()) << "marker drawn in the marker pen";
    release(belowLast());
    ASSERT_EQ(owner.records.size(), 2u);
    EXPECT_EQ(owner.records[1], (NotifyRecord{NAVN_ITEMMOVE, 0, 0, 4, "Item 0", 0}));
    EXPECT_EQ(texts(), (QStringList{"Item 1", "Item 2", "Item 3", "Item 0"}));
    EXPECT_EQ(bar->lastClickedItem(), 2) << "follows its item";
    EXPECT_EQ(bar->dragMarkerIndex(), -1);
    EXPECT_NE(pixel(marker.center()), black());

    // Onto item 2: inserted before it, which is position 1 once unlinked.
    owner.records.clear();
    drag(0, bar->iconRect(2).center());
    EXPECT_EQ(codes(), (std::vector<int>{NAVN_ITEMDRAG, NAVN_ITEMMOVE}));
    EXPECT_EQ(owner.records[1].target, 2);
    EXPECT_EQ(texts(), (QStringList{"Item 2", "Item 1", "Item 3", "Item 0"}));
    EXPECT_EQ(bar->lastClickedItem(), 2);

    // Upwards, onto the first item.
    drag(3, bar->labelRect(0).center());
    EXPECT_EQ(texts(), (QStringList{"Item 0", "Item 2", "Item 1", "Item 3"}));
    EXPECT_EQ(bar->lastClickedItem(), 3);
}

TEST_F(OutBarDrag, DropsThatChangeNothing) {
    const QStringList before = texts();
    // Onto itself, onto a folder button: no move asked.
    drag(1, bar->iconRect(1).center());
    drag(1, bar->folderRect(2).center());
    EXPECT_EQ(codes(), (std::vector<int>{NAVN_ITEMDRAG, NAVN_ITEMDRAG}));
    // Moving onto another item before leaving for empty space is no drag.
    press(bar->iconRect(0).center());
    move(bar->iconRect(1).center());
    release(bar->iconRect(1).center());
    EXPECT_EQ(owner.records.size(), 2u);
    // Abandoned with Esc: the marker goes and the release does nothing.
    drag(0, belowLast(), false);
    EXPECT_EQ(bar->dragMarkerIndex(), 4);
    QTest::keyClick(bar.get(), Qt::Key_Escape);
    EXPECT_EQ(bar->dragMarkerIndex(), -1);
    release(belowLast());
    EXPECT_EQ(owner.records.size(), 3u);
    // Refused by the owner.
    for (int refusal : {0, 2}) {
        owner.answers[NAVN_ITEMMOVE] = refusal;
        drag(0, belowLast());
    }
    EXPECT_EQ(codes().back(), NAVN_ITEMMOVE);
    EXPECT_EQ(texts(), before);

    // Without NAVBAR_DRAGITEMS nothing is dragged.
    build(NAVBAR_DEFAULT_FLAGS & ~NAVBAR_DRAGITEMS);
    owner.records.clear();
    drag(0, belowLast(), false);
    EXPECT_EQ(bar->dragMarkerIndex(), -1);
    release(belowLast());
    EXPECT_TRUE(owner.records.empty());
    EXPECT_EQ(texts(), before);
}

// Acts on the bar after recording each notification.
struct ActingOwner : test::RecordingOwner {
    std::function<void(int code)> act;
    int navBarNotify(int code, NavBarNotify& block) override {
        const int answer = RecordingOwner::navBarNotify(code, block);
        if (act)
            act(code);
        return answer;
    }
};

TEST_F(OutBarDrag, OwnerMayChangeOrDeleteTheBarDuringTheNotifications) {
    ActingOwner acting;
    bar->setOwner(&acting);
    // The dragged item removed as the drag begins: the drag ends.
    acting.act = [this](int code) {
        if (code == NAVN_ITEMDRAG)
            bar->removeItem(0);
    };
    drag(0, belowLast(), false);
    EXPECT_EQ(bar->dragMarkerIndex(), -1);
    release(belowLast());
    EXPECT_EQ(texts(), (QStringList{"Item 1", "Item 2", "Item 3"}));

    // Another item removed while the drop is asked: nothing is moved.
    acting.act = [this](int code) {
        if (code == NAVN_ITEMMOVE)
            bar->removeItem(2);
    };
    drag(0, belowLast());
    EXPECT_EQ(texts(), (QStringList{"Item 1", "Item 2"}));

    // The bar deleted while the drop is asked.
    acting.act = [this](int code) {
        if (code == NAVN_ITEMMOVE)
            bar.reset();
    };
    drag(0, belowLast());
    EXPECT_EQ(bar, nullptr);
    std::vector<int> seen;
    for (const NotifyRecord& r : acting.records)
        seen.push_back(r.code);
    const std::vector<int> expected{NAVN_ITEMDRAG,   NAVN_ITEMREMOVE,   NAVN_ITEMDRAG,     NAVN_ITEMMOVE,
                                    NAVN_ITEMREMOVE, NAVN_ITEMDRAG,     NAVN_ITEMMOVE,     NAVN_ITEMREMOVE,
                                    NAVN_ITEMREMOVE, NAVN_FOLDERREMOVE, NAVN_FOLDERREMOVE, NAVN_FOLDERREMOVE};
    EXPECT_EQ(seen, expected) << "the last five come from the destruction";
}

} // namespace
} // namespace qh
