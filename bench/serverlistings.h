#pragma once

#include <QString>

namespace velmoran::bench {

// The connection string of a database on the benchmark's PostgreSQL server
// holding the same generated listings as cachedListings(rows), copied up with
// copyToServer and vacuumed. The server's cluster is kept in the cache folder
// ($VELMORAN_BENCH_CACHE, else /tmp/velmoran-bench) with PostgreSQL's usual
// durability, started on first use and stopped when the benchmark ends.
// The table is made as the program makes it, with its price indexes;
// `withPriceIndexes` false gives a copy of the database without them (nor the
// function they read numbers with), as a table of an earlier version has it.
QString cachedServerListings(int rows, bool withPriceIndexes = true);

// The bytes of the listings table on the server `conninfo`, its indexes
// included.
double serverStoreMegabytes(const QString& conninfo);

} // namespace velmoran::bench
