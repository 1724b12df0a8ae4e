// The keyboard: a cursor on the open folder's items that the arrow keys move,
// Enter or Space to open its item as a click does, Left and Right to open the
// neighbouring folders, and the focus frame that shows the cursor while the
// keyboard is in use.
#include "out_bar_ctrl.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>

namespace qh {

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
    if (mouse_ == MouseState::Idle && navigateByKey(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Carries out a navigation key; false for any other key, which goes on to the
// parent. Keys with Ctrl, Alt or Meta are left to the window's shortcuts.
bool CXTOutBarCtrl::navigateByKey(const QKeyEvent& event) {
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    const int key = event.key();
    const bool isItemKey = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End;
    const bool isFolderKey = key == Qt::Key_Left || key == Qt::Key_Right;
    const bool isOpenKey = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!isItemKey && !isFolderKey && !isOpenKey)
        return false;
    setKeyboardCues(true);
    if (isFolderKey) {
        const int folder = selected_ + (key == Qt::Key_Left ? -1 : 1);
        if (folder >= 0 && folder < folderCount())
            setSelectedFolder(folder);
        return true;
    }
    if (isOpenKey) {
        if (isValidItem(currentItem_))
            clickItem(currentItem_);
        return true;
    }
    if (itemCount() == 0)
        return true;
    // The first key only shows where the cursor starts.
    if (!isValidItem(currentItem_)) {
        setCurrentItem(keyboardStart());
        return true;
    }
    int target = currentItem_;
    if (key == Qt::Key_Up)
        target = std::max(0, currentItem_ - 1);
    else if (key == Qt::Key_Down)
        target = std::min(itemCount() - 1, currentItem_ + 1);
    else
        target = key == Qt::Key_Home ? 0 : itemCount() - 1;
    setCurrentItem(target);
    return true;
}

// Where the cursor starts when it is on no item: the last clicked item, else
// the top one shown.
int CXTOutBarCtrl::keyboardStart() const {
    if (isValidItem(lastClicked_))
        return lastClicked_;
    return isValidItem(firstVisible_) ? firstVisible_ : -1;
}

void CXTOutBarCtrl::setCurrentItem(int index) {
    if (!isValidItem(index))
        return;
    moveCurrent(index);
    scrollIntoView(index);
}

// Moves the cursor without scrolling, repainting the frame where it was and
// where it goes.
void CXTOutBarCtrl::moveCurrent(int index) {
    if (index == currentItem_)
        return;
    if (focusFrameShown())
        update(focusFrameRect(currentItem_));
    currentItem_ = index;
    if (focusFrameShown())
        update(focusFrameRect(currentItem_));
}

void CXTOutBarCtrl::clickItem(int index) {
    if (!isValidItem(index))
        return;
    setCurrentItem(index);
    sendItemClick(index);
}

// The notification of a click, for the mouse and the keyboard alike.
void CXTOutBarCtrl::sendItemClick(int index) {
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_ITEMCLICK, index, itemText(index), 0);
    if (alive && answer == 1 && isValidItem(index))
        lastClicked_ = index;
}

void CXTOutBarCtrl::scrollIntoView(int index) {
    if (!isValidItem(index))
        return;
    if (index <= firstVisible_) {
        setFirstVisibleItem(index);
        return;
    }
    // Each item scrolled out above moves the rest up by its height and spacing.
    const BarFolder& f = *openFolder();
    const QRect inside = insideRect();
    const QRect item = itemRect(index);
    int overshoot = (item.y() + item.height()) - (inside.y() + inside.height());
    int first = firstVisible_;
    while (overshoot > 0 && first < index) {
        overshoot -= itemRect(first).height() + spacing(f);
        ++first;
    }
    setFirstVisibleItem(first);
}

bool CXTOutBarCtrl::focusFrameShown() const {
    const BarFolder* f = openFolder();
    return keyboardCues_ && hasFocus() && f && !f->child && isValidItem(currentItem_);
}

void CXTOutBarCtrl::setKeyboardCues(bool on) {
    if (on == keyboardCues_)
        return;
    const bool wasShown = focusFrameShown();
    keyboardCues_ = on;
    if (wasShown != focusFrameShown())
        update(focusFrameRect(currentItem_));
}

void CXTOutBarCtrl::focusInEvent(QFocusEvent* event) {
    if (!isValidItem(currentItem_))
        currentItem_ = keyboardStart();
    // Tab shows the frame at once, a click hides it; a window coming back to
    // the front keeps what was.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        keyboardCues_ = true;
    else if (reason == Qt::MouseFocusReason)
        keyboardCues_ = false;
    QWidget::focusInEvent(event); // repaints the bar
}

} // namespace qh
