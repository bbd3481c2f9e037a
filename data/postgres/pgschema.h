#pragma once

#include "data/core/fields.h"
#include "data/core/priceindex.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgmessages.h"

#include <QString>

#include <optional>
#include <vector>

namespace velmoran {

// A table of the server as the program uses it: the names of its columns as
// the server has them (an existing table's names are matched without regard
// to case), quoted for SQL.
struct PgTable {
    QString table;                // the table, found through the search_path
    QString id;                   // its id column
    QString idName;               // the same, unquoted
    std::vector<QString> columns; // by field
    QString columnList() const;   // the field columns in field order, joined
};

// What is wrong with a table: the problem and its detail.
struct TableProblem {
    PgProblem problem;
    QString detail;
};

// Looks up the table of `tableSpec` on `connection` and checks it as the
// program needs it: UTF-8, the table, every field's column of a usable type,
// an id that numbers new rows, the right to read and write it. Fills `table`,
// or returns the problem. Throws pg::Error when the server can't be asked.
std::optional<TableProblem> describePgTable(pg::Connection& connection, const TableSpec& tableSpec,
                                            PgTable& table);

// The price indexes (priceindex.h) of a table on the server: the schema the
// table is in (quoted), whether that schema holds the program's function that
// reads a number, and the indexes it has (only with the program's function)
// and lacks.
struct PgPriceIndexes {
    enum class Function { Missing, Ours, Other };
    QString schema;
    Function function = Function::Missing;
    std::vector<const PriceIndex*> present;
    std::vector<const PriceIndex*> missing;
};
PgPriceIndexes lookUpPgPriceIndexes(pg::Connection& connection, const TableSpec& tableSpec,
                                    const PgTable& table);

// Gives the table what it lacks of its price indexes: the function (made
// anew when the schema's is not the program's, and then every index too), and
// each missing index; an index an earlier attempt left unfinished is made
// again. `concurrently`: built while the desks go on writing (each index in a
// transaction of its own). Returns the number of indexes made. Throws
// pg::Error.
int addPgPriceIndexes(pg::Connection& connection, const TableSpec& tableSpec, const PgTable& table,
                      bool concurrently);

// The owner find's index (pgCreateOwnerIndexSql) of a table with an owner
// field: whether the table has it (built and valid); and, where it lacks it,
// adding it (an unfinished one of an earlier attempt made again), then
// ANALYZE so the server knows the owners. True when it was added. Throw
// pg::Error. A table without an owner field has nothing to add.
bool hasPgOwnerIndex(pg::Connection& connection, const TableSpec& tableSpec, const PgTable& table);
bool addPgOwnerIndex(pg::Connection& connection, const TableSpec& tableSpec, const PgTable& table,
                     bool concurrently);

// Makes sure the table of `tableSpec` on the server `conninfo` can be used:
// created when missing (in the schema the connection's search_path names,
// with, for table `pc`, one row holding the empty text), where the role may
// create it, with its price indexes and its owner index; an existing table is used as it is and
// never altered. Returns
// the empty string when it can be used, else a Persian message naming the
// server, the table and the problem.
QString preparePgStore(const QString& conninfo, const TableSpec& tableSpec);

} // namespace velmoran
