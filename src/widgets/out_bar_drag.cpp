// Dragging an item to a new place in its folder. A held item whose mouse
// leaves for a point on no item becomes a drag (with NAVBAR_DRAGITEMS); an
// insertion marker then shows where it would go: above the item under the
// mouse, or after the last item when the mouse is below it. The owner decides
// on the drop (NAVN_ITEMMOVE); the bar only moves the item when it agrees.
#include "out_bar_ctrl.h"

#include <QPainter>
#include <QPointer>
#include <algorithm>

namespace qh {

void CXTOutBarCtrl::beginDrag(QPoint pos) {
    const int dragged = pressedIndex_;
    setPressedLook(false);
    mouse_ = MouseState::Dragging;
    QPointer<CXTOutBarCtrl> alive(this);
    notify(NAVN_ITEMDRAG, dragged, itemText(dragged), 0); // the answer does not matter
    // The owner may have deleted the bar or ended the drag (removed the item,
    // opened another folder) meanwhile.
    if (!alive || mouse_ != MouseState::Dragging)
        return;
    trackDrag(pos);
}

void CXTOutBarCtrl::trackDrag(QPoint pos) {
    int kind = HitNone;
    const int target = dropTarget(pos, &kind);
    setDragMarker(target, kind);
}

// The position a drop at `pos` moves the item before: the item under the
// mouse (kind HitItem), the item count when the mouse is in the inside area
// below the last item (kind HitNone), or -1 anywhere else.
int CXTOutBarCtrl::dropTarget(QPoint pos, int* kind) const {
    *kind = HitNone;
    int index = -1;
    const int hit = hitTest(pos, &index);
    if (hit == HitItem) {
        *kind = HitItem;
        return index;
    }
    const BarFolder* f = openFolder();
    const int count = itemCount();
    if (hit != HitNone || !f || f->child || count == 0 || !insideRect().contains(pos))
        return -1;
    return pos.y() > itemRect(count - 1).bottom() ? count : -1;
}

void CXTOutBarCtrl::setDragMarker(int index, int kind) {
    if (index < 0)
        kind = HitNone;
    if (index == dragMarkerIndex_ && kind == dragMarkerKind_)
        return;
    if (dragMarkerIndex_ >= 0)
        update(dragMarkerRect());
    dragMarkerIndex_ = index;
    dragMarkerKind_ = kind;
    if (dragMarkerIndex_ >= 0)
        update(dragMarkerRect());
}

// A line across the inside area in the middle of the gap above the marked
// item (or below the last item), with room for the arrowheads; kept inside
// the area so the first item's marker is not hidden under the folder button.
QRect CXTOutBarCtrl::dragMarkerRect() const {
    const BarFolder* f = openFolder();
    const int count = itemCount();
    if (dragMarkerIndex_ < 0 || !f || count == 0)
        return QRect();
    int y = 0;
    if (dragMarkerKind_ == HitItem && isValidItem(dragMarkerIndex_)) {
        y = itemRect(dragMarkerIndex_).y() - spacing(*f) / 2;
    } else {
        const QRect last = itemRect(count - 1);
        y = last.y() + last.height() + spacing(*f) / 2;
    }
    const QRect inside = insideRect();
    y = std::max(inside.y() + kMarkerHead, std::min(y, inside.bottom() - kMarkerHead));
    return QRect(inside.x() + 2, y - kMarkerHead, std::max(0, inside.width() - 4), 2 * kMarkerHead + 1);
}

void CXTOutBarCtrl::drawDragMarker(QPainter* p) const {
    const QRect r = dragMarkerRect();
    if (r.isEmpty())
        return;
    const int y = r.y() + kMarkerHead;
    p->save();
    p->setPen(markerPen_);
    p->setBrush(markerPen_.color());
    p->drawLine(r.left(), y, r.right(), y);
    // Filled arrowheads pointing inwards at both ends.
    const QPoint left[] = {{r.left(), y - kMarkerHead}, {r.left() + kMarkerHead, y}, {r.left(), y + kMarkerHead}};
    const QPoint right[] = {{r.right(), y - kMarkerHead}, {r.right() - kMarkerHead, y}, {r.right(), y + kMarkerHead}};
    p->drawPolygon(left, 3);
    p->drawPolygon(right, 3);
    p->restore();
}

// Called after the drag state is gone. Dropping on the dragged item itself or
// outside any target does nothing.
void CXTOutBarCtrl::finishDrag(int dragged, QPoint pos) {
    update();
    int kind = HitNone;
    const int target = dropTarget(pos, &kind);
    if (target < 0 || target == dragged || !isValidItem(dragged))
        return;
    const int folder = selected_;
    const int count = itemCount();
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_ITEMMOVE, dragged, itemText(dragged), 0, dragged, target);
    // Move only if the folder still holds the same number of items: the owner
    // may have deleted the bar or changed its folders during the call.
    if (!alive || answer != 1 || selected_ != folder || itemCount() != count)
        return;
    moveItem(dragged, target);
    update();
}

// Re-inserts the item at `from` before the item that is now at `target` (or
// at the end for the item count). Once the item is unlinked, a target below
// it has moved up by one.
void CXTOutBarCtrl::moveItem(int from, int target) {
    BarFolder* f = openFolder();
    const int to = target > from ? target - 1 : target;
    f->insertItem(to, f->takeItem(from));
    auto follow = [&](int& index) {
        if (index == from)
            index = to;
        else if (from < index && index <= to)
            --index;
        else if (to <= index && index < from)
            ++index;
    };
    follow(lastClicked_);
    follow(currentItem_);
    follow(hotItem_);
    follow(itemUnderMouse_);
}

} // namespace qh
