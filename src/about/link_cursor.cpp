#include "link_cursor.h"

#include <QPixmap>

namespace qh {

QCursor LinkCursor() {
    return QCursor(QPixmap(kLinkCursorImage), kLinkCursorHotSpot.x(), kLinkCursorHotSpot.y());
}

} // namespace qh
