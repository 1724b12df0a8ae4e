// Geometry and hit testing of the navigation bar, on a bar that is never shown.
#include "out_bar_ctrl.h"
#include "recording_owner.h"

#include <QFontMetrics>
#include <QStyle>
#include <gtest/gtest.h>

namespace qh {
namespace {

constexpr int kW = 120;
constexpr int kH = 400;
constexpr int kButton = 22;

int bottomEdge(const QRect& r) {
    return r.y() + r.height();
}
int rightEdge(const QRect& r) {
    return r.x() + r.width();
}

TEST(OutBarGeometry, FolderButtonsAndInsideAreaFollowTheOpenFolder) {
    test::RecordingOwner owner;
    CXTOutBarCtrl bar(nullptr);
    bar.setOwner(&owner);
    bar.resize(kW, kH);
    EXPECT_EQ(bar.insideRect(), QRect(0, 0, kW, kH)) << "no folders: the whole bar";
    constexpr int n = 5;
    for (int f = 0; f < n; ++f)
        ASSERT_EQ(bar.addFolder(QString("Folder %1").arg(f), f), f);

    for (int s = 0; s < n; ++s) {
        bar.setSelectedFolder(s);
        ASSERT_EQ(bar.selectedFolder(), s);
        for (int i = 0; i < n; ++i) {
            const int top = i <= s ? i * kButton - 1 : kH - (n - i) * kButton;
            EXPECT_EQ(bar.folderRect(i), QRect(0, top, kW, kButton)) << "selected " << s << " button " << i;
        }
        const int insideTop = (s + 1) * kButton - 1;
        const int insideBottom = kH - (n - s - 1) * kButton;
        EXPECT_EQ(bar.insideRect(), QRect(0, insideTop, kW, insideBottom - insideTop)) << "selected " << s;
        // The inside area fills exactly the gap between the two stacks.
        EXPECT_EQ(bar.insideRect().y(), bottomEdge(bar.folderRect(s)));
        if (s + 1 < n) {
            EXPECT_EQ(bottomEdge(bar.insideRect()), bar.folderRect(s + 1).y());
        }
    }
    EXPECT_TRUE(bar.folderRect(n).isNull());
}

TEST(OutBarGeometry, LargeIconItemsStackBelowEachOther) {
    CXTOutBarCtrl bar(nullptr);
    bar.resize(kW, kH);
    bar.addFolder("F", 0);
    bar.addFolder("G", 1);
    bar.insertItem(0, -1, "One", 0, 0);
    bar.insertItem(0, -1, "alpha beta gamma delta epsilon zeta", 1, 0);
    bar.insertItem(0, -1, "Three", 2, 0);
    const QFontMetrics fm(bar.font());
    const QRect inside = bar.insideRect();

    const QRect item0 = bar.itemRect(0), icon0 = bar.iconRect(0), label0 = bar.labelRect(0);
    EXPECT_EQ(item0, QRect(inside.x(), inside.y() + 5, inside.width(), 32 + 3 + fm.height() + 8));
    EXPECT_EQ(icon0.size(), QSize(32, 32));
    EXPECT_EQ(icon0.y(), item0.y());
    EXPECT_LE(std::abs((icon0.x() - inside.x()) - (rightEdge(inside) - rightEdge(icon0))), 1) << "icon centred";
    EXPECT_EQ(label0.y(), bottomEdge(icon0) + 3);
    EXPECT_LE(std::abs((label0.x() - inside.x()) - (rightEdge(inside) - rightEdge(label0))), 1) << "label centred";

    // The long label wraps to several lines within the width.
    const QRect label1 = bar.labelRect(1);
    EXPECT_GE(label1.height(), 2 * fm.height());
    EXPECT_EQ(label1.height() % fm.height(), 0);
    EXPECT_LE(label1.width(), inside.width());
    EXPECT_EQ(bar.itemRect(1).height(), 32 + 3 + label1.height() + 8);

    // Items are a further 8 pixels apart.
    EXPECT_EQ(bar.itemRect(1).y(), bottomEdge(item0) + 8);
    EXPECT_EQ(bar.itemRect(2).y(), bottomEdge(bar.itemRect(1)) + 8);

    // Scrolling shifts every item up by the items scrolled out.
    bar.setFirstVisibleItem(1);
    EXPECT_EQ(bar.itemRect(1).y(), inside.y() + 5);
    EXPECT_EQ(bar.itemRect(1).y(), bottomEdge(bar.itemRect(0)) + 8);
}

TEST(OutBarGeometry, SmallIconItemsAreOneLineRows) {
    CXTOutBarCtrl bar(nullptr);
    bar.resize(kW, kH);
    bar.addFolder("F", 0);
    bar.addFolder("G", 1);
    bar.insertItem(0, -1, "One", 0, 0);
    bar.insertItem(0, -1, "A label far too long to fit into the bar on one line", 1, 0);
    bar.setSmallIconView(true, 0);
    EXPECT_TRUE(bar.isSmallIconView(0));
    EXPECT_FALSE(bar.isSmallIconView(1)) << "the mode is per folder";
    const QFontMetrics fm(bar.font());
    const QRect inside = bar.insideRect();
    const int rowHeight = std::max(16, fm.height());

    const QRect item0 = bar.itemRect(0), icon0 = bar.iconRect(0), label0 = bar.labelRect(0);
    EXPECT_EQ(item0.topLeft(), QPoint(inside.x() + 5, inside.y() + 5));
    EXPECT_EQ(item0.height(), rowHeight);
    EXPECT_EQ(icon0, QRect(inside.x() + 5, item0.y() + (rowHeight - 16) / 2, 16, 16));
    EXPECT_EQ(label0.x(), rightEdge(icon0) + 4);
    EXPECT_EQ(label0.height(), rowHeight);
    EXPECT_EQ(bar.itemRect(1).y(), bottomEdge(item0) + 10);
    // The long label is cut, not run past the inside area.
    EXPECT_LE(rightEdge(bar.labelRect(1)), rightEdge(inside) - 5);
    EXPECT_EQ(rightEdge(bar.itemRect(1)), rightEdge(bar.labelRect(1)));
}

TEST(OutBarGeometry, HitTestingFindsFoldersItemsArrowsAndNothing) {
    CXTOutBarCtrl empty(nullptr);
    empty.resize(kW, kH);
    int index = 7;
    EXPECT_EQ(empty.hitTest(QPoint(10, 10), &index), CXTOutBarCtrl::HitNone);
    EXPECT_EQ(index, -1);

    CXTOutBarCtrl bar(nullptr);
    bar.resize(kW, kH);
    for (int f = 0; f < 3; ++f)
        bar.addFolder(QString("F%1").arg(f), f);
    for (int i = 0; i < 3; ++i)
        bar.insertItem(0, -1, QString("Item %1").arg(i), i, 0);
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(bar.hitTest(bar.folderRect(f).center(), &index), CXTOutBarCtrl::HitFolder);
        EXPECT_EQ(index, f);
    }
    EXPECT_EQ(bar.hitTest(bar.iconRect(1).center(), &index), CXTOutBarCtrl::HitItem);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(bar.hitTest(bar.labelRect(2).center(), &index), CXTOutBarCtrl::HitItem);
    EXPECT_EQ(index, 2);
    // The gap between icon and label belongs to the item...
    EXPECT_EQ(bar.hitTest(QPoint(bar.iconRect(0).center().x(), bottomEdge(bar.iconRect(0)) + 1), &index),
              CXTOutBarCtrl::HitItem);
    // ...but beside the icon, and between two items, is nothing.
    EXPECT_EQ(bar.hitTest(QPoint(bar.insideRect().x() + 2, bar.iconRect(0).center().y()), &index),
              CXTOutBarCtrl::HitNone);
    EXPECT_EQ(bar.hitTest(QPoint(bar.iconRect(0).center().x(), bar.itemRect(1).y() - 4), &index),
              CXTOutBarCtrl::HitNone);
    EXPECT_EQ(index, -1);

    // Small icons: the whole row counts.
    bar.setSmallIconView(true, 0);
    EXPECT_EQ(bar.hitTest(QPoint(bar.itemRect(1).right() - 1, bar.itemRect(1).y()), &index), CXTOutBarCtrl::HitItem);
    EXPECT_EQ(index, 1);

    // Arrows come first where shown; items scrolled out above cannot be hit.
    for (int i = 3; i < 40; ++i)
        bar.insertItem(0, -1, QString("Item %1").arg(i), 0, 0);
    ASSERT_TRUE(bar.downArrowShown());
    EXPECT_EQ(bar.hitTest(bar.downArrowRect().center(), &index), CXTOutBarCtrl::HitDownArrow);
    EXPECT_EQ(bar.hitTest(bar.upArrowRect().center(), &index), CXTOutBarCtrl::HitNone) << "up arrow not shown";
    bar.setFirstVisibleItem(2);
    EXPECT_EQ(bar.hitTest(bar.upArrowRect().center(), &index), CXTOutBarCtrl::HitUpArrow);
    EXPECT_NE(bar.hitTest(bar.itemRect(1).center(), &index), CXTOutBarCtrl::HitItem) << "item 1 is scrolled out";
    EXPECT_EQ(bar.hitTest(bar.iconRect(2).center(), &index), CXTOutBarCtrl::HitItem);
    EXPECT_EQ(index, 2);
}

TEST(OutBarGeometry, DownArrowShowsExactlyWhenTheLastItemDoesNotFit) {
    CXTOutBarCtrl bar(nullptr);
    bar.resize(kW, kH);
    bar.addFolder("F", 0);
    EXPECT_FALSE(bar.downArrowShown()) << "no items";
    for (int i = 0; i < 3; ++i)
        bar.insertItem(0, -1, QString("Item %1").arg(i), 0, 0);
    EXPECT_FALSE(bar.downArrowShown());
    EXPECT_FALSE(bar.upArrowShown());

    // One folder: the inside area ends at the bar's bottom.
    const int lastEnds = bottomEdge(bar.itemRect(2));
    bar.resize(kW, lastEnds);
    EXPECT_FALSE(bar.downArrowShown()) << "the last item just fits";
    bar.resize(kW, lastEnds - 1);
    EXPECT_TRUE(bar.downArrowShown());
    int first = -1, last = -1;
    bar.visibleRange(&first, &last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 2) << "the cut item still starts inside";

    const int side = bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &bar);
    const QRect inside = bar.insideRect();
    EXPECT_EQ(bar.downArrowRect(), QRect(rightEdge(inside) - 5 - side, bottomEdge(inside) - 5 - side, side, side));
    EXPECT_EQ(bar.upArrowRect(), QRect(rightEdge(inside) - 5 - side, inside.y() + 5, side, side));

    bar.setFirstVisibleItem(1);
    EXPECT_TRUE(bar.upArrowShown());
    EXPECT_FALSE(bar.downArrowShown()) << "scrolled far enough";
    bar.setFirstVisibleItem(99);
    EXPECT_EQ(bar.firstVisibleItem(), 2) << "clamped to the last item";
}

} // namespace
} // namespace qh
