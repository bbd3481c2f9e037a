#pragma once

#include <QString>

namespace velmoran::bench {

// The connection string of a database on the benchmark's PostgreSQL server
// holding the same generated listings as cachedListings(rows), copied up with
// copyToServer and vacuumed. The server's cluster is kept in the cache folder
// ($VELMORAN_BENCH_CACHE, else /tmp/velmoran-bench) with PostgreSQL's usual
// durability, started on first use and stopped when the benchmark ends.
QString cachedServerListings(int rows);

} // namespace velmoran::bench
