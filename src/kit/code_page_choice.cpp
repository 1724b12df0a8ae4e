#include "code_page_choice.h"

#include "output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <string>

namespace qh {
namespace {

constexpr const char* kKey = "codepage=";

} // namespace

QString CodePageChoicePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quillhorn/codepage.conf");
}

CodePage LoadCodePageChoice() {
    QFile file(CodePageChoicePath());
    if (!file.open(QIODevice::ReadOnly))
        return kDefaultCodePage;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(256).trimmed();
        if (!line.startsWith(kKey))
            continue;
        const QByteArray name = line.mid(static_cast<qsizetype>(std::char_traits<char>::length(kKey)));
        return FindCodePage(std::string_view(name.constData(), static_cast<size_t>(name.size())))
            .value_or(kDefaultCodePage);
    }
    return kDefaultCodePage;
}

bool SaveCodePageChoice(CodePage page) {
    const QString path = CodePageChoicePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const std::string text = kKey + std::string(CodePageName(page)) + "\n";
    OutputFile file;
    return file.Open(QFile::encodeName(path).toStdString()) && file.Write(text.data(), text.size()) && file.Commit();
}

} // namespace qh
