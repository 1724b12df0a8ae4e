// What the about panes show, word for word, and that all of it is visible in the
// pane area.
#include "about_help_pane.h"
#include "about_me_pane.h"
#include "about_test_support.h"
#include "about_ver_pane.h"
#include "recording_services.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <memory>

namespace qh {
namespace {

// objectName -> text of every label on the pane.
QMap<QString, QString> labelTexts(QWidget* window) {
    QMap<QString, QString> texts;
    for (QLabel* label : window->findChildren<QLabel*>())
        texts.insert(label->objectName(), label->text());
    return texts;
}

TEST(AboutTexts, EveryStaticTextAsReleased) {
    test::RecordingServices services;
    QWidget host;

    CAboutVer ver(services);
    const QMap<QString, QString> verTexts{
        {QStringLiteral("versionHeading"), QStringLiteral("Quillhorn发布的版本:")},
        {QStringLiteral("version1Title"), QStringLiteral("V1.0 (2004-05-07)")},
        {QStringLiteral("version1Text"),
         QStringLiteral("程序所发布的第一个版本.测试版.完成了 ASCII, MD5, DES, BASE64 等编码算法.")},
        {QStringLiteral("version2Title"), QStringLiteral("V2.0 (2005-05-17)")},
        {QStringLiteral("version2Text"), QStringLiteral("增加 RSA 算法及其秘匙生成工具.")},
        {QStringLiteral("version3Title"), QStringLiteral("V2.1 (2005-12-01)")},
        {QStringLiteral("version3Text"), QStringLiteral("增加 SHA 和 CRC 算法工具.")},
        {QStringLiteral("siteAddress"), QStringLiteral("https://quillhorn.example.org/")},
    };
    EXPECT_EQ(labelTexts(ver.createWindow(&host)), verTexts);

    CAboutMe me(services);
    const QMap<QString, QString> meTexts{
        {QStringLiteral("feedbackHeading"), QStringLiteral("信息反馈")},
        {QStringLiteral("feedbackText"), QStringLiteral("    如果你在使用此软件过程中发现了BUG ,或是有什么建议和意见，"
                                                        "都欢迎你将信息反馈给我。我的联系方式是：")},
        {QStringLiteral("homeTitle"), QStringLiteral("主页:")},
        {QStringLiteral("homeLink"), QStringLiteral("https://quillhorn.example.org/")},
        {QStringLiteral("mailTitle"), QStringLiteral("邮箱:")},
        {QStringLiteral("mailLink"), QStringLiteral("author@quillhorn.example.org")},
        {QStringLiteral("aboutTitle"), QStringLiteral("更多有关我个人的信息请访问:")},
        {QStringLiteral("aboutLink"), QStringLiteral("https://quillhorn.example.org/map.htm?id=about")},
    };
    EXPECT_EQ(labelTexts(me.createWindow(&host)), meTexts);

    CAboutHelp help(services);
    QWidget* window = help.createWindow(&host);
    for (const auto& [name, text] : {std::pair{"installButton", "安装"}, std::pair{"useButton", "使用"}}) {
        auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(text));
    }
}

// Every control lies inside the pane area, and every text fits its control.
void expectAllVisible(ToolPane& pane) {
    QWidget host;
    QWidget* window = pane.createWindow(&host);
    test::placeInPaneArea(window);
    host.show();
    const QRect area = window->rect();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(window) || child->parentWidget() != window)
            continue;
        const std::string name = child->objectName().toStdString();
        EXPECT_TRUE(area.contains(child->geometry())) << name;
        if (auto* label = qobject_cast<QLabel*>(child)) {
            if (label->wordWrap()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
            } else {
                EXPECT_GE(label->width(), label->sizeHint().width()) << name;
                EXPECT_GE(label->height(), label->sizeHint().height()) << name;
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << name;
        }
    }
}

TEST(AboutLayout, EverythingVisibleInThePaneArea) {
    test::RecordingServices services;
    CAboutVer ver(services);
    expectAllVisible(ver);
    CAboutHelp help(services);
    expectAllVisible(help);
    CAboutMe me(services);
    expectAllVisible(me);

    // The help box takes the room beside the buttons.
    QWidget host;
    QWidget* window = help.createWindow(&host);
    test::placeInPaneArea(window);
    auto* box = window->findChild<QPlainTextEdit*>(QStringLiteral("helpText"));
    ASSERT_NE(box, nullptr);
    EXPECT_GT(box->width(), 250);
    EXPECT_GT(box->height(), 300);
}

} // namespace
} // namespace qh
