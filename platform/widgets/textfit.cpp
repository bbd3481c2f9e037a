#include "platform/widgets/textfit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

#include <functional>

namespace velmoran {

namespace {

constexpr qreal kSmallestShare = 0.7;
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
QFont largestFitting(const QFont& design, const std::function<bool(const QFont&)>& fits) {
    QFont font = design;
    const qreal size = design.pointSizeF();
    if (size <= 0) {
        return font;
    }
    for (qreal points = size; points >= size * kSmallestShare; points -= kStep) {
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

} // namespace velmoran
