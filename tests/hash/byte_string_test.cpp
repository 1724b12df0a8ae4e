#include "byte_string.h"

#include <gtest/gtest.h>
#include <string>

namespace qh {
namespace {

using namespace std::string_literals;

TEST(ByteStringTest, ParsesOneByteFromEveryCellOfThreeCharacters) {
    EXPECT_EQ(ParseByteString("AD 3E B2"), "\xAD\x3E\xB2"s);
    EXPECT_EQ(ParseByteString("ad 3e b2 "), "\xAD\x3E\xB2"s);
    EXPECT_EQ(ParseByteString("AD3EB2"), "\xAD\xEB"s) << "cells AD3 and EB2";
    EXPECT_EQ(ParseByteString("A"), "\x0A"s);
    EXPECT_EQ(ParseByteString("ABCD"), "\xAB\x0D"s);
    EXPECT_EQ(ParseByteString("  AD"), "\xAD\x0D"s) << "skipping runs into the next cell without moving it";
    EXPECT_EQ(ParseByteString("AD\t3E"), "\xAD\x3E"s);
    EXPECT_EQ(ParseByteString("00 41"), "\x00\x41"s);
    EXPECT_EQ(ParseByteString(""), "");
    // Cells without a digit give 0: trailing white space, and the characters
    // of unchecked text.
    EXPECT_EQ(ParseByteString("AD 3E   "), "\xAD\x3E\x00"s);
    EXPECT_EQ(ParseByteString("0xAD,12"), "\x00\x0D\x02"s) << "cells 0xA, D,1 and 2";
    EXPECT_EQ(ParseByteString("\r\nF"), "\x0F"s);
    // Long white space gives the same cells as short: every cell inside a run
    // reads the digits after it. (Each cell used to scan the rest of the run,
    // which took minutes for a pasted megabyte of blanks.)
    EXPECT_EQ(ParseByteString("    \n\n  \t  AB"), "\xAB\xAB\xAB\xAB\x0B"s);
    const std::string blanks(3 << 20, ' ');
    EXPECT_EQ(ParseByteString(blanks + "7F"), std::string((1 << 20) + 1, '\x7F'));
}

TEST(ByteStringTest, AcceptsOnlyDigitsBlanksAndTabs) {
    EXPECT_TRUE(IsByteStringText("AD 3e\tB2 "));
    EXPECT_TRUE(IsByteStringText(""));
    for (const char* text : {"0xAD", "AD,3E", "-1", "AG", "AD\n3E", "AD\r3E", "\xB0\xA1"})
        EXPECT_FALSE(IsByteStringText(text)) << text;
}

TEST(ByteStringTest, FormatsEveryByteInUpperCase) {
    EXPECT_EQ(FormatByteString("\x41\x0A\xFF"s), "41 0A FF");
    EXPECT_EQ(FormatByteString("AB"), "41 42");
    EXPECT_EQ(FormatByteString(""), "");
    EXPECT_EQ(FormatByteString("\x00\x01\x00"s), "00 01 00");
    // Round trip over every byte value.
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_EQ(ParseByteString(FormatByteString(all)), all);
}

} // namespace
} // namespace qh
