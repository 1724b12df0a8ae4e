// The left-button interaction: a press on an item or folder button is held
// (the button looks pressed while the mouse stays on it) and turns into a
// click when released on the same item, or on a folder button other than the
// open folder's; a held item can also be dragged (out_bar_drag.cpp). A held
// scroll arrow scrolls one item per timer tick while the mouse stays on it.
// Qt keeps the mouse grabbed while the button is down.
#include "out_bar_ctrl.h"

#include <QMouseEvent>

namespace qh {

void CXTOutBarCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept(); // the release opens the menu
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setKeyboardCues(false); // the mouse is in use: no focus frame
    if (mouse_ != MouseState::Idle)
        return;
    int index = -1;
    const int kind = hitTest(event->position().toPoint(), &index);
    if (kind == HitNone)
        return;
    // The pressed look replaces the hot one until the button goes up.
    clearHot();
    if (kind == HitUpArrow || kind == HitDownArrow) {
        pressArrow(kind);
        return;
    }
    mouse_ = kind == HitItem ? MouseState::ItemPressed : MouseState::FolderPressed;
    pressedIndex_ = index;
    pressedLook_ = false;
    setPressedLook(true);
}

void CXTOutBarCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (mouse_ == MouseState::Idle) {
        trackHot(pos);
        QWidget::mouseMoveEvent(event);
        return;
    }
    // The release went elsewhere (the grab was taken away): give up quietly.
    if (!(event->buttons() & Qt::LeftButton)) {
        cancelMouse();
        return;
    }
    if (mouse_ == MouseState::ArrowHeld) {
        setArrowLook(overHeldArrow(pos)); // off the arrow the repetition pauses
        return;
    }
    if (mouse_ == MouseState::Dragging) {
        trackDrag(pos);
        return;
    }
    int index = -1;
    const int kind = hitTest(pos, &index);
    // Leaving the item for a point on no item (a folder button and an arrow
    // count as none) starts a drag; moving onto another item only unpresses.
    if (mouse_ == MouseState::ItemPressed && kind != HitItem && (flags_ & NAVBAR_DRAGITEMS)) {
        beginDrag(pos);
        return;
    }
    const int pressedKind = mouse_ == MouseState::ItemPressed ? HitItem : HitFolder;
    setPressedLook(kind == pressedKind && index == pressedIndex_);
}

void CXTOutBarCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        // Not while the left button is busy with a press, an arrow or a drag.
        if (mouse_ == MouseState::Idle && rect().contains(pos))
            showContextMenu(pos, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton || mouse_ == MouseState::Idle) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const MouseState state = mouse_;
    const int pressed = pressedIndex_;
    if (state == MouseState::ArrowHeld && overHeldArrow(pos))
        scrollStep(heldArrow_); // a release on the arrow scrolls once more
    cancelMouse();
    if (state == MouseState::Dragging) {
        finishDrag(pressed, pos);
        return;
    }
    int index = -1;
    const int kind = hitTest(pos, &index);
    if (state == MouseState::ItemPressed) {
        if (kind != HitItem || index != pressed || !isValidItem(index))
            return;
        // The keyboard cursor follows the click, without scrolling.
        moveCurrent(index);
        sendItemClick(index);
    } else if (state == MouseState::FolderPressed) {
        // Released over any folder button: that folder opens, unless it is open.
        if (kind == HitFolder && index != selected_)
            setSelectedFolder(index);
    }
}

void CXTOutBarCtrl::hideEvent(QHideEvent* event) {
    cancelMouse();
    clearHot();
    QWidget::hideEvent(event);
}

void CXTOutBarCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    upArrowPressed_ = false;
    downArrowPressed_ = false;
    fitChildren();
}

// Repaints only what changes: the pressed item's icon frame or folder button.
void CXTOutBarCtrl::setPressedLook(bool pressed) {
    if (pressed == pressedLook_)
        return;
    pressedLook_ = pressed;
    if (mouse_ == MouseState::ItemPressed)
        update(hotFrameRect(pressedIndex_));
    else if (mouse_ == MouseState::FolderPressed)
        update(folderRect(pressedIndex_));
}

// Ends whatever the left button was doing, without acting on it: the timer
// stops, the marker goes and the pushed or pressed look is removed.
void CXTOutBarCtrl::cancelMouse() {
    setPressedLook(false);
    if (mouse_ == MouseState::ArrowHeld) {
        arrowTimer_.stop();
        setArrowLook(false);
        update(insideRect());
    }
    setDragMarker(-1, HitNone);
    mouse_ = MouseState::Idle;
    pressedIndex_ = -1;
    heldArrow_ = HitNone;
}

void CXTOutBarCtrl::pressArrow(int kind) {
    mouse_ = MouseState::ArrowHeld;
    heldArrow_ = kind;
    setArrowLook(true);
    arrowTimer_.start(kArrowInterval, this);
}

// Only the held arrow counts, and only while shown: the down arrow disappears
// once the last item is fully in view.
bool CXTOutBarCtrl::overHeldArrow(QPoint pos) const {
    if (heldArrow_ == HitUpArrow)
        return upArrowShown() && upArrowRect().contains(pos);
    if (heldArrow_ == HitDownArrow)
        return downArrowShown() && downArrowRect().contains(pos);
    return false;
}

void CXTOutBarCtrl::setArrowLook(bool pushed) {
    if (heldArrow_ != HitUpArrow && heldArrow_ != HitDownArrow)
        return;
    const bool up = heldArrow_ == HitUpArrow;
    bool& flag = up ? upArrowPressed_ : downArrowPressed_;
    if (flag == pushed)
        return;
    flag = pushed;
    update(up ? upArrowRect() : downArrowRect());
}

// Up while items are scrolled out above; down while the folder's last item
// still ends below the inside area, but never past the last item, so a bar
// too short for any item stops too.
bool CXTOutBarCtrl::canScroll(int kind) const {
    const BarFolder* f = openFolder();
    if (!f || f->child)
        return false;
    if (kind == HitUpArrow)
        return firstVisible_ > 0;
    const int last = f->itemCount() - 1;
    if (kind != HitDownArrow || firstVisible_ >= last)
        return false;
    const QRect inside = insideRect();
    const QRect lastItem = itemRect(last);
    return lastItem.y() + lastItem.height() > inside.y() + inside.height();
}

bool CXTOutBarCtrl::scrollStep(int kind) {
    if (!canScroll(kind))
        return false;
    firstVisible_ += kind == HitUpArrow ? -1 : 1;
    update(insideRect());
    return true;
}

// A tick while the mouse is off the arrow does nothing (paused); the
// repetition ends once the folder cannot scroll further that way.
void CXTOutBarCtrl::arrowTick() {
    if (mouse_ != MouseState::ArrowHeld) {
        arrowTimer_.stop();
        return;
    }
    const bool over = heldArrow_ == HitUpArrow ? upArrowPressed_ : downArrowPressed_;
    if (!over)
        return;
    if (!scrollStep(heldArrow_) || !canScroll(heldArrow_))
        arrowTimer_.stop();
}

} // namespace qh
