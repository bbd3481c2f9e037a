#include "data/maintenance/storeoptimise.h"

#include "data/postgres/pgschema.h"
#include "data/postgres/pgconnection.h"
#include "data/core/priceindex.h"
#include "data/postgres/pgmessages.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/core/storemessages.h"

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
            check.missing = addPriceIndexes(db, tableSpec);
        } else {
            // Looking must not fold someone's journal into the file.
            sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
            problem = StoreProblem::CannotRead;
            check.missing = static_cast<int>(missingPriceIndexes(db, tableSpec).size());
        }
    } catch (const sql::Error& e) {
        check.error = storeMessage(problem, check.store, e.detail());
    }
    return check;
}

PriceIndexCheck onServer(const StoreLocation& store, const TableSpec& tableSpec, bool add) {
    PriceIndexCheck check;
    check.store = pq::displayName(store.server);
    check.wanted = static_cast<int>(priceIndexes(tableSpec).size());
    const QString name = QString::fromUtf8(tableSpec.table);
    ServerProblem problem = ServerProblem::CannotConnect;
    try {
        pq::Connection connection(store.server);
        problem = ServerProblem::CannotRead;
        ServerTable table;
        if (const std::optional<TableProblem> p =
                describeServerTable(connection, tableSpec, table)) {
            check.error = serverMessage(p->problem, check.store, name, p->detail);
            return check;
        }
        if (add) {
            problem = ServerProblem::CannotWrite;
            check.missing = addServerPriceIndexes(connection, tableSpec, table, true);
        } else {
            check.missing = static_cast<int>(
                lookUpServerPriceIndexes(connection, tableSpec, table).missing.size());
        }
    } catch (const pq::Error& e) {
        check.error = serverMessage(e.connectionLost() ? ServerProblem::CannotConnect : problem,
                                    check.store, name, e.text());
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
