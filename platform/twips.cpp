#include "platform/twips.h"

#include <cmath>

namespace velmoran {

int twipsToPixels(int twips, qreal logicalDpi) {
    const qreal pixels = twips * logicalDpi / (96.0 * kTwipsPerPixelAt96Dpi);
    return static_cast<int>(std::lround(pixels));
}

QRect twipsRect(int left, int top, int width, int height, qreal logicalDpiX, qreal logicalDpiY) {
    return QRect(twipsToPixels(left, logicalDpiX), twipsToPixels(top, logicalDpiY),
                 twipsToPixels(width, logicalDpiX), twipsToPixels(height, logicalDpiY));
}

} // namespace velmoran
