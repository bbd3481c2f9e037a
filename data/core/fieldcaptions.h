#pragma once

#include <QString>
#include <QStringList>

namespace velmoran {

// The caption of each listing field, in the order of the fields
// (kListingFields), as the listing screens show it beside or above its box,
// without its colon and the stretching of its letters: an export's headings,
// and the name a message gives a field.
//  - a floor row's box: its column's caption and the row number ("خواب 1");
//  - a second value after a dash: the first value's caption and "(2)";
//  - the stacked captions of one box joined by " / " ("قيمت كل / وديعه");
//  - a field shown in two boxes (the density, also under the land area): the
//    caption of the last box the layout binds it to.
QStringList listingFieldCaptions();

} // namespace velmoran
