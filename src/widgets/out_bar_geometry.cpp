// The bar's geometry and hit testing: pure functions of the widget's size,
// font and model, so they can be checked without showing the bar.
#include "out_bar_ctrl.h"

#include <QFontMetrics>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>

namespace qh {

namespace {

int rightEdge(const QRect& r) {
    return r.x() + r.width();
} // one past the last column
int bottomEdge(const QRect& r) {
    return r.y() + r.height();
} // one past the last row

} // namespace

QRect CXTOutBarCtrl::folderRect(int folder) const {
    const int n = folderCount();
    if (folder < 0 || folder >= n)
        return QRect();
    // Buttons up to the open one stack at the top (the first starts one pixel
    // above the client area so its top edge is hidden); the rest at the bottom.
    const int top = folder <= selected_ ? folder * kFolderHeight - 1 : height() - (n - folder) * kFolderHeight;
    return QRect(0, top, width(), kFolderHeight);
}

QRect CXTOutBarCtrl::insideRect() const {
    const int n = folderCount();
    if (n == 0)
        return rect();
    const int top = (selected_ + 1) * kFolderHeight - 1;
    const int bottom = height() - (n - selected_ - 1) * kFolderHeight;
    return QRect(0, top, width(), std::max(0, bottom - top));
}

int CXTOutBarCtrl::spacing(const BarFolder& folder) const {
    return folder.smallIcons ? kSpacingSmall : kSpacingLarge;
}

// Wraps at word boundaries (any character where the script has no spaces) to
// `width`; a word wider than that is cut with an ellipsis. Never empty, so an
// empty label still takes one line.
QStringList CXTOutBarCtrl::wrapLabel(const QString& text, int width) const {
    const QFontMetrics fm = fontMetrics();
    QStringList lines;
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(0, width));
        const QString part = text.mid(line.textStart(), line.textLength()).trimmed();
        lines << fm.elidedText(part, Qt::ElideRight, std::max(0, width));
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

CXTOutBarCtrl::ItemLayout CXTOutBarCtrl::layoutItem(const BarFolder& folder, const BarItem& item, int top) const {
    const QFontMetrics fm = fontMetrics();
    const QRect inside = insideRect();
    ItemLayout l;
    if (folder.smallIcons) {
        // Icon, gap, one line of label; the taller of icon and text sets the height.
        const int h = std::max(kSmallIcon, fm.height());
        const int left = inside.x() + kLeftMargin;
        l.icon = QRect(left, top + (h - kSmallIcon) / 2, kSmallIcon, kSmallIcon);
        const int labelLeft = left + kSmallIcon + kGapSmall;
        const int room = std::max(0, rightEdge(inside) - kLeftMargin - labelLeft);
        const QString line = fm.elidedText(item.text, Qt::ElideRight, room);
        l.lines << line;
        l.label = QRect(labelLeft, top, std::min(room, fm.horizontalAdvance(line)), h);
        l.item = QRect(left, top, labelLeft + l.label.width() - left, h);
    } else {
        // Icon centred across the width, wrapped label centred below it.
        l.lines = wrapLabel(item.text, inside.width());
        int labelWidth = 0;
        for (const QString& line : l.lines)
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(line));
        labelWidth = std::min(labelWidth, inside.width());
        const int labelHeight = static_cast<int>(l.lines.size()) * fm.height();
        l.icon = QRect(inside.x() + (inside.width() - kLargeIcon) / 2, top, kLargeIcon, kLargeIcon);
        l.label = QRect(inside.x() + (inside.width() - labelWidth) / 2, top + kLargeIcon + kGapLarge, labelWidth,
                        labelHeight);
        l.item = QRect(inside.x(), top, inside.width(), kLargeIcon + kGapLarge + labelHeight + kSpacingLarge);
    }
    return l;
}

// Items start below the inside area's top margin, shifted up by the items
// scrolled out above the first visible one.
CXTOutBarCtrl::ItemLayout CXTOutBarCtrl::layoutOf(int index) const {
    if (!isValidItem(index))
        return ItemLayout();
    const BarFolder& f = *openFolder();
    int top = insideRect().y() + kTopMargin;
    for (int i = firstVisible_; i < index; ++i)
        top += layoutItem(f, *f.item(i), top).item.height() + spacing(f);
    for (int i = firstVisible_ - 1; i >= index; --i)
        top -= layoutItem(f, *f.item(i), top).item.height() + spacing(f);
    return layoutItem(f, *f.item(index), top);
}

QRect CXTOutBarCtrl::itemRect(int index) const {
    return layoutOf(index).item;
}
QRect CXTOutBarCtrl::iconRect(int index) const {
    return layoutOf(index).icon;
}
QRect CXTOutBarCtrl::labelRect(int index) const {
    return layoutOf(index).label;
}
QSize CXTOutBarCtrl::itemSize(int index) const {
    return layoutOf(index).item.size();
}

// The frame drawn around an icon for the hot and pressed looks.
QRect CXTOutBarCtrl::hotFrameRect(int index) const {
    const QRect icon = iconRect(index);
    return icon.isNull() ? QRect() : icon.adjusted(-2, -2, 2, 2);
}

// Around the icon and the label with a few pixels to spare, outside the hot
// frame; in large-icon mode the label can be as wide as the inside area, so the
// frame keeps one pixel inside it.
QRect CXTOutBarCtrl::focusFrameRect(int index) const {
    const ItemLayout l = layoutOf(index);
    if (l.item.isNull())
        return QRect();
    const QRect around = l.icon.united(l.label).adjusted(-4, -4, 4, 3);
    const QRect inside = insideRect().adjusted(1, 1, -1, -1);
    return QRect(std::max(around.x(), inside.x()), around.y(),
                 std::min(rightEdge(around), rightEdge(inside)) - std::max(around.x(), inside.x()), around.height());
}

void CXTOutBarCtrl::visibleRange(int* first, int* last) const {
    int lastStarted = firstVisible_ - 1;
    if (const BarFolder* f = openFolder(); f && !f->child) {
        const int bottom = bottomEdge(insideRect());
        int top = insideRect().y() + kTopMargin;
        for (int i = firstVisible_; i < f->itemCount() && top < bottom; ++i) {
            lastStarted = i;
            top += layoutItem(*f, *f->item(i), top).item.height() + spacing(*f);
        }
    }
    if (first)
        *first = firstVisible_;
    if (last)
        *last = lastStarted;
}

QRect CXTOutBarCtrl::upArrowRect() const {
    const int side = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QRect inside = insideRect();
    return QRect(rightEdge(inside) - kArrowMargin - side, inside.y() + kArrowMargin, side, side);
}

QRect CXTOutBarCtrl::downArrowRect() const {
    const int side = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QRect inside = insideRect();
    return QRect(rightEdge(inside) - kArrowMargin - side, bottomEdge(inside) - kArrowMargin - side, side, side);
}

bool CXTOutBarCtrl::upArrowShown() const {
    const BarFolder* f = openFolder();
    return f && !f->child && firstVisible_ > 0;
}

// Shown when the last item that fits entirely is not the folder's last item.
bool CXTOutBarCtrl::downArrowShown() const {
    const BarFolder* f = openFolder();
    if (!f || f->child || f->itemCount() == 0)
        return false;
    const int bottom = bottomEdge(insideRect());
    int top = insideRect().y() + kTopMargin;
    int lastFitting = firstVisible_ - 1;
    for (int i = firstVisible_; i < f->itemCount(); ++i) {
        const QRect r = layoutItem(*f, *f->item(i), top).item;
        if (bottomEdge(r) > bottom)
            break;
        lastFitting = i;
        top += r.height() + spacing(*f);
    }
    return lastFitting != f->itemCount() - 1;
}

int CXTOutBarCtrl::hitTest(QPoint point, int* index) const {
    int found = -1;
    int kind = HitNone;
    const BarFolder* open = openFolder();
    if (!open) {
        // No folders: nothing to hit.
    } else if (upArrowShown() && upArrowRect().contains(point)) {
        kind = HitUpArrow;
    } else if (downArrowShown() && downArrowRect().contains(point)) {
        kind = HitDownArrow;
    } else {
        for (int f = 0; f < folderCount() && kind == HitNone; ++f) {
            if (folderRect(f).contains(point)) {
                kind = HitFolder;
                found = f;
            }
        }
        // Items are clipped to the inside area, so only points there can hit them.
        const QRect inside = insideRect();
        if (kind == HitNone && !open->child && inside.contains(point)) {
            int top = inside.y() + kTopMargin;
            for (int i = firstVisible_; i < open->itemCount() && top < bottomEdge(inside); ++i) {
                const ItemLayout l = layoutItem(*open, *open->item(i), top);
                const bool hit = open->smallIcons
                                     ? l.item.contains(point)
                                     : l.icon.contains(point) || l.label.adjusted(0, -kGapLarge, 0, 0).contains(point);
                if (hit) {
                    kind = HitItem;
                    found = i;
                    break;
                }
                top += l.item.height() + spacing(*open);
            }
        }
    }
    if (index)
        *index = found;
    return kind;
}

} // namespace qh
