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
// On SQLite the number is an expression of SQLite's own functions, which
// every SQLite client evaluates alike: it gives the number the program reads
// (data/core/numbers.h) for every text that is one, and nothing or some number for
// other texts, so the entries of a range are a superset of the rows whose
// number lies in it, which the program's reading then checks. On PostgreSQL
// an immutable function of the table's schema reads the number exactly.
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

// ---- SQLite --------------------------------------------------------------

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

// ---- PostgreSQL ----------------------------------------------------------

// The name of the function that reads a number on the server, and its body
// (one SQL expression of its argument $1), as it is made in the table's
// schema.
constexpr const char* kServerNumberFunction = "velmoran_number";
QString serverNumberFunctionBody();
// CREATE FUNCTION of it in schema `schema` (quoted; empty: the first schema
// of the search_path).
QString serverCreateFunctionSql(const QString& schema);
// CREATE INDEX of `index` on `table` (quoted, found through the
// search_path), the function in `schema` (quoted), columns by field (quoted),
// the id column `id` (quoted) carried in the index so that a walk reads
// nothing else. `concurrently` builds it while the desks go on writing.
QString serverCreateIndexSql(const PriceIndex& index, const QString& table, const QString& schema,
                             const std::vector<QString>& columns, const QString& id,
                             bool concurrently);

} // namespace velmoran
