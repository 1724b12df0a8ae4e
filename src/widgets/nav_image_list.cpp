#include "nav_image_list.h"

namespace qh {

NavImageList::NavImageList(QSize iconSize) : iconSize_(iconSize) {}

int NavImageList::add(const QIcon& icon) {
    if (icon.isNull() || iconSize_.isEmpty())
        return -1;
    icons_.push_back(icon);
    return size() - 1;
}

int NavImageList::add(const QPixmap& pixmap) {
    return pixmap.isNull() ? -1 : add(QIcon(pixmap));
}

QPixmap NavImageList::pixmap(int index, qreal ratio) const {
    if (index < 0 || index >= size())
        return QPixmap();
    return icons_[static_cast<std::size_t>(index)].pixmap(iconSize_, ratio);
}

} // namespace qh
