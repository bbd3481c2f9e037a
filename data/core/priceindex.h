#pragma once

#include "data/core/fields.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmoran {

class Criterion;

// The ordered price indexes of the listings table: for each deal, and each
// deal with each kind, the listings of that deal (and kind) ordered by their
// total price read as a number; the rent deal's kinds also by their rent, and
// by the other of the two within it. A find of a panel row walks the entries
// of its price (or rent) range only.
//
// Each store makes them in its own dialect: sqlitepriceindex.h for a file,
// pgpriceindex.h for the server.
struct PriceIndex {
    QString name;           // the index's name, the table's name first
    std::vector<int> flags; // flag fields that must be set (-1)
    std::vector<int> keys;  // text fields read as numbers, in key order
};

// The price indexes of `tableSpec`; none for a table without the fields.
const std::vector<PriceIndex>& priceIndexes(const TableSpec& tableSpec);

// One range of one index's walk: key `key` (by position) within low..high,
// both exclusive; either may be infinite.
struct WalkRange {
    int key;
    double low, high;
};

// The walk of one index that a find can take: every row that passes the
// criterion is among the index's entries within the ranges.
struct PriceWalk {
    const PriceIndex* index;
    std::vector<WalkRange> ranges; // the leading key's first
    // Every test of the criterion is the walk's: where the index reads
    // numbers exactly (the server), its entries are the rows that pass.
    bool exact = false;
};

// The walks a find of `c` can take through the indexes `present` (indexes of
// priceIndexes()): for each number field of `c` that leads an index whose
// flags `c` requires, the narrowest such index. None when no index serves.
std::vector<PriceWalk> priceWalks(const Criterion& c,
                                  const std::vector<const PriceIndex*>& present);

// A text that tells two criteria apart when they would find different rows.
QString findKey(const Criterion& c);

// `index`'s flags set: "flag" = -1 AND ..., the columns by field (quoted).
QString priceIndexFlagCondition(const PriceIndex& index, const std::vector<QString>& columns);

} // namespace velmoran
