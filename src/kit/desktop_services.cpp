#include "desktop_services.h"

#include "text_codec.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

namespace qh {

ClipboardRead DesktopServices::readClipboardText(QWidget*, QByteArray& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return ClipboardRead::CannotOpen;
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasText())
        return ClipboardRead::NoText;
    // Taken as it stands: a pasted text is processed byte for byte as pasted,
    // bare line feeds and tabs included.
    text = toTextBytes(data->text());
    return ClipboardRead::Ok;
}

bool DesktopServices::writeClipboardText(QWidget*, const QByteArray& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(fromTextBytes(text));
    return true;
}

// A name that does not exist is taken as typed: the pane, not the dialog,
// says whether it can be read. Qt's own dialog is used, since a desktop's
// native one may insist on an existing file.
QString DesktopServices::askOpenFileName(QWidget* owner, const FileDialogOptions& options) {
    QFileDialog dialog(owner, QString(), QDir::currentPath(), options.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.folder ? QFileDialog::Directory : QFileDialog::AnyFile);
    if (options.folder)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!options.defaultName.isEmpty())
        dialog.selectFile(options.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QStringList DesktopServices::askOpenFileNames(QWidget* owner, const FileDialogOptions& options) {
    QFileDialog dialog(owner, QString(), QDir::currentPath(), options.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    return dialog.selectedFiles();
}

QString DesktopServices::askSaveFileName(QWidget* owner, const FileDialogOptions& options) {
    QFileDialog dialog(owner, QString(), QDir::currentPath(), options.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(options.defaultSuffix);
    if (!options.defaultName.isEmpty())
        dialog.selectFile(options.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

MessageAnswer DesktopServices::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                           MessageKind kind) {
    // Without a caption of its own a message is captioned with the name of the
    // program as it was started.
    const QString title = caption.isEmpty() ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : caption;
    QMessageBox box(owner);
    box.setWindowTitle(title);
    // Texts hold names and inputs of the user's: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (kind) {
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Information:
    case MessageKind::Question:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (kind == MessageKind::Question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

bool DesktopServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace qh
