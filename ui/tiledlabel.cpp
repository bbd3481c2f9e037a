#include "ui/tiledlabel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace velmoran {

TiledLabel::TiledLabel(const QString& tile, int count, QWidget* parent)
    : QLabel(tile.repeated(count), parent), tile_(tile), count_(count) {}

void TiledLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    drawFrame(&painter);
    const QString words = tile_.trimmed();
    if (words.isEmpty() || count_ <= 0) {
        return;
    }
    const QRect area = contentsRect();
    const QFontMetrics metrics(font());
    // A tile takes its words and the gap after them; a row holds as many
    // as fit (the last one's gap may run over the edge), at least one.
    const int wordsWidth = metrics.horizontalAdvance(words);
    const int step = std::max(1, metrics.horizontalAdvance(tile_));
    const int gap = std::max(0, step - wordsWidth);
    const int perRow = std::max(1, (area.width() + gap) / step);
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int rows = (count_ + perRow - 1) / perRow;
    // Only the rows the paint event asks for.
    const int firstRow = std::max(0, (event->rect().top() - area.top()) / lineHeight);
    const int lastRow = std::min(rows - 1, (event->rect().bottom() - area.top()) / lineHeight);
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = area.top() + row * lineHeight;
        for (int column = 0; column < perRow && row * perRow + column < count_; ++column) {
            const QRect logical(area.left() + column * step, y, wordsWidth, lineHeight);
            const QRect place = QStyle::visualRect(layoutDirection(), area, logical);
            style()->drawItemText(&painter, place, Qt::AlignLeading | Qt::AlignTop, palette(),
                                  isEnabled(), words, foregroundRole());
        }
    }
}

} // namespace velmoran
