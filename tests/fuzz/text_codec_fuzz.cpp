// libFuzzer target for the code pages that turn texts into bytes and back
// (the Qt-free part of the text codec). For the page the first byte chooses:
// any bytes decode, one character or U+FFFD per byte at most; bytes that
// decode without U+FFFD encode back to themselves where the page maps each
// character to one form; the bytes decoded in pieces (split where the second
// byte says) give the whole decoding; and any text (the rest taken as UTF-16
// code units) encodes and, where every character was representable, decodes
// back to itself (but for Big5 and Shift_JIS, see below).
//
// Input layout: page byte, split byte, then the bytes, also taken as UTF-16
// (little-endian) code units.
#include "code_page.h"
#include "fuzz_support.h"

#include <cstdint>
#include <string>

using qh::CodePage;
using qh::fuzz::Require;

namespace {

// Pages whose every character has one byte form, so that decoding is undone
// by encoding. GBK maps a few characters from two forms (0x80 and A2E3 are
// both the euro sign), and Big5 and Shift_JIS in their Windows forms hold
// duplicate vendor extensions.
bool DecodingIsUndone(CodePage page) {
    return page == CodePage::Utf8 || page == CodePage::Utf16Le || page == CodePage::Utf16Be ||
           page == CodePage::Gb18030 || page == CodePage::Latin1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const CodePage page = qh::kCodePages[data[0] % qh::kCodePages.size()];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

    const std::u16string read = qh::DecodeText(bytes, page);
    Require(read.size() <= bytes.size());
    if (read.find(u'\uFFFD') == std::u16string::npos && DecodingIsUndone(page)) {
        const qh::EncodedText back = qh::EncodeText(read, page);
        Require(!back.unrepresentable && back.bytes == bytes);
    }

    // The same bytes in two pieces give the same characters.
    const std::size_t split = bytes.empty() ? 0 : data[1] % (bytes.size() + 1);
    std::u32string whole, pieces;
    {
        qh::CodePointReader reader(page);
        reader.feed(bytes, whole);
        reader.finish(whole);
    }
    {
        qh::CodePointReader reader(page);
        reader.feed(bytes.substr(0, split), pieces);
        reader.feed(bytes.substr(split), pieces);
        reader.finish(pieces);
    }
    Require(whole == pieces);

    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(
            static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) | static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    // Big5 and Shift_JIS in their Windows forms write a few characters they
    // lack as a near one (U+00A2 as the full-width cent sign), so only the
    // other pages give back every representable text.
    const qh::EncodedText written = qh::EncodeText(text, page);
    if (!written.unrepresentable && page != CodePage::Big5 && page != CodePage::ShiftJis)
        Require(qh::DecodeText(written.bytes, page) == text);
    return 0;
}
