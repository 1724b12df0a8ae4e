// The left-button interaction: a press on an item or folder button is held
// (the button looks pressed while the mouse stays on it) and turns into a
// click when released on the same item, or on a folder button other than the
// open folder's. Qt keeps the mouse grabbed while the button is down.
#include "out_bar_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace qh {

void CXTOutBarCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (mouse_ != MouseState::Idle)
        return;
    int index = -1;
    switch (hitTest(event->position().toPoint(), &index)) {
    case HitItem:
        mouse_ = MouseState::ItemPressed;
        break;
    case HitFolder:
        mouse_ = MouseState::FolderPressed;
        break;
    default:
        // The scroll arrows repeat while held; that interaction is not wired yet.
        return;
    }
    pressedIndex_ = index;
    pressedLook_ = false;
    setPressedLook(true);
}

void CXTOutBarCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (mouse_ == MouseState::Idle) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // The release went elsewhere (the grab was taken away): give up quietly.
    if (!(event->buttons() & Qt::LeftButton)) {
        cancelMouse();
        return;
    }
    int index = -1;
    const int kind = hitTest(event->position().toPoint(), &index);
    const int pressedKind = mouse_ == MouseState::ItemPressed ? HitItem : HitFolder;
    setPressedLook(kind == pressedKind && index == pressedIndex_);
}

void CXTOutBarCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || mouse_ == MouseState::Idle) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const MouseState state = mouse_;
    const int pressed = pressedIndex_;
    cancelMouse();
    int index = -1;
    const int kind = hitTest(event->position().toPoint(), &index);
    if (state == MouseState::ItemPressed) {
        if (kind != HitItem || index != pressed || !isValidItem(index))
            return;
        QPointer<CXTOutBarCtrl> alive(this);
        const int answer = notify(NAVN_ITEMCLICK, index, itemText(index), 0);
        if (alive && answer == 1 && isValidItem(index))
            lastClicked_ = index;
    } else if (state == MouseState::FolderPressed) {
        // Released over any folder button: that folder opens, unless it is open.
        if (kind == HitFolder && index != selected_)
            setSelectedFolder(index);
    }
}

void CXTOutBarCtrl::keyPressEvent(QKeyEvent* event) {
    // Esc abandons a held press: the release then does nothing.
    if (event->key() == Qt::Key_Escape && mouse_ != MouseState::Idle) {
        cancelMouse();
        event->accept();
        return;
    }
    // While a folder button or arrow is held, other keys are swallowed so they
    // cannot act behind the user's back; an item press lets them through.
    if (mouse_ == MouseState::FolderPressed || mouse_ == MouseState::ArrowHeld) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CXTOutBarCtrl::hideEvent(QHideEvent* event) {
    cancelMouse();
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

void CXTOutBarCtrl::cancelMouse() {
    setPressedLook(false);
    mouse_ = MouseState::Idle;
    pressedIndex_ = -1;
}

} // namespace qh
