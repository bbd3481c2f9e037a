#pragma once

#include <QString>

#include <cstddef>

namespace velmoran {

// The listing layout as a table, with no widget: the screens build their
// forms from it, the export takes its captions for column headings.

// The fonts of the listing screens. Captions are set in "B Traffic" bold,
// text boxes in "B Nazanin"; the exceptions have roles of their own.
enum class ListingFont {
    None,
    Caption,      // "B Traffic" bold 11.25
    CaptionLarge, // "B Traffic" bold 12: bands 1 and 2, the building age
    CaptionSmall, // "B Traffic" bold 9.75: total price / deposit, kitchen fittings
    CaptionTiny,  // "B Traffic" bold 9: unit / per-metre
    Open,         // "Arial" bold 12: the OPEN column
    Dash,         // "Times New Roman" bold 14.25: the dashes between two values
    Box,          // "B Nazanin" 14.25
    BoxBold,      // "B Nazanin" bold 14.25: the date
    BoxSmall,     // "B Nazanin" 12: land area, bathroom of row 4
    BoxArial,     // "Arial" bold 9.75: bedrooms of row 1
    BoxPool,      // "B Traffic" bold 9.75: the pool
};

// One item of the listing layout, as the form designer placed it. Positions
// are in twips on the 11880-twip-wide form; `right` is the distance of the
// item's right edge from the form's right edge, so a band reads from the
// right. `tabIndex` is the entry and search screens' tab order, `editTabIndex`
// the edit screen's (where its button comes first); -1 for items that take no
// focus.
struct ListingItem {
    enum Kind { Frame, Caption, TextBox, CheckBox, Line };

    const char* objectName;
    Kind kind;
    int band;            // 1..9, top to bottom
    const char* field;   // bound controls only
    const char* caption; // captions only (UTF-8)
    ListingFont font;
    int right;
    int top;
    int width;
    int height;
    int tabIndex;
    int editTabIndex;
};

// Every item of the layout: frames, captions, the 103 bound controls and the
// rules of the floor table.
struct ListingTable {
    const ListingItem* items;
    std::size_t count;
    const ListingItem* begin() const { return items; }
    const ListingItem* end() const { return items + count; }
    const ListingItem* find(const QString& objectName) const;
};
const ListingTable& listingTable();

struct FontSpec {
    const char* family;
    double pointSize;
    bool bold;
};
FontSpec listingFontSpec(ListingFont font);

// The entry screen and the search screen show the layout as designed; the
// edit screen shows every item 50 twips lower and three of them (the price
// with its two captions) 120 twips further right, and has its own tab order.
enum class ListingVariant { Entry, Edit };

constexpr int kListingDesignWidth = 11880;     // twips
constexpr int kListingDesignHeight = 8190;     // twips, entry and search
constexpr int kListingEditDesignHeight = 8490; // twips, edit
constexpr int kListingEditShiftDown = 50;      // twips
constexpr int kListingEditShiftRight = 120;    // twips
extern const char* const kListingEditShiftedRight[3];

} // namespace velmoran
