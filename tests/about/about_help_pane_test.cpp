#include "about_addresses.h"
#include "about_help_pane.h"
#include "pane_test_fixture.h"
#include "string_table.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace qh {
namespace {

const QString kNotice = QStringLiteral("    本软件改用在线帮助系统,请访问 "
                                       "https://quillhorn.example.org/map.htm?id=help&arg=id=quillhorn 获取帮助.");
const QString kInstallNotes = QStringLiteral("    运行从压缩包解压后的 Setup.bat 文件即完成安装,"
                                             "卸载时先运行 Uninstall.bat 再删除程序目录即可.  \r\n");

TEST(StringTable, HoldsTheThreeHelpTextsAndNothingElse) {
    EXPECT_EQ(LoadResString(kInstallNotesString), kInstallNotes);
    EXPECT_EQ(LoadResString(kHelpNoticeString), kNotice);
    EXPECT_EQ(LoadResString(kUseNoticeString), kNotice);
    EXPECT_TRUE(kNotice.contains(about::kHelpPage));
    for (int id : {0, -1, 145, 149, 1000})
        EXPECT_TRUE(LoadResString(id).isEmpty()) << id;
}

class AboutHelpTest : public test::PaneTest<CAboutHelp> {
protected:
    QPlainTextEdit* box() { return find<QPlainTextEdit>("helpText"); }
};

TEST_F(AboutHelpTest, ButtonsSwapTheTextAndEnableTheBoxForGood) {
    EXPECT_FALSE(box()->isEnabled());
    EXPECT_TRUE(box()->isReadOnly());
    EXPECT_EQ(box()->toPlainText(), kNotice);

    // 使用 first: the same notice, now reachable.
    click("useButton");
    EXPECT_TRUE(box()->isEnabled());
    EXPECT_EQ(box()->toPlainText(), kNotice);

    // CR LF becomes one line break: the text, then an empty last line.
    const QString notes = QString(kInstallNotes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    click("installButton");
    EXPECT_TRUE(box()->isEnabled());
    EXPECT_EQ(box()->toPlainText(), notes);
    EXPECT_EQ(box()->document()->blockCount(), 2);

    click("useButton");
    EXPECT_TRUE(box()->isEnabled());
    EXPECT_EQ(box()->toPlainText(), kNotice);
    click("installButton");
    EXPECT_TRUE(box()->isEnabled());
    EXPECT_EQ(box()->toPlainText(), notes);
    EXPECT_TRUE(box()->isReadOnly());
    EXPECT_TRUE(services.messages.isEmpty());

    // A new window starts again from the disabled notice.
    pane->createWindow(&host);
    EXPECT_FALSE(box()->isEnabled());
    EXPECT_EQ(box()->toPlainText(), kNotice);
}

} // namespace
} // namespace qh
