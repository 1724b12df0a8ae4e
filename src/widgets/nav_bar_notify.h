// The protocol between the navigation bar and its owner: the bar reports
// clicks, selections and removals through NavBarOwner::navBarNotify and, where
// an event can be vetoed, goes on only when the owner answers exactly 1.
#ifndef QUILLHORN_NAV_BAR_NOTIFY_H
#define QUILLHORN_NAV_BAR_NOTIFY_H

class QString;

namespace qh {

// Identity of the bar's notification; kept so that owners can tell it apart
// from other notifications they route through one handler.
inline constexpr int WM_NAVBAR_NOTIFY = 0x7FA;

enum NavBarCode {
    NAVN_ITEMCLICK = 1,    // item pressed and released on itself; 1: it becomes the last clicked item
    NAVN_ITEMMOVE = 4,     // dragged item dropped; 1: it is moved before `target`
    NAVN_FOLDERSELECT = 5, // another folder's button clicked; 1: that folder opens
    NAVN_ITEMHOT = 6,      // the item under the mouse changes; 1: its hot frame is drawn
    NAVN_ITEMREMOVE = 7,   // an item is removed; 1: removed (ignored when the bar is destroyed)
    NAVN_FOLDERREMOVE = 8, // a folder is removed; 1: removed (ignored when the bar is destroyed)
    NAVN_ITEMDRAG = 9,     // an item drag begins; answer ignored
    NAVN_CONTEXTMENU = 10, // right button released over the bar; 1: the context menu is shown
};

// Bar flags given to the constructor.
inline constexpr unsigned NAVBAR_SMALLICONS = 0x1; // new folders start in small-icon mode
inline constexpr unsigned NAVBAR_DRAGITEMS = 0x80; // items can be dragged to new positions
inline constexpr unsigned NAVBAR_DEFAULT_FLAGS = 0xFC;

// Command ids of the bar's context menu entries.
inline constexpr int ID_NAVBAR_LARGEICONS = 52778;
inline constexpr int ID_NAVBAR_SMALLICONS = 52779;

// The block handed to the owner. `text` points at the item's or folder's text
// and is valid only during the call; it is null for NAVN_CONTEXTMENU.
struct NavBarNotify {
    int index;
    int second;
    int target;
    const QString* text;
    int folderFlag; // 1 for folder events, 0 for item events
};

class NavBarOwner {
public:
    virtual ~NavBarOwner() = default;
    // Answer 1 lets the bar go on where the event can be vetoed.
    virtual int navBarNotify(int code, NavBarNotify& block) = 0;
};

} // namespace qh

#endif
