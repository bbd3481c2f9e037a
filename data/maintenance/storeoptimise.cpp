#include "data/maintenance/storeoptimise.h"

#include "data/core/priceindex.h"
#include "data/core/storemessages.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgmessages.h"
#include "data/postgres/pgschema.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"

#include <QDir>
#include <QFileInfo>

namespace velmoran {

namespace {

// How long an addition waits for another copy's write to finish; the page
// cache of the build, in KiB.
constexpr int kBusyTimeout = 3000;
constexpr int kBuildCacheKiB = 65536;

PriceIndexCheck onFile(const StoreLocation& store, const TableSpec& tableSpec, bool add) {
    PriceIndexCheck check;
    check.store = QDir(store.folder).filePath(QString::fromUtf8(tableSpec.fileName));
    check.wanted = static_cast<int>(priceIndexes(tableSpec).size());
    if (!QFileInfo(check.store).isFile()) {
        check.error =
            storeMessage(StoreProblem::CannotOpen, check.store, QStringLiteral("No such file"));
        return check;
    }
    StoreProblem problem = StoreProblem::CannotOpen;
    try {
        sql::Database db(check.store, add ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
        db.setBusyTimeout(kBusyTimeout);
        if (add) {
            db.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kBuildCacheKiB));
            problem = StoreProblem::CannotWrite;
            check.missing = addFilePriceIndexes(db, tableSpec);
            check.ownerIndexMissing = addFileOwnerIndex(db, tableSpec);
        } else {
            // Looking must not fold someone's journal into the file.
            db.keepJournal();
            problem = StoreProblem::CannotRead;
            check.missing = static_cast<int>(missingPriceIndexes(db, tableSpec).size());
            check.ownerIndexMissing = !hasFileOwnerIndex(db, tableSpec);
        }
    } catch (const sql::Error& e) {
        check.error = storeMessage(problem, check.store, e.detail());
    }
    return check;
}

PriceIndexCheck onServer(const StoreLocation& store, const TableSpec& tableSpec, bool add) {
    PriceIndexCheck check;
    check.store = pg::displayName(store.server);
    check.wanted = static_cast<int>(priceIndexes(tableSpec).size());
    const QString name = QString::fromUtf8(tableSpec.table);
    PgProblem problem = PgProblem::CannotConnect;
    try {
        pg::Connection connection(store.server);
        problem = PgProblem::CannotRead;
        PgTable table;
        if (const std::optional<TableProblem> p = describePgTable(connection, tableSpec, table)) {
            check.error = pgMessage(p->problem, check.store, name, p->detail);
            return check;
        }
        if (add) {
            problem = PgProblem::CannotWrite;
            check.missing = addPgPriceIndexes(connection, tableSpec, table, true);
            check.ownerIndexMissing = addPgOwnerIndex(connection, tableSpec, table, true);
        } else {
            check.missing =
                static_cast<int>(lookUpPgPriceIndexes(connection, tableSpec, table).missing.size());
            check.ownerIndexMissing = !hasPgOwnerIndex(connection, tableSpec, table);
        }
    } catch (const pg::Error& e) {
        check.error = pgMessage(e, e.connectionLost() ? PgProblem::CannotConnect : problem,
                                check.store, name);
    }
    return check;
}

} // namespace

PriceIndexCheck checkPriceIndexes(const StoreLocation& store, const TableSpec& tableSpec) {
    return store.onServer() ? onServer(store, tableSpec, false) : onFile(store, tableSpec, false);
}

PriceIndexCheck addPriceIndexes(const StoreLocation& store, const TableSpec& tableSpec) {
    return store.onServer() ? onServer(store, tableSpec, true) : onFile(store, tableSpec, true);
}

} // namespace velmoran
