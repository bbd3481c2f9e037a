#include "screens/list/listprint.h"

#include "screens/list/listcolumns.h"
#include "screens/list/matchmodel.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace velmoran {

namespace {

// A landscape page in the screen's pixels (A4 at 96 dots an inch).
constexpr int kWidth = 1123;
constexpr int kHeight = 794;
constexpr int kMargin = 36;
constexpr int kTitleTop = kMargin;
constexpr int kHeadingTop = kMargin + 56;
constexpr int kRowHeight = 20;
constexpr int kRowsTop = kHeadingTop + 24;

// Each column's share of the width, in the columns' order.
const std::vector<int>& columnWeights() {
    static const std::vector<int> weights = [] {
        std::vector<int> all;
        for (const ListColumn& column : listColumns()) {
            const QString name = QString::fromLatin1(column.objectName);
            all.push_back(name == QLatin1String("address")                                   ? 18
                          : name == QLatin1String("malek")                                   ? 13
                          : name == QLatin1String("tel03") || name == QLatin1String("kinds") ? 10
                          : name == QLatin1String("mantagheh") || name == QLatin1String("date") ||
                                  name == QLatin1String("deals") ||
                                  name == QLatin1String("gheymatehkoole")
                              ? 8
                              : 5);
        }
        return all;
    }();
    return weights;
}

// The smallest a cell's text is drawn to fit, against the table's font.
constexpr qreal kSmallestScale = 0.6;

// Draws `text` in `inside`, smaller when it is wider than the cell: a cut
// number reads as another number (an id 100003 as 003). Only what still
// does not fit at the smallest size is cut, its end marked.
void drawFitted(QPainter& painter, const QRect& inside, const QString& text,
                const QFontMetrics& metrics) {
    const int wide = metrics.horizontalAdvance(text);
    const QFont base = painter.font();
    if (wide > inside.width() && inside.width() > 0) {
        const qreal scale = std::max(kSmallestScale, static_cast<qreal>(inside.width()) / wide);
        QFont smaller = base;
        if (base.pointSizeF() > 0) {
            smaller.setPointSizeF(base.pointSizeF() * scale);
        } else {
            smaller.setPixelSize(std::max(1, static_cast<int>(base.pixelSize() * scale)));
        }
        painter.setFont(smaller);
    }
    const QFontMetrics fitted(painter.font());
    painter.drawText(inside, Qt::AlignRight | Qt::AlignVCenter,
                     fitted.elidedText(text, Qt::ElideLeft, inside.width()));
    painter.setFont(base);
}

// Draws one line of cells from the right edge leftwards.
void drawCells(QPainter& painter, int top, int height, const QStringList& cells, bool heading) {
    const std::vector<int>& weights = columnWeights();
    const int total = std::accumulate(weights.begin(), weights.end(), 0);
    const int width = kWidth - 2 * kMargin;
    int right = kWidth - kMargin;
    const QFontMetrics metrics(painter.font());
    for (std::size_t c = 0; c < weights.size(); ++c) {
        const int w = width * weights[c] / total;
        const QRect cell(right - w, top, w, height);
        if (heading) {
            painter.fillRect(cell, QColor(230, 230, 230));
        }
        painter.drawRect(cell);
        const QRect inside = cell.adjusted(3, 0, -3, 0);
        drawFitted(painter, inside, cells.value(static_cast<int>(c)), metrics);
        right -= w;
    }
}

} // namespace

Print::Page listPrintout(MatchModel& model, const QString& criterion, const QString& date) {
    const int rows = static_cast<int>(model.allIds().size());
    Print::Page page;
    page.size = QSize(kWidth, kHeight);
    page.count = std::max(1, (rows + kPrintedRowsPerPage - 1) / kPrintedRowsPerPage);
    const int count = page.count;
    MatchModel* source = &model;
    page.paintIndexed = [source, criterion, date, rows, count](QPainter& painter, int index) {
        painter.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
        painter.setPen(Qt::black);
        painter.setLayoutDirection(Qt::RightToLeft);
        // Sizes in the page's pixels; plain faces, which every reader of the
        // PDF takes word by word.
        QFont font = painter.font();
        font.setPixelSize(16);
        painter.setFont(font);
        const QRect band(kMargin, kTitleTop, kWidth - 2 * kMargin, 24);
        painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("فهرست فايلها — %1 فايل").arg(rows));
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("تاريخ: %1").arg(date));
        font.setPixelSize(12);
        painter.setFont(font);
        painter.drawText(band.translated(0, 24), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("جستجو: %1").arg(criterion));

        QStringList headings;
        for (std::size_t c = 0; c < listColumns().size(); ++c) {
            headings << listHeading(c);
        }
        drawCells(painter, kHeadingTop, 24, headings, true);
        const int first = index * kPrintedRowsPerPage;
        const int last = std::min(rows, first + kPrintedRowsPerPage);
        for (int r = first; r < last; ++r) {
            QStringList cells;
            if (const ListedRow* row = source->rowAt(r)) {
                for (std::size_t c = 0; c < listColumns().size(); ++c) {
                    cells << listCell(c, *row);
                }
            }
            drawCells(painter, kRowsTop + (r - first) * kRowHeight, kRowHeight, cells, false);
        }
        painter.drawText(QRect(kMargin, kHeight - kMargin - 20, kWidth - 2 * kMargin, 20),
                         Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("صفحه %1 از %2").arg(index + 1).arg(count));
    };
    return page;
}

} // namespace velmoran
