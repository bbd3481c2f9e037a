#pragma once

#include "data/core/indexedfind.h"
#include "data/core/priceindex.h"
#include "data/core/tablestore.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgschema.h"

#include <functional>

namespace velmoran {

// The finds of a server's table through the price indexes it has
// (indexedfind.h). Every statement of a find also answers the snapshot it
// saw (pg_current_snapshot(), which any commit on the server changes): when
// they all saw the same, the find saw one state of the table; else it runs
// again in one REPEATABLE READ transaction. A kept walk holds for as long as
// the snapshot stays the same.
class PgPriceFind {
public:
    // Runs a find's statement (prepared once) on the store's connection.
    using Exec = std::function<pg::Result(const QString& sql, const pg::Params& params)>;
    // Takes the row of a result, id in column `at` and the fields after it.
    using Take = std::function<long long(const pg::Result& result, int at, RowValues& row)>;

    PgPriceFind(const TableSpec& tableSpec, Exec exec, Take take);

    // Notes which price indexes the table has, on a new connection. Throws
    // pg::Error.
    void lookUp(pg::Connection& connection, const PgTable& table);
    bool hasIndexes() const { return !present_.empty(); }
    bool serves(const Criterion& c) const;

    // The first row after `after` (or the first of all) that passes `c`, into
    // `row`: its id, nothing when none does. Throws pg::Error.
    std::optional<long long> find(pg::Connection& connection, const Criterion& c,
                                  std::optional<long long> after, RowValues& row);

private:
    std::optional<long long> attempt(std::optional<long long> after, RowValues& row,
                                     QString& snapshot);
    // The statements of the finds of one criterion, and their values.
    struct Statements {
        QString key;
        std::size_t walks = 0;
        QString round, step;
        pg::Params roundParams, stepParams; // the first ones set by each use
    };
    void prepare(const Criterion& c);
    FindRound round(std::optional<long long> from, long long span, int limit, RowValues& row,
                    QString& snapshot);
    // The first kept id after `after` whose row passes the criterion;
    // `snapshot` the one the kept ids hold for: a statement that sees another
    // throws.
    std::optional<long long> step(std::optional<long long> after, RowValues& row,
                                  QString& snapshot);

    const TableSpec& tableSpec_;
    Exec exec_;
    Take take_;
    PgTable table_;
    QString schema_;
    std::vector<const PriceIndex*> present_;
    FindMemory memory_;
    Statements statements_;
};

} // namespace velmoran
