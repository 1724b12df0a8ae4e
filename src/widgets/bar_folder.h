// The navigation bar's model: a folder holds its items in display order and
// may carry image lists of its own that replace the bar's.
#ifndef QUILLHORN_BAR_FOLDER_H
#define QUILLHORN_BAR_FOLDER_H

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

namespace qh {

class NavImageList;

struct BarItem {
    int image = -1; // index into the folder's or the bar's image list of the current size
    int data = 0;
    QString text;
};

class BarFolder {
public:
    BarFolder(const QString& text, int data, bool smallIcons);

    QString text;
    int data = 0;
    NavImageList* largeList = nullptr; // not owned; none means the bar's list
    NavImageList* smallList = nullptr;
    // A window shown instead of the items while the folder is open; it is a
    // child of the bar. Guarded, since its owner may delete it at any time.
    QPointer<QWidget> child;
    bool smallIcons = false;

    int itemCount() const { return static_cast<int>(items_.size()); }
    // Null for a position outside the items.
    BarItem* item(int position) const;
    // Positions below 0 or past the end mean the end; returns the position used.
    int insertItem(int position, std::unique_ptr<BarItem> item);
    // Unlinks and returns the item (null for a position outside the items).
    std::unique_ptr<BarItem> takeItem(int position);

private:
    // Owned items in display order; pointers to them stay valid across inserts.
    std::vector<std::unique_ptr<BarItem>> items_;
};

} // namespace qh

#endif
