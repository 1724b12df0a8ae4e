#include "code_page.h"

#include <gtest/gtest.h>
#include <string>

namespace qh {
namespace {

using namespace std::string_literals;

std::u32string wide(const std::u16string& text) {
    std::u32string out;
    for (const char16_t unit : text)
        out.push_back(unit); // the samples hold no surrogate pair
    return out;
}

TEST(CodePage, EveryPageGivesItsBytesAndReadsThemBack) {
    // The bytes are those of iconv -t CP936, UTF-8, UTF-16LE, UTF-16BE,
    // GB18030, CP950, CP932 and ISO-8859-1; the backslash stays ASCII in all.
    struct Case {
        CodePage page;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {CodePage::Gbk, u"中文\\€", "\xD6\xD0\xCE\xC4\\\x80"},
        {CodePage::Utf8, u"中文\\", "\xE4\xB8\xAD\xE6\x96\x87\\"},
        {CodePage::Utf16Le, u"中文\\", "\x2D\x4E\x87\x65\\\0"s},
        {CodePage::Utf16Be, u"中文\\", "\x4E\x2D\x65\x87\0\\"s},
        {CodePage::Gb18030, u"中文\\€", "\xD6\xD0\xCE\xC4\\\xA2\xE3"},
        {CodePage::Big5, u"中文\\", "\xA4\xA4\xA4\xE5\\"},
        {CodePage::ShiftJis, u"中文\\", "\x92\x86\x95\xB6\\"},
        {CodePage::Latin1, u"é\\", "\xE9\\"},
    };
    ASSERT_EQ(std::size(cases), kCodePages.size());
    for (const Case& c : cases) {
        const std::string name(CodePageName(c.page));
        SCOPED_TRACE(name);
        const EncodedText encoded = EncodeText(c.text, c.page);
        EXPECT_EQ(encoded.bytes, c.bytes);
        EXPECT_FALSE(encoded.unrepresentable);
        EXPECT_EQ(EncodeText(wide(c.text), c.page).bytes, c.bytes);
        EXPECT_EQ(DecodeText(c.bytes, c.page), c.text);
        std::string lower = name;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(FindCodePage(lower), c.page);
        EXPECT_EQ(IsAsciiCompatible(c.page), c.page != CodePage::Utf16Le && c.page != CodePage::Utf16Be);
    }
    EXPECT_FALSE(FindCodePage("UTF8"));
    EXPECT_EQ(NotationCodePage(CodePage::Utf16Be), CodePage::Utf8);
    EXPECT_EQ(NotationCodePage(CodePage::Big5), CodePage::Big5);
}

TEST(CodePage, WhatAPageCannotHoldIsOneQuestionMarkAndTheFirstIsNamed) {
    EncodedText gbk = EncodeText(u"a\u0E01b\U0001F600", CodePage::Gbk);
    EXPECT_EQ(gbk.bytes, "a?b?");
    EXPECT_EQ(gbk.unrepresentable, U'\u0E01');
    EncodedText latin = EncodeText(U"x\U0001F600中", CodePage::Latin1);
    EXPECT_EQ(latin.bytes, "x??");
    EXPECT_EQ(latin.unrepresentable, U'\U0001F600');
    // UTF-16 holds every character; only a lone surrogate is refused, in the page's form.
    EncodedText lone = EncodeText(u"\xD800x"s, CodePage::Utf16Le);
    EXPECT_EQ(lone.bytes, "?\0x\0"s);
    EXPECT_EQ(lone.unrepresentable, U'\xD800');
    EXPECT_EQ(EncodeText(u"\xDC00"s, CodePage::Utf16Be).bytes, "\0?"s);
    EXPECT_EQ(EncodeText(U"\x110000"s, CodePage::Utf8).bytes, "?");
    // iconv drops Unicode tag characters a page lacks without an error; they
    // are named and written as question marks too (found by fuzzing).
    EncodedText tags = EncodeText(u"\xDB40\xDC00\xDB40\xDC00"s, CodePage::Gbk);
    EXPECT_EQ(tags.bytes, "??");
    EXPECT_EQ(tags.unrepresentable, U'\U000E0000');
    EXPECT_EQ(EncodeText(U"a\U000E0041b", CodePage::Big5).bytes, "a?b");
    EXPECT_EQ(EncodeText(U"\U000E0041", CodePage::Utf8).bytes, "\xF3\xA0\x81\x81");

    // Bytes that start no character are one U+FFFD each, also at the end.
    EXPECT_EQ(DecodeText("\xFF"
                         "A\xE4\xBD",
                         CodePage::Utf8),
              u"\uFFFDA\uFFFD\uFFFD");
    EXPECT_EQ(DecodeText("A\0B"s, CodePage::Utf16Le), u"A\uFFFD");
}

TEST(CodePage, ReadingInPiecesEqualsReadingWhole) {
    for (const CodePage page : {CodePage::Utf8, CodePage::Gbk, CodePage::Utf16Be}) {
        SCOPED_TRACE(std::string(CodePageName(page)));
        // A bad byte in the middle (0xFF starts no character in UTF-8 or GBK)
        // and a character cut off at the end.
        const std::string head = EncodeText(u"\r\na中文é", page).bytes;
        const std::string bad = IsAsciiCompatible(page) ? "\xFF" : "";
        const std::string bytes = head + bad + head + head.substr(0, head.size() - 1);
        std::u32string whole;
        CodePointReader one(page);
        one.feed(bytes, whole);
        one.finish(whole);
        std::u16string expected16 = DecodeText(bytes, page);
        EXPECT_EQ(whole, wide(expected16));
        EXPECT_GT(one.invalidBytes(), 0u);
        for (size_t split = 0; split <= bytes.size(); ++split) {
            std::u32string pieces;
            CodePointReader reader(page);
            reader.feed(std::string_view(bytes).substr(0, split), pieces);
            reader.feed(std::string_view(bytes).substr(split), pieces);
            reader.finish(pieces);
            ASSERT_EQ(pieces, whole) << "split at " << split;
        }
    }
}

TEST(CodePage, StrictConversionsRefuseWhatTheyCannotRead) {
    EXPECT_EQ(DecodeCharset("\xE4\xBD\xA0", "UTF-8"), U"你");
    EXPECT_FALSE(DecodeCharset("\xE4\xBD", "UTF-8"));
    EXPECT_FALSE(DecodeCharset("a", "NO-SUCH-CHARSET"));
    EXPECT_EQ(EncodeCharset(U"你", "GBK"), "\xC4\xE3");
    EXPECT_FALSE(EncodeCharset(U"你", "ISO-8859-1"));
}

} // namespace
} // namespace qh
