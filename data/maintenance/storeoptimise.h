#pragma once

#include "data/core/fields.h"
#include "data/store/storelocation.h"

#include <QString>

namespace velmoran {

// What a store's table holds of its price indexes (priceindex.h): a store
// made by an earlier version of the program has none, and finds by a pass
// over its rows until the user adds them (velmoran-cli optimise); nothing
// adds them by itself.
struct PriceIndexCheck {
    QString store; // what messages name: the file's path or the server
    int wanted = 0;
    int missing = 0;
    // The owner find's index (the listings table): lacking (added, in the
    // answer of addPriceIndexes).
    bool ownerIndexMissing = false;
    QString error; // Persian, when the store could not be looked at or changed
    bool ok() const { return error.isEmpty(); }
};

// Looks at the table of `tableSpec` in `store` without changing it.
PriceIndexCheck checkPriceIndexes(const StoreLocation& store, const TableSpec& tableSpec);

// Adds what the table lacks: in a file in one transaction (the file is held
// meanwhile); on a server each index built while the desks go on working.
// `missing` of the answer is what was added.
PriceIndexCheck addPriceIndexes(const StoreLocation& store, const TableSpec& tableSpec);

} // namespace velmoran
