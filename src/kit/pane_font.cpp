#include "pane_font.h"

#include <QFontDatabase>

namespace qh {
namespace {

// Common free Chinese families, best first.
const char* const kSerifFamilies[] = {"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC", "Source Han Serif SC",
                                      "AR PL UKai CN"};
const char* const kSansFamilies[] = {"WenQuanYi Zen Hei", "Noto Sans CJK SC", "Source Han Sans SC",
                                     "Droid Sans Fallback", "WenQuanYi Micro Hei"};

const char* const kSerifWords[] = {"Serif", "Ming", "Song", "Kai", "Fang"};
const char* const kSansWords[] = {"Sans", "Hei", "Gothic"};

// The entry of `list` equal to `name` ignoring case, or an empty string.
QString findFamily(const QStringList& list, const QString& name) {
    for (const QString& family : list)
        if (family.compare(name, Qt::CaseInsensitive) == 0)
            return family;
    return QString();
}

bool suggestsKind(const QString& family, FontKind kind) {
    if (kind == FontKind::Serif) {
        // "Sans Serif" names a sans font; "Noto Sans CJK" must not count as serif.
        if (family.contains(QLatin1String("Sans"), Qt::CaseInsensitive))
            return false;
        for (const char* word : kSerifWords)
            if (family.contains(QLatin1String(word), Qt::CaseInsensitive))
                return true;
        return false;
    }
    for (const char* word : kSansWords)
        if (family.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString ChooseFamily(const QString& wanted, FontKind kind, const QStringList& installed,
                     const QStringList& installedChinese) {
    if (!wanted.isEmpty()) {
        if (QString found = findFamily(installed, wanted); !found.isEmpty())
            return found;
    }
    if (kind == FontKind::Serif) {
        for (const char* known : kSerifFamilies)
            if (QString found = findFamily(installedChinese, QLatin1String(known)); !found.isEmpty())
                return found;
    } else {
        for (const char* known : kSansFamilies)
            if (QString found = findFamily(installedChinese, QLatin1String(known)); !found.isEmpty())
                return found;
    }
    for (const QString& family : installedChinese)
        if (suggestsKind(family, kind))
            return family;
    return installedChinese.isEmpty() ? QString() : installedChinese.front();
}

QFont PaneFont(const QString& family, int pointSize, FontKind kind) {
    const QString chosen = ChooseFamily(family, kind, QFontDatabase::families(),
                                        QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    QFont font;
    if (!chosen.isEmpty())
        font.setFamily(chosen);
    font.setPointSize(pointSize);
    font.setStyleHint(kind == FontKind::Serif ? QFont::Serif : QFont::SansSerif);
    return font;
}

} // namespace qh
