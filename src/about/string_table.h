// The program's string table: longer texts addressed by number.
#ifndef QUILLHORN_STRING_TABLE_H
#define QUILLHORN_STRING_TABLE_H

#include <QString>

namespace qh {

inline constexpr int kInstallNotesString = 146; // how to install and uninstall
inline constexpr int kHelpNoticeString = 147;   // where the online help is
inline constexpr int kUseNoticeString = 148;    // the same notice, shown by 使用

// The entry `id`; empty for an id the table does not hold. Line breaks are CR LF.
QString LoadResString(int id);

} // namespace qh

#endif
