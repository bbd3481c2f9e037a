#pragma once

#include "data/core/fields.h"
#include "data/core/priceindex.h"
#include "data/sqlite/sqlite.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmoran {

// Makes sure a store file can be used: created with its table (and, for
// table `pc`, one row holding the empty text, mode 600) only when the file is
// missing; otherwise opened as it is and checked: an SQLite database, with
// the table and every field's column, readable and writable. An existing file
// is never altered by a failed check. Returns the empty string when the file
// is fine, else a Persian message naming the file and the problem.
QString prepareStoreFile(const QString& folder, const TableSpec& tableSpec);

// Adds the table of `tableSpec` to its existing file (one the listings'
// table made) when the file lacks it, in one transaction; the file's other
// tables stay as they are. The empty string when the table is there
// afterwards, else a Persian message naming the file and the problem.
QString addStoreTable(const QString& folder, const TableSpec& tableSpec);

// Makes the table of `tableSpec` (without its indexes) in the file of `db`;
// whether it already has the table: hasTable. Throw sql::Error.
void createStoreTable(sql::Database& db, const TableSpec& tableSpec);
bool hasTable(sql::Database& db, const TableSpec& tableSpec);

// Whether the existing file of `tableSpec` in `folder` has its table; throws
// sql::Error.
bool hasStoreTable(const QString& folder, const TableSpec& tableSpec);

// Gives the empty SQLite file at `path` the structure prepareStore gives a
// file it creates: large pages, the write-ahead journal, the table with its
// find index, its price indexes (priceindex.h), its owner index and, for table `pc`, its
// one row holding the empty text. The import builds its files this way under
// a temporary name. Throws sql::Error.
void createStoreSchema(const QString& path, const TableSpec& tableSpec);

// The statements that make the price indexes of `tableSpec`'s table in an
// SQLite file (none for a table without them).
QStringList createPriceIndexesSql(const TableSpec& tableSpec);

// The price indexes of `tableSpec`'s table that the file of `db` lacks, or
// has under the name but made otherwise. Throws sql::Error.
std::vector<const PriceIndex*> missingPriceIndexes(sql::Database& db, const TableSpec& tableSpec);
// Makes them, in one transaction (an index of the name made otherwise goes
// first); returns how many. Throws sql::Error.
int addFilePriceIndexes(sql::Database& db, const TableSpec& tableSpec);

// The owner find's index (sqlitecriterion.h's sqliteOwnerKeyExpression) of
// `tableSpec`'s table: its CREATE INDEX (empty for a table without an
// owner), whether the file of `db` has it made exactly so, and its
// addition where it lacks it (true when made). Throw sql::Error.
QString createOwnerIndexSql(const TableSpec& tableSpec);
bool hasFileOwnerIndex(sql::Database& db, const TableSpec& tableSpec);
bool addFileOwnerIndex(sql::Database& db, const TableSpec& tableSpec);

} // namespace velmoran
