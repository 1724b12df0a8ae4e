// The input side shared by the SHA and CRC panes: a combo box choosing the kind
// of input (a file, the typed text, or a typed byte string), the path edit with
// its browse button, and the multi-line text edit. The pane's compute command
// turns the user's choice into a ByteSource with OpenHashInput.
#ifndef QUILLHORN_HASH_INPUT_H
#define QUILLHORN_HASH_INPUT_H

#include <QString>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace qh {

class ByteSource;
class PaneServices;

// The entries of the input-kind combo box, in their order.
enum class HashInputKind { File = 0, Text = 1, ByteString = 2 };

// The input controls of a pane. Their objectNames: inputKindCombo, pathEdit,
// browseButton, inputEdit.
struct HashInputControls {
    QComboBox* kind = nullptr;
    QLineEdit* path = nullptr;
    QPushButton* browse = nullptr;
    QPlainTextEdit* text = nullptr;
};

// Builds the "输入" group box inside `pane` in its start state (文件 selected,
// the text edit disabled) and connects it: a change of kind applies the
// enabling rule, 浏览 asks for a file and puts its path into the path edit.
QGroupBox* BuildHashInputGroup(PaneServices& services, QWidget* pane, HashInputControls& controls);

// A file dropped on the pane: the kind becomes File and the path edit holds it.
void TakeDroppedFile(const HashInputControls& controls, const QString& path);

// The selected kind; no entry selected counts as Text.
HashInputKind SelectedHashInputKind(const HashInputControls& controls);

// The enabling rule: the path edit and 浏览 are enabled if and only if the kind
// is File, the text edit if and only if it is not. Neither edit is cleared.
void ApplyHashInputKind(const HashInputControls& controls);

// The bytes the user chose, or nothing:
// - File: nothing for an empty path. A file that cannot be opened (missing,
//   unreadable, a folder) shows "不能打开文件 <path>" and calls clearOutput, so
//   that no digest of an earlier input stays beside the new one. An empty file
//   is a source of zero bytes.
// - Text: the edit's text in the program's code page, line breaks as CR LF;
//   nothing when empty.
// - ByteString: nothing when empty. Any character other than hexadecimal
//   digits, blanks and tabs shows "字节串格式错误!"; otherwise the parsed bytes.
std::unique_ptr<ByteSource> OpenHashInput(PaneServices& services, QWidget* pane, const HashInputControls& controls,
                                          const std::function<void()>& clearOutput);

// After the digest: a file that broke off while it was read (a read error, or
// it shrank) shows "不能打开文件 <path>" as one that cannot be opened, calls
// clearOutput and returns true; its digest must not be shown.
bool ReportUnreadHashInput(PaneServices& services, QWidget* pane, const HashInputControls& controls,
                           const ByteSource& source, const std::function<void()>& clearOutput);

// The message shown for a file that cannot be opened.
QString CannotOpenFileMessage(const QString& path);

} // namespace qh

#endif
