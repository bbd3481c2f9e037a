#pragma once

#include <QRect>

namespace velmoran {

// Positions and sizes of the screens are kept in twips (1/1440 inch), as the
// screens were designed: 15 twips are one pixel at 96 dots per inch. On a
// screen of another logical resolution the pixels scale with it.
constexpr int kTwipsPerPixelAt96Dpi = 15;

// Pixels for a length in twips at the given logical dots per inch, rounded to
// the nearest pixel.
int twipsToPixels(int twips, qreal logicalDpi = 96.0);

// A rectangle given in twips as left, top, width, height, in pixels.
QRect twipsRect(int left, int top, int width, int height, qreal logicalDpiX = 96.0,
                qreal logicalDpiY = 96.0);

} // namespace velmoran
