// Everything a pane does on the desktop: clipboard, file dialogs, message boxes,
// opening a web address. Panes reach the desktop only through PaneServices, so
// the application installs DesktopServices and tests install a recording fake.
//
// The shared pane operations (CopyResult, PasteInput, SaveResult, BrowseForInput,
// BrowseForOutput, ShowMessage) are built on top of the interface and behave the
// same whichever implementation is installed.
#ifndef QUILLHORN_PANE_SERVICES_H
#define QUILLHORN_PANE_SERVICES_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QLineEdit;
class QUrl;

namespace qh {

enum class MessageKind {
    Error,       // error icon, OK
    Information, // information icon, OK
    Question,    // information icon, Yes and No
    Plain,       // no icon, OK
};

enum class MessageAnswer { Ok, Yes, No };

enum class ClipboardRead { Ok, CannotOpen, NoText };

struct FileDialogOptions {
    QString filter;        // Qt filter list, entries separated by ";;"
    QString defaultSuffix; // without the dot; empty for none
    QString defaultName;   // pre-filled file name; empty for none
    bool folder = false;   // askOpenFileName: choose a folder rather than a file
};

class PaneServices {
public:
    virtual ~PaneServices() = default;

    // Clipboard text as the program's text bytes (in the chosen code page, see
    // text_codec.h). A read may return bytes that hold NUL; a write puts the
    // bytes given, which hold no NUL character.
    virtual ClipboardRead readClipboardText(QWidget* owner, QByteArray& text) = 0;
    virtual bool writeClipboardText(QWidget* owner, const QByteArray& text) = 0;

    // File dialogs; an empty string means the user cancelled. The save dialog
    // asks before an existing file is overwritten.
    virtual QString askOpenFileName(QWidget* owner, const FileDialogOptions& options) = 0;
    virtual QString askSaveFileName(QWidget* owner, const FileDialogOptions& options) = 0;
    // Several existing files at once; empty when the user cancelled. By
    // default the one file of askOpenFileName.
    virtual QStringList askOpenFileNames(QWidget* owner, const FileDialogOptions& options);

    // A modal message box owned by `owner` (none when null). An empty caption
    // shows the application's name.
    virtual MessageAnswer showMessage(QWidget* owner, const QString& text, const QString& caption,
                                      MessageKind kind) = 0;

    // Opens a web address in the desktop's browser; false when that failed.
    virtual bool openUrl(const QUrl& url) = 0;
};

// Message captions in use across the panes.
namespace caption {
inline const QString Error = QStringLiteral("ERROR");
inline const QString Information = QStringLiteral("INFORMATION");
inline const QString InputError = QStringLiteral("INPUT ERROR");
inline const QString Successful = QStringLiteral("SUCESSFULL");
inline const QString Application; // empty: the application's name
} // namespace caption

// Puts `text` on the clipboard up to its first NUL character. Shows
// "不能打开剪贴板." when the clipboard cannot be opened.
void CopyResult(PaneServices& services, QWidget* pane, const QByteArray& text);

// The clipboard's text up to its first NUL character; nothing when the clipboard
// cannot be opened or holds no text (silently).
std::optional<QByteArray> PasteInput(PaneServices& services, QWidget* pane);

// Asks for a file and writes every byte of `result` into it, nothing added.
// Shows "不能打开文件 <path>" when the file cannot be written; a file that
// existed before keeps its old content then. The current directory is the same
// afterwards.
void SaveResult(PaneServices& services, QWidget* pane, const QByteArray& result);

// Ask for an input or output file and put its full path into `box`. Nothing
// changes when the user cancels. The current directory is the same afterwards.
void BrowseForInput(PaneServices& services, QWidget* pane, QLineEdit* box);
void BrowseForOutput(PaneServices& services, QWidget* pane, QLineEdit* box);

// The dialog settings of the services above, for tests and for panes that ask
// for files themselves.
FileDialogOptions saveResultDialogOptions();
FileDialogOptions inputFileDialogOptions();
FileDialogOptions outputFileDialogOptions();

} // namespace qh

#endif
