#include "core/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

double twipsPerPixel(bool horizontal) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const double dpi =
                horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
            if (dpi > 0)
                return 1440.0 / dpi;
        }
    }
    return 15.0;
}

} // namespace

double TwipsPerPixelX() {
    return twipsPerPixel(true);
}

double TwipsPerPixelY() {
    return twipsPerPixel(false);
}

int TwipsToPixelsX(double twips) {
    return int(std::lround(twips / TwipsPerPixelX()));
}

int TwipsToPixelsY(double twips) {
    return int(std::lround(twips / TwipsPerPixelY()));
}

double PixelsToTwipsX(int pixels) {
    return pixels * TwipsPerPixelX();
}

double PixelsToTwipsY(int pixels) {
    return pixels * TwipsPerPixelY();
}
