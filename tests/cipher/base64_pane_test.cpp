#include "base64_pane.h"
#include "pane_test_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace qh {
namespace {

class Base64PaneTest : public test::PaneTest<CBASE> {
protected:
    QString run(const char* button, const QString& text) {
        find<QPlainTextEdit>("inputEdit")->setPlainText(text);
        click(button);
        return find<QPlainTextEdit>("outputEdit")->toPlainText();
    }
    void files(const QString& input, const QString& output) {
        find<QLineEdit>("inputPathEdit")->setText(input);
        find<QLineEdit>("outputPathEdit")->setText(output);
    }
};

TEST_F(Base64PaneTest, StringsEncodeAndDecodeEveryByte) {
    EXPECT_TRUE(find<QPlainTextEdit>("outputEdit")->isReadOnly());
    EXPECT_EQ(run("encodeButton", QStringLiteral("ABC")), QStringLiteral("QUJD"));
    EXPECT_EQ(run("encodeButton", QStringLiteral("中\n")), QStringLiteral("1tANCg==")); // GBK, CR LF
    EXPECT_EQ(run("decodeButton", QStringLiteral("1tANCg==")), QStringLiteral("中\n"));
    EXPECT_EQ(run("decodeButton", QStringLiteral("QU\nJ D")), QStringLiteral("ABC"));
    EXPECT_EQ(run("decodeButton", QStringLiteral("QQ==QUJD")), QStringLiteral("A"));
    // A zero byte does not cut the text.
    EXPECT_EQ(run("decodeButton", QStringLiteral("QQBC")), QStringLiteral("A") + QChar(0x2400) + QStringLiteral("B"));
    // An empty input leaves the output as it was.
    EXPECT_EQ(run("encodeButton", QString()), QStringLiteral("A") + QChar(0x2400) + QStringLiteral("B"));
    EXPECT_EQ(run("decodeButton", QString()), QStringLiteral("A") + QChar(0x2400) + QStringLiteral("B"));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(Base64PaneTest, FilesRoundTripAndReportTheirFailures) {
    QByteArray data;
    for (int i = 0; i < 301; ++i)
        data.append(static_cast<char>(i * 37));
    const QString plain = writeFile(QStringLiteral("plain.bin"), data);
    const QString encoded = dir.filePath(QStringLiteral("encoded.txt"));
    const QString decoded = dir.filePath(QStringLiteral("decoded.bin"));

    files(plain, encoded);
    click("encodeFileButton");
    expectOneMessage(QStringLiteral("加密成功!"), QStringLiteral("SUCESSFULL"), MessageKind::Information);
    const QByteArray text = readFile(encoded);
    EXPECT_EQ(text.size(), 404);
    EXPECT_TRUE(text.endsWith("=="));

    // Wrapped at 76 columns, it still decodes to the same bytes.
    QByteArray wrapped;
    for (qsizetype at = 0; at < text.size(); at += 76)
        wrapped += text.mid(at, 76) + "\r\n";
    files(writeFile(QStringLiteral("wrapped.txt"), wrapped), decoded);
    click("decodeFileButton");
    expectOneMessage(QStringLiteral("解密成功!"), QStringLiteral("SUCESSFULL"), MessageKind::Information);
    EXPECT_EQ(readFile(decoded), data);

    // Browse fills the boxes.
    services.fileAnswers = {plain, encoded};
    click("inputBrowseButton");
    click("outputBrowseButton");
    EXPECT_EQ(find<QLineEdit>("inputPathEdit")->text(), plain);
    EXPECT_EQ(find<QLineEdit>("outputPathEdit")->text(), encoded);

    const QString missing = dir.filePath(QStringLiteral("missing"));
    files(missing, encoded);
    click("encodeFileButton");
    expectOneMessage(QStringLiteral("不能打开文件 ") + missing + QStringLiteral(" !"), QStringLiteral("ERROR"),
                     MessageKind::Error);
    const QString unwritable = dir.filePath(QStringLiteral("no/such/file"));
    files(plain, unwritable);
    click("decodeFileButton");
    expectOneMessage(QStringLiteral("不能打开文件 ") + unwritable + QStringLiteral(" !"), QStringLiteral("ERROR"),
                     MessageKind::Error);
    files(QString(), QString());
    click("encodeFileButton");
    expectOneMessage(QStringLiteral("不能打开文件  !"), QStringLiteral("ERROR"), MessageKind::Error);

    // Only a regular file is read: a pipe nobody writes would hang the window,
    // /dev/zero would fill the disk. Neither leaves an output.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& special : {fifo, QStringLiteral("/dev/zero")}) {
        files(special, dir.filePath(QStringLiteral("never")));
        for (const char* command : {"encodeFileButton", "decodeFileButton"}) {
            click(command);
            expectOneMessage(QStringLiteral("不能打开文件 ") + special + QStringLiteral(" !"), QStringLiteral("ERROR"),
                             MessageKind::Error);
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never"))));

    // The same file under another name is refused and stays as it was.
    ASSERT_TRUE(QFile::link(plain, dir.filePath(QStringLiteral("link"))));
    for (const QString& same : {plain, dir.filePath(QStringLiteral("link"))}) {
        files(plain, same);
        for (const char* command : {"encodeFileButton", "decodeFileButton"}) {
            click(command);
            expectOneMessage(QStringLiteral("输入和输出不能是同一个文件!"), QStringLiteral("ERROR"),
                             MessageKind::Error);
        }
    }
    EXPECT_EQ(readFile(plain), data);
}

} // namespace
} // namespace qh
