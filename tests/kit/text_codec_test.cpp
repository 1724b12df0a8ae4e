#include "text_codec.h"

#include <gtest/gtest.h>

namespace qh {
namespace {

TEST(TextCodec, GbkRoundTripAndUnconvertibleCharacters) {
    const QString chinese = QStringLiteral("中文 ABC");
    const QByteArray bytes = toTextBytes(chinese);
    EXPECT_EQ(bytes, QByteArray("\xD6\xD0\xCE\xC4 ABC"));
    EXPECT_EQ(fromTextBytes(bytes), chinese);
    EXPECT_EQ(toTextBytes(QStringLiteral("€")), QByteArray("\x80")); // code page 936 has the euro sign

    // A character GBK cannot hold becomes one '?', a surrogate pair included.
    EXPECT_EQ(toTextBytes(QStringLiteral("a\u0E01b")), QByteArray("a?b"));
    EXPECT_EQ(toTextBytes(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    EXPECT_EQ(toTextBytes(QString()), QByteArray());
}

TEST(TextCodec, InvalidBytesStayVisible) {
    // A lone lead byte and 0xFF start no character: each shows as U+FFFD and the
    // valid text around them survives.
    const QString shown = fromTextBytes(QByteArray("A\xD6", 2) + QByteArray("\xFF"
                                                                            "B\xD6\xD0"));
    EXPECT_EQ(shown, QStringLiteral("A\uFFFD\uFFFDB中"));
    const QString withNul = fromTextBytes(QByteArray("a\0b", 3));
    ASSERT_EQ(withNul.size(), 3);
    EXPECT_EQ(withNul[1], QChar(0));
}

TEST(TextCodec, MultiLineBoxesUseCrLf) {
    EXPECT_EQ(toMultiLineBytes(QStringLiteral("1\n2\n")), QByteArray("1\r\n2\r\n"));
    EXPECT_EQ(toMultiLineBytes(QStringLiteral("1\r\n2")), QByteArray("1\r\n2"));
    EXPECT_EQ(fromMultiLineBytes(QByteArray("1\r\n2\r3")), QStringLiteral("1\n2\r3"));
}

} // namespace
} // namespace qh
