#include "screens/search/panelplacement.h"

#include <QWidget>

#include <algorithm>
#include <optional>

namespace velmoran {

namespace {

// Between a panel and what it keeps clear of, and from the area's edges.
constexpr int kGap = 12;

// The lowest bottom edge among the rectangles `place` meets; none: -1.
int lowestMet(const QRect& place, const QList<QRect>& clear) {
    int bottom = -1;
    for (const QRect& r : clear) {
        if (place.intersects(r)) {
            bottom = std::max(bottom, r.bottom());
        }
    }
    return bottom;
}

// The place at `x` as high as it stands clear of `clear` within `area`,
// from `top` down; nothing when there is none.
std::optional<QRect> highestClear(int x, int top, const QSize& frame, const QRect& area,
                                  const QList<QRect>& clear) {
    QRect place(QPoint(x, top), frame);
    while (area.contains(place)) {
        const int met = lowestMet(place, clear);
        if (met < 0) {
            return place;
        }
        place.moveTop(met + 1 + kGap);
    }
    return std::nullopt;
}

} // namespace

QPoint panelPlace(const QRect& area, int top, const QSize& frame, const QList<QRect>& inSight,
                  const QList<QRect>& others, bool bottomRightFirst) {
    const int firstTop = std::max(area.top() + kGap, top + kGap);
    const int rightmost = area.right() - kGap - frame.width() + 1;
    for (const QList<QRect>& clear : {inSight + others, inSight}) {
        if (bottomRightFirst) {
            const QRect corner(QPoint(rightmost, area.bottom() - kGap - frame.height() + 1), frame);
            if (corner.top() >= firstTop && lowestMet(corner, clear) < 0) {
                return corner.topLeft();
            }
        }
        QList<int> xs;
        for (int x = area.left() + kGap; x < rightmost; x += frame.width() + kGap) {
            xs << x;
        }
        xs << rightmost;
        for (int x : xs) {
            if (const std::optional<QRect> place = highestClear(x, firstTop, frame, area, clear)) {
                return place->topLeft();
            }
        }
    }
    return QPoint(area.left() + kGap, firstTop);
}

const QStringList& fieldsKeptInSight() {
    static const QStringList names = {
        // The owner, the district and the telephone, with their captions.
        QStringLiteral("Label1"), QStringLiteral("Text1"), QStringLiteral("Label2"),
        QStringLiteral("Text2"), QStringLiteral("Label3"), QStringLiteral("Text3"),
        // The deal and kind flags, each under its caption.
        QStringLiteral("Label7"), QStringLiteral("Check1"), QStringLiteral("Label8"),
        QStringLiteral("Check2"), QStringLiteral("Label9"), QStringLiteral("Check3"),
        QStringLiteral("Label10"), QStringLiteral("Check4"), QStringLiteral("Label11"),
        QStringLiteral("Check5"), QStringLiteral("Label12"), QStringLiteral("Check6"),
        QStringLiteral("Label13"), QStringLiteral("Check7"), QStringLiteral("Label14"),
        QStringLiteral("Check8"), QStringLiteral("Label15"), QStringLiteral("Check9"),
        // The price with its captions.
        QStringLiteral("Label24"), QStringLiteral("Label25"), QStringLiteral("Text10")};
    return names;
}

QList<QRect> keptInSight(const QWidget* target) {
    QList<QRect> all;
    if (!target) {
        return all;
    }
    const QWidget* form = target->findChild<QWidget*>(QStringLiteral("listingForm"));
    if (!form) {
        return all;
    }
    for (const QString& name : fieldsKeptInSight()) {
        const auto* control = form->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        if (control) {
            all << QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
        }
    }
    return all;
}

} // namespace velmoran
