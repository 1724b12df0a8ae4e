#include "pane_test_fixture.h"
#include "sha.h"
#include "sha_pane.h"

#include <QCheckBox>
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

// The digests of "abc" (FIPS 180-2 examples), by algorithm entry.
const QString kAbc[] = {
    QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"),
    QStringLiteral("23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7"),
    QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"),
    QStringLiteral("cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"),
    QStringLiteral("ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd"
                   "454d4423643ce80e2a9ac94fa54ca49f"),
};
const QString kEmptySha1 = QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709");

// "a9993e..." as "A9 99 3E ... " with a blank after every byte.
QString spaced(const QString& digits) {
    QString text;
    for (qsizetype i = 0; i < digits.size(); i += 2)
        text += digits.mid(i, 2).toUpper() + QLatin1Char(' ');
    return text;
}

class ShaPaneTest : public test::PaneTest<CSHADlg> {
protected:
    QString output() { return find<QPlainTextEdit>("outputEdit")->toPlainText(); }

    // Computes with input kind `kind` (0 file, 1 text, 2 byte string) and `text`
    // in the edit that kind reads.
    QString digest(int kind, const QString& text) {
        find<QComboBox>("inputKindCombo")->setCurrentIndex(kind);
        if (kind == 0)
            find<QLineEdit>("pathEdit")->setText(text);
        else
            find<QPlainTextEdit>("inputEdit")->setPlainText(text);
        click("computeButton");
        return output();
    }
    void useLowerCase() { QTest::mouseClick(find<QRadioButton>("lowerCaseRadio"), Qt::LeftButton); }
};

TEST_F(ShaPaneTest, StartState) {
    EXPECT_EQ(find<QComboBox>("inputKindCombo")->currentIndex(), 0);
    EXPECT_TRUE(find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("browseButton")->isEnabled());
    EXPECT_FALSE(find<QPlainTextEdit>("inputEdit")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("upperCaseRadio")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("blankCheck")->isChecked());
    EXPECT_TRUE(find<QPlainTextEdit>("outputEdit")->isReadOnly());
    auto* algorithm = find<QComboBox>("algorithmCombo");
    ASSERT_EQ(algorithm->count(), 5);
    EXPECT_EQ(algorithm->currentText(), QStringLiteral("SHA-1"));
    EXPECT_EQ(algorithm->itemText(4), QStringLiteral("SHA-512"));
}

TEST_F(ShaPaneTest, EveryVariantInBothCasesWithAndWithoutBlanks) {
    auto* algorithm = find<QComboBox>("algorithmCombo");
    for (int variant = 0; variant < 5; ++variant) {
        algorithm->setCurrentIndex(variant);
        QTest::mouseClick(find<QRadioButton>("upperCaseRadio"), Qt::LeftButton);
        find<QCheckBox>("blankCheck")->setChecked(true);
        const QString upper = digest(1, QStringLiteral("abc"));
        EXPECT_EQ(upper, spaced(kAbc[variant])) << variant;
        EXPECT_EQ(upper.size(), kAbc[variant].size() / 2 * 3) << variant; // ends with a blank

        useLowerCase();
        find<QCheckBox>("blankCheck")->setChecked(false);
        click("computeButton");
        EXPECT_EQ(output(), kAbc[variant]) << variant;
    }
    // No entry selected counts as SHA-1.
    algorithm->setCurrentIndex(-1);
    click("computeButton");
    EXPECT_EQ(output(), kAbc[0]);
    EXPECT_EQ(spaced(kAbc[0]).size(), 60);
}

TEST_F(ShaPaneTest, ByteStringsFilesAndTextsGiveTheSameDigest) {
    useLowerCase();
    EXPECT_EQ(digest(2, QStringLiteral("61 62 63")), kAbc[0]);
    EXPECT_EQ(digest(1, QStringLiteral("a\nb")), QStringLiteral("ec6cb5b8c69f8b476a380c9b6e38e18c2733ae7b"));
    EXPECT_EQ(digest(0, writeFile(QStringLiteral("abc.bin"), "abc")), kAbc[0]);
    EXPECT_EQ(digest(0, writeFile(QStringLiteral("empty.bin"), QByteArray())), kEmptySha1);
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(ShaPaneTest, NothingToDigestKeepsTheOutputAndUnopenableFilesEmptyIt) {
    useLowerCase();
    digest(1, QStringLiteral("abc"));
    EXPECT_EQ(digest(1, QString()), kAbc[0]);
    EXPECT_EQ(digest(2, QString()), kAbc[0]);
    EXPECT_EQ(digest(0, QString()), kAbc[0]);
    EXPECT_TRUE(services.messages.isEmpty());

    EXPECT_EQ(digest(2, QStringLiteral("0x61")), kAbc[0]);
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("字节串格式错误!"));

    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    EXPECT_TRUE(digest(0, missing).isEmpty());
    ASSERT_EQ(services.messages.size(), 2);
    EXPECT_EQ(services.messages[1].text, QStringLiteral("不能打开文件 ") + missing);
    EXPECT_EQ(services.messages[1].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(services.messages[1].kind, MessageKind::Error);
}

// Files of /proc report a length of 0, and reading /proc/self/mem from its
// start fails: the digest is of what the file holds, or there is none.
TEST_F(ShaPaneTest, PseudoFilesGiveTheirContentsDigestAndAReadErrorGivesNone) {
    useLowerCase();
    QFile version(QStringLiteral("/proc/version"));
    ASSERT_TRUE(version.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    const QByteArray content = version.readAll();
    ASSERT_FALSE(content.isEmpty());
    std::uint8_t expected[64];
    ShaBuffer(ShaVariant::Sha1, std::string_view(content.constData(), content.size()), expected);
    QString hex;
    for (int i = 0; i < 20; ++i)
        hex += QStringLiteral("%1").arg(expected[i], 2, 16, QLatin1Char('0'));
    EXPECT_EQ(digest(0, QStringLiteral("/proc/version")), hex);
    EXPECT_TRUE(services.messages.isEmpty());

    EXPECT_TRUE(digest(0, QStringLiteral("/proc/self/mem")).isEmpty());
    expectOneMessage(QStringLiteral("不能打开文件 /proc/self/mem"), QStringLiteral("ERROR"), MessageKind::Error);
}

TEST_F(ShaPaneTest, OptionsAreReadOnlyWhenComputing) {
    EXPECT_EQ(digest(1, QStringLiteral("abc")), kAbc[0].toUpper());
    useLowerCase();
    find<QCheckBox>("blankCheck")->setChecked(true);
    find<QComboBox>("algorithmCombo")->setCurrentIndex(2);
    EXPECT_EQ(output(), kAbc[0].toUpper());
    click("computeButton");
    EXPECT_EQ(output(), spaced(kAbc[2]).toLower());
}

} // namespace
} // namespace qh
