#include "text_codec.h"

#include <QSignalSpy>
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

namespace qh {
namespace {

// Every test starts and ends with the default page.
class ChosenCodePage : public ::testing::Test {
protected:
    void TearDown() override { setCurrentCodePage(kDefaultCodePage); }
};

TEST_F(ChosenCodePage, ConversionsFollowTheChoiceAndNotationsStayAscii) {
    QSignalSpy changes(&codePageNotices(), &CodePageNotices::changed);
    setCurrentCodePage(CodePage::Utf8);
    setCurrentCodePage(CodePage::Utf8);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].value<CodePage>(), CodePage::Gbk);
    EXPECT_EQ(toTextBytes(QStringLiteral("你好")), QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD"));

    setCurrentCodePage(CodePage::Utf16Le);
    const QByteArray lines("a\0\r\0\n\0b\0\r\0\n\0", 12);
    EXPECT_EQ(toMultiLineBytes(QStringLiteral("a\nb\r\n")), lines);
    EXPECT_EQ(fromMultiLineBytes(lines), QStringLiteral("a\nb\n"));
    // Hexadecimal texts and codes are read and written as ASCII bytes.
    EXPECT_EQ(toNotationMultiLineBytes(QStringLiteral("41\n")), QByteArray("41\r\n"));
    EXPECT_EQ(notationToTextBytes("%41"), QByteArray("%\0"
                                                     "4\0"
                                                     "1\0",
                                                     6));
    // A NUL character ends a text only as a whole unit.
    EXPECT_EQ(upToFirstNul(QByteArray("\0A\0\0B\0", 6)), QByteArray("\0A", 2));

    setCurrentCodePage(CodePage::Latin1);
    const TextBytes latin = encodeText(QStringLiteral("é\n中"), true);
    EXPECT_EQ(latin.bytes, QByteArray("\xE9\r\n?"));
    EXPECT_EQ(latin.unrepresentable, U'中');
}

} // namespace
} // namespace qh
