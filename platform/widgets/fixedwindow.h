#pragma once

#include <Qt>

class QWidget;

namespace velmoran {

// Makes `window` a window of a fixed client size in twips, with a title bar
// and a close box but no minimise or maximise button (`flags` chooses the
// kind of frame: Qt::Dialog, Qt::Tool), placed in the middle of the screen.
void makeFixedWindow(QWidget* window, Qt::WindowFlags flags, int width, int height);

// Keeps `window` above `owner` on the desktop (a transient window of it), so
// that a click on the owner never hides it; without ownership between them.
// Nothing happens when `owner` is null.
void keepAbove(QWidget* window, QWidget* owner);

} // namespace velmoran
