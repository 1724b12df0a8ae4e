// A PaneServices for tests: answers dialogs with prepared paths and buttons,
// keeps its own clipboard, and records every message box.
#ifndef QUILLHORN_RECORDING_SERVICES_H
#define QUILLHORN_RECORDING_SERVICES_H

#include "pane_services.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace qh::test {

struct RecordedMessage {
    QString text;
    QString caption;
    MessageKind kind;
    QWidget* owner;
};

struct RecordedDialog {
    bool save;
    FileDialogOptions options;
};

class RecordingServices : public PaneServices {
public:
    // Clipboard state: `clipboardOpenable` false makes every access fail;
    // `clipboardHasText` false makes reads report no text.
    bool clipboardOpenable = true;
    bool clipboardHasText = true;
    QByteArray clipboard;

    // Answers for the next dialogs, taken in order; an empty or missing answer
    // means the user cancelled.
    QList<QString> fileAnswers;
    // Answers for the next Yes/No questions, taken in order; missing means No.
    QList<MessageAnswer> questionAnswers;
    // Runs inside every file dialog, before it answers (to move the current
    // directory, say).
    std::function<void()> duringDialog;
    // Runs inside every message box, as the user's input while it is shown.
    std::function<void()> duringMessage;

    QList<RecordedMessage> messages;
    QList<RecordedDialog> dialogs;
    QList<QUrl> openedUrls;

    ClipboardRead readClipboardText(QWidget* owner, QByteArray& text) override;
    bool writeClipboardText(QWidget* owner, const QByteArray& text) override;
    QString askOpenFileName(QWidget* owner, const FileDialogOptions& options) override;
    QString askSaveFileName(QWidget* owner, const FileDialogOptions& options) override;
    MessageAnswer showMessage(QWidget* owner, const QString& text, const QString& caption, MessageKind kind) override;
    bool openUrl(const QUrl& url) override;

private:
    QString nextFileAnswer(bool save, const FileDialogOptions& options);
};

} // namespace qh::test

#endif
