#pragma once

#include "data/core/tablestore.h"
#include "data/sqlite/sqlite.h"

#include <memory>

namespace velmoran {

// A table of an SQLite file in the data folder: the store of a single desk.
class SqliteTableStore : public TableStore {
public:
    // Opens `folder`/tableSpec.fileName read-write, or only to read it
    // (a read leaves the journal to the copies writing the file). The file
    // must exist with its table and every field's column; throws StoreError.
    SqliteTableStore(const QString& folder, const TableSpec& tableSpec,
                     StoreAccess access = StoreAccess::ReadWrite);
    ~SqliteTableStore() override;

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
