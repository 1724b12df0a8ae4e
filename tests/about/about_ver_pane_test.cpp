#include "about_test_support.h"
#include "about_ver_pane.h"
#include "pane_test_fixture.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

namespace qh {
namespace {

class AboutVerTest : public test::PaneTest<CAboutVer> {};

TEST_F(AboutVerTest, TextsWhiteAndTheSiteAddressGreyed) {
    test::placeInPaneArea(pane->window());
    const QColor white(255, 255, 255);
    for (QLabel* label : pane->window()->findChildren<QLabel*>()) {
        if (label->objectName() == QStringLiteral("siteAddress"))
            continue;
        EXPECT_TRUE(label->isEnabled()) << label->objectName().toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), white) << label->objectName().toStdString();
    }

    QLabel* site = find<QLabel>("siteAddress");
    EXPECT_FALSE(site->isEnabled());
    const QColor greyed = site->palette().color(QPalette::Disabled, QPalette::WindowText);
    EXPECT_NE(greyed, white);
    EXPECT_EQ(greyed.red(), greyed.green());
    EXPECT_EQ(greyed.green(), greyed.blue());

    // What is drawn: grey text on the pane colour, nothing white.
    const QImage image = site->grab().toImage();
    int whitePixels = 0;
    int textPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int lightness = image.pixelColor(x, y).lightness();
            whitePixels += lightness > 200;
            textPixels += lightness > 120;
        }
    EXPECT_EQ(whitePixels, 0);
    EXPECT_GT(textPixels, 0);

    // In the bottom right corner.
    const QRect area = pane->window()->rect();
    EXPECT_GT(site->geometry().right(), area.right() - 30);
    EXPECT_GT(site->geometry().bottom(), area.bottom() - 30);
}

} // namespace
} // namespace qh
