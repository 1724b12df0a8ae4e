// The bar's model operations and its notifications outside the mouse: item
// insertion, removal, folder removal, the parent fallback and destruction.
#include "out_bar_ctrl.h"
#include "recording_owner.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace qh {
namespace {

using test::NotifyRecord;
using test::RecordingOwner;

QStringList texts(const CXTOutBarCtrl& bar) {
    QStringList out;
    for (int i = 0; i < bar.itemCount(); ++i)
        out << bar.itemText(i);
    return out;
}

TEST(OutBarModel, InsertionPositionsAreClampedToTheEnd) {
    CXTOutBarCtrl bar(nullptr);
    EXPECT_EQ(bar.insertItem(0, 0, "x", 0, 0), -1) << "no folders";
    EXPECT_EQ(bar.itemCount(), 0);
    EXPECT_EQ(bar.folderData(0), 0);
    EXPECT_TRUE(bar.itemText(0).isEmpty());

    EXPECT_EQ(bar.addFolder("F", 10), 0);
    EXPECT_EQ(bar.addFolder("G", 11), 1);
    EXPECT_EQ(bar.folderData(1), 11);
    // Filling the way the main window does: position p + 1 lands at p.
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(bar.insertItem(0, p + 1, QString("i%1").arg(p), p, 100 + p), p);
    EXPECT_EQ(bar.insertItem(0, -5, "neg", 0, 0), 3);
    EXPECT_EQ(bar.insertItem(0, 99, "far", 0, 0), 4);
    EXPECT_EQ(bar.insertItem(0, 1, "mid", 7, 42), 1);
    EXPECT_EQ(texts(bar), (QStringList{"i0", "mid", "i1", "i2", "neg", "far"}));
    EXPECT_EQ(bar.itemImage(1), 7);
    EXPECT_EQ(bar.itemData(1), 42);
    EXPECT_EQ(bar.itemData(2), 101);
    EXPECT_EQ(bar.insertItem(1, 3, "other", 0, 0), 0) << "another folder, empty";
    EXPECT_EQ(bar.itemCount(), 6) << "counts the open folder only";
    ASSERT_NE(bar.item(1, 0), nullptr);
    EXPECT_EQ(bar.item(1, 0)->text, "other");
    EXPECT_EQ(bar.item(1, 1), nullptr);
}

TEST(OutBarModel, RemovingItemsKeepsIndicesOnTheirItems) {
    RecordingOwner owner;
    CXTOutBarCtrl bar(nullptr);
    bar.setOwner(&owner);
    bar.resize(120, 400);
    bar.addFolder("F", 0);
    for (const char* t : {"a", "b", "c", "d"})
        bar.insertItem(0, -1, t, 0, 0);
    bar.setHotItem(3);

    owner.answers[NAVN_ITEMREMOVE] = 0;
    bar.removeItem(0);
    EXPECT_EQ(texts(bar), (QStringList{"a", "b", "c", "d"})) << "vetoed";
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0], (NotifyRecord{NAVN_ITEMREMOVE, 0, -1, -1, "a", 0}));

    owner.answers[NAVN_ITEMREMOVE] = 1;
    bar.removeItem(0);
    EXPECT_EQ(texts(bar), (QStringList{"b", "c", "d"}));
    EXPECT_EQ(bar.hotItem(), 2) << "still on d";
    bar.removeItem(2);
    EXPECT_EQ(bar.hotItem(), -1) << "d is gone";
    bar.removeItem(7);
    EXPECT_EQ(owner.records.size(), 3u) << "out of range: ignored, not asked";
    bar.setOwner(nullptr);
}

TEST(OutBarModel, RemovingFoldersKeepsAValidFolderOpen) {
    RecordingOwner owner;
    CXTOutBarCtrl bar(nullptr);
    bar.setOwner(&owner);
    bar.resize(120, 400);
    for (int f = 0; f < 4; ++f) {
        bar.addFolder(QString("F%1").arg(f), f);
        bar.insertItem(f, -1, QString("item of F%1").arg(f), 0, 0);
    }
    bar.setSelectedFolder(3);
    ASSERT_EQ(bar.selectedFolder(), 3);

    owner.answers[NAVN_FOLDERREMOVE] = 0;
    bar.removeFolder(1);
    EXPECT_EQ(bar.folderCount(), 4) << "vetoed";
    owner.answers[NAVN_FOLDERREMOVE] = 1;

    bar.removeFolder(1);
    EXPECT_EQ(bar.folderCount(), 3);
    EXPECT_EQ(bar.selectedFolder(), 2) << "the same folder stays open";
    EXPECT_EQ(bar.itemText(0), "item of F3");

    // Removing the open last folder opens the new last one.
    bar.removeFolder(2);
    EXPECT_EQ(bar.selectedFolder(), 1);
    EXPECT_EQ(bar.itemText(0), "item of F2");
    EXPECT_EQ(bar.insideRect().y(), 2 * 22 - 1);

    bar.removeFolder(0);
    bar.removeFolder(0);
    EXPECT_EQ(bar.folderCount(), 0);
    EXPECT_EQ(bar.selectedFolder(), 0);
    EXPECT_EQ(bar.itemCount(), 0);
    EXPECT_EQ(bar.insideRect(), bar.rect());
    bar.setOwner(nullptr);
}

TEST(OutBarModel, DestructionReportsEachFolderAfterItsItems) {
    RecordingOwner owner;
    auto bar = std::make_unique<CXTOutBarCtrl>(nullptr);
    bar->setOwner(&owner);
    bar->addFolder("F0", 0);
    bar->addFolder("F1", 1);
    bar->addFolder("F2", 2);
    bar->insertItem(0, -1, "a", 0, 0);
    bar->insertItem(0, -1, "b", 0, 0);
    bar->insertItem(1, -1, "c", 0, 0);
    owner.defaultAnswer = 0; // answers are ignored here
    bar.reset();
    const std::vector<NotifyRecord> expected{
        {NAVN_ITEMREMOVE, 0, -1, -1, "a", 0},    {NAVN_ITEMREMOVE, 1, -1, -1, "b", 0},
        {NAVN_FOLDERREMOVE, 0, -1, -1, "F0", 1}, {NAVN_ITEMREMOVE, 0, -1, -1, "c", 0},
        {NAVN_FOLDERREMOVE, 1, -1, -1, "F1", 1}, {NAVN_FOLDERREMOVE, 2, -1, -1, "F2", 1},
    };
    EXPECT_EQ(owner.records, expected);
}

// A parent window that is the owner without saying so.
class OwnerWindow : public QWidget, public RecordingOwner {};

TEST(OutBarModel, WithoutAnOwnerTheParentIsAskedButNotWhileItDies) {
    std::vector<NotifyRecord> log;
    auto* parent = new OwnerWindow;
    parent->log = &log;
    auto* bar = new CXTOutBarCtrl(parent);
    bar->addFolder("F0", 0);
    bar->addFolder("F1", 1);
    bar->setSelectedFolder(1);
    EXPECT_EQ(bar->selectedFolder(), 1) << "the parent answered 1";
    ASSERT_EQ(log.size(), 1u);

    // An explicit owner replaces the parent.
    RecordingOwner other;
    other.defaultAnswer = 0;
    bar->setOwner(&other);
    bar->setSelectedFolder(0);
    EXPECT_EQ(bar->selectedFolder(), 1);
    EXPECT_EQ(other.records.size(), 1u);
    EXPECT_EQ(log.size(), 1u);

    // Without any owner at all, vetoable actions do not happen.
    CXTOutBarCtrl orphan(nullptr);
    orphan.addFolder("A", 0);
    orphan.addFolder("B", 1);
    orphan.setSelectedFolder(1);
    EXPECT_EQ(orphan.selectedFolder(), 0);

    // The dying parent deletes the bar after its own derived part is gone: not asked.
    bar->setOwner(nullptr);
    delete parent;
    EXPECT_EQ(log.size(), 1u);
}

} // namespace
} // namespace qh
