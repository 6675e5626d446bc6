// The tray icon's picture, read per size from the built-in PNGs.
#include "controls/ResourceIcon.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

// The icon's picture for each size asked: the picture of that size where there is one, else the
// next larger one scaled down, the largest for anything larger; the same picture as the file.
TEST(ResourceIconTest, PicksThePictureNearestTheSizeAsked) {
    const QIcon icon = ResourceIcon(QStringLiteral(":/art/vantrel-%1.png"), {48, 16, 22, 24, 32});
    EXPECT_EQ(icon.availableSizes(),
              (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}}));
    const struct {
        int asked, got, file;
    } cases[] = {{16, 16, 16}, {22, 22, 22}, {20, 20, 22}, {8, 8, 16}, {64, 48, 48}};
    for (const auto& c : cases) {
        const QImage drawn = icon.pixmap(QSize(c.asked, c.asked)).toImage();
        EXPECT_EQ(drawn.size(), QSize(c.got, c.got)) << c.asked;
        QPixmap file(QStringLiteral(":/art/vantrel-%1.png").arg(c.file));
        if (c.got != c.file)
            file = file.scaled(c.got, c.got, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                  file.toImage().convertToFormat(QImage::Format_ARGB32))
            << c.asked;
    }
}
