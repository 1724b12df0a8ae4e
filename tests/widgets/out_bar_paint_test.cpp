// What the bar paints: colours, icons from the right image list, clipping of
// items to the inside area, and the off-screen surface it paints through.
#include "mem_dc.h"
#include "nav_image_list.h"
#include "out_bar_ctrl.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace qh {
namespace {

QPixmap solid(QSize size, QColor colour) {
    QPixmap p(size);
    p.fill(colour);
    return p;
}

TEST(OutBarPaint, DrawsIconsFromTheRightListAndClipsToTheInsideArea) {
    NavImageList large(QSize(32, 32)), small(QSize(16, 16)), ownSmall(QSize(16, 16));
    ASSERT_EQ(large.add(solid(QSize(32, 32), Qt::red)), 0);
    ASSERT_EQ(small.add(solid(QSize(16, 16), Qt::red)), 0);
    ASSERT_EQ(ownSmall.add(solid(QSize(64, 64), Qt::green)), 0) << "scaled to the list's size";
    EXPECT_EQ(ownSmall.pixmap(0).size(), QSize(16, 16));
    EXPECT_EQ(ownSmall.add(QPixmap()), -1);
    EXPECT_TRUE(ownSmall.pixmap(5).isNull());

    const QColor back(58, 110, 165);
    CXTOutBarCtrl bar(nullptr);
    bar.setBackColour(back);
    bar.setTextColour(Qt::white);
    bar.setImageList(&large, CXTOutBarCtrl::LargeIcons);
    bar.setImageList(&small, CXTOutBarCtrl::SmallIcons);
    bar.addFolder("F0", 0);
    bar.addFolder("F1", 1);
    for (int i = 0; i < 6; ++i)
        bar.insertItem(0, -1, QString("Item %1").arg(i), 0, 0);
    bar.insertItem(1, -1, "Other", 0, 0);
    bar.resize(120, 400);

    // Cut the inside area (it ends where F1's button starts) through item 2's icon.
    const int cut = bar.iconRect(2).y() + 16;
    bar.resize(120, cut + 22);
    ASSERT_EQ(bar.insideRect().y() + bar.insideRect().height(), cut);
    ASSERT_TRUE(bar.downArrowShown());

    QImage image = bar.grab().toImage();
    const int x = bar.iconRect(2).center().x();
    EXPECT_EQ(image.pixelColor(bar.iconRect(0).center()), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(x, cut - 4), QColor(Qt::red)) << "the visible part of the cut icon";
    EXPECT_NE(image.pixelColor(x, cut + 4), QColor(Qt::red)) << "not drawn over F1's button";
    EXPECT_EQ(image.pixelColor(bar.insideRect().x() + 3, bar.iconRect(0).center().y()), back);
    EXPECT_NE(image.pixelColor(bar.folderRect(0).center() + QPoint(40, 0)), back);
    EXPECT_NE(image.pixelColor(bar.downArrowRect().center()), back) << "the down arrow is drawn";

    // A folder's own list wins over the bar's for its size.
    bar.setFolderImageList(0, &ownSmall, CXTOutBarCtrl::SmallIcons);
    EXPECT_EQ(bar.folderImageList(0, CXTOutBarCtrl::SmallIcons), &ownSmall);
    EXPECT_EQ(bar.folderImageList(0, CXTOutBarCtrl::LargeIcons), &large);
    bar.setSmallIconView(true);
    image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(bar.iconRect(0).center()), QColor(Qt::green));
}

TEST(MemDc, CopiesToTheDestinationOnlyWhenDone) {
    QImage target(40, 40, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    {
        CXTMemDC surface(&painter, QRect(10, 10, 20, 20), Qt::blue);
        ASSERT_TRUE(surface.isValid());
        surface.painter()->fillRect(QRect(15, 15, 5, 5), Qt::red); // destination coordinates
        EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::white)) << "nothing copied yet";
    }
    EXPECT_EQ(target.pixelColor(15, 15), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::blue)) << "filled";
    EXPECT_EQ(target.pixelColor(29, 29), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(30, 30), QColor(Qt::white)) << "outside the rectangle";

    painter.setClipRect(QRect(0, 0, 8, 6));
    CXTMemDC clipped(&painter);
    EXPECT_EQ(clipped.rect(), QRect(0, 0, 8, 6)) << "empty rectangle: the clip box";
    CXTMemDC none(nullptr);
    EXPECT_FALSE(none.isValid());
    EXPECT_EQ(none.painter(), nullptr);
}

} // namespace
} // namespace qh
