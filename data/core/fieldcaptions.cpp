#include "data/core/fieldcaptions.h"

#include "data/core/fields.h"
#include "data/core/listingtable.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace velmoran {

namespace {

// The bands whose captions stand over their boxes, as column headings.
bool captionsAbove(int band) {
    return band == 3 || band == 5 || band == 7;
}
constexpr int kFloorBand = 5;

int leftEdge(const ListingItem& item) { // from the form's right edge
    return item.right + item.width;
}

int centre(const ListingItem& item) {
    return item.right + item.width / 2;
}

QString cleaned(const char* caption) {
    QString text = QString::fromUtf8(caption);
    text.remove(QChar(0x0640)); // the stretching letter (kashida)
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
        text = text.trimmed();
    }
    return text.simplified();
}

bool isDash(const ListingItem& item) {
    return item.kind == ListingItem::Caption && cleaned(item.caption) == QLatin1String("-");
}

bool isControl(const ListingItem& item) {
    return item.kind == ListingItem::TextBox || item.kind == ListingItem::CheckBox;
}

class Headings {
public:
    Headings() {
        for (const ListingItem& item : listingTable()) {
            if (item.band == kFloorBand && item.kind == ListingItem::TextBox &&
                std::find(rowTops_.begin(), rowTops_.end(), item.top) == rowTops_.end()) {
                rowTops_.push_back(item.top);
            }
        }
        std::sort(rowTops_.begin(), rowTops_.end());
    }

    QString of(const ListingItem& control) const {
        if (captionsAbove(control.band)) {
            const QString column = over(control);
            return control.band == kFloorBand
                       ? column + QLatin1Char(' ') + QString::number(floorRow(control))
                       : column;
        }
        return beside(control);
    }

private:
    // The caption whose width covers the box's middle.
    QString over(const ListingItem& control) const {
        for (const ListingItem& item : listingTable()) {
            if (item.kind == ListingItem::Caption && item.band == control.band &&
                item.right <= centre(control) && centre(control) <= leftEdge(item)) {
                return cleaned(item.caption);
            }
        }
        return QString::fromLatin1(control.field);
    }

    int floorRow(const ListingItem& control) const {
        const double middle = control.top + control.height / 2.0;
        int best = 0;
        for (std::size_t i = 0; i < rowTops_.size(); ++i) {
            // Every box of a row has the row's height; the middle decides.
            const double rowMiddle = rowTops_[i] + control.height / 2.0;
            if (std::abs(rowMiddle - middle) <
                std::abs(rowTops_[best] + control.height / 2.0 - middle)) {
                best = static_cast<int>(i);
            }
        }
        return best + 1;
    }

    // The nearest items to the right of `item` in its band: all those whose
    // left edge is the nearest one, when `wanted` accepts them.
    template <class Accept>
    std::vector<const ListingItem*> rightOf(const ListingItem& item, Accept wanted) const {
        std::vector<const ListingItem*> nearest;
        int edge = -1;
        for (const ListingItem& other : listingTable()) {
            if (other.band != item.band || !wanted(other) || leftEdge(other) > item.right) {
                continue;
            }
            if (leftEdge(other) > edge) {
                nearest.clear();
                edge = leftEdge(other);
            }
            if (leftEdge(other) == edge) {
                nearest.push_back(&other);
            }
        }
        std::sort(nearest.begin(), nearest.end(),
                  [](const ListingItem* a, const ListingItem* b) { return a->top < b->top; });
        return nearest;
    }

    // The caption (or stacked captions) standing right of the box.
    QString beside(const ListingItem& control) const {
        const std::vector<const ListingItem*> captions = rightOf(
            control, [](const ListingItem& item) { return item.kind == ListingItem::Caption; });
        if (captions.empty()) {
            return QString::fromLatin1(control.field);
        }
        if (isDash(*captions.front())) {
            const std::vector<const ListingItem*> first =
                rightOf(*captions.front(), [](const ListingItem& item) { return isControl(item); });
            if (!first.empty()) {
                return beside(*first.front()) + QStringLiteral(" (2)");
            }
        }
        QStringList parts;
        for (const ListingItem* caption : captions) {
            parts << cleaned(caption->caption);
        }
        return parts.join(QStringLiteral(" / "));
    }

    std::vector<int> rowTops_;
};

} // namespace

QStringList listingFieldCaptions() {
    const Headings headings;
    std::map<QString, QString> byField;
    for (const ListingItem& item : listingTable()) {
        if (isControl(item)) {
            byField[QString::fromLatin1(item.field)] = headings.of(item);
        }
    }
    QStringList result;
    for (std::size_t i = 0; i < kListingFieldCount; ++i) {
        const QString field = QString::fromLatin1(kListingFields[i].name);
        const auto it = byField.find(field);
        result << (it == byField.end() ? field : it->second);
    }
    return result;
}

} // namespace velmoran
