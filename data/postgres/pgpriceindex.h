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

// `text` (an SQL expression) with every letter folded as the owner find
// folds it (foldedLetter, criterion.h: Arabic and Persian Yeh and Kaf, Latin
// case): translate() with the letters that fold and what they fold to.
QString pgFoldedText(const QString& text);

// The owner find's index: the owner column `column` (quoted) of `table`
// folded (pgFoldedText) and compared in the "C" collation, exactly the
// expression the find's condition tests, so the server reads only the
// listings of that owner. A hash index: an owner of any length has its
// entry, where an ordered index refuses a row past a few kilobytes.
// `concurrently` builds it while the desks go on writing.
QString pgOwnerIndexName(const QString& table);
QString pgCreateOwnerIndexSql(const QString& indexName, const QString& table, const QString& column,
                              bool concurrently);

} // namespace velmoran
