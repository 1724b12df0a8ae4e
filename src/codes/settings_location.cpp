#include "settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace qh {
namespace {

constexpr const char* kFileName = "quillhorn.conf";

// Writes the starter settings (compiled into the program) to `path`, only
// when no file stands there.
void seed(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile starter(QStringLiteral(":/settings/quillhorn.conf"));
    QFile file(path);
    if (!starter.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return;
    if (file.write(starter.readAll()) < 0 || !file.flush()) {
        file.close();
        file.remove(); // a half-written file would give a parse message
    }
}

} // namespace

std::string SettingsFilePath() {
    if (QFileInfo::exists(QString::fromLatin1(kFileName)))
        return kFileName;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/quillhorn/") + QString::fromLatin1(kFileName);
    if (!QFileInfo::exists(user))
        seed(user);
    return QFile::encodeName(user).toStdString();
}

} // namespace qh
