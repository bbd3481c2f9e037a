#include "data/store/storelocation.h"

#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgmessages.h"
#include "data/postgres/pgschema.h"
#include "data/postgres/pgstore.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/sqlitestore.h"
#include "data/store/writegate.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <optional>
#include <utility>

namespace velmoran {

namespace {

std::optional<StoreLocation> chosen;

// The configuration file at `path` can't be used, `why` (Persian).
QString configMessage(const QString& path, const QString& why) {
    return QStringLiteral("فايل تنظيمات %1 %2.").arg(isolatedPath(path), why);
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
    void matchRows(const Criterion* c, const std::vector<int>& fields,
                   const EachListed& each) override {
        table_->matchRows(c, fields, each);
    }

private:
    void gate() { passWriteGate(store_, table_->tableSpec()); }

    std::unique_ptr<TableStore> table_;
    StoreLocation store_;
};

} // namespace

QString configFilePath() {
    return configFolder() + QStringLiteral("/velmoran/velmoran.conf");
}

StoreLocation configuredStore(QString* problem) {
    StoreLocation store{dataFolder(), QString()};
    const QString path = configFilePath();
    const QFileInfo info(path);
    if (!info.exists()) {
        return store;
    }
    if (!info.isFile() || !info.isReadable()) {
        *problem = configMessage(path, QStringLiteral("خواندني نيست"));
        return store;
    }
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QStringLiteral("store/server"));
    if (settings.status() != QSettings::NoError) {
        *problem = configMessage(path, QStringLiteral("قالب آن درست نيست"));
        return store;
    }
    // An unquoted value with commas (several hosts) comes back as a list.
    store.server = value.metaType().id() == QMetaType::QStringList
                       ? value.toStringList().join(QLatin1Char(','))
                       : value.toString();
    store.server = store.server.trimmed();
    return store;
}

StoreLocation activeStore() {
    return chosen ? *chosen : StoreLocation{dataFolder(), QString()};
}

void setActiveStore(const StoreLocation& store) {
    chosen = store;
}

void clearActiveStore() {
    chosen.reset();
}

QString prepareStore(const StoreLocation& store, const TableSpec& tableSpec) {
    if (store.onServer()) {
        return preparePgStore(store.server, tableSpec);
    }
    const TableSpec& listings = listingsTable();
    if (&tableSpec == &listings ||
        QLatin1String(tableSpec.fileName) != QLatin1String(listings.fileName)) {
        return prepareStoreFile(store.folder, tableSpec);
    }
    // A table kept beside the listings in their file: the file as the
    // listings have it, the table added where a store made before it lacks
    // it (a write, past the gate).
    const QString problem = prepareStoreFile(store.folder, listings);
    if (!problem.isEmpty()) {
        return problem;
    }
    try {
        if (hasStoreTable(store.folder, tableSpec)) {
            return prepareStoreFile(store.folder, tableSpec);
        }
    } catch (const sql::Error&) {
        // addStoreTable says what is wrong with the file.
    }
    try {
        passWriteGate(store, tableSpec);
    } catch (const StoreError& e) {
        return e.message();
    }
    return addStoreTable(store.folder, tableSpec);
}

bool storeHasTable(const StoreLocation& store, const TableSpec& tableSpec) {
    if (store.onServer()) {
        const QString server = pg::displayName(store.server);
        const QString name = QString::fromUtf8(tableSpec.table);
        try {
            pg::Connection connection(store.server);
            PgTable table;
            const std::optional<TableProblem> problem =
                describePgTable(connection, tableSpec, table);
            if (problem && problem->problem != PgProblem::NoTable) {
                throw StoreError(pgMessage(problem->problem, server, name, problem->detail));
            }
            return !problem;
        } catch (const pg::Error& e) {
            throw StoreError(
                pgMessage(e, e.connectionLost() ? PgProblem::CannotConnect : PgProblem::CannotRead,
                          server, name));
        }
    }
    const QString path = QDir(store.folder).filePath(QString::fromUtf8(tableSpec.fileName));
    if (!QFileInfo::exists(path)) {
        return false;
    }
    try {
        return hasStoreTable(store.folder, tableSpec);
    } catch (const sql::Error& e) {
        throw StoreError(storeMessage(StoreProblem::CannotOpen, path, e.detail()));
    }
}

std::unique_ptr<TableStore> openTableStore(const StoreLocation& store, const TableSpec& tableSpec,
                                           StoreAccess access) {
    std::unique_ptr<TableStore> table;
    if (store.onServer()) {
        table = std::make_unique<PgTableStore>(store.server, tableSpec);
    } else {
        table = std::make_unique<SqliteTableStore>(store.folder, tableSpec, access);
    }
    // Whatever writes through the table passes the write gate first.
    if (access == StoreAccess::ReadWrite) {
        return std::make_unique<GatedTableStore>(std::move(table), store);
    }
    return table;
}

void setStoreBusyWait(std::function<void()> wait) {
    sql::setBusyWait(wait);
    pg::setBusyWait(std::move(wait));
}

} // namespace velmoran
