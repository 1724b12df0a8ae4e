// The real pane services: Qt's clipboard, file dialogs and message boxes.
#ifndef QUILLHORN_DESKTOP_SERVICES_H
#define QUILLHORN_DESKTOP_SERVICES_H

#include "pane_services.h"

namespace qh {

class DesktopServices final : public PaneServices {
public:
    ClipboardRead readClipboardText(QWidget* owner, QByteArray& text) override;
    bool writeClipboardText(QWidget* owner, const QByteArray& text) override;
    QString askOpenFileName(QWidget* owner, const FileDialogOptions& options) override;
    QString askSaveFileName(QWidget* owner, const FileDialogOptions& options) override;
    QStringList askOpenFileNames(QWidget* owner, const FileDialogOptions& options) override;
    MessageAnswer showMessage(QWidget* owner, const QString& text, const QString& caption, MessageKind kind) override;
    bool openUrl(const QUrl& url) override;
};

} // namespace qh

#endif
