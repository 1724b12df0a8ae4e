#include "code_encoder.h"

#include <gtest/gtest.h>

namespace qh {
namespace {

EncodeOptions options(CodeBase base, bool lower, int width, std::string prefix, std::string suffix) {
    return {base, lower, width, std::move(prefix), std::move(suffix)};
}

TEST(CodeEncoder, WorkedExamples) {
    struct Case {
        const char* input;
        EncodeOptions options;
        const char* expected;
    };
    const Case cases[] = {
        {"A", options(CodeBase::Decimal, false, 0, "", ""), "65"},
        {"AB", options(CodeBase::Hexadecimal, false, 0, "%", ""), "%41%42"},
        {"a b", options(CodeBase::Hexadecimal, true, 2, "%", ""), "%61%20%62"},
        {"Hi", options(CodeBase::Decimal, false, 4, "", ","), "0072,0105,"},
        {"Hi", options(CodeBase::Hexadecimal, false, 0, "0x", " "), "0x48 0x69 "},
        {"1\r\n2", options(CodeBase::Decimal, false, 0, "", " "), "49 13 10 50 "},
        {"", options(CodeBase::Hexadecimal, false, 5, "<", ">"), ""},
        // Lower case has no effect in decimal; a per-cent sign in the suffix is literal.
        {"\x7f", options(CodeBase::Decimal, true, 0, "", "%;"), "127%;"},
        // The width is a minimum: longer codes are not cut.
        {"z", options(CodeBase::Decimal, false, 1, "", ""), "122"},
        {"\n", options(CodeBase::Hexadecimal, false, 0, "", ""), "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(EncodeCodes(c.input, c.options), c.expected);
    }
}

TEST(CodeEncoder, HighBytesAreUnsignedAndGbkGivesTwoCodesPerCharacter) {
    // "中文" in GBK is D6 D0 CE C4.
    const std::string gbk = "\xD6\xD0\xCE\xC4";
    EXPECT_EQ(EncodeCodes(gbk, options(CodeBase::Hexadecimal, false, 0, "%", "")), "%D6%D0%CE%C4");
    EXPECT_EQ(EncodeCodes(gbk, options(CodeBase::Hexadecimal, true, 4, "", " ")), "00d6 00d0 00ce 00c4 ");
    EXPECT_EQ(EncodeCodes(gbk, options(CodeBase::Decimal, false, 0, "", ",")), "214,208,206,196,");
    EXPECT_EQ(EncodeCodes(std::string("\x80\xff\0", 3), options(CodeBase::Decimal, false, 0, "", " ")), "128 255 0 ");
}

TEST(CodeEncoder, WidthTextReadsLikeThePrintfWidth) {
    EXPECT_EQ(ParseCodeWidth(""), 0);
    EXPECT_EQ(ParseCodeWidth("0"), 0);
    EXPECT_EQ(ParseCodeWidth("00"), 0);
    EXPECT_EQ(ParseCodeWidth("007"), 7);
    EXPECT_EQ(ParseCodeWidth("12"), 12);
    EXPECT_EQ(ParseCodeWidth("99999999999999"), kMaxCodeWidth);
    EXPECT_EQ(EncodeCodes("A", options(CodeBase::Decimal, false, ParseCodeWidth("007"), "", "")), "0000065");
}

TEST(CodeEncoder, ChunkedEncodingEqualsOneShot) {
    std::string input;
    for (int i = 0; i < 1000; ++i)
        input.push_back(static_cast<char>(i * 37));
    const EncodeOptions opts = options(CodeBase::Hexadecimal, true, 3, "\\x", ";");
    const std::string whole = EncodeCodes(input, opts);
    const CodeEncoder encoder(opts);
    for (size_t split : {size_t{0}, size_t{1}, size_t{499}, size_t{999}, size_t{1000}}) {
        SCOPED_TRACE(split);
        std::string pieces;
        encoder.append(std::string_view(input).substr(0, split), pieces);
        encoder.append(std::string_view(input).substr(split), pieces);
        EXPECT_EQ(pieces, whole);
    }
}

} // namespace
} // namespace qh
