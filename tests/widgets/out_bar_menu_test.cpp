// The context menu: asked of the owner, then shown through a runner that
// records the entries and picks one, so no modal loop runs.
#include "shown_bar.h"

#include <QAction>
#include <QMenu>

namespace qh {
namespace {

using test::NotifyRecord;

struct Entry {
    QString text;
    int id;
    QString name;
    bool checked;
    bool operator==(const Entry&) const = default;
};

// Passes everything on, counting context-menu blocks that carry a text.
struct TextCheckingOwner : test::RecordingOwner {
    int menuTexts = 0;
    int navBarNotify(int code, NavBarNotify& block) override {
        if (code == NAVN_CONTEXTMENU && block.text)
            ++menuTexts;
        return RecordingOwner::navBarNotify(code, block);
    }
};

class OutBarMenu : public test::ShownBar {
protected:
    void SetUp() override {
        ShownBar::SetUp();
        bar->setOwner(&checking);
        bar->setMenuRunner([this](QMenu& menu, QPoint) -> QAction* {
            ++runs;
            shown.clear();
            QAction* chosen = nullptr;
            for (QAction* a : menu.actions()) {
                shown.push_back({a->text(), a->data().toInt(), a->objectName(), a->isChecked()});
                if (a->objectName() == choose)
                    chosen = a;
            }
            return chosen;
        });
    }
    void rightClick(QPoint p) { QTest::mouseClick(bar.get(), Qt::RightButton, {}, p); }
    // The check marks of the last menu shown: small, large.
    std::pair<bool, bool> checks() const { return {shown.at(0).checked, shown.at(1).checked}; }

    TextCheckingOwner checking;
    int runs = 0;
    std::vector<Entry> shown;
    QString choose; // objectName of the entry to pick; empty dismisses the menu
};

TEST_F(OutBarMenu, OwnerIsAskedWithWhatIsUnderTheMouseAndCanRefuse) {
    choose = "navBarSmallIcons";
    for (int refusal : {0, 2}) {
        checking.answers[NAVN_CONTEXTMENU] = refusal;
        rightClick(bar->iconRect(1).center());
        rightClick(bar->folderRect(2).center());
        rightClick(emptyInside());
    }
    EXPECT_EQ(runs, 0) << "no menu";
    EXPECT_FALSE(bar->isSmallIconView(0));
    EXPECT_EQ(bar->contextTargetKind(), CXTOutBarCtrl::HitNone);
    ASSERT_EQ(checking.records.size(), 6u);
    EXPECT_EQ(checking.records[0], (NotifyRecord{NAVN_CONTEXTMENU, 1, 0, 0, QString(), 0}));
    EXPECT_EQ(checking.records[1], (NotifyRecord{NAVN_CONTEXTMENU, 2, 0, 0, QString(), 1}));
    EXPECT_EQ(checking.records[2], (NotifyRecord{NAVN_CONTEXTMENU, -1, 0, 0, QString(), 1}));
    EXPECT_EQ(checking.menuTexts, 0) << "the block carries no text";

    // The left button's clicks do not open it.
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, bar->iconRect(1).center());
    EXPECT_EQ(checking.records.back().code, NAVN_ITEMCLICK);
}

TEST_F(OutBarMenu, IconModeIsPerFolderAndTheCheckMarkFollowsTheOpenFolder) {
    choose = "navBarSmallIcons";
    rightClick(bar->iconRect(1).center());
    ASSERT_EQ(runs, 1);
    EXPECT_EQ(shown, (std::vector<Entry>{{"小图标", ID_NAVBAR_SMALLICONS, "navBarSmallIcons", false},
                                         {"大图标", ID_NAVBAR_LARGEICONS, "navBarLargeIcons", true}}));
    EXPECT_EQ(bar->contextTargetKind(), CXTOutBarCtrl::HitItem);
    EXPECT_EQ(bar->contextTargetIndex(), 1);
    EXPECT_TRUE(bar->isSmallIconView(0));
    EXPECT_FALSE(bar->isSmallIconView(1));
    EXPECT_FALSE(bar->isSmallIconView(2));
    EXPECT_EQ(bar->itemRect(0).height(), std::max(16, bar->fontMetrics().height())) << "laid out small";

    choose.clear();
    bar->setSelectedFolder(1);
    rightClick(emptyInside());
    EXPECT_EQ(checks(), std::make_pair(false, true));
    EXPECT_FALSE(bar->isSmallIconView(1)) << "dismissed: nothing changes";

    bar->setSelectedFolder(0);
    choose = "navBarLargeIcons";
    rightClick(bar->folderRect(0).center());
    EXPECT_EQ(checks(), std::make_pair(true, false));
    EXPECT_EQ(bar->contextTargetKind(), CXTOutBarCtrl::HitFolder);
    EXPECT_EQ(bar->contextTargetIndex(), 0);
    EXPECT_FALSE(bar->isSmallIconView(0));
    EXPECT_EQ(runs, 3);
}

TEST_F(OutBarMenu, BarMayBeDeletedWhileTheMenuIsOpen) {
    bar->setMenuRunner([this](QMenu& menu, QPoint) {
        bar.reset();
        return menu.actions().at(0);
    });
    rightClick(bar->iconRect(0).center());
    EXPECT_EQ(bar, nullptr);
}

} // namespace
} // namespace qh
