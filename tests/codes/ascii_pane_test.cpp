#include "ascii_pane.h"
#include "recording_services.h"
#include "text_codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace qh {
namespace {

class AsciiPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        pane = std::make_unique<CASCII>(services);
        open();
    }

    void open() {
        pane->createWindow(host.get());
        host->show();
    }

    template <typename T> T* find(const char* name) {
        T* widget = pane->window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QString output() { return find<QPlainTextEdit>("outputEdit")->toPlainText(); }

    test::RecordingServices services;
    std::unique_ptr<QWidget> host;
    std::unique_ptr<CASCII> pane;
};

TEST_F(AsciiPaneTest, EncodesTypedTextWithTheChosenOptions) {
    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("1\n中"));
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("491310214208")); // CR LF, then two GBK bytes
    EXPECT_EQ(pane->codeFormat(), QByteArray("%0d"));

    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    find<QCheckBox>("lowerCaseCheck")->setChecked(true);
    QTest::keyClicks(find<QLineEdit>("widthEdit"), QStringLiteral("3x"));
    QTest::keyClicks(find<QLineEdit>("prefixEdit"), QStringLiteral("\\x"));
    QTest::keyClicks(find<QLineEdit>("suffixEdit"), QStringLiteral("%;"));
    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("a"));
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("\\x061%;"));
    EXPECT_EQ(pane->codeFormat(), QByteArray("%03x"));
    EXPECT_EQ(pane->result(), QByteArray("\\x061%;"));
}

TEST_F(AsciiPaneTest, PastedBytesAreEncodedAsPastedUntilTheBoxIsEdited) {
    services.clipboard = QByteArray("a\tb\nc\0ignored", 13);
    click("pasteButton");
    EXPECT_TRUE(pane->pastedInput());
    EXPECT_EQ(pane->rawInput(), QByteArray("a\tb\nc"));
    find<QLineEdit>("suffixEdit")->setText(QStringLiteral(" "));
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("97 9 98 10 99 ")); // the bare line feed stays one byte
    EXPECT_EQ(find<QPlainTextEdit>("inputEdit")->toolTip(), QStringLiteral("5 字节 (GBK): 61 09 62 0A 63"));

    find<QPlainTextEdit>("inputEdit")->moveCursor(QTextCursor::End);
    QTest::keyClicks(find<QPlainTextEdit>("inputEdit"), QStringLiteral("!"));
    EXPECT_FALSE(pane->pastedInput());
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("97 9 98 13 10 99 33 "));
    EXPECT_EQ(find<QPlainTextEdit>("inputEdit")->toolTip(), QStringLiteral("7 字节 (GBK): 61 09 62 0D 0A 63 21"));

    // Nothing on the clipboard: paste changes nothing and says nothing.
    services.clipboardHasText = false;
    click("pasteButton");
    EXPECT_FALSE(pane->pastedInput());
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(AsciiPaneTest, ClearKeepsTheResultForCopyAndSave) {
    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("A"));
    click("encodeButton");
    click("clearButton");
    EXPECT_TRUE(find<QPlainTextEdit>("inputEdit")->toPlainText().isEmpty());
    EXPECT_TRUE(pane->rawInput().isEmpty());
    EXPECT_EQ(output(), QStringLiteral("65"));

    click("copyButton");
    EXPECT_EQ(services.clipboard, QByteArray("65"));
    QTemporaryDir dir;
    services.fileAnswers = {dir.filePath(QStringLiteral("r.txt"))};
    click("saveButton");
    QFile saved(dir.filePath(QStringLiteral("r.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("65"));

    // Encoding an empty input empties the result; copy and save follow it.
    click("encodeButton");
    EXPECT_TRUE(output().isEmpty());
    click("copyButton");
    EXPECT_TRUE(services.clipboard.isEmpty());
}

TEST_F(AsciiPaneTest, NewWindowStartsFreshButKeepsTheLastResult) {
    services.clipboard = "xyz";
    click("pasteButton");
    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("%"));
    click("encodeButton");
    EXPECT_EQ(pane->result(), QByteArray("%78%79%7A"));

    pane->destroyWindow();
    EXPECT_EQ(pane->window(), nullptr);
    open();
    EXPECT_FALSE(pane->pastedInput());
    EXPECT_TRUE(pane->rawInput().isEmpty());
    EXPECT_EQ(pane->result(), QByteArray("%78%79%7A"));
    EXPECT_EQ(find<QComboBox>("baseCombo")->currentIndex(), 0);
    EXPECT_TRUE(find<QLineEdit>("prefixEdit")->text().isEmpty());
    EXPECT_TRUE(output().isEmpty());

    // The empty box is what gets encoded now, not the earlier paste.
    click("encodeButton");
    EXPECT_TRUE(pane->result().isEmpty());
}

TEST_F(AsciiPaneTest, EnterChangesNothing) {
    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("A"));
    QLineEdit* prefix = find<QLineEdit>("prefixEdit");
    prefix->setFocus();
    QTest::keyClick(prefix, Qt::Key_Return);
    QPushButton* encode = find<QPushButton>("encodeButton");
    encode->setFocus();
    QTest::keyClick(encode, Qt::Key_Return);
    QTest::keyClick(encode, Qt::Key_Enter);
    EXPECT_TRUE(output().isEmpty());
    EXPECT_TRUE(pane->result().isEmpty());
}

// The code-point entries of the base list write each character's code point;
// the byte entries the bytes of the chosen code page.
TEST_F(AsciiPaneTest, CodePointsOrBytesOfTheChosenCodePage) {
    struct DefaultPageAfterwards {
        ~DefaultPageAfterwards() { setCurrentCodePage(kDefaultCodePage); }
    } restore;
    auto* base = find<QComboBox>("baseCombo");
    ASSERT_EQ(base->count(), 4);
    find<QPlainTextEdit>("inputEdit")->setPlainText(QStringLiteral("你好"));
    QTest::keyClicks(find<QLineEdit>("prefixEdit"), QStringLiteral("&#"));
    QTest::keyClicks(find<QLineEdit>("suffixEdit"), QStringLiteral(";"));
    base->setCurrentIndex(CASCII::kFirstCodePointEntry);
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("&#20320;&#22909;"));
    EXPECT_EQ(pane->codeFormat(), QByteArray("%0d"));

    base->setCurrentIndex(CASCII::kFirstCodePointEntry + 1);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("\\u"));
    find<QLineEdit>("suffixEdit")->clear();
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("\\u4F60\\u597D"));

    // Bytes: GBK by default, UTF-8 when chosen; UTF-16 writes the result in UTF-16.
    base->setCurrentIndex(1);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("%"));
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("%C4%E3%BA%C3"));
    setCurrentCodePage(CodePage::Utf8);
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("%E4%BD%A0%E5%A5%BD"));
    setCurrentCodePage(CodePage::Utf16Be);
    click("encodeButton");
    EXPECT_EQ(output(), QStringLiteral("%4F%60%59%7D"));
    EXPECT_EQ(pane->result(), QByteArray("\0%\0"
                                         "4\0F\0%\0"
                                         "6\0"
                                         "0\0%\0"
                                         "5\0"
                                         "9\0%\0"
                                         "7\0D",
                                         24));
    click("copyButton");
    EXPECT_EQ(services.clipboard, pane->result()) << "no zero byte cuts a UTF-16 text";
}

} // namespace
} // namespace qh
