#pragma once

#include "data/core/listingtable.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

namespace velmoran {

class RecordSource;

// An item's rectangle for a variant, in twips measured from the form's top
// left corner (left grows to the right, as on any widget).
QRect listingItemTwips(const ListingItem& item, ListingVariant variant);

// The bound listing layout on a widget of the design size: built from the
// table, every control bound to `source`, the focus chain set in the
// variant's tab order. Positions are fixed (the form is drawn to fit the
// design area); put it in a listingView() to have it centred in a larger
// window.
class ListingForm : public QWidget {
    Q_OBJECT
public:
    ListingForm(RecordSource* source, ListingVariant variant, QWidget* parent = nullptr);

    ListingVariant variant() const { return variant_; }
    RecordSource* source() const { return source_; }

    // The bound text boxes and check boxes in the variant's tab order.
    const QList<QWidget*>& tabOrder() const { return tabOrder_; }

    // Twips to this widget's pixels (15 twips a pixel at 96 dpi, scaled by
    // the logical dpi).
    int pixels(int twips) const;
    QRect pixels(const QRect& twips) const;

    // Places a control of the screen's own (the edit screen's button) at a
    // rectangle in twips from the top left corner and puts it first in the
    // tab order.
    void placeFirst(QWidget* control, const QRect& twips);

private:
    void build();

    RecordSource* source_;
    ListingVariant variant_;
    QList<QWidget*> tabOrder_;
};

// A scroll area holding `form`, which keeps the form at its design size, top
// and centred in a larger window, with scroll bars in a smaller one.
QWidget* listingView(ListingForm* form, QWidget* parent = nullptr);

} // namespace velmoran
