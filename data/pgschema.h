#pragma once

#include "data/fields.h"
#include "data/pq.h"
#include "data/servermessages.h"

#include <QString>

#include <optional>
#include <vector>

namespace velmoran {

// A table of the server as the program uses it: the names of its columns as
// the server has them (an existing table's names are matched without regard
// to case), quoted for SQL.
struct ServerTable {
    QString table;                // the table, found through the search_path
    QString id;                   // its id column
    QString idName;               // the same, unquoted
    std::vector<QString> columns; // by field
    QString columnList() const;   // the field columns in field order, joined
};

// What is wrong with a table: the problem and its detail.
struct TableProblem {
    ServerProblem problem;
    QString detail;
};

// Looks up the table of `tableSpec` on `connection` and checks it as the
// program needs it: UTF-8, the table, every field's column of a usable type,
// an id that numbers new rows, the right to read and write it. Fills `table`,
// or returns the problem. Throws pq::Error when the server can't be asked.
std::optional<TableProblem> describeServerTable(pq::Connection& connection,
                                                const TableSpec& tableSpec, ServerTable& table);

// Makes sure the table of `tableSpec` on the server `conninfo` can be used:
// created when missing (in the schema the connection's search_path names,
// with, for table `pc`, one row holding the empty text), where the role may
// create it; an existing table is used as it is and never altered. Returns
// the empty string when it can be used, else a Persian message naming the
// server, the table and the problem.
QString prepareServerStore(const QString& conninfo, const TableSpec& tableSpec);

} // namespace velmoran
