#include "screens/info/infoscreen.h"

#include "platform/random.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/textfit.h"

#include <QLabel>

namespace velmoran {

namespace {

QColor colourOf(TextColour colour, const QPalette& palette) {
    switch (colour) {
    case TextColour::Highlight:
        return palette.color(QPalette::Highlight);
    case TextColour::DarkShadow:
        return palette.color(QPalette::Shadow);
    case TextColour::WindowText:
        return palette.color(QPalette::WindowText);
    case TextColour::DarkRed:
        return QColor(192, 0, 0);
    case TextColour::Default:
        break;
    }
    return palette.color(QPalette::WindowText);
}

} // namespace

QList<QLabel*> addLabels(QWidget* form, const QList<LabelSpec>& specs) {
    QList<QLabel*> labels;
    for (const LabelSpec& labelSpec : specs) {
        auto* label = new QLabel(labelSpec.text, form);
        label->setObjectName(QString::fromLatin1(labelSpec.name));
        label->setTextFormat(Qt::PlainText);
        label->setFont(
            designFont(QString::fromLatin1(labelSpec.family), labelSpec.points, labelSpec.bold));
        if (labelSpec.script == Script::Latin) {
            label->setLayoutDirection(Qt::LeftToRight);
        }
        setTextColour(label, colourOf(labelSpec.colour, form->palette()));
        keepClicks(label);
        placeTwips(label, labelSpec.left, labelSpec.top, labelSpec.width, labelSpec.height);
        fitLabel(label);
        labels << label;
    }
    return labels;
}

void keepClicks(QWidget* control) {
    control->setAttribute(Qt::WA_NoMousePropagation);
}

QLabel* addPicture(QWidget* form, const char* name, const QPixmap& picture, int left, int top,
                   int width, int height) {
    auto* image = new QLabel(form);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(picture);
    image->setScaledContents(true);
    keepClicks(image);
    placeTwips(image, left, top, width, height);
    return image;
}

QColor randomColour(Random& random) {
    const int red = colourComponent(random.next());
    const int green = colourComponent(random.next());
    const int blue = colourComponent(random.next());
    return QColor(red, green, blue);
}

void setTextColour(QLabel* label, const QColor& colour) {
    // Drawn in the window-text role whatever the screen's background role
    // (on a Base background a label would take the Text role otherwise).
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

} // namespace velmoran
