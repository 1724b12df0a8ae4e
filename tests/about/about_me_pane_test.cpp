#include "about_me_pane.h"
#include "about_test_support.h"
#include "link_cursor.h"
#include "pane_font.h"
#include "pane_test_fixture.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

namespace qh {
namespace {

const char* const kLinks[] = {"homeLink", "mailLink", "aboutLink"};
const char* const kPlainTexts[] = {"feedbackHeading", "feedbackText", "homeTitle", "mailTitle", "aboutTitle"};

TEST(LinkCursor, IsTheHandPictureWithItsHotSpotAtTheFingertip) {
    const QCursor cursor = LinkCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), kLinkCursorHotSpot);
    const QImage image = cursor.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0); // transparent around the hand
    // The hot spot is drawn, and it is the topmost drawn point: the finger's tip.
    EXPECT_GT(qAlpha(image.pixel(kLinkCursorHotSpot)), 128);
    for (int y = 0; y < kLinkCursorHotSpot.y(); ++y)
        for (int x = 0; x < image.width(); ++x)
            EXPECT_LT(qAlpha(image.pixel(x, y)), 64) << x << "," << y;
}

class AboutMeTest : public test::PaneTest<CAboutMe> {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        test::placeInPaneArea(pane->window());
    }
};

TEST_F(AboutMeTest, LinksShowTheLinkCursorAndOpenNothing) {
    for (const char* name : kLinks) {
        QLabel* link = find<QLabel>(name);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor) << name;
        EXPECT_EQ(link->cursor().hotSpot(), LinkCursor().hotSpot()) << name;
        EXPECT_FALSE(link->cursor().pixmap().isNull()) << name;
        // The cursor zone is the text: the label is no larger than it.
        EXPECT_EQ(link->size(), link->sizeHint()) << name;
        EXPECT_EQ(pane->window()->childAt(link->geometry().center()), link) << name;

        const QString before = link->text();
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseDClick(link, Qt::LeftButton);
        EXPECT_EQ(link->text(), before);
        EXPECT_FALSE(link->hasSelectedText()) << name;
    }
    EXPECT_TRUE(services.openedUrls.isEmpty());
    EXPECT_TRUE(services.messages.isEmpty());

    // Everywhere else the default cursor applies.
    EXPECT_FALSE(pane->window()->testAttribute(Qt::WA_SetCursor));
    for (const char* name : kPlainTexts) {
        QLabel* label = find<QLabel>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->testAttribute(Qt::WA_SetCursor)) << name;
        EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor) << name;
    }
}

TEST_F(AboutMeTest, LinksInMagentaOtherTextsWhiteAllInThePaneFont) {
    const QFont expected = PaneFont(QString::fromUtf8(CAboutMe::kFontFamily), 12, FontKind::Serif);
    for (const char* name : kLinks) {
        QLabel* link = find<QLabel>(name);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 0, 255)) << name;
        EXPECT_EQ(link->font().family(), expected.family()) << name;
        EXPECT_EQ(link->font().pointSize(), 12) << name;
    }
    for (const char* name : kPlainTexts) {
        QLabel* label = find<QLabel>(name);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255)) << name;
        EXPECT_EQ(label->font().family(), expected.family()) << name;
        EXPECT_EQ(label->font().pointSize(), 12) << name;
    }
    // The links keep the pane's background.
    EXPECT_EQ(find<QLabel>("homeLink")->palette().color(QPalette::Window), CAboutMe::kPaneColour);
}

} // namespace
} // namespace qh
