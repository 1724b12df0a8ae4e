// The bar's context menu: after the owner agrees, a menu that switches the
// open folder between small and large icons.
#include "out_bar_ctrl.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace qh {

void CXTOutBarCtrl::setMenuRunner(MenuRunner runner) {
    menuRunner_ = std::move(runner);
}

void CXTOutBarCtrl::showContextMenu(QPoint pos, QPoint globalPos) {
    int index = -1;
    const int kind = hitTest(pos, &index);
    const int target = kind == HitItem || kind == HitFolder ? index : -1;
    // No text goes with this notification.
    NavBarNotify block{target, 0, 0, nullptr, kind == HitItem ? 0 : 1};
    QPointer<CXTOutBarCtrl> alive(this);
    const int answer = send(NAVN_CONTEXTMENU, block);
    if (!alive || answer != 1)
        return;
    contextKind_ = kind;
    contextIndex_ = target;
    // Without a parent, so that the bar may be deleted while the menu is open
    // without taking the menu from under this function.
    const std::unique_ptr<QMenu> menu = buildContextMenu();
    // A copy runs the menu: the bar, and with it menuRunner_, may go meanwhile.
    const MenuRunner runner = menuRunner_;
    QAction* chosen = runner ? runner(*menu, globalPos) : menu->exec(globalPos);
    if (alive && chosen)
        runContextCommand(chosen->data().toInt());
}

std::unique_ptr<QMenu> CXTOutBarCtrl::buildContextMenu() const {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("navBarContextMenu"));
    const BarFolder* open = openFolder();
    auto add = [&](const QString& text, int id, const char* name, bool checked) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setData(id);
        action->setCheckable(true);
        action->setChecked(checked);
    };
    add(tr("小图标"), ID_NAVBAR_SMALLICONS, "navBarSmallIcons", open && open->smallIcons);
    add(tr("大图标"), ID_NAVBAR_LARGEICONS, "navBarLargeIcons", open && !open->smallIcons);
    return menu;
}

void CXTOutBarCtrl::runContextCommand(int id) {
    if ((id != ID_NAVBAR_SMALLICONS && id != ID_NAVBAR_LARGEICONS) || !openFolder())
        return;
    const bool small = id == ID_NAVBAR_SMALLICONS;
    // Only the open folder changes; the others keep their mode.
    if (small != isSmallIconView())
        setSmallIconView(small, selected_);
    update();
}

} // namespace qh
