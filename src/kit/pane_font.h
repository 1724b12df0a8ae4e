// Fonts named by a pane that may not be installed here (Chinese Windows font
// names, say): the named family when present, else an installed Chinese font of
// the same kind, so the pane's Chinese text never falls back to boxes.
#ifndef QUILLHORN_PANE_FONT_H
#define QUILLHORN_PANE_FONT_H

#include <QFont>
#include <QString>
#include <QStringList>

namespace qh {

enum class FontKind { Sans, Serif };

// The family to use for `wanted`, chosen among `installed` (every installed
// family) and `installedChinese` (those that support Simplified Chinese):
// `wanted` itself when installed (any letter case, the installed spelling is
// returned); else the first installed of a list of well-known Chinese families
// of the kind; else a Chinese family whose name suggests the kind (Serif, Ming,
// Song, Kai, Fang for serif; Sans, Hei, Gothic for sans); else any Chinese
// family; else an empty string (the caller keeps the default font).
QString ChooseFamily(const QString& wanted, FontKind kind, const QStringList& installed,
                     const QStringList& installedChinese);

// A font of `pointSize` points in the family ChooseFamily picks among this
// machine's fonts, with the style hint of `kind`.
QFont PaneFont(const QString& family, int pointSize, FontKind kind);

} // namespace qh

#endif
