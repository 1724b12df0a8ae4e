// Where the author and the program's help are found on the web.
#ifndef QUILLHORN_ABOUT_ADDRESSES_H
#define QUILLHORN_ABOUT_ADDRESSES_H

#include <QString>

namespace qh::about {

inline const QString kSiteAddress = QStringLiteral("https://quillhorn.example.org/");
inline const QString kHomePage = QStringLiteral("https://quillhorn.example.org/");
inline const QString kMailAddress = QStringLiteral("author@quillhorn.example.org");
inline const QString kPersonalPage = QStringLiteral("https://quillhorn.example.org/map.htm?id=about");
inline const QString kHelpPage = QStringLiteral("https://quillhorn.example.org/map.htm?id=help&arg=id=quillhorn");

} // namespace qh::about

#endif
