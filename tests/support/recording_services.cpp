#include "recording_services.h"

namespace qh::test {

ClipboardRead RecordingServices::readClipboardText(QWidget*, QByteArray& text) {
    if (!clipboardOpenable)
        return ClipboardRead::CannotOpen;
    if (!clipboardHasText)
        return ClipboardRead::NoText;
    text = clipboard;
    return ClipboardRead::Ok;
}

bool RecordingServices::writeClipboardText(QWidget*, const QByteArray& text) {
    if (!clipboardOpenable)
        return false;
    clipboard = text;
    clipboardHasText = true;
    return true;
}

QString RecordingServices::nextFileAnswer(bool save, const FileDialogOptions& options) {
    dialogs.append({save, options});
    if (duringDialog)
        duringDialog();
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString RecordingServices::askOpenFileName(QWidget*, const FileDialogOptions& options) {
    return nextFileAnswer(false, options);
}

QString RecordingServices::askSaveFileName(QWidget*, const FileDialogOptions& options) {
    return nextFileAnswer(true, options);
}

MessageAnswer RecordingServices::showMessage(QWidget* owner, const QString& text, const QString& caption,
                                             MessageKind kind) {
    messages.append({text, caption, kind, owner});
    if (duringMessage)
        duringMessage();
    if (kind != MessageKind::Question)
        return MessageAnswer::Ok;
    return questionAnswers.isEmpty() ? MessageAnswer::No : questionAnswers.takeFirst();
}

bool RecordingServices::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return true;
}

} // namespace qh::test
