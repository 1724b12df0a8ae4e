#include "nav_image_list.h"

namespace qh {

NavImageList::NavImageList(QSize iconSize) : iconSize_(iconSize) {}

int NavImageList::add(const QIcon& icon) {
    if (icon.isNull())
        return -1;
    // Device pixels at ratio 1: the list stores exactly iconSize pixels.
    return add(icon.pixmap(iconSize_, 1.0));
}

int NavImageList::add(const QPixmap& pixmap) {
    if (pixmap.isNull() || iconSize_.isEmpty())
        return -1;
    // Every entry has the list's size, so drawing never has to guess a scale.
    QPixmap entry =
        pixmap.size() == iconSize_ ? pixmap : pixmap.scaled(iconSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    entry.setDevicePixelRatio(1.0);
    pixmaps_.push_back(entry);
    return size() - 1;
}

QPixmap NavImageList::pixmap(int index) const {
    if (index < 0 || index >= size())
        return QPixmap();
    return pixmaps_[static_cast<std::size_t>(index)];
}

} // namespace qh
