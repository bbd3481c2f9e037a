#pragma once

#include <functional>

class QWidget;

namespace velmoran {

// Small event handlers for controls, in the form the screens' handlers take.

// Runs `handler` with the character code of each key typed in `control`
// before the control handles it: 13 for Enter, 27 for Escape, 8 for
// Backspace, the character's code for a printable key; keys without a
// character (arrows, function keys) are not reported. The key is passed on
// unchanged. (Text1_KeyPress and the like.)
void onKeyPress(QWidget* control, std::function<void(int keyAscii)> handler);

// Runs `handler` when the left button is pressed and released over `control`
// (Label1_Click, Form_Click).
void onClick(QWidget* control, std::function<void()> handler);

// Runs `handler` on a double-click of the left button over `control`.
void onDoubleClick(QWidget* control, std::function<void()> handler);

} // namespace velmoran
