#pragma once

class QAbstractButton;
class QLabel;

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

} // namespace velmoran
