#include "core/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

TEST(Twips, ConvertsWithTheScreensLogicalDpi) {
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(TwipsPerPixelX(), 1440.0 / dpi);
    EXPECT_EQ(TwipsToPixelsX(1440), int(std::lround(dpi)));
    EXPECT_EQ(TwipsToPixelsX(0), 0);
    EXPECT_DOUBLE_EQ(PixelsToTwipsX(TwipsToPixelsX(1440)), std::lround(dpi) * 1440.0 / dpi);
    if (dpi == 96) {
        EXPECT_EQ(TwipsToPixelsX(2295), 153);
        EXPECT_EQ(TwipsToPixelsY(315), 21);
    }
}
