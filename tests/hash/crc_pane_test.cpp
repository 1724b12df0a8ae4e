#include "crc.h"
#include "crc_pane.h"
#include "pane_test_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace qh {
namespace {

enum { kFile = 0, kText = 1, kBytes = 2 };
enum { kCrc16 = 0, kCcitt = 1, kCrc32 = 2 };
const char* const kBases[] = {"hexRadio", "decimalRadio", "binaryRadio"};

class CrcPaneTest : public test::PaneTest<CCRCDlg> {
protected:
    void base(int which) { QTest::mouseClick(find<QRadioButton>(kBases[which]), Qt::LeftButton); }
    QString output() { return find<QLineEdit>("outputEdit")->text(); }

    // Computes `algorithm` over `text` read as input kind `kind`.
    QString check(int algorithm, int kind, const QString& text) {
        find<QComboBox>("algorithmCombo")->setCurrentIndex(algorithm);
        find<QComboBox>("inputKindCombo")->setCurrentIndex(kind);
        if (kind == kFile)
            find<QLineEdit>("pathEdit")->setText(text);
        else
            find<QPlainTextEdit>("inputEdit")->setPlainText(text);
        click("computeButton");
        return output();
    }
};

TEST_F(CrcPaneTest, APseudoFileIsCheckedByItsContentAndAReadErrorGivesNoValue) {
    QFile version(QStringLiteral("/proc/version"));
    ASSERT_TRUE(version.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const QByteArray content = version.readAll();
    const std::uint32_t expected = Crc32IsoHdlc::Final(
        Crc32IsoHdlc::Update(Crc32IsoHdlc::kInit, content.constData(), static_cast<std::size_t>(content.size())));
    EXPECT_EQ(check(kCrc32, kFile, QStringLiteral("/proc/version")),
              QStringLiteral("%1").arg(expected, 8, 16, QLatin1Char('0')).toUpper());
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_TRUE(check(kCrc32, kFile, QStringLiteral("/proc/self/mem")).isEmpty());
    expectOneMessage(QStringLiteral("不能打开文件 /proc/self/mem"), QStringLiteral("ERROR"), MessageKind::Error);
}

TEST_F(CrcPaneTest, StartState) {
    EXPECT_EQ(find<QComboBox>("inputKindCombo")->currentIndex(), kFile);
    EXPECT_TRUE(find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_FALSE(find<QPlainTextEdit>("inputEdit")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("hexRadio")->isChecked());
    EXPECT_TRUE(find<QLineEdit>("outputEdit")->isReadOnly());
    auto* algorithm = find<QComboBox>("algorithmCombo");
    ASSERT_EQ(algorithm->count(), 3);
    EXPECT_EQ(algorithm->currentText(), QStringLiteral("CRC-16"));
    EXPECT_EQ(algorithm->itemText(1), QStringLiteral("CRC-CCITT"));
}

TEST_F(CrcPaneTest, CheckValuesInEveryBaseWithLeadingZeros) {
    struct Case {
        int algorithm;
        int kind;
        QString input;
        QString shown[3]; // hexadecimal, decimal, binary
    };
    const Case cases[] = {
        {kCrc16,
         kText,
         QStringLiteral("123456789"),
         {QStringLiteral("BB3D"), QStringLiteral("47933"), QStringLiteral("1011 1011 0011 1101")}},
        {kCcitt,
         kText,
         QStringLiteral("123456789"),
         {QStringLiteral("29B1"), QStringLiteral("10673"), QStringLiteral("0010 1001 1011 0001")}},
        {kCrc32,
         kText,
         QStringLiteral("123456789"),
         {QStringLiteral("CBF43926"), QStringLiteral("3421780262"),
          QStringLiteral("1100 1011 1111 0100 0011 1001 0010 0110")}},
        {kCrc32,
         kBytes,
         QStringLiteral("31 32 33 34 35 36 37 38 39"),
         {QStringLiteral("CBF43926"), QStringLiteral("3421780262"),
          QStringLiteral("1100 1011 1111 0100 0011 1001 0010 0110")}},
        // Inputs chosen for their small check values.
        {kCrc16,
         kBytes,
         QStringLiteral("18 00"),
         {QStringLiteral("000A"), QStringLiteral("10"), QStringLiteral("0000 0000 0000 1010")}},
        {kCrc32,
         kBytes,
         QStringLiteral("CC 47 E1 3C"),
         {QStringLiteral("0000ABCD"), QStringLiteral("43981"),
          QStringLiteral("0000 0000 0000 0000 1010 1011 1100 1101")}},
        // Empty input: the initial values, CRC-32 with its final inversion.
        {kCrc16, kFile, QStringLiteral("empty"), {QStringLiteral("0000"), QStringLiteral("0"), QString()}},
        {kCcitt, kFile, QStringLiteral("empty"), {QStringLiteral("FFFF"), QStringLiteral("65535"), QString()}},
        {kCrc32, kFile, QStringLiteral("empty"), {QStringLiteral("00000000"), QStringLiteral("0"), QString()}},
    };
    const QString empty = writeFile(QStringLiteral("empty"), QByteArray());
    for (const Case& each : cases) {
        for (int which = 0; which < 3; ++which) {
            if (each.shown[which].isEmpty())
                continue;
            base(which);
            EXPECT_EQ(check(each.algorithm, each.kind, each.kind == kFile ? empty : each.input), each.shown[which])
                << each.input.toStdString() << " algorithm " << each.algorithm << " base " << which;
        }
    }
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(CrcPaneTest, TextsAndFilesOfTheSameBytesAgree) {
    const QString abc = writeFile(QStringLiteral("abc"), "abc");
    const std::pair<int, QString> cases[] = {
        {kCrc16, QStringLiteral("9738")}, {kCcitt, QStringLiteral("514A")}, {kCrc32, QStringLiteral("352441C2")}};
    for (const auto& [algorithm, shown] : cases) {
        EXPECT_EQ(check(algorithm, kText, QStringLiteral("abc")), shown);
        EXPECT_EQ(check(algorithm, kBytes, QStringLiteral("61 62 63")), shown);
        EXPECT_EQ(check(algorithm, kFile, abc), shown);
    }
    // No entry selected runs CRC-CCITT.
    find<QComboBox>("algorithmCombo")->setCurrentIndex(-1);
    click("computeButton");
    EXPECT_EQ(output(), QStringLiteral("514A"));
}

TEST_F(CrcPaneTest, NothingToDigestKeepsTheOutputAndUnopenableFilesEmptyIt) {
    check(kCrc16, kText, QStringLiteral("abc"));
    EXPECT_EQ(check(kCrc16, kText, QString()), QStringLiteral("9738"));
    EXPECT_EQ(check(kCrc16, kFile, QString()), QStringLiteral("9738"));
    EXPECT_EQ(check(kCrc16, kBytes, QStringLiteral("61,62")), QStringLiteral("9738"));
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("字节串格式错误!"));

    EXPECT_TRUE(check(kCrc16, kFile, dir.path()).isEmpty()); // a folder
    ASSERT_EQ(services.messages.size(), 2);
    EXPECT_EQ(services.messages[1].text, QStringLiteral("不能打开文件 ") + dir.path());
    EXPECT_EQ(services.messages[1].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(services.messages[1].kind, MessageKind::Error);
}

TEST_F(CrcPaneTest, TheBaseIsReadOnlyWhenComputing) {
    EXPECT_EQ(check(kCrc32, kText, QStringLiteral("123456789")), QStringLiteral("CBF43926"));
    base(1);
    EXPECT_EQ(output(), QStringLiteral("CBF43926"));
    click("computeButton");
    EXPECT_EQ(output(), QStringLiteral("3421780262"));
}

} // namespace
} // namespace qh
