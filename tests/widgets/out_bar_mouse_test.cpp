// Clicks on items and folder buttons of a shown bar, with a recording owner.
#include "out_bar_ctrl.h"
#include "shown_bar.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace qh {
namespace {

using test::NotifyRecord;

// The shown bar, plus a click and a look at an item's icon frame.
class OutBarMouse : public test::ShownBar {
protected:
    void click(QPoint p) {
        press(p);
        release(p);
    }
    // The top-left pixel of an item's icon frame, which turns dark while pressed.
    QRgb frameCorner(int item) const { return pixel(bar->iconRect(item).adjusted(-2, -2, 2, 2).topLeft()); }
    QRgb shadow() const { return bar->palette().color(QPalette::Shadow).rgb(); }
};

TEST_F(OutBarMouse, ReleasingOnThePressedItemClicksIt) {
    click(bar->iconRect(1).center());
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_ITEMCLICK, 1, -1, -1, "Item 1", 0}));
    EXPECT_EQ(bar->lastClickedItem(), 1);

    // A refused click is still reported but does not become the last clicked.
    owner.answers[NAVN_ITEMCLICK] = 0;
    click(bar->labelRect(2).center());
    ASSERT_EQ(owner.records.size(), 2u);
    EXPECT_EQ(owner.records[1].index, 2);
    EXPECT_EQ(bar->lastClickedItem(), 1);

    // Clicks on nothing report nothing.
    click(emptyInside());
    EXPECT_EQ(owner.records.size(), 2u);
}

TEST_F(OutBarMouse, PressedLookFollowsTheMouseAndOnlyReleaseOnTheItemClicks) {
    build(NAVBAR_DEFAULT_FLAGS & ~NAVBAR_DRAGITEMS);
    const QRgb unpressed = frameCorner(0);
    const QPoint on = bar->iconRect(0).center();

    press(on);
    EXPECT_EQ(frameCorner(0), shadow()) << "drawn pressed";
    move(emptyInside());
    EXPECT_EQ(frameCorner(0), unpressed) << "moved off: drawn normal";
    release(emptyInside());
    EXPECT_TRUE(owner.records.empty()) << "released elsewhere: no click";

    press(on);
    move(emptyInside());
    move(on);
    EXPECT_EQ(frameCorner(0), shadow()) << "moved back: pressed again";
    release(on);
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0].index, 0);
    EXPECT_EQ(frameCorner(0), unpressed);

    // Released on another item, or after Esc: no click either.
    owner.records.clear();
    press(on);
    move(bar->iconRect(1).center());
    release(bar->iconRect(1).center());
    press(on);
    QTest::keyClick(bar.get(), Qt::Key_Escape);
    release(on);
    EXPECT_TRUE(owner.records.empty());
}

TEST_F(OutBarMouse, FolderButtonOpensItsFolderWhenTheOwnerAgrees) {
    bar->setFirstVisibleItem(1);
    click(bar->iconRect(2).center());
    ASSERT_EQ(bar->lastClickedItem(), 2);
    owner.records.clear();

    // The open folder's own button does nothing.
    click(bar->folderRect(0).center());
    EXPECT_TRUE(owner.records.empty());

    // Refusals (anything but exactly 1) leave everything as it was.
    for (int refusal : {0, 2}) {
        owner.answers[NAVN_FOLDERSELECT] = refusal;
        click(bar->folderRect(2).center());
        EXPECT_EQ(bar->selectedFolder(), 0);
        EXPECT_EQ(bar->firstVisibleItem(), 1);
        EXPECT_EQ(bar->lastClickedItem(), 2);
    }
    ASSERT_EQ(owner.records.size(), 2u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_FOLDERSELECT, 2, -1, -1, "F2", 1}));

    owner.answers[NAVN_FOLDERSELECT] = 1;
    click(bar->folderRect(2).center());
    EXPECT_EQ(bar->selectedFolder(), 2);
    EXPECT_EQ(bar->firstVisibleItem(), 0);
    EXPECT_EQ(bar->lastClickedItem(), -1);
    EXPECT_EQ(bar->itemCount(), 0);

    // Released off every button: nothing; released on another button: that one opens.
    owner.records.clear();
    press(bar->folderRect(0).center());
    move(emptyInside());
    release(emptyInside());
    EXPECT_TRUE(owner.records.empty());
    press(bar->folderRect(0).center());
    move(bar->folderRect(1).center());
    release(bar->folderRect(1).center());
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(bar->selectedFolder(), 1);
}

} // namespace
} // namespace qh
