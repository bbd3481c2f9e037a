#include "data/store/writegate.h"

#include "data/store/storelocation.h"

#include <utility>

namespace velmoran {

namespace {

WriteGate& writeGate() {
    static WriteGate gate;
    return gate;
}

// Every read goes straight to the store; every write asks the gate first.
class GatedTableStore : public TableStore {
public:
    GatedTableStore(std::unique_ptr<TableStore> table, StoreLocation store)
        : table_(std::move(table)), store_(std::move(store)) {}

    const TableSpec& tableSpec() const override { return table_->tableSpec(); }
    QString name() const override { return table_->name(); }
    QString message(StoreProblem problem, const QString& detail) const override {
        return table_->message(problem, detail);
    }
    std::optional<long long> first(RowValues& row) override { return table_->first(row); }
    bool read(long long id, RowValues& row) override { return table_->read(id, row); }
    std::optional<long long> find(const Criterion& c, std::optional<long long> after,
                                  RowValues& row) override {
        return table_->find(c, after, row);
    }
    long long insert(const RowValues& row) override {
        gate();
        return table_->insert(row);
    }
    StoredRow update(long long id, const RowValues& row, const std::vector<bool>& changed,
                     const RowValues& read) override {
        gate();
        return table_->update(id, row, changed, read);
    }
    void remove(long long id) override {
        gate();
        table_->remove(id);
    }
    void scan(const EachRow& each) override { table_->scan(each); }
    void setBusyTimeout(int milliseconds) override { table_->setBusyTimeout(milliseconds); }
    using TableStore::insertAll;
    long long insertAll(const NextRow& next) override {
        gate();
        return table_->insertAll(next);
    }
    std::vector<ListedRow> listPage(const Criterion* c, const std::vector<int>& fields,
                                    std::optional<long long> after, int count,
                                    bool descending) override {
        return table_->listPage(c, fields, after, count, descending);
    }
    std::vector<ListedRow> listRows(const std::vector<long long>& ids,
                                    const std::vector<int>& fields) override {
        return table_->listRows(ids, fields);
    }
    long long countMatches(const Criterion* c) override { return table_->countMatches(c); }
    void matchTexts(const Criterion* c, int field, const EachText& each) override {
        table_->matchTexts(c, field, each);
    }

private:
    void gate() { passWriteGate(store_, table_->tableSpec()); }

    std::unique_ptr<TableStore> table_;
    StoreLocation store_;
};

} // namespace

void setWriteGate(WriteGate gate) {
    writeGate() = std::move(gate);
}

void passWriteGate(const StoreLocation& store, const TableSpec& tableSpec) {
    if (writeGate()) {
        writeGate()(store, tableSpec);
    }
}

std::unique_ptr<TableStore> gatedTableStore(std::unique_ptr<TableStore> table,
                                            const StoreLocation& store) {
    return std::make_unique<GatedTableStore>(std::move(table), store);
}

} // namespace velmoran
