#include "screens/common/listinglayout.h"

#include "platform/twips.h"
#include "platform/widgets/fonts.h"
#include "screens/common/boundcontrols.h"

#include <QFrame>
#include <QLabel>
#include <QScrollArea>

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

bool shiftedRightOnEdit(const ListingItem& item) {
    return std::any_of(std::begin(kListingEditShiftedRight), std::end(kListingEditShiftedRight),
                       [&](const char* name) { return std::strcmp(name, item.objectName) == 0; });
}

QFont fontFor(ListingFont role) {
    const FontSpec fontSpec = listingFontSpec(role);
    return designFont(QString::fromLatin1(fontSpec.family), fontSpec.pointSize, fontSpec.bold);
}

// Column captions (the deal row, the floor table, the land row) and the
// stacked captions and dashes of the building row stand centred over or
// between their controls; every other caption stands against the control it
// names, which is on its left.
Qt::Alignment captionAlignment(const ListingItem& item) {
    const bool column = item.band == 3 || item.band == 5 || item.band == 7;
    const bool stacked = item.font == ListingFont::CaptionSmall ||
                         item.font == ListingFont::CaptionTiny || item.font == ListingFont::Dash;
    if (column || (item.band == 4 && stacked)) {
        return Qt::AlignCenter;
    }
    return Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter;
}

QWidget* makeItem(const ListingItem& item, RecordSource* source, QWidget* parent) {
    switch (item.kind) {
    case ListingItem::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return frame;
    }
    case ListingItem::Line: {
        auto* line = new QFrame(parent);
        line->setFrameStyle(QFrame::Box | QFrame::Plain);
        line->setLineWidth(1);
        return line;
    }
    case ListingItem::Caption: {
        auto* label = new QLabel(QString::fromUtf8(item.caption), parent);
        label->setAlignment(captionAlignment(item));
        label->setFont(fontFor(item.font));
        return label;
    }
    case ListingItem::TextBox: {
        auto* box = new BoundTextBox(parent);
        box->setFont(fontFor(item.font));
        // The floor table's boxes are its cells: the rules are their border.
        box->setFrame(item.band != 5);
        box->bind(source, QString::fromLatin1(item.field));
        return box;
    }
    case ListingItem::CheckBox: {
        auto* check = new BoundCheckBox(parent);
        check->bind(source, QString::fromLatin1(item.field));
        return check;
    }
    }
    return nullptr;
}

} // namespace

QRect listingItemTwips(const ListingItem& item, ListingVariant variant) {
    QRect rect(kListingDesignWidth - item.right - item.width, item.top, item.width, item.height);
    if (variant == ListingVariant::Edit) {
        rect.translate(shiftedRightOnEdit(item) ? kListingEditShiftRight : 0,
                       kListingEditShiftDown);
    }
    return rect;
}

ListingForm::ListingForm(RecordSource* source, ListingVariant variant, QWidget* parent)
    : QWidget(parent), source_(source), variant_(variant) {
    setObjectName(QStringLiteral("listingForm"));
    setLayoutDirection(Qt::RightToLeft);
    build();
}

int ListingForm::pixels(int twips) const {
    return twipsToPixels(twips, logicalDpiX());
}

QRect ListingForm::pixels(const QRect& twips) const {
    // Both edges are rounded, so items that touch in twips touch in pixels.
    const int x1 = pixels(twips.x());
    const int y1 = pixels(twips.y());
    const int x2 = pixels(twips.x() + twips.width());
    const int y2 = pixels(twips.y() + twips.height());
    return QRect(x1, y1, std::max(1, x2 - x1), std::max(1, y2 - y1));
}

void ListingForm::build() {
    const int height =
        variant_ == ListingVariant::Edit ? kListingEditDesignHeight : kListingDesignHeight;
    setFixedSize(pixels(kListingDesignWidth), pixels(height));

    std::vector<std::pair<int, QWidget*>> bound;
    for (const ListingItem& item : listingTable()) {
        QWidget* widget = makeItem(item, source_, this);
        widget->setObjectName(QString::fromLatin1(item.objectName));
        widget->setGeometry(pixels(listingItemTwips(item, variant_)));
        if (item.kind == ListingItem::Frame) {
            widget->lower();
        }
        if (item.kind == ListingItem::TextBox || item.kind == ListingItem::CheckBox) {
            bound.emplace_back(variant_ == ListingVariant::Edit ? item.editTabIndex : item.tabIndex,
                               widget);
        }
    }
    std::sort(bound.begin(), bound.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : bound) {
        if (!tabOrder_.isEmpty()) {
            QWidget::setTabOrder(tabOrder_.last(), entry.second);
        }
        tabOrder_.append(entry.second);
    }
}

void ListingForm::placeFirst(QWidget* control, const QRect& twips) {
    control->setParent(this);
    control->setGeometry(pixels(twips));
    if (!tabOrder_.isEmpty()) {
        QWidget::setTabOrder(control, tabOrder_.first());
    }
    tabOrder_.prepend(control);
}

QWidget* listingView(ListingForm* form, QWidget* parent) {
    auto* view = new QScrollArea(parent);
    view->setObjectName(QStringLiteral("listingView"));
    view->setFrameShape(QFrame::NoFrame);
    view->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    view->setWidgetResizable(false);
    view->setWidget(form);
    return view;
}

} // namespace velmoran
