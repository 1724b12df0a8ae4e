// What a command makes of a text box's text, shown with the box:
// - on request, as the box's tooltip: the number of bytes and the first of
//   them in hexadecimal, in the chosen code page with CR LF line ends and all
//   ("6 字节 (UTF-8): E4 BD A0 E5 A5 BD");
// - a warning line under the box while its text holds a character the code
//   page cannot hold, naming the first one. The command still takes each such
//   character as '?'.
// Both follow every change of the text and of the chosen code page.
#ifndef QUILLHORN_TEXT_BYTES_VIEW_H
#define QUILLHORN_TEXT_BYTES_VIEW_H

#include "text_codec.h"

#include <QLabel>
#include <functional>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace qh {

// What a command would make of the box's text now; nothing while the box
// holds no text in the code page (a byte string, a number).
using TextBytesReader = std::function<std::optional<TextBytes>()>;

// Puts `box` and its warning line into a new widget, which the pane's layout
// takes where the box would go; the warning line takes no room while it is
// hidden. Without a reader the box's text is taken as commands take it: with
// CR LF line ends from a multi-line box.
QWidget* WithTextBytes(QPlainTextEdit* box, TextBytesReader reader = {});
QWidget* WithTextBytes(QLineEdit* box, TextBytesReader reader = {});

// Shows the box's bytes anew after a change of what it holds (another kind of input).
void RefreshTextBytes(QWidget* box);

// "N 字节 (PAGE): XX XX ...", the first 32 bytes at most.
QString TextBytesSummary(const QByteArray& bytes, CodePage page);

// A warning line under a box, hidden while there is nothing to say.
class CodePageWarning : public QLabel {
    Q_OBJECT
public:
    explicit CodePageWarning(QWidget* parent);
    // Names the character the page cannot hold, or hides the line when there is none.
    void showFor(std::optional<char32_t> unrepresentable, CodePage page = currentCodePage());
};

} // namespace qh

#endif
