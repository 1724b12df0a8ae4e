#include "recording_services.h"
#include "rsa_loader.h"
#include "rsa_numbers.h"
#include "rsa_pane.h"
#include "text_codec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace qh {
namespace {

const QString kTitle = QStringLiteral("QUILLHORN RSA");

struct Key {
    std::string n, e, d;
};

class RsaPaneTest : public ::testing::Test {
protected:
    // One component and two 512-bit keys for the whole suite: key generation
    // is the slow part.
    static void SetUpTestSuite() {
        loader = new RsaComponentLoader;
        ASSERT_EQ(loader->load(QH_TEST_RSA_COMPONENT), RsaLoadResult::Loaded) << loader->errorText();
        RsaClient client(*loader->component());
        for (Key* key : {&key1, &key2}) {
            const GeneratedKey made = GenerateKey(client, 8);
            ASSERT_TRUE(made.passed);
            *key = {made.n, made.e, made.d};
        }
    }
    static void TearDownTestSuite() {
        delete loader;
        loader = nullptr;
    }

    void SetUp() override {
        SetRsaComponent(loader->component());
        pane = std::make_unique<CRSA>(services);
        pane->createWindow(&host);
        host.show();
    }
    void TearDown() override {
        pane.reset();
        SetRsaComponent(nullptr);
    }

    template <typename T> T* find(const char* name) {
        T* widget = pane->window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Clicks as a user does and waits until a job the click started is done.
    void click(const char* button) {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !pane->jobRunning(); }, 120000));
    }
    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
    // Types `text` into a key box and leaves it, as a user tabbing on would.
    void typeKey(const char* name, const QString& text) {
        box(name)->setText(text);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box(name), &leave);
    }
    void paste(const QByteArray& text) {
        services.clipboard = text;
        click("pasteButton");
    }
    void useKey(const Key& key) {
        paste(QByteArray::fromStdString(key.n + "\r\n" + key.e + "\r\n" + key.d));
        ASSERT_EQ(pane->n(), key.n);
    }
    QString run(const char* mode, const char* command, const QString& input) {
        click(mode);
        find<QPlainTextEdit>("inputEdit")->setPlainText(input);
        click(command);
        return output();
    }
    QString output() { return find<QPlainTextEdit>("outputEdit")->toPlainText(); }

    void expectOneMessage(const QString& text, MessageKind kind = MessageKind::Error) {
        ASSERT_EQ(services.messages.size(), 1) << text.toStdString();
        EXPECT_EQ(services.messages[0].text, text);
        EXPECT_EQ(services.messages[0].caption, kTitle);
        EXPECT_EQ(services.messages[0].kind, kind);
        services.messages.clear();
    }
    void expectKey(const std::string& n, const std::string& e, const std::string& d) {
        EXPECT_EQ(pane->n(), n);
        EXPECT_EQ(pane->e(), e);
        EXPECT_EQ(pane->d(), d);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray readFile(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    static inline RsaComponentLoader* loader = nullptr;
    static inline Key key1, key2;

    QTemporaryDir dir;
    QWidget host;
    test::RecordingServices services;
    std::unique_ptr<CRSA> pane;
};

TEST_F(RsaPaneTest, KeyBoxesStoreHexadecimalWhateverTheyShow) {
    EXPECT_TRUE(find<QRadioButton>("keyHexRadio")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("textModeRadio")->isChecked());
    typeKey("nEdit", QStringLiteral("ff"));
    typeKey("eEdit", QStringLiteral(" 1 0\t"));
    click("keyDecimalRadio");
    EXPECT_EQ(box("nEdit")->text(), QStringLiteral("255"));
    EXPECT_EQ(box("eEdit")->text(), QStringLiteral("16"));
    EXPECT_EQ(box("dEdit")->text(), QString());

    typeKey("nEdit", QStringLiteral("65535"));
    typeKey("dEdit", QStringLiteral("0"));
    expectKey("ffff", "10", "0");
    click("keyHexRadio");
    EXPECT_EQ(box("nEdit")->text(), QStringLiteral("ffff"));

    // A key longer than a line edit's default limit is kept whole.
    const std::string longKey(40000, 'a');
    typeKey("nEdit", QString::fromStdString(longKey));
    EXPECT_EQ(pane->n(), longKey);

    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(RsaPaneTest, ABoxLeftWithTheFocusIsReadAtASwitchAndEveryShowingStartsEmpty) {
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QTest::mouseClick(box("nEdit"), Qt::LeftButton);
    QTest::keyClicks(box("nEdit"), QStringLiteral("abc"));
    ASSERT_TRUE(box("nEdit")->hasFocus());
    pane->destroyWindow();
    EXPECT_EQ(pane->n(), "abc");

    pane->createWindow(&host);
    expectKey("", "", "");
    for (const char* name : {"nEdit", "eEdit", "dEdit"})
        EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    EXPECT_TRUE(find<QRadioButton>("keyHexRadio")->isChecked());
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(RsaPaneTest, AnInvalidKeyNumberIsRefusedAndTheStoredValueKept) {
    typeKey("nEdit", QStringLiteral("ff"));
    typeKey("nEdit", QStringLiteral("fg"));
    expectOneMessage(QStringLiteral("n 不是有效的十六进制数!"));
    EXPECT_EQ(pane->n(), "ff");
    EXPECT_EQ(box("nEdit")->text(), QStringLiteral("ff"));

    click("keyDecimalRadio");
    typeKey("dEdit", QStringLiteral("12a"));
    expectOneMessage(QStringLiteral("d 不是有效的十进制数!"));
    typeKey("eEdit", QStringLiteral("１２")); // full-width digits
    expectOneMessage(QStringLiteral("e 不是有效的十进制数!"));
    expectKey("ff", "", "");
    EXPECT_EQ(box("nEdit")->text(), QStringLiteral("255"));
}

TEST_F(RsaPaneTest, PasteTakesTheThreeNumbersOfACopiedKey) {
    click("keyDecimalRadio");
    paste("FF\r\n11\r\nab\r\n");
    // The trailing CR LF of d is a line break, not part of the number.
    expectKey("FF", "11", "ab");
    EXPECT_EQ(box("nEdit")->text(), QStringLiteral("255"));
    EXPECT_EQ(box("dEdit")->text(), QStringLiteral("171"));

    // Only one CR LF: nothing changes. Neither does a clipboard without text.
    paste("1\r\n2");
    services.clipboardHasText = false;
    paste("1\r\n2\r\n3");
    EXPECT_TRUE(services.messages.isEmpty());
    expectKey("FF", "11", "ab");

    // A number that is not hexadecimal makes the whole paste fail.
    services.clipboardHasText = true;
    paste("1\r\n2x\r\n3");
    expectOneMessage(QStringLiteral("粘贴的 e 不是有效的十六进制数!"));
    expectKey("FF", "11", "ab");
    // So does a d of several lines, which would otherwise glue them together.
    for (const char* text : {"abc\r\n3\r\n5\r\n77\r\n", "abc\n3\n5\r77"}) {
        paste(text);
        expectOneMessage(QStringLiteral("粘贴的 d 不是有效的十六进制数!"));
        expectKey("FF", "11", "ab");
    }

    // Lines ending in LF alone, as quillhorn-cli rsa keygen prints them, work too.
    paste("c1\nd2\ne3\n");
    expectKey("c1", "d2", "e3");

    // In a UTF-16 code page the clipboard's text is UTF-16; its numbers read the same.
    setCurrentCodePage(CodePage::Utf16Le);
    paste(QByteArray("a\0\r\0\n\0b\0\n\0c\0", 12));
    setCurrentCodePage(kDefaultCodePage);
    EXPECT_TRUE(services.messages.isEmpty());
    expectKey("a", "b", "c");
}

TEST_F(RsaPaneTest, ChecksComeInOrderPathsBeforeKey) {
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("输入文件不能为空!"));
    find<QLineEdit>("inputPathEdit")->setText(writeFile("in", "x"));
    click("decryptFileButton");
    expectOneMessage(QStringLiteral("输出文件不能为空!"));
    find<QLineEdit>("outputPathEdit")->setText(dir.filePath("out"));
    typeKey("nEdit", QStringLiteral("cb"));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("n 或 e 不能为空!"));
    click("decryptFileButton");
    expectOneMessage(QStringLiteral("n 或 d 不能为空!"));
    EXPECT_EQ(run("textModeRadio", "encryptButton", QStringLiteral("abc")), QString());
    expectOneMessage(QStringLiteral("n 或 e 不能为空!"));
    click("decryptButton");
    expectOneMessage(QStringLiteral("n 或 d 不能为空!"));
    EXPECT_FALSE(QFile::exists(dir.filePath("out")));
}

TEST_F(RsaPaneTest, IntegerModesWithTheComponent) {
    // n = 203 = 7 * 29, e = 5, d = 101 (5 * 101 = 505 = 1 mod 168).
    typeKey("nEdit", QStringLiteral("cb"));
    typeKey("eEdit", QStringLiteral("5"));
    typeKey("dEdit", QStringLiteral("65"));
    EXPECT_EQ(run("decimalModeRadio", "encryptButton", QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(run("decimalModeRadio", "encryptButton", QStringLiteral("2")), QStringLiteral("32"));
    EXPECT_EQ(run("decimalModeRadio", "decryptButton", QStringLiteral("3 2\r\n")), QStringLiteral("2"));
    EXPECT_EQ(run("hexModeRadio", "encryptButton", QStringLiteral("2")), QStringLiteral("20"));
    EXPECT_EQ(run("hexModeRadio", "decryptButton", QStringLiteral("20")), QStringLiteral("2"));
    EXPECT_TRUE(services.messages.isEmpty());

    EXPECT_EQ(run("decimalModeRadio", "encryptButton", QStringLiteral("1f")), QStringLiteral("2"));
    expectOneMessage(QStringLiteral("输入不是有效的十进制整数!"));
    run("hexModeRadio", "encryptButton", QString());
    expectOneMessage(QStringLiteral("输入不是有效的十六进制整数!"));
    // A refusal names the one condition that failed; the output stays.
    EXPECT_EQ(run("hexModeRadio", "encryptButton", QStringLiteral("cb")), QStringLiteral("2"));
    expectOneMessage(QStringLiteral("加密失败!整数须小于 n."));
    typeKey("nEdit", QStringLiteral("ca"));
    run("hexModeRadio", "encryptButton", QStringLiteral("2"));
    expectOneMessage(QStringLiteral("加密失败!n 须为不小于 3 的奇数."));

    // Big integers go whole through both conversions.
    useKey(key1);
    const QString big = QStringLiteral("1234567890").repeated(12);
    const QString cipher = run("decimalModeRadio", "encryptButton", big);
    EXPECT_NE(cipher, big);
    EXPECT_EQ(run("decimalModeRadio", "decryptButton", cipher), big);
}

TEST_F(RsaPaneTest, TextRoundTripKeepsEveryByte) {
    useKey(key1);
    QString text = QStringLiteral("中文 RSA\n第二行");
    text.append(QChar(0)).append(QStringLiteral("end"));
    text += QString(3000, QLatin1Char('x')); // past any fixed buffer of a few thousand bytes
    const QString cipher = run("textModeRadio", "encryptButton", text);
    ASSERT_FALSE(cipher.isEmpty());
    QString shown = text;
    shown.replace(QChar(0), QChar(0x2400));
    EXPECT_EQ(run("textModeRadio", "decryptButton", cipher), shown);
    EXPECT_TRUE(services.messages.isEmpty());

    // Another key of the same size: the ciphertext is refused, the output stays.
    useKey(key2);
    EXPECT_EQ(run("textModeRadio", "decryptButton", cipher), shown);
    expectOneMessage(QStringLiteral("解密失败!密文不是用这个密匙加密的."));
    run("textModeRadio", "decryptButton", QStringLiteral("zz"));
    expectOneMessage(QStringLiteral("解密失败!密文已损坏或格式不对."));

    // A key too short for the string format.
    typeKey("nEdit", QStringLiteral("cb"));
    typeKey("eEdit", QStringLiteral("5"));
    run("textModeRadio", "encryptButton", QStringLiteral("a"));
    expectOneMessage(QStringLiteral("加密失败!n 太小, 至少需要 113 位."));
}

TEST_F(RsaPaneTest, FileRoundTripAndFailures) {
    useKey(key1);
    QByteArray plain(70000, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(plain.data()), plain.size() / 4);
    const QString input = writeFile(QStringLiteral("输入.bin"), plain);
    const QString encrypted = dir.filePath(QStringLiteral("加密.dat"));
    const QString decrypted = dir.filePath("back.bin");
    auto fileCommand = [&](const char* button, const QString& from, const QString& to) {
        find<QLineEdit>("inputPathEdit")->setText(from);
        find<QLineEdit>("outputPathEdit")->setText(to);
        click(button);
    };

    fileCommand("encryptFileButton", input, encrypted);
    expectOneMessage(QStringLiteral("加密成功!"), MessageKind::Information);
    fileCommand("decryptFileButton", encrypted, decrypted);
    expectOneMessage(QStringLiteral("解密成功!"), MessageKind::Information);
    EXPECT_EQ(readFile(decrypted), plain);

    useKey(key2);
    fileCommand("decryptFileButton", encrypted, dir.filePath("wrong.bin"));
    expectOneMessage(QStringLiteral("解密失败!密文不是用这个密匙加密的."));
    EXPECT_FALSE(QFile::exists(dir.filePath("wrong.bin")));
    fileCommand("encryptFileButton", dir.filePath("missing"), encrypted);
    expectOneMessage(QStringLiteral("加密失败!不能读入输入文件."));
    fileCommand("encryptFileButton", input, input);
    expectOneMessage(QStringLiteral("加密失败!输入和输出不能是同一个文件."));
    fileCommand("encryptFileButton", input, dir.filePath("no/such/folder/out"));
    expectOneMessage(QStringLiteral("加密失败!不能写入输出文件."));
    // What stands at the output and is no regular file stays as it is.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    fileCommand("encryptFileButton", input, fifo);
    expectOneMessage(QStringLiteral("加密失败!不能写入输出文件."));
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_EQ(readFile(input), plain);

    // Keys that would encrypt nothing: e = 1, or a prime n (2^127 - 1).
    typeKey("eEdit", QStringLiteral("1"));
    fileCommand("encryptFileButton", input, encrypted);
    expectOneMessage(QStringLiteral("加密失败!e 须为大于 1 的奇数."));
    typeKey("nEdit", QStringLiteral("7fffffffffffffffffffffffffffffff"));
    typeKey("eEdit", QStringLiteral("3"));
    run("textModeRadio", "encryptButton", QStringLiteral("abc"));
    expectOneMessage(QStringLiteral("加密失败!n 是素数, 谁都能解密."));
}

TEST_F(RsaPaneTest, LongTextsAndFilesRunOffTheWindowAndEscCancelsThem) {
    useKey(key1);
    // A long text goes block by block on a worker; its ciphertext shows whole.
    const QString text = QStringLiteral("长文本 long text ").repeated(12000);
    const QString cipher = run("textModeRadio", "encryptButton", text);
    ASSERT_GT(cipher.size(), text.size());
    EXPECT_EQ(run("textModeRadio", "decryptButton", cipher), text);
    EXPECT_TRUE(services.messages.isEmpty());

    // Esc stops a file command: no output, the old one as it was.
    const QString input = writeFile(QStringLiteral("big.bin"), QByteArray(4 * 1024 * 1024, 'r'));
    const QString sealed = writeFile(QStringLiteral("sealed.dat"), "old");
    find<QLineEdit>("inputPathEdit")->setText(input);
    find<QLineEdit>("outputPathEdit")->setText(sealed);
    QTest::mouseClick(find<QPushButton>("encryptFileButton"), Qt::LeftButton);
    ASSERT_TRUE(pane->jobRunning());
    QTest::keyClick(pane->window(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !pane->jobRunning(); }, 120000));
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_EQ(readFile(sealed), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(RsaPaneTest, WithoutAComponentEveryCommandFailsCleanly) {
    useKey(key1);
    SetRsaComponent(nullptr);
    find<QLineEdit>("inputPathEdit")->setText(writeFile("in", "abc"));
    find<QLineEdit>("outputPathEdit")->setText(dir.filePath("out"));
    click("encryptFileButton");
    expectOneMessage(QStringLiteral("加密失败!没有可用的 RSA 组件."));
    run("textModeRadio", "decryptButton", QStringLiteral("00"));
    expectOneMessage(QStringLiteral("解密失败!没有可用的 RSA 组件."));
    run("decimalModeRadio", "encryptButton", QStringLiteral("5"));
    expectOneMessage(QStringLiteral("加密失败!没有可用的 RSA 组件."));
    expectKey(key1.n, key1.e, key1.d);
    EXPECT_EQ(output(), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath("out")));
}

} // namespace
} // namespace qh
