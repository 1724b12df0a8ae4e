#include "ascii_pane.h"
#include "code_page_choice.h"
#include "qt_translations.h"
#include "recording_services.h"
#include "rsa_loader.h"
#include "text_codec.h"
#include "toolbox_app.h"
#include "toolbox_dlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace qh {
namespace {

// The decoder pane reads its settings file from the current directory when the
// main window starts; give every test one, so that start-up shows no message.
class SettingsFolder : public ::testing::Environment {
public:
    void SetUp() override {
        QFile file(folder_.filePath(QStringLiteral("quillhorn.conf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[ASCII]\r\ncount=0\r\n");
        previous_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
    }
    void TearDown() override { QDir::setCurrent(previous_); }

private:
    QTemporaryDir folder_;
    QString previous_;
};
const auto* const kSettingsFolder = ::testing::AddGlobalTestEnvironment(new SettingsFolder);

bool anyVisibleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            return true;
    return false;
}

TEST(ToolboxApp, StartUpEndsWithOneMessageWhenTheComponentIsUnusable) {
    for (const char* path : {"/nonexistent/libquillhorn-rsa.so", QH_TEST_NO_ENTRY, QH_TEST_NO_INTERFACE}) {
        SCOPED_TRACE(path);
        test::RecordingServices services;
        CToolboxApp app(services);
        app.setComponentPath(path);
        bool windowShown = false;
        app.setWindowHook([&](CToolboxDlg&) { windowShown = true; });
        EXPECT_EQ(app.InitInstance(), 1);
        EXPECT_FALSE(windowShown);
        EXPECT_FALSE(anyVisibleWindow());
        EXPECT_EQ(RsaComponent(), nullptr);
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("初始化 RSA 组件失败!"));
        EXPECT_TRUE(services.messages[0].caption.isEmpty()); // the application's name
        EXPECT_EQ(services.messages[0].kind, MessageKind::Plain);
    }
}

TEST(ToolboxApp, RunsTheWindowWithTheComponentAndReleasesItAtTheEnd) {
    test::RecordingServices services;
    CToolboxApp app(services);
    app.setComponentPath(QH_TEST_COMPONENT);
    IRsaComponent* duringRun = nullptr;
    app.setWindowHook([&](CToolboxDlg& dialog) {
        duringRun = RsaComponent();
        dialog.setFadeMilliseconds(0);
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
    });
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_NE(duringRun, nullptr);
    EXPECT_EQ(RsaComponent(), nullptr);
    EXPECT_TRUE(services.messages.isEmpty());
}

class ToolboxDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<CToolboxDlg>(services);
        dialog->setFadeMilliseconds(0);
        ASSERT_TRUE(dialog->OnInitDialog());
        dialog->show();
    }

    void clickItem(int index) {
        CXTOutBarCtrl* bar = dialog->bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->iconRect(index).center());
    }
    void clickFolder(int folder) {
        CXTOutBarCtrl* bar = dialog->bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->folderRect(folder).center());
    }
    QPlainTextEdit* asciiInput() {
        return dialog->currentPane()->window()->findChild<QPlainTextEdit*>(QStringLiteral("inputEdit"));
    }

    test::RecordingServices services;
    std::unique_ptr<CToolboxDlg> dialog;
};

TEST_F(ToolboxDlgTest, BarShowsTheTableAndThePictureFillsThePaneArea) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Quillhorn 2.1 -- https://quillhorn.example.org/"));
    CXTOutBarCtrl* bar = dialog->bar();
    ASSERT_EQ(bar->folderCount(), 5);
    const int counts[] = {3, 4, 1, 2, 3};
    const QString folders[] = {QStringLiteral("字符编码转换"), QStringLiteral("散列加密算法"),
                               QStringLiteral("分组加密算法"), QStringLiteral("公开密匙算法"),
                               QStringLiteral("关于这个软件")};
    for (int f = 0; f < 5; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(bar->folderText(f), folders[f]);
        bar->setSelectedFolder(f);
        EXPECT_EQ(bar->selectedFolder(), f);
        ASSERT_EQ(bar->itemCount(), counts[f]);
        for (int p = 0; p < counts[f]; ++p) {
            EXPECT_EQ(bar->itemText(p), dialog->navItem(f, p).itemText);
            EXPECT_EQ(bar->itemImage(p), dialog->navItem(f, p).imageIndex);
            ASSERT_NE(dialog->navItem(f, p).pane, nullptr);
        }
    }
    EXPECT_EQ(dialog->navItem(3, 1).itemText, QStringLiteral(" RSA 工具"));
    EXPECT_EQ(dialog->currentPane(), nullptr);
    auto* picture = dialog->findChild<QLabel*>(QStringLiteral("pictureLabel"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), dialog->paneArea().size());
}

TEST_F(ToolboxDlgTest, SwitchingShowsFreshWindowsWhilePaneObjectsKeepTheirFields) {
    clickItem(0);
    ToolPane* ascii = dialog->currentPane();
    ASSERT_NE(ascii, nullptr);
    EXPECT_STREQ(ascii->className(), "CASCII");
    EXPECT_EQ(ascii->window()->geometry(), dialog->paneArea());
    QTest::keyClicks(asciiInput(), QStringLiteral("A"));
    QTest::mouseClick(ascii->window()->findChild<QPushButton*>(QStringLiteral("encodeButton")), Qt::LeftButton);

    // Clicking the shown item keeps what was typed.
    clickItem(0);
    EXPECT_EQ(dialog->currentPane(), ascii);
    EXPECT_EQ(asciiInput()->toPlainText(), QStringLiteral("A"));

    // Enter in the main window changes nothing.
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(asciiInput()->toPlainText(), QStringLiteral("A"));

    clickItem(1);
    EXPECT_STREQ(dialog->currentPane()->className(), "CASCIIU");
    EXPECT_EQ(ascii->window(), nullptr);

    clickItem(0);
    EXPECT_EQ(dialog->currentPane(), ascii);
    EXPECT_TRUE(asciiInput()->toPlainText().isEmpty());
    EXPECT_EQ(static_cast<CASCII*>(ascii)->result(), QByteArray("65"));

    // Another folder's items open their own panes.
    clickFolder(4);
    clickItem(2);
    EXPECT_STREQ(dialog->currentPane()->className(), "CAboutMe");
    EXPECT_EQ(ascii->window(), nullptr);
}

TEST_F(ToolboxDlgTest, ItemsOpenThePaneListedAgainstTheirTextAfterAMove) {
    CXTOutBarCtrl* bar = dialog->bar();
    const std::map<QString, std::string> paneOf = {
        {QStringLiteral("字符 --> ASCII"), "CASCII"}, {QStringLiteral("ASCII --> 字符"), "CASCIIU"},
        {QStringLiteral("BASE 64"), "CBASE"},         {QStringLiteral("版本"), "CAboutVer"},
        {QStringLiteral("帮助"), "CAboutHelp"},       {QStringLiteral("作者"), "CAboutMe"}};
    for (int folder : {0, 4}) {
        SCOPED_TRACE(folder);
        clickFolder(folder);
        ASSERT_EQ(bar->itemCount(), 3);
        const QString first = bar->itemText(0);
        // Drag the first item into the free space below the last one.
        const QRect inside = bar->insideRect();
        const QPoint below(inside.x() + 3, inside.bottom() - 3);
        ASSERT_EQ(bar->hitTest(below), CXTOutBarCtrl::HitNone);
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->iconRect(0).center());
        QTest::mouseMove(bar, below);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, below);
        ASSERT_EQ(bar->itemText(2), first);

        for (int p = 0; p < 3; ++p) {
            clickItem(p);
            ASSERT_NE(dialog->currentPane(), nullptr);
            EXPECT_EQ(dialog->currentPane()->className(), paneOf.at(bar->itemText(p)));
        }
    }
}

// The code page is shown under the panes at all times and chosen there; the
// choice is kept for the next runs, and the shown pane keeps its text.
TEST_F(ToolboxDlgTest, TheCodePageLineShowsChoosesAndKeepsTheCodePage) {
    QTemporaryDir config;
    struct Restore {
        QByteArray config = qgetenv("XDG_CONFIG_HOME");
        ~Restore() {
            setCurrentCodePage(kDefaultCodePage);
            if (config.isEmpty())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", config);
        }
    } restore;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    QComboBox* combo = dialog->codePageCombo();
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->currentText(), QStringLiteral("GBK"));
    EXPECT_GT(combo->mapTo(dialog.get(), QPoint(0, 0)).y(), dialog->paneArea().bottom());

    clickItem(0);
    QTest::keyClicks(asciiInput(), QStringLiteral("A"));
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 0)).center());
    EXPECT_EQ(currentCodePage(), CodePage::Utf16Le);
    EXPECT_EQ(asciiInput()->toPlainText(), QStringLiteral("A"));
    EXPECT_EQ(asciiInput()->toolTip(), QStringLiteral("2 字节 (UTF-16LE): 41 00"));
    QFile saved(config.filePath(QStringLiteral("quillhorn/codepage.conf")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("codepage=UTF-16LE\n"));
    EXPECT_EQ(LoadCodePageChoice(), CodePage::Utf16Le);
    EXPECT_TRUE(services.messages.isEmpty());

    // A choice made elsewhere shows in the line too.
    setCurrentCodePage(CodePage::Big5);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Big5"));
}

TEST_F(ToolboxDlgTest, AClickWhoseReleaseAMessageTookIsDroppedWhole) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    clickFolder(3);
    clickItem(0);
    QWidget* pane = dialog->currentPane()->window();
    auto* n = pane->findChild<QLineEdit*>(QStringLiteral("nEdit"));
    auto* encrypt = pane->findChild<QPushButton*>(QStringLiteral("encryptButton"));
    ASSERT_TRUE(n && encrypt);
    CXTOutBarCtrl* bar = dialog->bar();
    const QPoint toolItem = bar->iconRect(1).center();
    // A real message box is modal: the click's release goes to it.
    services.duringMessage = [this] { QTest::mouseRelease(dialog.get(), Qt::LeftButton, {}, QPoint(1, 1)); };
    for (QWidget* target : {static_cast<QWidget*>(encrypt), static_cast<QWidget*>(bar)}) {
        SCOPED_TRACE(target->objectName().toStdString());
        QTest::mouseClick(n, Qt::LeftButton);
        QTest::keyClicks(n, QStringLiteral("xyz"));
        QTest::mousePress(target, Qt::LeftButton, {}, target == bar ? toolItem : encrypt->rect().center());
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("n 不是有效的十六进制数!"));
        services.messages.clear();
    }
    services.duringMessage = nullptr;
    EXPECT_FALSE(encrypt->isDown());
    // The bar holds no press either: a release over the item opens nothing.
    QTest::mouseRelease(bar, Qt::LeftButton, {}, toolItem);
    EXPECT_STREQ(dialog->currentPane()->className(), "CRSA");
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(ToolboxDlgTest, TabReachesTheBarWhoseKeysOpenPanes) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    clickItem(0);
    QTest::mouseClick(asciiInput()->viewport(), Qt::LeftButton);
    ASSERT_TRUE(asciiInput()->hasFocus());
    // Round the pane's controls and on to the bar.
    CXTOutBarCtrl* bar = dialog->bar();
    for (int presses = 0; presses < 20 && !bar->hasFocus(); ++presses)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(bar->hasFocus());

    // The pane windows swallow Enter; on the bar it opens the item.
    QTest::keyClick(bar, Qt::Key_Down);
    QTest::keyClick(bar, Qt::Key_Return);
    EXPECT_STREQ(dialog->currentPane()->className(), "CASCIIU");
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Down);
    QTest::keyClick(bar, Qt::Key_Space);
    EXPECT_EQ(bar->selectedFolder(), 1);
    EXPECT_STREQ(dialog->currentPane()->className(), "CSHADlg");
    EXPECT_TRUE(bar->hasFocus());
}

TEST_F(ToolboxDlgTest, CtrlPageKeysStepThroughEveryToolFromWhereverTheFocusIs) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    clickItem(0);
    QTest::mouseClick(asciiInput()->viewport(), Qt::LeftButton);
    ASSERT_TRUE(asciiInput()->hasFocus());
    struct Tool {
        const char* pane;
        int folder;
    };
    const Tool next[] = {{"CASCIIU", 0},    {"CBASE", 0},    {"CMD5", 1},  {"CSHADlg", 1},  {"CCRCDlg", 1},
                         {"CVerifyDlg", 1}, {"CDES", 2},     {"CRSA", 3},  {"CRSATool", 3}, {"CAboutVer", 4},
                         {"CAboutHelp", 4}, {"CAboutMe", 4}, {"CASCII", 0}};
    for (const Tool& tool : next) {
        SCOPED_TRACE(tool.pane);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_STREQ(dialog->currentPane()->className(), tool.pane);
        EXPECT_EQ(dialog->bar()->selectedFolder(), tool.folder);
        // The focus went on into the new pane, or to the bar where the pane has no control.
        QWidget* now = QApplication::focusWidget();
        EXPECT_TRUE(now == dialog->bar() || dialog->currentPane()->window()->isAncestorOf(now));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_STREQ(dialog->currentPane()->className(), "CAboutMe");
    EXPECT_EQ(dialog->bar()->selectedFolder(), 4);
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(ToolboxDlgTest, ClosingDeletesEveryPaneAndEndsTheRun) {
    clickItem(0);
    QTimer::singleShot(0, dialog.get(), [this] { dialog->close(); });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(dialog->currentPane(), nullptr);
    EXPECT_EQ(dialog->navItem(0, 0).pane, nullptr);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(QtTranslations, QtsOwnButtonsSpeakChinese) {
    QTranslator* translator = InstallQtTranslations(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    delete translator; // the other tests keep Qt's English
}

TEST(ToolboxDlg, IconThatCannotBeLoadedStopsInitialisation) {
    for (std::size_t row : {4, 6}) { // SHA 散列; 校验文件, the last item of its folder
        SCOPED_TRACE(row);
        test::RecordingServices services;
        std::vector<NavEntry> table = StandardNavigationTable();
        table[row].icon = 9999;
        CToolboxDlg dialog(services, table);
        EXPECT_FALSE(dialog.OnInitDialog());
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("Inside Error: Can`t load icon!"));
        EXPECT_EQ(services.messages[0].caption, table[row].itemText);
    }
}

} // namespace
} // namespace qh
