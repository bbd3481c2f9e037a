#pragma once

#include "data/core/indexedfind.h"
#include "data/core/priceindex.h"
#include "data/core/tablestore.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitecriterion.h"

#include <functional>
#include <map>

namespace velmoran {

// The finds of an SQLite store's table through the price indexes the file
// has (indexedfind.h). Each find is one read transaction; its kept walk holds
// until the file changes: SQLite's data_version tells a change another
// connection committed, and the store tells its own (changed()).
class SqlitePriceFind {
public:
    // Takes the row a statement stands on (rowid in column `at`, then the
    // fields) into `row`.
    using Take = std::function<long long(const sql::Statement&, int at, RowValues&)>;

    // The table of `tableSpec` on `db`.
    SqlitePriceFind(sql::Database& db, const TableSpec& tableSpec, Take take);

    // Notes which of the price indexes the file has. Throws sql::Error.
    void lookUp();
    const std::vector<const PriceIndex*>& present() const { return present_; }
    // True when a find of `c` can walk an index.
    bool serves(const Criterion& c) const;

    // The first row after `after` (or the first of all) that passes `c`, into
    // `row`: its id, nothing when none does. `scanSource` is what the scan
    // steps over in id order: the table, perhaps INDEXED BY the find index.
    // Throws sql::Error.
    std::optional<long long> find(const Criterion& c, std::optional<long long> after,
                                  const QString& scanSource, RowValues& row);

    // The store changed the table itself.
    void changed() { ++writes_; }

private:
    // A prepared statement, and the criterion whose values are bound to it:
    // binding anew a value the planner looked at (a flag, which decides
    // whether a partial index serves) makes SQLite prepare it again.
    struct Kept {
        sql::Statement statement;
        QString bound;
    };
    Kept& kept(const QString& sql);
    sql::Statement& statement(const QString& sql) { return kept(sql).statement; }
    // Binds `c`'s values from parameter `first`, unless they are bound.
    sql::Statement& withCriterion(const QString& sql, const SqliteCriterion& c, int first);
    void begin();
    void commit();
    QString version();
    FindRound round(const SqliteCriterion& c, const std::vector<PriceWalk>& walks,
                    const QString& scanSource, std::optional<long long> from, long long span,
                    int limit, bool anyway);
    // The first of the kept ids after `after` whose row passes `c`; each
    // read also asks whether the file changed since the walk (then `moved`).
    struct Step {
        bool moved = false;
        std::optional<long long> id;
    };
    // `inFind`: within the find's own transaction, the file unchanged.
    Step step(const SqliteCriterion& c, std::optional<long long> after, RowValues& row,
              bool inFind);

    sql::Database& db_;
    const TableSpec& tableSpec_;
    Take take_;
    QString table_;
    std::vector<QString> columns_;
    std::vector<QString> numbers_; // by field: the number expression of its column
    QString select_;
    std::vector<const PriceIndex*> present_;
    std::map<QString, Kept> statements_;
    QString key_; // the criterion of the find under way
    FindMemory memory_;
    long long writes_ = 0;
};

} // namespace velmoran
