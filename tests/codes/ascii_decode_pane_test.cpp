#include "ascii_decode_pane.h"
#include "recording_services.h"
#include "text_codec.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
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

const QByteArray kDemoFile = "[ASCII]\r\n"
                             "copyerr1=false\r\nbase1=8\r\nend1=\r\nhead1=\r\nname1=octal\r\n"
                             "copyerr0=true\r\nbase0=10\r\nend0=;\r\nhead0=#\r\nname0=demo\r\n"
                             "count=2\r\n";

class DecodePaneTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("quillhorn.conf")); }
    void writeSettings(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray settingsBytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Constructs the pane (which loads the settings) and opens its window.
    void start() {
        pane = std::make_unique<CASCIIU>(services, path().toStdString());
        pane->createWindow(&host);
        host.show();
    }
    template <typename T> T* find(const char* name) {
        T* widget = pane->window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QString output() { return find<QPlainTextEdit>("outputEdit")->toPlainText(); }
    void decode(const QString& text) {
        find<QPlainTextEdit>("inputEdit")->setPlainText(text);
        click("decodeButton");
    }
    // Picks a setting from the open list, as a user does.
    void choose(int index) {
        auto* list = find<QComboBox>("settingsCombo");
        list->showPopup();
        QAbstractItemView* view = list->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(index, 0)).center());
    }
    void saveAs(const QString& name) {
        find<QComboBox>("settingsCombo")->setEditText(name);
        click("saveSettingButton");
    }

    QTemporaryDir dir;
    QWidget host;
    test::RecordingServices services;
    std::unique_ptr<CASCIIU> pane;
};

TEST_F(DecodePaneTest, WithoutASettingsFileTheBaseMustBeChosen) {
    start();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("Cannot open file ") + path() + QStringLiteral(" for read."));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("加载配置文件失败"));
    EXPECT_EQ(services.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(services.messages[0].owner, nullptr);
    EXPECT_TRUE(pane->settings().empty());
    EXPECT_EQ(find<QComboBox>("settingsCombo")->count(), 0);
    EXPECT_EQ(find<QComboBox>("baseCombo")->currentIndex(), -1);
    EXPECT_TRUE(find<QCheckBox>("showErrorsCheck")->isChecked());

    decode(QStringLiteral("65"));
    EXPECT_EQ(output(), QStringLiteral("Error: Please choose use hex or oct."));
    EXPECT_TRUE(pane->result().isEmpty());

    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    decode(QStringLiteral("414243"));
    EXPECT_EQ(output(), QStringLiteral("ABC"));
    EXPECT_EQ(services.messages.size(), 1); // the load message came once
}

TEST_F(DecodePaneTest, ABrokenFileLeavesNoSetting) {
    writeSettings("[ASCII]\r\nname1=b\r\nhead1=\r\nend1=\r\nbase1=10\r\ncopyerr1=true\r\n"
                  "name0=a\r\nhead0=\r\nend0=\r\nbase0=10\r\ncopyerr0=true\r\ncount=3\r\n");
    start();
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("No Such Option Find."));
    EXPECT_TRUE(pane->settings().empty());
}

TEST_F(DecodePaneTest, SettingsAreListedAndApplied) {
    writeSettings(kDemoFile);
    start();
    EXPECT_TRUE(services.messages.isEmpty());
    ASSERT_EQ(pane->settings().size(), 2u);
    auto* list = find<QComboBox>("settingsCombo");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("demo"));
    EXPECT_EQ(find<QComboBox>("baseCombo")->currentIndex(), 0);
    EXPECT_EQ(find<QLineEdit>("prefixEdit")->text(), QStringLiteral("#"));
    EXPECT_EQ(find<QLineEdit>("suffixEdit")->text(), QStringLiteral(";"));
    EXPECT_TRUE(find<QRadioButton>("copyErrorsRadio")->isChecked());

    decode(QStringLiteral("#65;x#66;"));
    EXPECT_EQ(output(), QStringLiteral("AxB\nError 1: the 4 char not match prefix,char x has copy to result."));
    EXPECT_EQ(pane->result(), QByteArray("AxB"));

    // A setting of base 8 changes everything but the base.
    choose(1);
    EXPECT_EQ(find<QComboBox>("baseCombo")->currentIndex(), 0);
    EXPECT_TRUE(find<QLineEdit>("prefixEdit")->text().isEmpty());
    EXPECT_TRUE(find<QRadioButton>("ignoreErrorsRadio")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("copyErrorsRadio")->isChecked());
}

TEST_F(DecodePaneTest, SavingRefusesAListedNameAndStoresNoBaseAsZero) {
    writeSettings(kDemoFile);
    start();
    const QByteArray before = settingsBytes();
    saveAs(QStringLiteral("DEMO"));
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("名称 DEMO 已经存在,请输入其他名称!"));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("Failed"));
    EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(pane->settings().size(), 2u);
    EXPECT_EQ(settingsBytes(), before);

    find<QComboBox>("baseCombo")->setCurrentIndex(-1);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("&#"));
    saveAs(QStringLiteral("nobase"));
    EXPECT_EQ(services.messages.size(), 1);
    EXPECT_EQ(settingsBytes(), "[ASCII]\r\ncopyerr2=true\r\nbase2=0\r\nend2=;\r\nhead2=&#\r\nname2=nobase\r\n" +
                                   before.mid(9).replace("count=2", "count=3"));
    auto* list = find<QComboBox>("settingsCombo");
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentIndex(), 0); // saving does not change the selection

    // Applying the base-0 setting leaves the base list as it is.
    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    choose(2);
    EXPECT_EQ(find<QComboBox>("baseCombo")->currentIndex(), 1);
    EXPECT_EQ(find<QLineEdit>("prefixEdit")->text(), QStringLiteral("&#"));
}

TEST_F(DecodePaneTest, TypingANameChangesNoChoiceAndAListedNameIsRefusedAsTyped) {
    writeSettings(kDemoFile);
    start();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    auto* list = find<QComboBox>("settingsCombo");
    auto* prefix = find<QLineEdit>("prefixEdit");
    auto* name = list->lineEdit();
    choose(1); // octal: no prefix, ignore wrong input
    QTest::mouseClick(prefix, Qt::LeftButton);
    QTest::keyClicks(prefix, QStringLiteral("&#"));
    const QByteArray before = settingsBytes();
    // Typed names stay as typed: "de" is not completed to "demo", and a listed
    // name, in any letter case, is no choice of that setting.
    for (const QString& typed : {QStringLiteral("demo"), QStringLiteral("DEMO")}) {
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, typed);
        click("saveSettingButton");
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].text,
                  QStringLiteral("名称 ") + typed + QStringLiteral(" 已经存在,请输入其他名称!"));
        services.messages.clear();
        EXPECT_EQ(name->text(), typed);
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_EQ(prefix->text(), QStringLiteral("&#"));
        EXPECT_TRUE(find<QRadioButton>("ignoreErrorsRadio")->isChecked());
        EXPECT_EQ(settingsBytes(), before);
    }
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, QStringLiteral("de"));
    click("saveSettingButton");
    EXPECT_TRUE(services.messages.isEmpty());
    ASSERT_EQ(pane->settings().size(), 3u);
    EXPECT_EQ(pane->settings()[2].name, "de");
    EXPECT_EQ(pane->settings()[2].head, "&#");

    // Choosing the chosen setting again brings it back.
    choose(1);
    EXPECT_TRUE(prefix->text().isEmpty());
}

TEST_F(DecodePaneTest, ATextTheFileCannotHoldIsRefusedNamingItsBox) {
    writeSettings(kDemoFile);
    start();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    const QByteArray before = settingsBytes();
    auto* prefix = find<QLineEdit>("prefixEdit");
    QGuiApplication::clipboard()->setText(QStringLiteral("&#\r\n"));
    QTest::mouseClick(prefix, Qt::LeftButton);
    QTest::keyClick(prefix, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(prefix, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(prefix->text().contains(QLatin1Char('\n')));
    saveAs(QStringLiteral("fresh"));
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("前缀中有换行, 不能保存到设置文件!"));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("写入文件错误."));
    EXPECT_EQ(services.messages[0].kind, MessageKind::Error);
    services.messages.clear();

    prefix->setText(QStringLiteral("&#"));
    find<QLineEdit>("suffixEdit")->setText(QString(1100, QLatin1Char(';')));
    saveAs(QStringLiteral("fresh"));
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("后缀太长, 不能保存到设置文件!"));
    EXPECT_EQ(pane->settings().size(), 2u);
    EXPECT_EQ(find<QComboBox>("settingsCombo")->count(), 2);
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(DecodePaneTest, AFailedSaveUsesUpNoIndex) {
    writeSettings("[ASCII]\r\ncount=0\r\n");
    start();
    find<QComboBox>("baseCombo")->setCurrentIndex(0);
    saveAs(QStringLiteral("first"));
    EXPECT_TRUE(settingsBytes().contains("name0=first"));

    const QByteArray good = settingsBytes();
    QFile::remove(path());
    saveAs(QStringLiteral("lost"));
    ASSERT_EQ(services.messages.size(), 1);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("Cannot open file ") + path() + QStringLiteral(" for read."));
    EXPECT_EQ(services.messages[0].caption, QStringLiteral("写入文件错误."));
    EXPECT_EQ(pane->settings().size(), 2u); // usable until the program ends

    writeSettings(good);
    saveAs(QStringLiteral("third"));
    EXPECT_TRUE(settingsBytes().contains("name1=third"));
    EXPECT_TRUE(settingsBytes().contains("count=2"));

    CASCIIU next(services, path().toStdString());
    ASSERT_EQ(next.settings().size(), 2u);
    EXPECT_EQ(next.settings()[1].name, "third");
}

TEST_F(DecodePaneTest, AfterAFailedLoadTheNextSaveWritesIndexZero) {
    writeSettings("[ASCII]\r\nname0=old\r\ncount=3\r\n");
    start();
    ASSERT_EQ(services.messages.size(), 1);
    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    saveAs(QStringLiteral("new"));
    EXPECT_TRUE(
        settingsBytes().startsWith("[ASCII]\r\ncopyerr0=false\r\nbase0=16\r\nend0=\r\nhead0=\r\nname0=new\r\n"));
    EXPECT_TRUE(settingsBytes().contains("count=1"));
    CASCIIU next(services, path().toStdString());
    ASSERT_EQ(next.settings().size(), 1u);
    EXPECT_EQ(next.settings()[0].name, "new");
}

TEST_F(DecodePaneTest, TheReportIsShownOnDemandAndNeverCopied) {
    writeSettings(kDemoFile);
    start();
    find<QRadioButton>("ignoreErrorsRadio")->setChecked(true);
    decode(QStringLiteral("#65;?#0;#66;"));
    const QString report = QStringLiteral("\nError 1: the 4 char not match prefix,char ? has passed.");
    EXPECT_EQ(output(), QStringLiteral("A\u2400B") + report);
    EXPECT_EQ(pane->result(), QByteArray("A\0B", 3));

    find<QCheckBox>("showErrorsCheck")->setChecked(false);
    EXPECT_EQ(output(), QStringLiteral("A\u2400B"));
    find<QCheckBox>("showErrorsCheck")->setChecked(true);
    EXPECT_EQ(output(), QStringLiteral("A\u2400B") + report);

    click("copyButton");
    EXPECT_EQ(services.clipboard, QByteArray("A"));
    services.fileAnswers = {dir.filePath(QStringLiteral("out.txt"))};
    click("saveButton");
    QFile saved(dir.filePath(QStringLiteral("out.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("A\0B", 3));

    // The base-choice message follows the last result when the report is toggled.
    find<QComboBox>("baseCombo")->setCurrentIndex(-1);
    click("decodeButton");
    EXPECT_EQ(output(), QStringLiteral("Error: Please choose use hex or oct."));
    find<QCheckBox>("showErrorsCheck")->setChecked(false);
    find<QCheckBox>("showErrorsCheck")->setChecked(true);
    EXPECT_EQ(output(), QStringLiteral("A\u2400BError: Please choose use hex or oct."));

    // A new window starts with an empty output while copy still has the result.
    pane->destroyWindow();
    pane->createWindow(&host);
    EXPECT_TRUE(output().isEmpty());
    EXPECT_EQ(pane->result(), QByteArray("A\0B", 3));
}

} // namespace
} // namespace qh

namespace qh {
namespace {

TEST_F(DecodePaneTest, TheShippedSettingsDecodeAndTakeANewOne) {
    QFile shipped(QStringLiteral(QH_SOURCE_DIR "/res/quillhorn.conf"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    writeSettings(shipped.readAll());
    start();
    EXPECT_TRUE(services.messages.isEmpty());
    ASSERT_EQ(pane->settings().size(), 6u);

    const std::pair<int, QString> cases[] = {
        {0, QStringLiteral("a%20b%E4%B8%AD")},   {1, QStringLiteral("&#72;&#105;")},
        {2, QStringLiteral("\\x48\\x69")},       {3, QStringLiteral("72 105")},
        {4, QStringLiteral("&#20320;&#22909;")}, {5, QStringLiteral("\\u4F60\\u597D")}};
    const QByteArray expected[] = {
        QByteArray("a b\xE4\xB8\xAD"), "Hi", "Hi", "Hi", "\xC4\xE3\xBA\xC3", "\xC4\xE3\xBA\xC3"};
    for (const auto& [index, text] : cases) {
        SCOPED_TRACE(index);
        choose(index);
        decode(text);
        EXPECT_EQ(pane->result(), expected[index]);
    }

    find<QComboBox>("baseCombo")->setCurrentIndex(1);
    saveAs(QStringLiteral("mine"));
    EXPECT_TRUE(services.messages.isEmpty());
    CASCIIU next(services, path().toStdString());
    ASSERT_EQ(next.settings().size(), 7u);
    EXPECT_EQ(next.settings()[6].name, "mine");
    EXPECT_TRUE(next.settings()[5].unicode);
    EXPECT_FALSE(next.settings()[6].unicode);
    EXPECT_EQ(next.settings()[0].head, "%");
}

// A code-point setting keeps its mode in the file; decoded characters follow
// the chosen code page into bytes, and one it cannot hold is named.
TEST_F(DecodePaneTest, CodePointSettingsKeepTheirModeAndResultsFollowTheCodePage) {
    struct DefaultPageAfterwards {
        ~DefaultPageAfterwards() { setCurrentCodePage(kDefaultCodePage); }
    } restore;
    writeSettings(kDemoFile);
    start();
    auto* base = find<QComboBox>("baseCombo");
    ASSERT_EQ(base->count(), 4);
    base->setCurrentIndex(3);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("\\u"));
    find<QLineEdit>("suffixEdit")->clear();
    saveAs(QStringLiteral("points"));
    EXPECT_TRUE(services.messages.isEmpty());
    EXPECT_TRUE(settingsBytes().startsWith("[ASCII]\r\nunicode2=true\r\ncopyerr2=true\r\nbase2=16\r\nend2=\r\n"
                                           "head2=\\u\r\nname2=points\r\n"));
    CASCIIU next(services, path().toStdString());
    ASSERT_EQ(next.settings().size(), 3u);
    EXPECT_FALSE(next.settings()[0].unicode);
    EXPECT_TRUE(next.settings()[2].unicode);
    choose(0);
    EXPECT_EQ(base->currentIndex(), 0);
    choose(2);
    EXPECT_EQ(base->currentIndex(), 3);

    auto* warning = find<QLabel>("outputEditWarning");
    decode(QStringLiteral("\\u4F60\\u597D\\u0E01"));
    EXPECT_EQ(pane->result(), QByteArray("\xC4\xE3\xBA\xC3?"));
    EXPECT_TRUE(warning->isVisible());
    EXPECT_TRUE(warning->text().contains(QStringLiteral("U+0E01")));
    setCurrentCodePage(CodePage::Utf8);
    EXPECT_EQ(pane->result(), QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD\xE0\xB8\x81"));
    EXPECT_EQ(output(), QStringLiteral("你好\u0E01"));
    EXPECT_FALSE(warning->isVisible());
    click("copyButton");
    EXPECT_EQ(services.clipboard, pane->result());

    // Decoded bytes stay as they are and are shown in the chosen page.
    base->setCurrentIndex(1);
    find<QLineEdit>("prefixEdit")->setText(QStringLiteral("%"));
    decode(QStringLiteral("%E4%BD%A0"));
    EXPECT_EQ(output(), QStringLiteral("你"));
    setCurrentCodePage(CodePage::Gbk);
    EXPECT_EQ(pane->result(), QByteArray("\xE4\xBD\xA0"));
    EXPECT_EQ(output(), fromTextBytes(QByteArray("\xE4\xBD\xA0"), CodePage::Gbk));
}

} // namespace
} // namespace qh
