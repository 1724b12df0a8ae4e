// The keyboard on a focused bar: the cursor keys, Enter and Space, the folder
// keys, scrolling the cursor's item into view, and the focus frame.
#include "shown_bar.h"

#include <QImage>

namespace qh {
namespace {

using test::NotifyRecord;

class OutBarKeys : public test::ShownBar {
protected:
    void SetUp() override {
        ShownBar::SetUp();
        focusByTab();
    }
    void focusByTab() {
        bar->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(bar.get()));
        bar->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(bar->hasFocus());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(bar.get(), k, modifiers); }
    // Pixels of the label colour on the top edge of the focus frame of `item`.
    int frameDots(int item) const {
        const QRect frame = bar->focusFrameRect(item);
        const QImage image = bar->grab().toImage();
        int dots = 0;
        for (int x = frame.left(); x <= frame.right(); ++x)
            dots += image.pixelColor(x, frame.top()) == bar->textColour();
        return dots;
    }
};

TEST_F(OutBarKeys, CursorKeysMoveAndEnterOrSpaceClickAsTheMouseDoes) {
    EXPECT_TRUE(bar->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(bar->currentItem(), 0) << "the focus puts the cursor on the top item";
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(bar->currentItem(), 2);
    key(Qt::Key_Up);
    EXPECT_EQ(bar->currentItem(), 1);
    key(Qt::Key_End);
    key(Qt::Key_Down);
    EXPECT_EQ(bar->currentItem(), 3) << "stops at the last item";
    key(Qt::Key_Home);
    key(Qt::Key_Up);
    EXPECT_EQ(bar->currentItem(), 0) << "stops at the first item";
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(bar->currentItem(), 0) << "keys with Ctrl are the window's";
    EXPECT_TRUE(owner.records.empty());

    // Enter, the keypad's Enter and Space send the notification of a click.
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    key(Qt::Key_Enter, Qt::KeypadModifier);
    key(Qt::Key_Down);
    key(Qt::Key_Space);
    ASSERT_EQ(owner.records.size(), 3u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_ITEMCLICK, 0, -1, -1, "Item 0", 0}));
    EXPECT_EQ(owner.records[1].index, 1);
    EXPECT_EQ(owner.records[2].index, 2);
    EXPECT_EQ(bar->lastClickedItem(), 2);
    owner.answers[NAVN_ITEMCLICK] = 0;
    key(Qt::Key_Up);
    key(Qt::Key_Return);
    EXPECT_EQ(owner.records.size(), 4u);
    EXPECT_EQ(bar->lastClickedItem(), 2) << "a refused click is not the last clicked";

    // A mouse click moves the cursor; the keys go on from there.
    owner.answers[NAVN_ITEMCLICK] = 1;
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, bar->iconRect(3).center());
    EXPECT_EQ(bar->currentItem(), 3);
    key(Qt::Key_Up);
    EXPECT_EQ(bar->currentItem(), 2);
}

TEST_F(OutBarKeys, LeftAndRightOpenTheNeighbouringFoldersAsTheirButtonsDo) {
    key(Qt::Key_Left);
    EXPECT_TRUE(owner.records.empty()) << "no folder before the first";
    key(Qt::Key_Right);
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_FOLDERSELECT, 1, -1, -1, "F1", 1}));
    EXPECT_EQ(bar->selectedFolder(), 1);
    EXPECT_EQ(bar->currentItem(), -1) << "an empty folder";
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(bar->selectedFolder(), 2);
    EXPECT_EQ(owner.records.size(), 2u) << "nothing to open, no folder after the last";

    owner.answers[NAVN_FOLDERSELECT] = 0;
    key(Qt::Key_Left);
    EXPECT_EQ(bar->selectedFolder(), 2) << "refused";
    owner.answers[NAVN_FOLDERSELECT] = 1;
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(bar->selectedFolder(), 0);
    EXPECT_EQ(bar->currentItem(), 0) << "a folder opens with the cursor on its first item";
}

TEST_F(OutBarKeys, TheCursorsItemScrollsIntoViewAndIsFramedOnlyWhileTheKeyboardHasTheFocus) {
    build(NAVBAR_DEFAULT_FLAGS, 10);
    focusByTab();
    ASSERT_TRUE(bar->downArrowShown());
    const QRect inside = bar->insideRect();
    for (int item = 1; item < 10; ++item) {
        key(Qt::Key_Down);
        const QRect r = bar->itemRect(item);
        EXPECT_LE(r.y() + r.height(), inside.y() + inside.height()) << "item " << item << " shown whole";
    }
    EXPECT_GT(bar->firstVisibleItem(), 0);
    EXPECT_FALSE(bar->downArrowShown());
    key(Qt::Key_Home);
    EXPECT_EQ(bar->firstVisibleItem(), 0);

    // Framed after Tab and after a key; not once the focus goes, nor after a click.
    EXPECT_GT(frameDots(0), 4);
    bar->clearFocus();
    EXPECT_EQ(frameDots(0), 0);
    focusByTab();
    EXPECT_GT(frameDots(0), 4);
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, bar->iconRect(1).center());
    EXPECT_EQ(frameDots(1), 0);
    key(Qt::Key_Down);
    EXPECT_EQ(frameDots(1), 0) << "the frame leaves the item it was on";
    EXPECT_GT(frameDots(2), 4);
}

} // namespace
} // namespace qh
