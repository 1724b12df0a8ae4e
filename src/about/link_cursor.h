// The program's link cursor: a hand pointing up, shown over addresses.
#ifndef QUILLHORN_LINK_CURSOR_H
#define QUILLHORN_LINK_CURSOR_H

#include <QCursor>
#include <QPoint>
#include <QString>

namespace qh {

// The cursor picture (32 x 32, transparent) and its hot spot, the tip of the
// index finger.
inline const QString kLinkCursorImage = QStringLiteral(":/cursors/1020.png");
inline constexpr QPoint kLinkCursorHotSpot{10, 1};

QCursor LinkCursor();

} // namespace qh

#endif
