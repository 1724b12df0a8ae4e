#include "pane_services.h"

#include "output_file.h"
#include "text_codec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace qh {
namespace {

// The context of the shared operations' texts in the translations.
class ServiceTexts {
    Q_DECLARE_TR_FUNCTIONS(qh::PaneServices)
};

// Restores the process's current directory when it goes out of scope, whatever
// a file dialog did to it.
class CurrentDirectoryKeeper {
public:
    CurrentDirectoryKeeper() : saved_(QDir::currentPath()) {}
    ~CurrentDirectoryKeeper() { QDir::setCurrent(saved_); }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

private:
    QString saved_;
};

// On Linux many files have no extension, so "all files" matches "*" rather than
// "*.*" (which needs a dot in the name).
QString allFiles() {
    return ServiceTexts::tr("所有文件(*)");
}

// Saved as every command writes its output file: atomically, or in place
// where the folder takes no new file (OutputFile).
bool writeWholeFile(const QString& path, const QByteArray& bytes) {
    OutputFile file;
    return file.Open(QFile::encodeName(path).toStdString()) &&
           file.Write(bytes.constData(), static_cast<std::size_t>(bytes.size())) && file.Commit();
}

void browseInto(PaneServices& services, QWidget* pane, QLineEdit* box, bool forOutput) {
    CurrentDirectoryKeeper keeper;
    const QString path = forOutput ? services.askSaveFileName(pane, outputFileDialogOptions())
                                   : services.askOpenFileName(pane, inputFileDialogOptions());
    if (!path.isEmpty() && box)
        box->setText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

} // namespace

QStringList PaneServices::askOpenFileNames(QWidget* owner, const FileDialogOptions& options) {
    const QString path = askOpenFileName(owner, options);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

FileDialogOptions saveResultDialogOptions() {
    return {ServiceTexts::tr("文本文件(*.txt);;数据文件(*.dat);;") + allFiles(), QStringLiteral("txt"),
            QStringLiteral("out")};
}

FileDialogOptions inputFileDialogOptions() {
    return {allFiles(), QString(), QString()};
}

FileDialogOptions outputFileDialogOptions() {
    return {allFiles(), QStringLiteral("dat"), QStringLiteral("out01")};
}

void CopyResult(PaneServices& services, QWidget* pane, const QByteArray& text) {
    if (!services.writeClipboardText(pane, upToFirstNul(text)))
        services.showMessage(pane, ServiceTexts::tr("不能打开剪贴板."), caption::Error, MessageKind::Error);
}

std::optional<QByteArray> PasteInput(PaneServices& services, QWidget* pane) {
    QByteArray text;
    if (services.readClipboardText(pane, text) != ClipboardRead::Ok)
        return std::nullopt;
    return upToFirstNul(text);
}

void SaveResult(PaneServices& services, QWidget* pane, const QByteArray& result) {
    CurrentDirectoryKeeper keeper;
    const QString path = services.askSaveFileName(pane, saveResultDialogOptions());
    if (path.isEmpty())
        return;
    if (!writeWholeFile(path, result))
        services.showMessage(pane, ServiceTexts::tr("不能打开文件 %1").arg(QDir::toNativeSeparators(path)),
                             caption::Error, MessageKind::Error);
}

void BrowseForInput(PaneServices& services, QWidget* pane, QLineEdit* box) {
    browseInto(services, pane, box, false);
}

void BrowseForOutput(PaneServices& services, QWidget* pane, QLineEdit* box) {
    browseInto(services, pane, box, true);
}

} // namespace qh
