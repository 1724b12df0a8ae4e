// The code pages that turn texts into bytes and bytes back into texts, and the
// conversions between them and Unicode characters. Plain C++ on the C library's
// iconv, shared by the GUI's text codec and by the CLI.
//
// GBK, Big5 and Shift_JIS are the forms Windows gives them (code pages 936, 950
// and 932): 0x80 is the euro sign in GBK, and every byte below 0x80 is ASCII in
// all three, the backslash included.
#ifndef QUILLHORN_CODE_PAGE_H
#define QUILLHORN_CODE_PAGE_H

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qh {

enum class CodePage { Gbk, Utf8, Utf16Le, Utf16Be, Gb18030, Big5, ShiftJis, Latin1 };

// Every page, in the order a user is offered them.
inline constexpr std::array<CodePage, 8> kCodePages = {CodePage::Gbk,      CodePage::Utf8,    CodePage::Utf16Le,
                                                       CodePage::Utf16Be,  CodePage::Gb18030, CodePage::Big5,
                                                       CodePage::ShiftJis, CodePage::Latin1};
inline constexpr CodePage kDefaultCodePage = CodePage::Gbk;

// The name a user sees and types: "GBK", "UTF-8", "UTF-16LE", "UTF-16BE",
// "GB18030", "Big5", "Shift_JIS", "ISO-8859-1".
std::string_view CodePageName(CodePage page);
// The page of a name, compared without regard to case; nothing for another name.
std::optional<CodePage> FindCodePage(std::string_view name);

// False for the UTF-16 pages, where an ASCII character is two bytes, one of them zero.
bool IsAsciiCompatible(CodePage page);
// The page in which the program reads and writes notations (numbers, codes,
// hexadecimal byte strings, reports) while `page` is chosen: `page` itself,
// or UTF-8 for the UTF-16 pages, so that a notation is always ASCII bytes.
CodePage NotationCodePage(CodePage page);

struct EncodedText {
    std::string bytes;
    // The first character the page cannot hold, if any.
    std::optional<char32_t> unrepresentable;
};

// Characters to bytes of `page`. Each character the page cannot hold (a lone
// surrogate included) becomes one question mark, in the page's form of it.
EncodedText EncodeText(std::u16string_view text, CodePage page);
EncodedText EncodeText(std::u32string_view text, CodePage page);

// Bytes of `page` to characters. A byte that starts no valid character (a
// lone lead byte, an undefined pair, a sequence cut off at the end) becomes
// U+FFFD, one per byte, and decoding goes on with the next byte.
std::u16string DecodeText(std::string_view bytes, CodePage page);

// Decodes bytes of a page that arrive in pieces, as DecodeText does the whole:
// a character split between two pieces is decoded whole.
class CodePointReader {
public:
    explicit CodePointReader(CodePage page);
    ~CodePointReader();
    CodePointReader(const CodePointReader&) = delete;
    CodePointReader& operator=(const CodePointReader&) = delete;

    // Appends the characters of `bytes` that are complete to `out`.
    void feed(std::string_view bytes, std::u32string& out);
    // Ends the input: what is held back becomes U+FFFD, one per byte.
    void finish(std::u32string& out);
    // The bytes so far that started no valid character.
    std::size_t invalidBytes() const { return invalid_; }

private:
    void decode(std::string_view bytes, bool atEnd, std::u32string& out);

    void* cd_;
    std::size_t invalid_ = 0;
    std::string pending_; // the start of a character cut off by the end of a piece
};

// Strict conversions between characters and bytes of a character set as iconv
// names it (such as the locale's): nothing when the bytes are not valid text
// there, or when it cannot hold a character, or when it is unknown.
std::optional<std::u32string> DecodeCharset(std::string_view bytes, const std::string& charset);
std::optional<std::string> EncodeCharset(std::u32string_view text, const std::string& charset);

} // namespace qh

#endif
