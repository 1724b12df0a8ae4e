#include "link_cursor.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

namespace qh {

QCursor LinkCursor() {
    // The picture at the density of the densest screen: QIcon picks the @2x
    // rendering there.
    const QPixmap picture = QIcon(kLinkCursorImage).pixmap(kLinkCursorSize, qApp->devicePixelRatio());
    // QCursor takes the hot spot in the picture's logical pixels, but the X11
    // platform of Qt 6.4 hands it to the X server unscaled, in device pixels:
    // there it is scaled with the picture, or the tip of the finger would not
    // be where the click goes.
    QPointF hotSpot = kLinkCursorHotSpot;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        hotSpot *= picture.devicePixelRatio();
    return QCursor(picture, qRound(hotSpot.x()), qRound(hotSpot.y()));
}

} // namespace qh
