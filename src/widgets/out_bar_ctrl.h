// The vertical navigation bar: a stack of folder buttons, one folder open at a
// time showing its items (icon and label) between the buttons above and below
// it. The bar knows nothing of what the items stand for; it reports clicks,
// selections and removals to its owner (see nav_bar_notify.h).
//
// Notification target: the owner given with setOwner(); with none set, the
// parent widget when it implements NavBarOwner; otherwise every question is
// answered 0 (so vetoable actions do not happen). The bar does not track the
// owner's lifetime: an owner that dies before the bar must call
// setOwner(nullptr) first. The destructor reports every item and folder; a
// parent that is itself being destroyed is no longer a NavBarOwner by then and
// is not asked.
//
// Interaction: the folder button or item under the mouse is highlighted (hot);
// a held scroll arrow repeats; with NAVBAR_DRAGITEMS an item can be dragged to
// a new place in its folder; the right button offers a menu that switches the
// open folder between large and small icons.
//
// Keyboard: the bar takes the focus by Tab or a click. Up and Down move the
// keyboard cursor between the open folder's items, Home and End to the first
// and last item, scrolling it into view; Left and Right open the previous and
// next folder (asking NAVN_FOLDERSELECT, as a click on its button does); Enter
// or Space opens the item under the cursor with NAVN_ITEMCLICK, as a click
// does. While the bar has the focus and the keyboard is in use (the focus came
// by Tab, or a key moved the cursor; a mouse press ends it), a dotted focus
// frame marks the cursor's item.
//
// Folder indices outside the folder list are a programming error: they assert
// in debug builds and are ignored (queries answer 0, null or false) in release
// builds. With no folders at all, folder and item queries answer 0 and
// insertItem() -1, without asserting. Item indices always refer to the open
// folder (except in insertItem() and item()); out-of-range ones are ignored.
#ifndef QUILLHORN_OUT_BAR_CTRL_H
#define QUILLHORN_OUT_BAR_CTRL_H

#include "bar_folder.h"
#include "nav_bar_notify.h"

#include <QBasicTimer>
#include <QColor>
#include <QPen>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace qh {

class NavImageList;

class CXTOutBarCtrl : public QWidget {
    Q_OBJECT
public:
    // Kinds answered by hitTest().
    enum HitKind { HitNone = -1, HitFolder = 0, HitItem = 1, HitUpArrow = 2, HitDownArrow = 3 };
    // The `size` argument of the image-list operations.
    enum IconSize { SmallIcons = 1, LargeIcons = 2 };

    explicit CXTOutBarCtrl(QWidget* parent, unsigned flags = NAVBAR_DEFAULT_FLAGS);
    ~CXTOutBarCtrl() override;

    void setOwner(NavBarOwner* owner) { owner_ = owner; }
    NavBarOwner* owner() const { return owner_; }
    unsigned barFlags() const { return flags_; }

    // Colours of the inside area and of the item labels; until set they follow
    // the palette (Dark and Base).
    void setBackColour(QColor colour);
    QColor backColour() const;
    void setTextColour(QColor colour);
    QColor textColour() const;

    // Image lists are not owned. The bar's lists serve every folder that has
    // none of its own for the size. Sizes other than SmallIcons and LargeIcons
    // are ignored.
    void setImageList(NavImageList* list, int size);
    NavImageList* imageList(int size) const;
    void setFolderImageList(int folder, NavImageList* list, int size);
    NavImageList* folderImageList(int folder, int size) const;

    // Folders. addFolder() returns the new folder's index. A folder with a
    // child widget shows it (reparented to the bar, fitted to the inside area)
    // instead of items while it is open.
    int addFolder(const QString& text, int data);
    int addFolder(const QString& text, QWidget* child, int data);
    // Asks NAVN_FOLDERREMOVE; on 1 removes the folder and its items (its child
    // widget stays a hidden child of the bar). Removing the open folder opens
    // the one that takes its place (or the new last one), scrolled to the top.
    void removeFolder(int folder);
    int folderCount() const { return static_cast<int>(folders_.size()); }
    int selectedFolder() const { return selected_; }
    // Asks NAVN_FOLDERSELECT unless the folder is already open; on 1 opens it
    // scrolled to the top, with no last clicked item.
    void setSelectedFolder(int folder);
    QString folderText(int folder) const;
    void setFolderText(int folder, const QString& text);
    int folderData(int folder) const;
    QWidget* folderChild(int folder) const;
    BarFolder* folder(int folder) const;

    // Inserts before the item at `position`; below 0 or past the end means the
    // end. Returns the position used, or -1 without folders.
    int insertItem(int folder, int position, const QString& text, int image, int data);
    // Items of the open folder. removeItem() asks NAVN_ITEMREMOVE; on 1 removes.
    void removeItem(int index);
    int itemCount() const;
    bool isValidItem(int index) const;
    QString itemText(int index) const;
    void setItemText(int index, const QString& text);
    int itemImage(int index) const;
    void setItemImage(int index, int image);
    int itemData(int index) const;
    void setItemData(int index, int data);
    BarItem* item(int folder, int position) const;

    // Icon mode per folder; folder -1 sets every folder and the flag for new
    // ones. Either way the open folder is scrolled back to the top.
    void setSmallIconView(bool small, int folder = -1);
    // Folder -1: the open folder.
    bool isSmallIconView(int folder = -1) const;

    int firstVisibleItem() const { return firstVisible_; }
    // Scrolls the open folder so that `index` is the top item (clamped).
    void setFirstVisibleItem(int index);
    // Scrolls the open folder as little as needed to show the item whole (or,
    // when it is taller than the inside area, at the top).
    void scrollIntoView(int index);
    int lastClickedItem() const { return lastClicked_; }

    // The item under the keyboard cursor in the open folder, -1 for none. A
    // newly opened folder puts it on its first item; a click moves it to the
    // clicked item.
    int currentItem() const { return currentItem_; }
    // Moves the keyboard cursor (an invalid index is ignored) and scrolls the
    // item into view.
    void setCurrentItem(int index);
    // What a click on the item does: the keyboard cursor moves there, the item
    // is scrolled into view and NAVN_ITEMCLICK is sent; on 1 it becomes the
    // last clicked item. Enter and Space call it for the cursor's item.
    void clickItem(int index);
    // The dotted frame drawn around the keyboard cursor's item.
    QRect focusFrameRect(int index) const;
    bool focusFrameShown() const;

    // Highlight of the item or folder button under the mouse; -1 for none.
    // While one is set, a 100 ms timer clears both once the mouse is outside.
    int hotItem() const { return hotItem_; }
    void setHotItem(int index);
    int hotFolder() const { return hotFolder_; }
    void setHotFolder(int folder);
    // Where the mouse is (global coordinates) for that check; an empty function
    // restores QCursor::pos(). Lets tests place the mouse.
    void setCursorSource(std::function<QPoint()> source);

    // Ids of the hot-state timer and of the scroll-arrow repetition timer, 0
    // while stopped. For tests and diagnostics: a tick can be delivered as
    // QTimerEvent(id) without waiting for it.
    int hotTimerId() const { return hotTimer_.isActive() ? hotTimer_.timerId() : 0; }
    int arrowTimerId() const { return arrowTimer_.isActive() ? arrowTimer_.timerId() : 0; }

    // The insertion marker shown while an item is dragged: the position the
    // item would be moved before (itemCount() for the end), -1 when none.
    int dragMarkerIndex() const { return dragMarkerIndex_; }
    QRect dragMarkerRect() const;

    // Context menu: "small icons" (ID_NAVBAR_SMALLICONS) then "large icons"
    // (ID_NAVBAR_LARGEICONS), checked on the open folder's mode. Each action
    // carries its command id in data(). The runner shows the menu and returns
    // the chosen action or null; by default QMenu::exec at the given point.
    using MenuRunner = std::function<QAction*(QMenu& menu, QPoint globalPos)>;
    void setMenuRunner(MenuRunner runner);
    std::unique_ptr<QMenu> buildContextMenu() const;
    // Carries out a menu command on the open folder; other ids are ignored.
    void runContextCommand(int id);
    // What the last accepted context menu was opened on: a HitKind and the
    // item or folder index (-1 for neither).
    int contextTargetKind() const { return contextKind_; }
    int contextTargetIndex() const { return contextIndex_; }

    // Geometry in widget coordinates, from the current size, font and model.
    QRect folderRect(int folder) const;
    QRect insideRect() const;
    QRect itemRect(int index) const;
    QRect iconRect(int index) const;
    QRect labelRect(int index) const;
    QSize itemSize(int index) const;
    // The items drawn: from the first visible one to the last that starts
    // inside the inside area; last < first when none is.
    void visibleRange(int* first, int* last) const;
    QRect upArrowRect() const;
    QRect downArrowRect() const;
    bool upArrowShown() const;
    bool downArrowShown() const;
    // One of HitKind; `index` (may be null) receives the folder or item index.
    int hitTest(QPoint point, int* index = nullptr) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // What the left button is doing. ArrowHeld and Dragging belong to the
    // scroll-arrow and drag interactions.
    enum class MouseState { Idle, ItemPressed, FolderPressed, ArrowHeld, Dragging };

    struct ItemLayout {
        QRect item;
        QRect icon;
        QRect label;
        QStringList lines; // the label as drawn: one elided line, or wrapped lines
    };

    BarFolder* openFolder() const;
    bool folderIndexOk(int folder) const;
    int spacing(const BarFolder& folder) const;
    ItemLayout layoutItem(const BarFolder& folder, const BarItem& item, int top) const;
    ItemLayout layoutOf(int index) const;
    QStringList wrapLabel(const QString& text, int width) const;
    QRect hotFrameRect(int index) const;
    bool itemLooksPressed(int index) const;
    bool folderLooksPressed(int folder) const;

    NavBarOwner* notifyTarget() const;
    int notify(int code, int index, const QString& text, int folderFlag, int second = -1, int target = -1);
    int send(int code, NavBarNotify& block);

    void setPressedLook(bool pressed);
    void cancelMouse();
    void shiftItemIndices(int from, int delta);
    void openFolderAt(int folder);
    void fitChildren();

    // Hot tracking (out_bar_hot.cpp).
    void trackHot(QPoint pos);
    void clearHot();
    void startHotTimer();
    void hotTick();
    bool focusInChild() const;

    // Scroll arrows.
    void pressArrow(int kind);
    void arrowTick();
    bool canScroll(int kind) const;
    bool scrollStep(int kind);
    bool overHeldArrow(QPoint pos) const;
    void setArrowLook(bool pushed);

    // Item dragging (out_bar_drag.cpp).
    void beginDrag(QPoint pos);
    void trackDrag(QPoint pos);
    int dropTarget(QPoint pos, int* kind) const;
    void setDragMarker(int index, int kind);
    void finishDrag(int dragged, QPoint pos);
    void moveItem(int from, int target);

    void showContextMenu(QPoint pos, QPoint globalPos);

    // Keyboard (out_bar_keys.cpp).
    bool navigateByKey(const QKeyEvent& event);
    int keyboardStart() const;
    void moveCurrent(int index);
    void sendItemClick(int index);
    void setKeyboardCues(bool on);

    void drawFolder(QPainter* painter, int folder) const;
    void drawItems(QPainter* painter) const;
    void drawItem(QPainter* painter, const BarFolder& folder, int index, const ItemLayout& layout) const;
    void drawHotFrame(QPainter* painter, QRect rect, bool sunken) const;
    void drawArrow(QPainter* painter, QRect rect, bool up, bool pushed) const;
    void drawDragMarker(QPainter* painter) const;
    void drawFocusFrame(QPainter* painter) const;

    static constexpr int kFolderHeight = 22;
    static constexpr int kSpacingLarge = 8;
    static constexpr int kSpacingSmall = 10;
    static constexpr int kGapSmall = 4;
    static constexpr int kGapLarge = 3;
    static constexpr int kLeftMargin = 5;
    static constexpr int kTopMargin = 5;
    static constexpr int kSmallIcon = 16;
    static constexpr int kLargeIcon = 32;
    static constexpr int kArrowMargin = 5;
    static constexpr int kHotInterval = 100;   // ms between checks that the mouse has left
    static constexpr int kArrowInterval = 300; // ms between scroll steps of a held arrow
    static constexpr int kMarkerHead = 4;      // size of the drag marker's arrowheads

    int selected_ = 0;
    int hotFolder_ = -1;
    int hotItem_ = -1;
    int lastClicked_ = -1;
    int firstVisible_ = 0;
    int currentItem_ = -1;      // the keyboard cursor
    bool keyboardCues_ = false; // the keyboard is in use: the focus frame shows

    MouseState mouse_ = MouseState::Idle;
    int pressedIndex_ = -1;    // the item or folder the button went down on
    bool pressedLook_ = false; // drawn pressed: the mouse is over what was pressed
    int heldArrow_ = HitNone;  // HitUpArrow or HitDownArrow while an arrow is held
    // The item the mouse was last seen over, hot or not; NAVN_ITEMHOT is asked
    // only when this changes, so a refused item is not asked on every move.
    int itemUnderMouse_ = -1;

    int contextKind_ = HitNone;
    int contextIndex_ = -1;
    // Drag marker: above item dragMarkerIndex_ (kind HitItem) or below the
    // last item (kind HitNone, index = item count); index -1 when not shown.
    int dragMarkerIndex_ = -1;
    int dragMarkerKind_ = HitNone;
    bool upArrowPressed_ = false;
    bool downArrowPressed_ = false;
    QPen markerPen_{QColor(Qt::black), 1, Qt::SolidLine};

    QBasicTimer hotTimer_;
    QBasicTimer arrowTimer_;
    std::function<QPoint()> cursorSource_;
    MenuRunner menuRunner_;

    NavImageList* largeList_ = nullptr;
    NavImageList* smallList_ = nullptr;
    unsigned flags_;
    std::vector<std::unique_ptr<BarFolder>> folders_;
    QColor backColour_;
    QColor textColour_;
    bool backSet_ = false;
    bool textSet_ = false;
    NavBarOwner* owner_ = nullptr;
};

} // namespace qh

#endif
