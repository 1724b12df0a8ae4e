#include "md5.h"
#include "md5_pane.h"
#include "pane_test_fixture.h"
#include "text_codec.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
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

const QString kEmptyDigest = QStringLiteral("d41d8cd98f00b204e9800998ecf8427e");
const QString kAbcDigest = QStringLiteral("900150983cd24fb0d6963f7d28e17f72");

class Md5PaneTest : public test::PaneTest<CMD5> {
protected:
    void choose(const char* radio) { QTest::mouseClick(find<QRadioButton>(radio), Qt::LeftButton); }
    QString output() { return find<QLineEdit>("outputEdit")->text(); }

    // Computes the digest of `text` read as the input radio `kind` says.
    QString digest(const char* kind, const QString& text) {
        choose(kind);
        if (QString::fromLatin1(kind) == QStringLiteral("fileRadio"))
            find<QLineEdit>("pathEdit")->setText(text);
        else
            find<QPlainTextEdit>("inputEdit")->setPlainText(text);
        click("computeButton");
        return output();
    }
};

TEST_F(Md5PaneTest, StartsWithTextInputAndSwitchesTheEditsByRadio) {
    EXPECT_TRUE(find<QRadioButton>("textRadio")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("digits32Radio")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("upperCaseRadio")->isChecked());
    EXPECT_FALSE(find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("browseButton")->isEnabled());
    EXPECT_TRUE(find<QPlainTextEdit>("inputEdit")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("outputEdit")->isReadOnly());

    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("kept"));
    choose("fileRadio");
    EXPECT_TRUE(find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("browseButton")->isEnabled());
    EXPECT_FALSE(find<QPlainTextEdit>("inputEdit")->isEnabled());
    services.fileAnswers = {dir.filePath(QStringLiteral("chosen"))};
    click("browseButton");
    EXPECT_EQ(find<QLineEdit>("pathEdit")->text(), dir.filePath(QStringLiteral("chosen")));
    choose("hashValueRadio");
    EXPECT_FALSE(find<QLineEdit>("pathEdit")->isEnabled());
    EXPECT_TRUE(find<QPlainTextEdit>("inputEdit")->isEnabled());
    EXPECT_EQ(find<QPlainTextEdit>("inputEdit")->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(find<QLineEdit>("pathEdit")->text(), dir.filePath(QStringLiteral("chosen")));
}

TEST_F(Md5PaneTest, ShowsTheDigestIn16Or32DigitsOfEitherCase) {
    struct Case {
        const char* digits;
        const char* letters;
        QString text;
        QString shown;
    };
    const Case cases[] = {
        {"digits32Radio", "lowerCaseRadio", QString(), kEmptyDigest},
        {"digits32Radio", "upperCaseRadio", QString(), kEmptyDigest.toUpper()},
        {"digits32Radio", "lowerCaseRadio", QStringLiteral("abc"), kAbcDigest},
        {"digits16Radio", "lowerCaseRadio", QStringLiteral("abc"), QStringLiteral("3cd24fb0d6963f7d")},
        {"digits16Radio", "upperCaseRadio", QStringLiteral("abc"), QStringLiteral("3CD24FB0D6963F7D")},
        // Line breaks are CR LF, Chinese text is GBK.
        {"digits32Radio", "lowerCaseRadio", QStringLiteral("a\nb"), QStringLiteral("65d5f03c46e62e3f2babbe712d2ce464")},
        {"digits32Radio", "lowerCaseRadio", QStringLiteral("中"), QStringLiteral("5301da37e5ffca1823a5cef67488d4bf")},
    };
    for (const Case& each : cases) {
        choose(each.digits);
        choose(each.letters);
        EXPECT_EQ(digest("textRadio", each.text), each.shown) << each.text.toStdString();
    }
}

TEST_F(Md5PaneTest, HashValuesArePairsOfDigits) {
    choose("lowerCaseRadio");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("61 62 63"), kAbcDigest},
        {QStringLiteral("616263"), kAbcDigest},
        {QStringLiteral("61\t62 63"), kAbcDigest},
        {QStringLiteral("00"), QStringLiteral("93b885adfe0da089cdf634904fd59f71")}, // one byte, not zero bytes
        {QStringLiteral(" \t "), kEmptyDigest},
        {QString(), kEmptyDigest},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(digest("hashValueRadio", text), shown) << text.toStdString();
    EXPECT_TRUE(services.messages.isEmpty());

    for (const QString& text : {QStringLiteral("ADE"), QStringLiteral("0x12"), QStringLiteral("A D"),
                                QStringLiteral("61\n62"), QStringLiteral("６１")}) {
        services.messages.clear();
        EXPECT_EQ(digest("hashValueRadio", text), kEmptyDigest) << text.toStdString(); // unchanged
        ASSERT_EQ(services.messages.size(), 1) << text.toStdString();
        EXPECT_EQ(services.messages[0].text, QStringLiteral("散列值必须由十六进制数组成,用空格分隔."));
        EXPECT_EQ(services.messages[0].caption, QStringLiteral("输入格式错误!"));
        EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    }
}

TEST_F(Md5PaneTest, OptionsAreReadOnlyWhenComputing) {
    EXPECT_EQ(digest("textRadio", QStringLiteral("abc")), kAbcDigest.toUpper());
    choose("digits16Radio");
    choose("lowerCaseRadio");
    EXPECT_EQ(output(), kAbcDigest.toUpper());
    click("computeButton");
    EXPECT_EQ(output(), QStringLiteral("3cd24fb0d6963f7d"));
}

TEST_F(Md5PaneTest, FilesAreDigestedWholeAndUnopenableOnesReported) {
    choose("lowerCaseRadio");
    QByteArray large;
    for (int i = 0; i < 5000; ++i)
        large.append(static_cast<char>(i * 7));
    EXPECT_EQ(digest("fileRadio", writeFile(QStringLiteral("abc.bin"), "abc")), kAbcDigest);
    EXPECT_EQ(digest("fileRadio", writeFile(QStringLiteral("large.bin"), large)),
              QString::fromStdString(Md5Buffer(std::string_view(large.constData(), large.size()))));
    EXPECT_EQ(digest("fileRadio", writeFile(QStringLiteral("empty.bin"), QByteArray())), kEmptyDigest);
    EXPECT_TRUE(services.messages.isEmpty());

    // An empty path does nothing at all.
    EXPECT_EQ(digest("fileRadio", QString()), kEmptyDigest);
    EXPECT_TRUE(services.messages.isEmpty());

    for (const QString& path : {dir.filePath(QStringLiteral("missing.bin")), dir.path()}) {
        digest("textRadio", QStringLiteral("abc"));
        services.messages.clear();
        EXPECT_TRUE(digest("fileRadio", path).isEmpty()) << path.toStdString(); // no stale digest stays
        ASSERT_EQ(services.messages.size(), 1) << path.toStdString();
        EXPECT_EQ(services.messages[0].text, QStringLiteral("不能打开文件 ") + path);
        EXPECT_EQ(services.messages[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    }
}

TEST_F(Md5PaneTest, LongPathsAreNotCut) {
    QString name = QStringLiteral("长文件名");
    while (name.size() < 200)
        name += QStringLiteral("_0123456789");
    QString path = dir.filePath(name);
    ASSERT_TRUE(QDir().mkpath(path));
    path += QLatin1Char('/') + name; // well beyond 259 characters
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    choose("lowerCaseRadio");
    EXPECT_EQ(digest("fileRadio", path), kAbcDigest);
}

// The text's bytes are those of the chosen code page: its tooltip shows them,
// and a character the page cannot hold is named under the box and taken as '?'.
TEST_F(Md5PaneTest, TheChosenCodePageGivesTheTextsBytes) {
    struct DefaultPageAfterwards {
        ~DefaultPageAfterwards() { setCurrentCodePage(kDefaultCodePage); }
    } restore;
    auto* input = find<QPlainTextEdit>("inputEdit");
    auto* warning = find<QLabel>("inputEditWarning");
    QGuiApplication::clipboard()->setText(QStringLiteral("你好"));
    input->setFocus();
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(input->toPlainText(), QStringLiteral("你好"));
    click("computeButton");
    EXPECT_EQ(output(), QStringLiteral("B94AE3C6D892B29CF48D9BEA819B27B9")); // the GBK bytes C4 E3 BA C3
    EXPECT_EQ(input->toolTip(), QStringLiteral("4 字节 (GBK): C4 E3 BA C3"));

    setCurrentCodePage(CodePage::Utf8);
    EXPECT_EQ(input->toolTip(), QStringLiteral("6 字节 (UTF-8): E4 BD A0 E5 A5 BD"));
    click("computeButton");
    EXPECT_EQ(output(), QStringLiteral("7ECA689F0D3389D9DEA66AE112E5CFD7"));
    EXPECT_FALSE(warning->isVisible());

    setCurrentCodePage(CodePage::Gbk);
    QGuiApplication::clipboard()->setText(QStringLiteral("\u0E01\n"));
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_TRUE(warning->text().contains(QStringLiteral("\u0E01"))) << warning->text().toStdString();
    EXPECT_TRUE(warning->text().contains(QStringLiteral("U+0E01")));
    EXPECT_TRUE(input->toolTip().startsWith(QStringLiteral("7 字节 (GBK): C4 E3 BA C3 3F 0D 0A")));
    click("computeButton");
    EXPECT_EQ(output(), QString::fromStdString(Md5Buffer("\xC4\xE3\xBA\xC3?\r\n")).toUpper());

    // A hash value is no text: nothing to show.
    choose("hashValueRadio");
    EXPECT_TRUE(input->toolTip().isEmpty());
    EXPECT_FALSE(warning->isVisible());
}

} // namespace
} // namespace qh
