#pragma once
// Window layouts are given in twips (1/1440 inch). They become Qt's logical
// pixels at its logical DPI (15 twips a pixel at 96 DPI); scaling for
// high-density screens is then Qt's business.

#include <QRect>

namespace twips {

// Logical DPI used for the conversion: the primary screen's, 96 without one.
double logicalDpi();
int toPixels(double twips);
double fromPixels(int pixels);
QRect rect(int left, int top, int width, int height);

} // namespace twips
