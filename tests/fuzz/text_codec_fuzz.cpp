// libFuzzer target for the text codec. Any bytes read as text; text read from
// bytes without a replacement character writes back to those bytes; any text
// (the input's bytes taken as UTF-16) writes to bytes and, where every
// character was representable, reads back the same, also in the multi-line
// forms with their line breaks.
//
// Input layout: the bytes, also taken as UTF-16 (little-endian) code units.
#include "fuzz_support.h"
#include "text_codec.h"

#include <cstdint>

using qh::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString read = qh::fromTextBytes(bytes);
    Require(read.size() <= bytes.size());
    if (!read.contains(QChar::ReplacementCharacter))
        Require(qh::toTextBytes(read) == bytes);
    const QString lines = qh::fromMultiLineBytes(bytes);
    Require(lines.size() <= read.size());

    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8)));
    const QByteArray written = qh::toTextBytes(text);
    if (written.count('?') == text.count(u'?')) { // every character representable
        Require(qh::fromTextBytes(written) == text);
        QString expected = text;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Require(qh::fromMultiLineBytes(qh::toMultiLineBytes(text)) == expected);
    }
    return 0;
}
