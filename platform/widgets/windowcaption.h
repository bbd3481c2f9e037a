#pragma once

class QWidget;

namespace velmoran {

// A window whose caption is empty shows an empty title bar. The desktop
// would show the program's name there instead (Qt hands a window manager
// the application name for an empty title); the window's own caption,
// windowTitle(), stays the empty text that the screens read back.
// Call once for a window; it holds for every later caption.
void showEmptyCaptionEmpty(QWidget* window);

// What the desktop is given for an empty caption: a right-to-left mark,
// which draws nothing.
constexpr char16_t kEmptyCaptionMark = u'\u200F';

} // namespace velmoran
