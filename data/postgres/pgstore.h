#pragma once

#include "data/core/tablestore.h"

#include <memory>

namespace velmoran {

// A table on a PostgreSQL server: the store that every desk of an agency
// shares. Each operation is one statement or one transaction in READ
// COMMITTED, so a find sees what other desks stored before it started. A
// connection the server ended (a restart) is made again and the operation
// runs on it, since nothing of it was done; a server that can't be reached
// fails the operation with a Persian message (the typed row stays with the
// record source), and the next operation connects again. A commit whose
// answer was lost is asked after, so a listing is never stored twice.
class PgTableStore : public TableStore {
public:
    // Connects to the server `conninfo` (a libpq connection string) and
    // opens its table of `tableSpec`, which must exist with every field's
    // column (preparePgStore); throws StoreError.
    PgTableStore(const QString& conninfo, const TableSpec& tableSpec);
    ~PgTableStore() override;

    const TableSpec& tableSpec() const override;
    QString name() const override;
    QString message(StoreProblem problem, const QString& detail = QString()) const override;

    std::optional<long long> first(RowValues& row) override;
    bool read(long long id, RowValues& row) override;
    std::optional<long long> find(const Criterion& c, std::optional<long long> after,
                                  RowValues& row) override;
    long long insert(const RowValues& row) override;
    StoredRow update(long long id, const RowValues& row, const std::vector<bool>& changed,
                     const RowValues& read) override;
    void remove(long long id) override;
    void scan(const EachRow& each) override;
    void setBusyTimeout(int milliseconds) override;
    using TableStore::insertAll;
    long long insertAll(const NextRow& next) override;
    std::vector<ListedRow> listPage(const Criterion* c, const std::vector<int>& fields,
                                    std::optional<long long> after, int count,
                                    bool descending) override;
    std::vector<ListedRow> listRows(const std::vector<long long>& ids,
                                    const std::vector<int>& fields) override;
    long long countMatches(const Criterion* c) override;
    void matchTexts(const Criterion* c, int field, const EachText& each) override;
    void matchRows(const Criterion* c, const std::vector<int>& fields,
                   const EachListed& each) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace velmoran
