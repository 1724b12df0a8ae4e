// On a screen of twice the density (this executable runs with a scale factor of
// 2) every picture the program shows comes from its rendering at twice the size,
// never from the plain one enlarged.
#include "link_cursor.h"
#include "recording_services.h"
#include "tool_pane.h"
#include "toolbox_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace qh {
namespace {

// The largest difference of any channel between two pictures of one size; 255
// for pictures of different sizes.
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

// A picture's pixels; its @2x name would make it draw at half its size.
QImage resource(const QString& path) {
    QImage image(path);
    EXPECT_FALSE(image.isNull()) << path.toStdString();
    image.setDevicePixelRatio(1.0);
    return image;
}

// Blending may round a channel by one; an enlarged plain rendering differs by far more.
constexpr int kRounding = 2;

TEST(HighDensity, EveryPictureComesFromItsRenderingAtTwiceTheSize) {
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    test::RecordingServices services;
    CToolboxDlg dialog(services);
    dialog.setFadeMilliseconds(0);
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    // The start-up picture and the window icon.
    const QPixmap picture = dialog.findChild<QLabel*>(QStringLiteral("pictureLabel"))->pixmap();
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    EXPECT_LE(largestDifference(picture.toImage(), resource(QStringLiteral(":/pictures/132@2x.png"))), kRounding);
    EXPECT_LE(largestDifference(dialog.windowIcon().pixmap(QSize(48, 48), 2.0).toImage(),
                                resource(QStringLiteral(":/icons/128-48@2x.png"))),
              kRounding);

    // Every item icon as the bar paints it, in both icon sizes: the @2x
    // rendering over the bar's background.
    CXTOutBarCtrl* bar = dialog.bar();
    for (const int size : {32, 16}) {
        bar->setSmallIconView(size == 16);
        for (int folder = 0; folder < bar->folderCount(); ++folder) {
            bar->setSelectedFolder(folder);
            const QImage painted = bar->grab().toImage();
            for (int item = 0; item < bar->itemCount(); ++item) {
                SCOPED_TRACE(testing::Message() << bar->itemText(item).toStdString() << " at " << size);
                const QImage icon =
                    resource(QStringLiteral(":/icons/%1-%2@2x.png").arg(dialog.navItem(folder, item).icon).arg(size));
                QImage expected(icon.size(), QImage::Format_ARGB32_Premultiplied);
                expected.fill(bar->backColour());
                QPainter(&expected).drawImage(0, 0, icon);
                const QRect r = bar->iconRect(item);
                const QRect devicePixels(r.topLeft() * 2, r.size() * 2);
                EXPECT_LE(largestDifference(painted.copy(devicePixels), expected), kRounding);
            }
        }
    }

    // The decoder pane's save-setting button and the link cursor.
    bar->setSelectedFolder(0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->iconRect(1).center());
    ASSERT_STREQ(dialog.currentPane()->className(), "CASCIIU");
    auto* save = dialog.currentPane()->window()->findChild<QPushButton*>(QStringLiteral("saveSettingButton"));
    ASSERT_NE(save, nullptr);
    EXPECT_LE(largestDifference(save->icon().pixmap(save->iconSize(), 2.0).toImage(),
                                resource(QStringLiteral(":/icons/144-16@2x.png"))),
              kRounding);
    const QCursor cursor = LinkCursor();
    EXPECT_LE(largestDifference(cursor.pixmap().toImage(), resource(QStringLiteral(":/cursors/1020@2x.png"))),
              kRounding);
    EXPECT_EQ(cursor.hotSpot(), kLinkCursorHotSpot) << "in logical pixels";
}

} // namespace
} // namespace qh
