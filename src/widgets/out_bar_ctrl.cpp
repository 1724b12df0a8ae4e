// The bar's model operations: folders, items, image lists, colours and the
// notifications that guard them.
#include "out_bar_ctrl.h"

#include "nav_image_list.h"

#include <QFontDatabase>
#include <QPointer>
#include <algorithm>

namespace qh {

CXTOutBarCtrl::CXTOutBarCtrl(QWidget* parent, unsigned flags) : QWidget(parent), flags_(flags) {
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    // Tab reaches the bar as any control; a click gives it the focus too.
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button drive the hot highlight.
    setMouseTracking(true);
    // The right button's release opens the bar's own menu; no context-menu
    // event may go to a parent instead.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Every pixel is painted in paintEvent; nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CXTOutBarCtrl::~CXTOutBarCtrl() {
    // Answers are ignored: everything goes regardless.
    for (std::size_t f = 0; f < folders_.size(); ++f) {
        const BarFolder& folder = *folders_[f];
        for (int i = 0; i < folder.itemCount(); ++i)
            notify(NAVN_ITEMREMOVE, i, folder.item(i)->text, 0);
        notify(NAVN_FOLDERREMOVE, static_cast<int>(f), folder.text, 1);
    }
}

NavBarOwner* CXTOutBarCtrl::notifyTarget() const {
    if (owner_)
        return owner_;
    // A parent in its QWidget destructor no longer has its derived part, so
    // the cast yields null there and a dying parent is never called.
    return dynamic_cast<NavBarOwner*>(parentWidget());
}

int CXTOutBarCtrl::notify(int code, int index, const QString& text, int folderFlag, int second, int target) {
    NavBarOwner* receiver = notifyTarget();
    if (!receiver)
        return 0;
    // A copy, so the pointer stays valid even if the owner edits or removes
    // the item during the call.
    const QString copy = text;
    NavBarNotify block{index, second, target, &copy, folderFlag};
    return receiver->navBarNotify(code, block);
}

int CXTOutBarCtrl::send(int code, NavBarNotify& block) {
    NavBarOwner* receiver = notifyTarget();
    return receiver ? receiver->navBarNotify(code, block) : 0;
}

bool CXTOutBarCtrl::folderIndexOk(int folder) const {
    if (folders_.empty())
        return false;
    const bool ok = folder >= 0 && folder < folderCount();
    Q_ASSERT_X(ok, "CXTOutBarCtrl", "folder index out of range");
    return ok;
}

BarFolder* CXTOutBarCtrl::openFolder() const {
    if (selected_ < 0 || selected_ >= folderCount())
        return nullptr;
    return folders_[static_cast<std::size_t>(selected_)].get();
}

BarFolder* CXTOutBarCtrl::folder(int folder) const {
    return folderIndexOk(folder) ? folders_[static_cast<std::size_t>(folder)].get() : nullptr;
}

void CXTOutBarCtrl::setBackColour(QColor colour) {
    backColour_ = colour;
    backSet_ = true;
    update();
}

QColor CXTOutBarCtrl::backColour() const {
    return backSet_ ? backColour_ : palette().color(QPalette::Dark);
}

void CXTOutBarCtrl::setTextColour(QColor colour) {
    textColour_ = colour;
    textSet_ = true;
    update();
}

QColor CXTOutBarCtrl::textColour() const {
    return textSet_ ? textColour_ : palette().color(QPalette::Base);
}

void CXTOutBarCtrl::setImageList(NavImageList* list, int size) {
    if (size == SmallIcons)
        smallList_ = list;
    else if (size == LargeIcons)
        largeList_ = list;
    else
        return;
    update();
}

NavImageList* CXTOutBarCtrl::imageList(int size) const {
    return size == SmallIcons ? smallList_ : size == LargeIcons ? largeList_ : nullptr;
}

void CXTOutBarCtrl::setFolderImageList(int folder, NavImageList* list, int size) {
    BarFolder* f = this->folder(folder);
    if (!f)
        return;
    if (size == SmallIcons)
        f->smallList = list;
    else if (size == LargeIcons)
        f->largeList = list;
    else
        return;
    update();
}

NavImageList* CXTOutBarCtrl::folderImageList(int folder, int size) const {
    const BarFolder* f = this->folder(folder);
    if (!f)
        return nullptr;
    NavImageList* own = size == SmallIcons ? f->smallList : size == LargeIcons ? f->largeList : nullptr;
    return own ? own : imageList(size);
}

int CXTOutBarCtrl::addFolder(const QString& text, int data) {
    return addFolder(text, nullptr, data);
}

int CXTOutBarCtrl::addFolder(const QString& text, QWidget* child, int data) {
    auto folder = std::make_unique<BarFolder>(text, data, (flags_ & NAVBAR_SMALLICONS) != 0);
    if (child) {
        child->setParent(this);
        folder->child = child;
    }
    folders_.push_back(std::move(folder));
    fitChildren();
    update();
    return folderCount() - 1;
}

void CXTOutBarCtrl::removeFolder(int folder) {
    if (!folderIndexOk(folder))
        return;
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_FOLDERREMOVE, folder, folders_[static_cast<std::size_t>(folder)]->text, 1);
    // The owner may have deleted the bar or changed the folders meanwhile.
    if (!alive || answer != 1 || folder >= folderCount())
        return;
    cancelMouse();
    auto it = folders_.begin() + folder;
    if ((*it)->child)
        (*it)->child->hide();
    folders_.erase(it);
    hotFolder_ = -1;
    if (folder < selected_) {
        --selected_;
    } else if (folder == selected_) {
        // The open folder went: open its successor (or the new last folder)
        // rather than leave the selection pointing past the end.
        selected_ = std::max(0, std::min(selected_, folderCount() - 1));
        firstVisible_ = 0;
        lastClicked_ = -1;
        currentItem_ = itemCount() > 0 ? 0 : -1;
        hotItem_ = -1;
        itemUnderMouse_ = -1;
    }
    fitChildren();
    update();
}

void CXTOutBarCtrl::setSelectedFolder(int folder) {
    if (!folderIndexOk(folder) || folder == selected_)
        return;
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_FOLDERSELECT, folder, folders_[static_cast<std::size_t>(folder)]->text, 1);
    if (!alive || answer != 1 || folder >= folderCount() || folder == selected_)
        return;
    openFolderAt(folder);
}

void CXTOutBarCtrl::openFolderAt(int folder) {
    cancelMouse();
    selected_ = folder;
    firstVisible_ = 0;
    lastClicked_ = -1;
    currentItem_ = itemCount() > 0 ? 0 : -1;
    hotItem_ = -1;
    itemUnderMouse_ = -1;
    fitChildren();
    update();
}

void CXTOutBarCtrl::fitChildren() {
    const QRect inside = insideRect();
    for (int f = 0; f < folderCount(); ++f) {
        QWidget* child = folders_[static_cast<std::size_t>(f)]->child;
        if (!child)
            continue;
        child->setGeometry(inside);
        child->setVisible(f == selected_);
    }
}

QString CXTOutBarCtrl::folderText(int folder) const {
    const BarFolder* f = this->folder(folder);
    return f ? f->text : QString();
}

void CXTOutBarCtrl::setFolderText(int folder, const QString& text) {
    if (BarFolder* f = this->folder(folder)) {
        f->text = text;
        update(folderRect(folder));
    }
}

int CXTOutBarCtrl::folderData(int folder) const {
    const BarFolder* f = this->folder(folder);
    return f ? f->data : 0;
}

QWidget* CXTOutBarCtrl::folderChild(int folder) const {
    const BarFolder* f = this->folder(folder);
    return f ? f->child.data() : nullptr;
}

int CXTOutBarCtrl::insertItem(int folder, int position, const QString& text, int image, int data) {
    BarFolder* f = this->folder(folder);
    if (!f)
        return -1;
    auto item = std::make_unique<BarItem>();
    item->image = image;
    item->data = data;
    item->text = text;
    const int used = f->insertItem(position, std::move(item));
    if (folder == selected_) {
        shiftItemIndices(used, 1);
        update(insideRect());
    }
    return used;
}

void CXTOutBarCtrl::removeItem(int index) {
    if (!isValidItem(index))
        return;
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = notify(NAVN_ITEMREMOVE, index, openFolder()->item(index)->text, 0);
    if (!alive || answer != 1 || !isValidItem(index))
        return;
    openFolder()->takeItem(index);
    shiftItemIndices(index, -1);
    update(insideRect());
}

// Keeps the indices that name items of the open folder on the same items when
// one is inserted (delta 1) or removed (delta -1) at `from`.
void CXTOutBarCtrl::shiftItemIndices(int from, int delta) {
    auto shift = [&](int& index) {
        if (index < from)
            return;
        if (delta < 0 && index == from)
            index = -1;
        else
            index += delta;
    };
    shift(lastClicked_);
    shift(currentItem_);
    shift(hotItem_);
    shift(itemUnderMouse_);
    if (mouse_ == MouseState::ItemPressed || mouse_ == MouseState::Dragging) {
        shift(pressedIndex_);
        if (pressedIndex_ < 0)
            cancelMouse();
    }
    // The marker's place is found again on the next move; the caller repaints
    // the inside area.
    dragMarkerIndex_ = -1;
    dragMarkerKind_ = HitNone;
    const int count = itemCount();
    firstVisible_ = std::max(0, std::min(firstVisible_, count - 1));
}

int CXTOutBarCtrl::itemCount() const {
    const BarFolder* f = openFolder();
    return f ? f->itemCount() : 0;
}

bool CXTOutBarCtrl::isValidItem(int index) const {
    return index >= 0 && index < itemCount();
}

QString CXTOutBarCtrl::itemText(int index) const {
    return isValidItem(index) ? openFolder()->item(index)->text : QString();
}

void CXTOutBarCtrl::setItemText(int index, const QString& text) {
    if (!isValidItem(index))
        return;
    openFolder()->item(index)->text = text;
    // A new label can change the item's height and so the whole layout below.
    update(insideRect());
}

int CXTOutBarCtrl::itemImage(int index) const {
    return isValidItem(index) ? openFolder()->item(index)->image : 0;
}

void CXTOutBarCtrl::setItemImage(int index, int image) {
    if (!isValidItem(index))
        return;
    openFolder()->item(index)->image = image;
    update(iconRect(index));
}

int CXTOutBarCtrl::itemData(int index) const {
    return isValidItem(index) ? openFolder()->item(index)->data : 0;
}

void CXTOutBarCtrl::setItemData(int index, int data) {
    if (isValidItem(index))
        openFolder()->item(index)->data = data;
}

BarItem* CXTOutBarCtrl::item(int folder, int position) const {
    const BarFolder* f = this->folder(folder);
    return f ? f->item(position) : nullptr;
}

void CXTOutBarCtrl::setSmallIconView(bool small, int folder) {
    if (folder == -1) {
        for (auto& f : folders_)
            f->smallIcons = small;
        flags_ = small ? (flags_ | NAVBAR_SMALLICONS) : (flags_ & ~NAVBAR_SMALLICONS);
    } else if (BarFolder* f = this->folder(folder)) {
        f->smallIcons = small;
    } else {
        return;
    }
    firstVisible_ = 0;
    update(insideRect());
}

bool CXTOutBarCtrl::isSmallIconView(int folder) const {
    const BarFolder* f = folder == -1 ? openFolder() : this->folder(folder);
    return f && f->smallIcons;
}

void CXTOutBarCtrl::setFirstVisibleItem(int index) {
    const int clamped = std::max(0, std::min(index, itemCount() - 1));
    if (clamped == firstVisible_)
        return;
    firstVisible_ = clamped;
    update(insideRect());
}

} // namespace qh
