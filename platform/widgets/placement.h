#pragma once

class QWidget;

namespace velmoran {

// Places `widget` within its parent at a rectangle given in twips (left, top,
// width, height), scaled by the widget's logical resolution.
void placeTwips(QWidget* widget, int left, int top, int width, int height);

// Sizes a window's client area in twips.
void resizeTwips(QWidget* widget, int width, int height);

} // namespace velmoran
