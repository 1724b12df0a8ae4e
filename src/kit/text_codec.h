// The program's text bytes and Qt's strings.
//
// Every text the tools process is a byte string in the chosen code page (see
// code_page.h): GBK unless the user chose another. There a Chinese character
// is two bytes and a line break in a multi-line box is the two bytes CR LF.
// This module holds the chosen page, for the whole process, and is the only
// place the panes and the clipboard service convert through, in both
// directions.
//
// Choices:
// - Reading (QString -> bytes): a character the page cannot hold becomes one
//   '?'; encodeText also names the first such character, for a warning.
// - Writing (bytes -> QString): a byte that does not start a valid character
//   (a lone lead byte, an undefined pair) becomes U+FFFD, one per byte, so
//   nothing is dropped silently and the number of bad bytes stays visible.
//   A NUL byte becomes U+0000; boxes that must show it do their own mapping.
// - Multi-line forms: reading turns each line break (LF, or CR LF) into CR LF;
//   writing turns CR LF into a line break. A lone CR is kept as it is.
// - Notations (numbers, codes, hexadecimal byte strings, the decoder's report)
//   are ASCII texts the program parses or writes: they go through the page's
//   notation form, the page itself or UTF-8 while a UTF-16 page is chosen.
#ifndef QUILLHORN_TEXT_CODEC_H
#define QUILLHORN_TEXT_CODEC_H

#include "code_page.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace qh {

// The chosen page; GBK until the user chooses another.
CodePage currentCodePage();
// Chooses the page for every later conversion and tells codePageNotices().
// Call it on the GUI thread.
void setCurrentCodePage(CodePage page);

// Tells the shown pane's window that the chosen page changed, so that it shows
// what it holds in the new page.
class CodePageNotices : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
Q_SIGNALS:
    void changed(qh::CodePage previous);
};
CodePageNotices& codePageNotices();

// Single-line conversions: no line-break handling.
QByteArray toTextBytes(const QString& text, CodePage page = currentCodePage());
QString fromTextBytes(const QByteArray& bytes, CodePage page = currentCodePage());

// Multi-line box conversions: line breaks are CR LF in the bytes.
QByteArray toMultiLineBytes(const QString& text, CodePage page = currentCodePage());
QString fromMultiLineBytes(const QByteArray& bytes, CodePage page = currentCodePage());

// A text's bytes, as toTextBytes or toMultiLineBytes give them, and the first
// character the page cannot hold.
struct TextBytes {
    QByteArray bytes;
    std::optional<char32_t> unrepresentable;
};
TextBytes encodeText(const QString& text, bool multiLine, CodePage page = currentCodePage());

// Notations in the chosen page's notation form.
QByteArray toNotationBytes(const QString& text);
QByteArray toNotationMultiLineBytes(const QString& text);
QString fromNotationBytes(const QByteArray& bytes);
QString fromNotationMultiLineBytes(const QByteArray& bytes);
// A notation the program wrote, as text bytes of the chosen page, and text
// bytes of the chosen page in the notation form: the same bytes unless the
// page is UTF-16.
QByteArray notationToTextBytes(const QByteArray& bytes);
QByteArray textToNotationBytes(const QByteArray& bytes);

// A text's line breaks (LF, or CR LF) as CR LF, as the multi-line forms take them.
QString withCrLf(const QString& text);

// A text's characters as Unicode code points, and back.
std::u32string toCodePoints(const QString& text);
QString fromCodePoints(std::u32string_view codePoints);

// The bytes before the first NUL character of the page: a zero byte, or in a
// UTF-16 page a zero unit.
QByteArray upToFirstNul(const QByteArray& bytes, CodePage page = currentCodePage());

} // namespace qh

#endif
