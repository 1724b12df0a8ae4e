// A list of icons of one fixed size, addressed by index; the bar draws item
// icons from it. Lists are owned by whoever creates them, never by the bar.
#ifndef QUILLHORN_NAV_IMAGE_LIST_H
#define QUILLHORN_NAV_IMAGE_LIST_H

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <vector>

namespace qh {

class NavImageList {
public:
    explicit NavImageList(QSize iconSize);

    // Appends the icon; returns its index, or -1 when the icon or pixmap is
    // null (nothing is added then). An icon keeps every rendering it has, so a
    // screen of higher density draws from its larger pictures.
    int add(const QIcon& icon);
    int add(const QPixmap& pixmap);

    QSize iconSize() const { return iconSize_; }
    int size() const { return static_cast<int>(icons_.size()); }
    // The icon at the list's size for a device of `ratio` device pixels per
    // pixel: at most iconSize * ratio device pixels, from the icon's closest
    // rendering. A null pixmap for an index outside the list.
    QPixmap pixmap(int index, qreal ratio = 1.0) const;

private:
    QSize iconSize_;
    std::vector<QIcon> icons_;
};

} // namespace qh

#endif
