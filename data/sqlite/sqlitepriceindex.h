#pragma once

#include "data/core/priceindex.h"

#include <QString>

#include <vector>

namespace velmoran {

// The price indexes (priceindex.h) in an SQLite file. The number is an
// expression of SQLite's own functions, which every SQLite client evaluates
// alike: it gives the number the program reads (data/core/numbers.h) for
// every text that is one, and nothing or some number for other texts, so the
// entries of a range are a superset of the rows whose number lies in it,
// which the program's reading then checks.

// The number of the text in `column` (quoted) as the SQLite index holds it:
// built-in functions only. A text in Arabic-Indic digits it holds as
// kSqliteUnreadNumber, whose entries every walk takes as well.
QString sqliteNumberExpression(const QString& column);
constexpr double kSqliteUnreadNumber = -9007199254740992.0; // -2^53, exact in SQL text
// The statement that makes `index` on `table` (quoted), whose columns
// `columns` are by field (quoted). Exactly as SQLite keeps it in
// sqlite_schema, so a file's index can be compared with it.
QString sqliteCreateIndexSql(const PriceIndex& index, const QString& table,
                             const std::vector<QString>& columns);
// SQLite's reading of a number may differ from the program's in the last
// digits of a long decimal: a walk of an SQLite index takes its bounds a
// little wider (inclusive) and the exact check decides.
double widenedLow(double low);
double widenedHigh(double high);

} // namespace velmoran
