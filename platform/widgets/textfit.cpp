#include "platform/widgets/textfit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <algorithm>
#include <functional>

namespace velmoran {

namespace {

constexpr qreal kSmallestShare = 0.7;
// A box's number may go smaller than a caption: it is read, not designed.
constexpr qreal kSmallestBoxShare = 0.6;
constexpr qreal kStep = 0.25;

// The room a label's text takes in `font`, wrapped at `width` when the
// label wraps its words.
QSize labelTextSize(const QLabel* label, const QFont& font, int width) {
    const QFontMetrics metrics(font);
    if (label->wordWrap()) {
        return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, label->text())
            .size();
    }
    return metrics.size(0, label->text());
}

// The largest font, from `design` down to its smallest share, for which
// `fits` holds; the smallest when none does.
QFont largestFitting(const QFont& design, const std::function<bool(const QFont&)>& fits,
                     qreal smallest = kSmallestShare) {
    QFont font = design;
    const qreal size = design.pointSizeF();
    if (size <= 0) {
        return font;
    }
    for (qreal points = size; points >= size * smallest; points -= kStep) {
        font.setPointSizeF(points);
        if (fits(font)) {
            return font;
        }
    }
    return font;
}

} // namespace

void fitLabel(QLabel* label) {
    if (label->text().isEmpty()) {
        return;
    }
    const int margins = label->width() - label->contentsRect().width();
    const int width = label->contentsRect().width();
    const QFont font = largestFitting(label->font(), [&](const QFont& candidate) {
        return labelTextSize(label, candidate, width).width() <= width;
    });
    label->setFont(font);
    const int height = labelTextSize(label, font, width).height() +
                       (label->height() - label->contentsRect().height());
    if (height > label->height()) {
        label->resize(width + margins, height);
    }
}

void fitButton(QAbstractButton* button) {
    if (button->text().isEmpty()) {
        return;
    }
    const QFont font = largestFitting(button->font(), [button](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.fontMetrics = metrics;
        const QSize text = metrics.size(Qt::TextShowMnemonic, button->text());
        const QSize needed =
            button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button);
        return needed.width() <= button->width();
    });
    button->setFont(font);
}

int lineEditChrome(const QLineEdit* box) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = QRect(0, 0, 1000, std::max(box->height(), 1));
    option.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    const QMargins text = box->textMargins();
    // A line edit keeps 2 pixels on either side of its text; the cursor
    // takes one.
    return (option.rect.width() - contents.width()) + 2 * 2 + 1 + text.left() + text.right();
}

QFont fittingFont(const QLineEdit* box, const QFont& design, const QString& text) {
    const int room = box->width() - lineEditChrome(box);
    return largestFitting(
        design,
        [&](const QFont& candidate) {
            return QFontMetrics(candidate).horizontalAdvance(text) <= room;
        },
        kSmallestBoxShare);
}

} // namespace velmoran
