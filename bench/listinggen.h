#pragma once

#include <QString>

namespace velmoran::bench {

// A data folder holding a listings file of `rows` generated listings with the
// lengths an agency's listings have: Persian names, addresses and remarks,
// prices of 6 to 10 digits (some in Persian digits, some grouped, a few
// "توافقي"). Generated once into a cache folder ($VELMORAN_BENCH_CACHE, else
// /tmp/velmoran-bench) and reused by later runs. The file is made as the
// program makes a store, with its price indexes; `withPriceIndexes` false
// gives a copy without them, as a file of an earlier version has it.
QString cachedListings(int rows, bool withPriceIndexes = true);

// The bytes of the listings file in `folder`.
double storeMegabytes(const QString& folder);

// The resident memory of this process in megabytes.
double residentMegabytes();

} // namespace velmoran::bench
