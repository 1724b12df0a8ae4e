// Hot tracking: the folder button or item under the mouse is highlighted while
// no button is held. Leave events are not always delivered (a child window
// may take the mouse, or the bar may be moved away under it), so a timer also
// checks every 100 ms whether the mouse is still over the bar.
#include "out_bar_ctrl.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QTimerEvent>

namespace qh {

void CXTOutBarCtrl::setHotItem(int index) {
    if (!isValidItem(index))
        index = -1;
    if (index == hotItem_)
        return;
    if (hotItem_ >= 0)
        update(hotFrameRect(hotItem_));
    hotItem_ = index;
    if (hotItem_ >= 0) {
        update(hotFrameRect(hotItem_));
        startHotTimer();
    }
}

void CXTOutBarCtrl::setHotFolder(int folder) {
    if (folder < 0 || folder >= folderCount())
        folder = -1;
    if (folder == hotFolder_)
        return;
    if (hotFolder_ >= 0)
        update(folderRect(hotFolder_));
    hotFolder_ = folder;
    if (hotFolder_ >= 0) {
        update(folderRect(hotFolder_));
        startHotTimer();
    }
}

void CXTOutBarCtrl::setCursorSource(std::function<QPoint()> source) {
    cursorSource_ = std::move(source);
}

void CXTOutBarCtrl::startHotTimer() {
    if (!hotTimer_.isActive())
        hotTimer_.start(kHotInterval, this);
}

// A child of the bar holding the focus (an editor, a folder's own widget) keeps
// the highlight where it is, so moving over the bar does not repaint under it.
bool CXTOutBarCtrl::focusInChild() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != this && isAncestorOf(focus);
}

void CXTOutBarCtrl::trackHot(QPoint pos) {
    if (focusInChild())
        return;
    int index = -1;
    const int kind = hitTest(pos, &index);
    setHotFolder(kind == HitFolder ? index : -1);
    const int item = kind == HitItem ? index : -1;
    if (item == itemUnderMouse_)
        return;
    itemUnderMouse_ = item;
    setHotItem(-1);
    if (item < 0)
        return;
    // Keep checking for the mouse leaving even if the owner refuses the item,
    // so that itemUnderMouse_ is forgotten once the mouse is gone.
    startHotTimer();
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_ITEMHOT, item, itemText(item), 0);
    // The owner may have deleted the bar, changed the items, or the mouse may
    // have moved on (a nested event loop) in the meantime.
    if (alive && answer == 1 && itemUnderMouse_ == item && isValidItem(item) && mouse_ == MouseState::Idle)
        setHotItem(item);
}

void CXTOutBarCtrl::clearHot() {
    setHotFolder(-1);
    setHotItem(-1);
    itemUnderMouse_ = -1;
    hotTimer_.stop();
}

void CXTOutBarCtrl::hotTick() {
    const QPoint global = cursorSource_ ? cursorSource_() : QCursor::pos();
    if (!rect().contains(mapFromGlobal(global)))
        clearHot();
    else if (hotFolder_ < 0 && hotItem_ < 0 && itemUnderMouse_ < 0)
        hotTimer_.stop(); // nothing left to watch
}

void CXTOutBarCtrl::leaveEvent(QEvent* event) {
    clearHot();
    QWidget::leaveEvent(event);
}

void CXTOutBarCtrl::timerEvent(QTimerEvent* event) {
    if (hotTimer_.isActive() && event->timerId() == hotTimer_.timerId())
        hotTick();
    else if (arrowTimer_.isActive() && event->timerId() == arrowTimer_.timerId())
        arrowTick();
    else
        QWidget::timerEvent(event);
}

} // namespace qh
