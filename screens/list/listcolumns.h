#pragma once

#include "data/core/tablestore.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmoran {

// How a column of the list of matches sorts.
enum class SortAs {
    Id,     // the listing's id (the order it was stored in)
    Number, // the text read as the agency writes numbers; other texts after
    Name,   // Persian alphabetical order
    Date,   // a date as typed, year/month/day in any digits; other texts after
    None,   // not sortable (a set of flags)
};

// One column of the list: the listing's id, one text field, or the flags of
// a group joined (the kinds, the deals) in the order given.
struct ListColumn {
    const char* objectName; // the column's name, for tests and the walk
    const char* field;      // a text field; null for the id or a flag group
    const char* heading;    // null: the field's caption on the listing screens
    SortAs sort;
    std::vector<const char*> flags; // a flag group's fields
};

// The columns in the screens' right-to-left order (the first stands at the
// right).
const std::vector<ListColumn>& listColumns();
// The heading of column `c`.
QString listHeading(std::size_t c);
// The fields the list reads, by index in the listings table.
const std::vector<int>& listedFields();
// The text of column `c` of a row.
QString listCell(std::size_t c, const ListedRow& row);
// The field a sortable text column sorts by; -1 for the id and the rest.
int sortField(std::size_t c);

// A date as the agency types it ("1403/01/11", "۱۴۰۳/۱/۱۱"), as one number
// that orders dates (yyyymmdd); -1 for a text that is no such date.
long long dateKey(const QString& text);

} // namespace velmoran
