#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QLabel;
class QPixmap;
class QWidget;

namespace velmoran {

class Random;

// What the information screens (Form5, Form6, Form11, Form12) share.

// The colour a label's text is drawn in.
enum class TextColour {
    Default,    // the screen's own text colour
    Highlight,  // the desktop's highlight colour
    DarkShadow, // the desktop's darkest 3-D shadow
    WindowText, // the desktop's window-text colour
    DarkRed,    // red 192, green 0, blue 0
};

// How a label's text is set.
enum class Script {
    Persian, // right to left
    Latin,   // left to right: addresses, notices, the registration values
};

// One label of a screen: its place in twips (left, top, width, height), its
// font and colour.
struct LabelSpec {
    const char* name;
    QString text;
    int left, top, width, height;
    const char* family;
    qreal points;
    bool bold;
    TextColour colour;
    Script script;
};

// Makes the labels of `specs` on `form`, in order: transparent, the text
// fitted to its place (textfit.h). A click on a label stays with the label:
// it is not a click on the screen's background.
QList<QLabel*> addLabels(QWidget* form, const QList<LabelSpec>& specs);

// Keeps mouse presses, releases and double-clicks on `control` from reaching
// the screen behind it.
void keepClicks(QWidget* control);

// A picture stretched over its place (twips); clicks on it stay with it.
QLabel* addPicture(QWidget* form, const char* name, const QPixmap& picture, int left, int top,
                   int width, int height);

// Three fractions drawn from `random` in the order red, green, blue, each
// made a component (colourComponent).
QColor randomColour(Random& random);

void setTextColour(QLabel* label, const QColor& colour);
QColor textColour(const QLabel* label);

} // namespace velmoran
