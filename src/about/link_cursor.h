// The program's link cursor: a hand pointing up, shown over addresses.
#ifndef QUILLHORN_LINK_CURSOR_H
#define QUILLHORN_LINK_CURSOR_H

#include <QCursor>
#include <QPoint>
#include <QSize>
#include <QString>

namespace qh {

// The cursor picture (32 x 32, transparent, with a 64 x 64 @2x rendering) and
// its hot spot, the tip of the index finger, in the picture's logical pixels.
inline const QString kLinkCursorImage = QStringLiteral(":/cursors/1020.png");
inline constexpr QSize kLinkCursorSize{32, 32};
inline constexpr QPoint kLinkCursorHotSpot{10, 1};

QCursor LinkCursor();

} // namespace qh

#endif
