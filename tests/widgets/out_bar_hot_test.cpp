// The highlight of the folder button or item under the mouse, and the timer
// that removes it once the mouse has left the bar.
#include "shown_bar.h"

#include <QLineEdit>

namespace qh {
namespace {

using test::NotifyRecord;

class OutBarHot : public test::ShownBar {
protected:
    void SetUp() override {
        ShownBar::SetUp();
        bar->setCursorSource([this] { return cursor; });
    }
    // The top-left pixel of an item's icon frame: button face while hot.
    QRgb frameCorner(int item) const { return pixel(bar->iconRect(item).adjusted(-2, -2, 2, 2).topLeft()); }
    QRgb face() const { return bar->palette().color(QPalette::Button).rgb(); }

    QPoint cursor; // global position the bar sees for the leave check
};

TEST_F(OutBarHot, ItemsAndFolderButtonsUnderTheMouseTurnHot) {
    hover(bar->iconRect(1).center());
    EXPECT_EQ(bar->hotItem(), 1);
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_ITEMHOT, 1, -1, -1, "Item 1", 0}));
    EXPECT_EQ(frameCorner(1), face());
    EXPECT_NE(bar->hotTimerId(), 0);
    hover(bar->labelRect(1).center());
    EXPECT_EQ(owner.records.size(), 1u) << "same item: not asked again";

    hover(bar->folderRect(1).center());
    EXPECT_EQ(bar->hotFolder(), 1);
    EXPECT_EQ(bar->hotItem(), -1);
    hover(emptyInside());
    EXPECT_EQ(bar->hotFolder(), -1);

    // A refused item is not hot, has no frame, and is asked only once.
    owner.answers[NAVN_ITEMHOT] = 0;
    hover(bar->iconRect(2).center());
    hover(bar->labelRect(2).center());
    EXPECT_EQ(bar->hotItem(), -1);
    EXPECT_NE(frameCorner(2), face());
    ASSERT_EQ(owner.records.size(), 2u);
    EXPECT_EQ(owner.records[1].index, 2);

    // A press replaces the highlight with the pressed look.
    owner.answers[NAVN_ITEMHOT] = 1;
    hover(bar->iconRect(3).center());
    ASSERT_EQ(bar->hotItem(), 3);
    press(bar->iconRect(3).center());
    EXPECT_EQ(bar->hotItem(), -1);
    release(bar->iconRect(3).center());
    EXPECT_EQ(codes(), (std::vector<int>{NAVN_ITEMHOT, NAVN_ITEMHOT, NAVN_ITEMHOT, NAVN_ITEMCLICK}));
}

TEST_F(OutBarHot, TimerClearsBothHighlightsOnceTheMouseIsOutside) {
    cursor = bar->mapToGlobal(bar->iconRect(0).center());
    hover(bar->iconRect(0).center());
    bar->setHotFolder(2);
    ASSERT_EQ(bar->hotItem(), 0);
    const int id = bar->hotTimerId();
    ASSERT_NE(id, 0);
    tick(id);
    EXPECT_EQ(bar->hotItem(), 0) << "mouse still inside";
    EXPECT_EQ(bar->hotFolder(), 2);
    EXPECT_EQ(bar->hotTimerId(), id);

    cursor = bar->mapToGlobal(QPoint(bar->width() + 3, 10));
    tick(id);
    EXPECT_EQ(bar->hotItem(), -1);
    EXPECT_EQ(bar->hotFolder(), -1);
    EXPECT_EQ(bar->hotTimerId(), 0);

    // Coming back asks for the item again; hiding the bar clears it too.
    hover(bar->iconRect(0).center());
    EXPECT_EQ(bar->hotItem(), 0);
    EXPECT_EQ(owner.records.size(), 2u);
    bar->hide();
    EXPECT_EQ(bar->hotItem(), -1);
    EXPECT_EQ(bar->hotTimerId(), 0);
}

TEST_F(OutBarHot, NothingChangesWhileAChildOfTheBarHasTheFocus) {
    auto* editor = new QLineEdit(bar.get());
    editor->setGeometry(10, bar->insideRect().bottom() - 30, 60, 20);
    editor->show();
    bar->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(bar.get()));
    editor->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    hover(bar->folderRect(1).center());
    hover(bar->iconRect(1).center());
    EXPECT_EQ(bar->hotFolder(), -1);
    EXPECT_EQ(bar->hotItem(), -1);
    EXPECT_TRUE(owner.records.empty());

    bar->setFocus();
    hover(bar->iconRect(1).center());
    EXPECT_EQ(bar->hotItem(), 1);
}

} // namespace
} // namespace qh
