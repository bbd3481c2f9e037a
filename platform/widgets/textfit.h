#pragma once

class QAbstractButton;
class QFont;
class QLabel;
class QLineEdit;
class QString;

namespace velmoran {

// The screens were drawn for their design fonts; the faces that stand in for
// them (fonts.h) are often wider. A control keeps its design place and its
// text is never clipped: where the text would not fit the width, its font is
// made smaller a quarter point at a time, down to 70 per cent of its size;
// a label whose text is still taller than its place grows downwards.
//
// Call after the control has its text, font, word-wrap setting and place.

void fitLabel(QLabel* label);
void fitButton(QAbstractButton* button);

// The pixels a line edit takes around its text: its frame, its margins and
// the cursor. Its text shows whole when it is no wider than the box's width
// less these.
int lineEditChrome(const QLineEdit* box);

// The font in which `text` shows whole in `box`: `design` itself when it
// fits, else smaller a quarter point at a time, down to 60 per cent of it.
// A box of numbers keeps its design place and shows a long number whole.
QFont fittingFont(const QLineEdit* box, const QFont& design, const QString& text);

} // namespace velmoran
