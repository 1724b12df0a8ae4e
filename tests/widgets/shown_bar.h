// A shown navigation bar of three folders with a recording owner, and helpers
// that drive the mouse and the bar's timers by sending events directly, so no
// test depends on timing.
#ifndef QUILLHORN_SHOWN_BAR_H
#define QUILLHORN_SHOWN_BAR_H

#include "out_bar_ctrl.h"
#include "recording_owner.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimerEvent>
#include <gtest/gtest.h>

namespace qh::test {

class ShownBar : public ::testing::Test {
protected:
    // Folder 0 holds `items` items named "Item <n>"; folders 1 and 2 are empty.
    void build(unsigned flags = NAVBAR_DEFAULT_FLAGS, int items = 4, int height = 420) {
        if (bar)
            bar->setOwner(nullptr);
        bar = std::make_unique<CXTOutBarCtrl>(nullptr, flags);
        bar->setOwner(&owner);
        bar->resize(140, height);
        for (int f = 0; f < 3; ++f)
            bar->addFolder(QString("F%1").arg(f), f);
        for (int i = 0; i < items; ++i)
            bar->insertItem(0, -1, QString("Item %1").arg(i), i, 0);
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    }
    void SetUp() override { build(); }
    void TearDown() override {
        if (bar)
            bar->setOwner(nullptr);
    }

    void press(QPoint p) { QTest::mousePress(bar.get(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(bar.get(), p); } // with the button held
    void release(QPoint p) { QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, p); }
    // A move with no button held, as mouse tracking delivers it.
    void hover(QPoint p) {
        QMouseEvent event(QEvent::MouseMove, p, bar->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar.get(), &event);
    }
    void tick(int timerId) {
        QTimerEvent event(timerId);
        QCoreApplication::sendEvent(bar.get(), &event);
    }

    // Left of the first item's icon: inside the area but on no item.
    QPoint besideFirstItem() const { return QPoint(bar->insideRect().x() + 2, bar->iconRect(0).center().y()); }
    QPoint emptyInside() const { return QPoint(bar->insideRect().x() + 2, bar->insideRect().bottom() - 2); }
    QRgb pixel(QPoint p) const { return bar->grab().toImage().pixel(p); }
    QStringList texts() const {
        QStringList list;
        for (int i = 0; i < bar->itemCount(); ++i)
            list << bar->itemText(i);
        return list;
    }
    std::vector<int> codes() const {
        std::vector<int> list;
        for (const NotifyRecord& r : owner.records)
            list.push_back(r.code);
        return list;
    }

    RecordingOwner owner;
    std::unique_ptr<CXTOutBarCtrl> bar;
};

} // namespace qh::test

#endif
