#include "bar_folder.h"

namespace qh {

BarFolder::BarFolder(const QString& text, int data, bool smallIcons) : text(text), data(data), smallIcons(smallIcons) {}

BarItem* BarFolder::item(int position) const {
    if (position < 0 || position >= itemCount())
        return nullptr;
    return items_[static_cast<std::size_t>(position)].get();
}

int BarFolder::insertItem(int position, std::unique_ptr<BarItem> item) {
    if (position < 0 || position > itemCount())
        position = itemCount();
    items_.insert(items_.begin() + position, std::move(item));
    return position;
}

std::unique_ptr<BarItem> BarFolder::takeItem(int position) {
    if (position < 0 || position >= itemCount())
        return nullptr;
    auto it = items_.begin() + position;
    std::unique_ptr<BarItem> taken = std::move(*it);
    items_.erase(it);
    return taken;
}

} // namespace qh
