// The program's text bytes and Qt's strings.
//
// Every text the tools process is a byte string in the GBK code page (Windows
// code page 936, where 0x80 is the euro sign): a Chinese character is two bytes
// and a line break in a multi-line box is the two bytes CR LF. This module is the
// only place that knows the code page; panes and the clipboard service convert
// through it in both directions.
//
// Choices:
// - Reading (QString -> bytes): a character GBK cannot hold becomes one '?'.
// - Writing (bytes -> QString): a byte that does not start a valid GBK character
//   (a lone lead byte, an undefined pair) becomes U+FFFD, one per byte, so
//   nothing is dropped silently and the number of bad bytes stays visible.
//   A NUL byte becomes U+0000; boxes that must show it do their own mapping.
// - Multi-line forms: reading turns each line break (LF, or CR LF) into CR LF;
//   writing turns CR LF into a line break. A lone CR is kept as it is.
// The conversion uses the C library's iconv tables for CP936.
#ifndef QUILLHORN_TEXT_CODEC_H
#define QUILLHORN_TEXT_CODEC_H

#include <QByteArray>
#include <QString>

namespace qh {

// Single-line conversions: no line-break handling.
QByteArray toTextBytes(const QString& text);
QString fromTextBytes(const QByteArray& bytes);

// Multi-line box conversions: line breaks are CR LF in the bytes.
QByteArray toMultiLineBytes(const QString& text);
QString fromMultiLineBytes(const QByteArray& bytes);

} // namespace qh

#endif
