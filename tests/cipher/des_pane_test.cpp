#include "des.h"
#include "des_pane.h"
#include "pane_test_fixture.h"
#include "text_codec.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace qh {
namespace {

const QString kKeyMessage = QStringLiteral("密匙必须为 8 个字节.");
const QString kDecryptMessage = QStringLiteral("解密出现错误!可能是密文不是 8 byte 的整数倍.");

DesKey keyOf(const std::string& bytes) {
    DesKey key{};
    for (size_t i = 0; i < bytes.size() && i < key.size(); ++i)
        key[i] = static_cast<std::uint8_t>(bytes[i]);
    return key;
}

// The byte-string form of a DES encryption, as the output box shows it.
QString encrypted(const DesKey& key, const std::string& plain) {
    const std::optional<std::string> cipher = DesEncryptBuffer(key, plain);
    if (!cipher)
        return QStringLiteral("(failed)");
    std::string hex;
    for (unsigned char byte : *cipher) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%02X ", byte);
        hex += cell;
    }
    hex.pop_back();
    return QString::fromStdString(hex);
}

class DesPaneTest : public test::PaneTest<CDES> {
protected:
    void check(const char* box, bool on) { find<QCheckBox>(box)->setChecked(on); }
    QLineEdit* key() { return find<QLineEdit>("keyEdit"); }
    QPlainTextEdit* input() { return find<QPlainTextEdit>("inputEdit"); }
    QString output() { return find<QPlainTextEdit>("outputEdit")->toPlainText(); }

    // Encrypts `text` under the key text `keyText` with the output in byte-string form.
    QString encryptText(const QString& keyText, const QString& text) {
        key()->setText(keyText);
        input()->setPlainText(text);
        check("outputBytesCheck", true);
        click("encryptButton");
        return output();
    }
};

TEST_F(DesPaneTest, KeyMustHoldEightBytesAndOnlyTheFirstEightCount) {
    // 7 ASCII characters are refused, whatever the command.
    for (const char* command : {"encryptButton", "decryptButton", "encryptFileButton", "decryptFileButton"}) {
        key()->setText(QStringLiteral("abcdefg"));
        input()->setPlainText(QStringLiteral("abc"));
        click(command);
        expectOneMessage(kKeyMessage, QStringLiteral("INPUT ERROR"), MessageKind::Error);
        EXPECT_TRUE(output().isEmpty()) << command;
    }

    // Four Chinese characters are eight GBK bytes.
    EXPECT_EQ(encryptText(QStringLiteral("密码密码"), QStringLiteral("abc")),
              encrypted(keyOf("\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB"), "abc"));
    // A 12-character key uses its first 8.
    EXPECT_EQ(encryptText(QStringLiteral("abcdefghijkl"), QStringLiteral("abc")), encrypted(keyOf("abcdefgh"), "abc"));
    // In byte-string form the length rule counts the characters of the text:
    // "AD 3E B2" passes and leaves the last five key bytes zero.
    check("keyBytesCheck", true);
    EXPECT_EQ(encryptText(QStringLiteral("AD 3E B2"), QStringLiteral("abc")),
              encrypted(keyOf(std::string("\xAD\x3E\xB2", 3)), "abc"));
    EXPECT_EQ(encryptText(QStringLiteral("00 00 00 00 00 00 00 01 FF"), QStringLiteral("abc")),
              encrypted(keyOf(std::string("\0\0\0\0\0\0\0\x01", 8)), "abc"));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(DesPaneTest, ChecksConvertTheirBoxes) {
    // 1015: the key box switches form, at most 29 bytes taken.
    key()->setText(QStringLiteral("abcdefgh"));
    check("keyBytesCheck", true);
    EXPECT_EQ(key()->text(), QStringLiteral("61 62 63 64 65 66 67 68"));
    check("keyBytesCheck", false);
    EXPECT_EQ(key()->text(), QStringLiteral("abcdefgh"));
    key()->setText(QString(40, QLatin1Char('A')));
    check("keyBytesCheck", true);
    EXPECT_EQ(key()->text(), QStringLiteral("41 ").repeated(28) + QStringLiteral("41"));
    check("keyBytesCheck", false);
    EXPECT_EQ(key()->text(), QStringLiteral("AAAAAAAAAA")); // 29 characters hold 10 bytes
    check("keyBytesCheck", true);
    key()->setText(QStringLiteral("00 41 00 FF 80 20 0D 0A"));
    check("keyBytesCheck", false);
    check("keyBytesCheck", true);
    EXPECT_EQ(key()->text(), QStringLiteral("00 41 00 3F 80 20 0D 0A")); // FF is no GBK text
    check("keyBytesCheck", false);

    // 1028: the input box switches form in place; line breaks are CR LF.
    input()->setPlainText(QStringLiteral("ab\n中"));
    check("inputBytesCheck", true);
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("61 62 0D 0A D6 D0"));
    check("inputBytesCheck", false);
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("ab\n中"));
    check("inputBytesCheck", true);
    input()->setPlainText(QStringLiteral("41 00 42"));
    check("inputBytesCheck", false);
    check("inputBytesCheck", true);
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("41 00 42")); // a zero byte survives the raw form
    check("inputBytesCheck", false);

    // 1029: nothing to show before a command; afterwards the same result in both forms.
    check("outputBytesCheck", true);
    EXPECT_TRUE(output().isEmpty());
    check("outputBytesCheck", false);
    key()->setText(QStringLiteral("12345678"));
    input()->setPlainText(QStringLiteral("abc"));
    click("decryptButton"); // not a ciphertext: no result yet
    EXPECT_EQ(services.messages.size(), 1);
    services.messages.clear();
    click("encryptButton");
    const QString raw = output();
    EXPECT_FALSE(raw.isEmpty());
    check("outputBytesCheck", true);
    const QString bytes = output();
    EXPECT_EQ(bytes, encrypted(keyOf("12345678"), "abc"));
    check("outputBytesCheck", false);
    EXPECT_EQ(output(), raw);

    // The result goes with the window; the controls start afresh.
    pane->createWindow(&host);
    EXPECT_FALSE(find<QCheckBox>("outputBytesCheck")->isChecked());
    EXPECT_TRUE(output().isEmpty());
    check("outputBytesCheck", true);
    EXPECT_TRUE(output().isEmpty());
}

// Texts and text keys are bytes of the chosen code page; byte strings stay
// ASCII whatever it is, and a result is shown in the page chosen now.
TEST_F(DesPaneTest, TextsAndTextKeysFollowTheCodePageByteStringsDoNot) {
    using namespace std::string_literals;
    struct DefaultPageAfterwards {
        ~DefaultPageAfterwards() { setCurrentCodePage(kDefaultCodePage); }
    } restore;
    setCurrentCodePage(CodePage::Utf16Le);
    const QString cipher = encrypted(keyOf("a\0b\0c\0d\0"s), "A\0B\0"s);
    EXPECT_EQ(encryptText(QStringLiteral("abcd"), QStringLiteral("AB")), cipher);
    EXPECT_EQ(key()->toolTip(), QStringLiteral("8 字节 (UTF-16LE): 61 00 62 00 63 00 64 00"));
    EXPECT_EQ(input()->toolTip(), QStringLiteral("4 字节 (UTF-16LE): 41 00 42 00"));

    check("keyBytesCheck", true);
    EXPECT_EQ(key()->text(), QStringLiteral("61 00 62 00 63 00 64 00"));
    EXPECT_TRUE(key()->toolTip().isEmpty());
    check("inputBytesCheck", true);
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("41 00 42 00"));
    click("encryptButton");
    EXPECT_EQ(output(), cipher);

    input()->setPlainText(cipher);
    check("outputBytesCheck", false);
    click("decryptButton");
    EXPECT_EQ(output(), QStringLiteral("AB"));
    setCurrentCodePage(CodePage::Gbk);
    EXPECT_EQ(output(), QStringLiteral("A\u2400B\u2400"));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(DesPaneTest, TextsRoundTripEveryByteOfTheCiphertext) {
    // A key whose ciphertext of "hello" holds a zero byte.
    std::string keyText;
    for (int i = 0; i < 100000 && keyText.empty(); ++i) {
        const std::string candidate = "key" + std::to_string(10000 + i);
        const QString cipher = encrypted(keyOf(candidate), "hello");
        if (QRegularExpression(QStringLiteral("(^| )00( |$)")).match(cipher).hasMatch())
            keyText = candidate;
    }
    ASSERT_FALSE(keyText.empty());
    const QString cipher = encryptText(QString::fromStdString(keyText), QStringLiteral("hello"));
    EXPECT_EQ(cipher, encrypted(keyOf(keyText), "hello"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("(^| )00( |$)")).match(cipher).hasMatch());
    check("outputBytesCheck", false);
    EXPECT_TRUE(output().contains(QChar(0x2400))); // raw form marks the zero byte

    check("inputBytesCheck", true);
    input()->setPlainText(cipher);
    click("decryptButton");
    EXPECT_EQ(output(), QStringLiteral("hello"));
    EXPECT_TRUE(services.messages.isEmpty());

    // A wrong key fails the padding check; the result stays.
    key()->setText(QStringLiteral("otherkey"));
    click("decryptButton");
    expectOneMessage(kDecryptMessage, QStringLiteral("ERROR"), MessageKind::Error);
    EXPECT_EQ(output(), QStringLiteral("hello"));

    // Lengths: 3 bytes give one block, 8 bytes two.
    check("inputBytesCheck", false);
    EXPECT_EQ(encryptText(QStringLiteral("12345678"), QStringLiteral("abc")).size(), 8 * 3 - 1);
    EXPECT_EQ(encryptText(QStringLiteral("12345678"), QStringLiteral("abcdefgh")).size(), 16 * 3 - 1);

    // Empty inputs fail in both directions and leave the output box alone.
    input()->clear();
    click("encryptButton");
    expectOneMessage(QStringLiteral("加密出现错误!"), QStringLiteral("ERROR"), MessageKind::Error);
    click("decryptButton");
    expectOneMessage(kDecryptMessage, QStringLiteral("ERROR"), MessageKind::Error);
    EXPECT_EQ(output().size(), 16 * 3 - 1);
}

TEST_F(DesPaneTest, RandomKeysDiffer) {
    check("keyBytesCheck", true);
    click("randomKeyButton");
    const QString first = key()->text();
    click("randomKeyButton");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{2}( [0-9A-F]{2}){7}$")).match(first).hasMatch())
        << first.toStdString();
    EXPECT_NE(key()->text(), first); // two presses in one second
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(DesPaneTest, FilesAreCheckedKeyFirstThenPathsThenTheEngine) {
    const QString plain = writeFile(QStringLiteral("plain.txt"), QByteArray(1500, 'x'));
    const QString sealed = dir.filePath(QStringLiteral("sealed.dat"));
    const QString opened = dir.filePath(QStringLiteral("opened.txt"));

    // The key is checked before the paths.
    find<QLineEdit>("inputPathEdit")->setText(plain);
    click("encryptFileButton");
    expectOneMessage(kKeyMessage, QStringLiteral("INPUT ERROR"), MessageKind::Error);
    key()->setText(QStringLiteral("filekey!"));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("输入和输出文件都不能为空!"), QStringLiteral("ERROR"), MessageKind::Error);

    // Browse fills the boxes; the output dialog proposes out01.dat.
    services.fileAnswers = {plain, sealed};
    click("inputBrowseButton");
    click("outputBrowseButton");
    ASSERT_EQ(services.dialogs.size(), 2);
    EXPECT_EQ(services.dialogs[1].options.defaultName, QStringLiteral("out01"));
    EXPECT_EQ(services.dialogs[1].options.defaultSuffix, QStringLiteral("dat"));
    EXPECT_EQ(find<QLineEdit>("outputPathEdit")->text(), sealed);

    input()->setPlainText(QStringLiteral("untouched"));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("加密成功!"), QStringLiteral("INFORMATION"), MessageKind::Information);
    EXPECT_EQ(readFile(sealed).size(), 1504); // 1024 + 8 * 59 + 8
    EXPECT_EQ(input()->toPlainText(), QStringLiteral("untouched"));
    EXPECT_TRUE(output().isEmpty());

    find<QLineEdit>("inputPathEdit")->setText(sealed);
    find<QLineEdit>("outputPathEdit")->setText(opened);
    click("decryptFileButton");
    expectOneMessage(QStringLiteral("解密成功!"), QStringLiteral("INFORMATION"), MessageKind::Information);
    EXPECT_EQ(readFile(opened), QByteArray(1500, 'x'));

    key()->setText(QStringLiteral("wrongkey"));
    click("decryptFileButton");
    expectOneMessage(QStringLiteral("解密失败!"), QStringLiteral("ERROR"), MessageKind::Error);
    EXPECT_EQ(readFile(opened), QByteArray(1500, 'x')); // a failure replaces nothing

    find<QLineEdit>("inputPathEdit")->setText(dir.filePath(QStringLiteral("missing")));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("不能打开文件进行读入!"), QStringLiteral("ERROR"), MessageKind::Error);
    find<QLineEdit>("inputPathEdit")->setText(plain);
    find<QLineEdit>("outputPathEdit")->setText(dir.filePath(QStringLiteral("no/such/folder")));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("不能打开文件进行写入!"), QStringLiteral("ERROR"), MessageKind::Error);

    // Only a regular file is read: a pipe nobody writes would hang the window,
    // /dev/zero would fill the disk. Neither leaves an output.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    find<QLineEdit>("outputPathEdit")->setText(dir.filePath(QStringLiteral("never")));
    for (const QString& special : {fifo, QStringLiteral("/dev/zero")}) {
        find<QLineEdit>("inputPathEdit")->setText(special);
        for (const char* command : {"encryptFileButton", "decryptFileButton"}) {
            click(command);
            expectOneMessage(QStringLiteral("不能打开文件进行读入!"), QStringLiteral("ERROR"), MessageKind::Error);
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never"))));
    find<QLineEdit>("inputPathEdit")->setText(plain);

    // The same file under another name is refused and stays as it was.
    ASSERT_TRUE(QFile::link(plain, dir.filePath(QStringLiteral("link"))));
    for (const QString& same :
         {plain, dir.filePath(QStringLiteral("link")), dir.path() + QStringLiteral("/./plain.txt")}) {
        find<QLineEdit>("outputPathEdit")->setText(same);
        for (const char* command : {"encryptFileButton", "decryptFileButton"}) {
            click(command);
            expectOneMessage(QStringLiteral("输入和输出不能是同一个文件!"), QStringLiteral("ERROR"),
                             MessageKind::Error);
        }
    }
    EXPECT_EQ(readFile(plain), QByteArray(1500, 'x'));
}

TEST_F(DesPaneTest, AFileCommandRunsOffTheWindowAndEscCancelsItLeavingTheOutputAsItWas) {
    key()->setText(QStringLiteral("filekey!"));
    const QString plain = writeFile(QStringLiteral("big.bin"), QByteArray(32 * 1024 * 1024, 'x'));
    const QString sealed = writeFile(QStringLiteral("sealed.dat"), "the old output");
    find<QLineEdit>("inputPathEdit")->setText(plain);
    find<QLineEdit>("outputPathEdit")->setText(sealed);
    QTest::mouseClick(find<QPushButton>("encryptFileButton"), Qt::LeftButton);
    ASSERT_TRUE(pane->jobRunning());
    EXPECT_FALSE(find<QPushButton>("decryptFileButton")->isEnabled());
    QTest::keyClick(pane->window(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(services.messages.isEmpty()) << "a cancelled command shows nothing";
    EXPECT_EQ(readFile(sealed), QByteArray("the old output"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
    EXPECT_TRUE(find<QPushButton>("decryptFileButton")->isEnabled());
}

} // namespace
} // namespace qh
