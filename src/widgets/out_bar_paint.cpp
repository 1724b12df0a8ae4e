// Painting of the bar: one off-screen surface per paint, reading state only.
#include "mem_dc.h"
#include "nav_image_list.h"
#include "out_bar_ctrl.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace qh {

void CXTOutBarCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter window(this);
    CXTMemDC surface(&window, rect(), palette().color(QPalette::Button));
    QPainter* p = surface.painter();
    p->setFont(font());

    const BarFolder* open = openFolder();
    const QRect inside = insideRect();
    if (!open || !open->child) {
        // The inside area: background with a sunken frame.
        p->fillRect(inside, backColour());
        const QRect r = inside.adjusted(0, 0, -1, -1);
        p->setPen(palette().color(QPalette::Shadow));
        p->drawLine(r.topLeft(), r.topRight());
        p->drawLine(r.topLeft(), r.bottomLeft());
        p->setPen(palette().color(QPalette::Dark));
        p->drawLine(r.bottomLeft(), r.bottomRight());
        p->drawLine(r.topRight(), r.bottomRight());
    }
    for (int f = 0; f < folderCount(); ++f)
        drawFolder(p, f);
    if (open && !open->child)
        drawItems(p);
}

bool CXTOutBarCtrl::folderLooksPressed(int folder) const {
    return mouse_ == MouseState::FolderPressed && pressedLook_ && pressedIndex_ == folder;
}

bool CXTOutBarCtrl::itemLooksPressed(int index) const {
    return mouse_ == MouseState::ItemPressed && pressedLook_ && pressedIndex_ == index;
}

void CXTOutBarCtrl::drawFolder(QPainter* p, int folder) const {
    const QRect r = folderRect(folder);
    const bool sunken = folderLooksPressed(folder);
    const bool hot = !sunken && folder == hotFolder_;
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = r;
    option.state = QStyle::State_Enabled | (sunken ? QStyle::State_Sunken : QStyle::State_Raised);
    if (hot)
        option.state |= QStyle::State_MouseOver;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, p, this);
    if (hot) {
        // Styles differ in how much hover shows; a highlight line makes it plain.
        p->setPen(palette().color(QPalette::Highlight));
        p->drawRect(r.adjusted(1, 1, -2, -2));
    }
    QRect textRect = r.adjusted(4, 0, -4, 0);
    if (sunken) {
        textRect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    const QString text =
        p->fontMetrics().elidedText(folders_[static_cast<std::size_t>(folder)]->text, Qt::ElideRight, textRect.width());
    p->setPen(palette().color(QPalette::ButtonText));
    p->drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
}

// Arrows first, then the items from the first visible one until one starts
// below the inside area, clipped to the inside area less the arrows.
void CXTOutBarCtrl::drawItems(QPainter* p) const {
    const BarFolder& f = *openFolder();
    const QRect inside = insideRect();
    QRegion clip(inside);
    if (upArrowShown()) {
        drawArrow(p, upArrowRect(), true, upArrowPressed_);
        clip -= upArrowRect();
    }
    if (downArrowShown()) {
        drawArrow(p, downArrowRect(), false, downArrowPressed_);
        clip -= downArrowRect();
    }
    p->save();
    p->setClipRegion(clip);
    const int bottom = inside.y() + inside.height();
    int top = inside.y() + kTopMargin;
    for (int i = firstVisible_; i < f.itemCount() && top < bottom; ++i) {
        const ItemLayout l = layoutItem(f, *f.item(i), top);
        drawItem(p, f, i, l);
        top += l.item.height() + spacing(f);
    }
    if (focusFrameShown())
        drawFocusFrame(p);
    // The drag marker goes over the items, under the same clip.
    if (mouse_ == MouseState::Dragging)
        drawDragMarker(p);
    p->restore();
}

void CXTOutBarCtrl::drawItem(QPainter* p, const BarFolder& folder, int index, const ItemLayout& l) const {
    const BarItem& item = *folder.item(index);
    const int size = folder.smallIcons ? SmallIcons : LargeIcons;
    NavImageList* own = size == SmallIcons ? folder.smallList : folder.largeList;
    NavImageList* list = own ? own : imageList(size);
    if (list) {
        // At the surface's density, so a high-density screen gets the larger rendering.
        const QPixmap icon = list->pixmap(item.image, p->device()->devicePixelRatioF());
        if (!icon.isNull())
            p->drawPixmap(l.icon, icon);
    }
    const bool pressed = itemLooksPressed(index);
    if (pressed || index == hotItem_)
        drawHotFrame(p, l.icon.adjusted(-2, -2, 2, 2), pressed);

    p->setPen(textColour());
    if (folder.smallIcons) {
        p->drawText(l.label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, l.lines.value(0));
    } else {
        const int lineHeight = p->fontMetrics().height();
        const QRect inside = insideRect();
        for (int k = 0; k < l.lines.size(); ++k) {
            const QRect line(inside.x(), l.label.y() + k * lineHeight, inside.width(), lineHeight);
            p->drawText(line, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, l.lines[k]);
        }
    }
}

// A dotted rectangle in the label colour around the keyboard cursor's item.
void CXTOutBarCtrl::drawFocusFrame(QPainter* p) const {
    p->save();
    p->setPen(QPen(textColour(), 1, Qt::DotLine));
    p->setBrush(Qt::NoBrush);
    p->drawRect(focusFrameRect(currentItem_).adjusted(0, 0, -1, -1));
    p->restore();
}

// Raised: light top and left, dark bottom and right; sunken swaps them.
void CXTOutBarCtrl::drawHotFrame(QPainter* p, QRect rect, bool sunken) const {
    const QColor light = palette().color(QPalette::Button);
    const QColor dark = palette().color(QPalette::Shadow);
    const QRect r = rect.adjusted(0, 0, -1, -1);
    p->setPen(sunken ? dark : light);
    p->drawLine(r.topLeft(), r.topRight());
    p->drawLine(r.topLeft(), r.bottomLeft());
    p->setPen(sunken ? light : dark);
    p->drawLine(r.bottomLeft(), r.bottomRight());
    p->drawLine(r.topRight(), r.bottomRight());
}

void CXTOutBarCtrl::drawArrow(QPainter* p, QRect rect, bool up, bool pushed) const {
    QStyleOptionButton frame;
    frame.initFrom(this);
    frame.rect = rect;
    frame.state = QStyle::State_Enabled | (pushed ? QStyle::State_Sunken : QStyle::State_Raised);
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &frame, p, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = rect.adjusted(3, 3, -3, -3).translated(pushed ? 1 : 0, pushed ? 1 : 0);
    arrow.state = QStyle::State_Enabled;
    arrow.palette.setColor(QPalette::ButtonText, palette().color(QPalette::ButtonText));
    style()->drawPrimitive(up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, p, this);
}

} // namespace qh
