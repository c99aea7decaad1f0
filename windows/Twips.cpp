#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace twips {

double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int toPixels(double twips)
{
    return int(std::lround(twips * logicalDpi() / 1440.0));
}

double fromPixels(int pixels)
{
    return pixels * 1440.0 / logicalDpi();
}

QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips
