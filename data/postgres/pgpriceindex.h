#pragma once

#include "data/core/priceindex.h"

#include <QString>

#include <vector>

namespace velmoran {

// The price indexes (priceindex.h) on the server: an immutable function of
// the table's schema reads the number exactly.

// The name of the function that reads a number on the server, and its body
// (one SQL expression of its argument $1), as it is made in the table's
// schema.
constexpr const char* kPgNumberFunction = "velmoran_number";
QString pgNumberFunctionBody();
// CREATE FUNCTION of it in schema `schema` (quoted; empty: the first schema
// of the search_path).
QString pgCreateFunctionSql(const QString& schema);
// CREATE INDEX of `index` on `table` (quoted, found through the
// search_path), the function in `schema` (quoted), columns by field (quoted),
// the id column `id` (quoted) carried in the index so that a walk reads
// nothing else. `concurrently` builds it while the desks go on writing.
QString pgCreateIndexSql(const PriceIndex& index, const QString& table, const QString& schema,
                         const std::vector<QString>& columns, const QString& id, bool concurrently);

} // namespace velmoran
