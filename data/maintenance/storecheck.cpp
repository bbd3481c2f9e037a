#include "data/maintenance/storecheck.h"

#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/postgres/pgschema.h"
#include "data/sqlite/sqlite.h"

#include <QFileInfo>
#include <QStringList>

#include <optional>
#include <unistd.h>

namespace velmoran {

namespace {

// The problems a damaged file's report names at most.
constexpr int kProblemsShown = 3;
// The page cache of a check, in KiB: integrity_check looks up each row's
// entries in every index, the price indexes spread over the file, and a
// small cache reads the same pages again and again.
constexpr int kCheckCacheKiB = 65536;

extern "C" int stopWhenAsked(void* stop) {
    return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

} // namespace

namespace {

// The journal files a read of `path` may make, those not there yet.
QStringList absentJournals(const QString& path) {
    QStringList absent;
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString journal = path + QLatin1String(suffix);
        if (!pathExists(journal)) {
            absent << journal;
        }
    }
    return absent;
}

// Of `absent`, those there now.
QStringList madeSince(const QStringList& absent) {
    QStringList made;
    for (const QString& journal : absent) {
        if (pathExists(journal)) {
            made << journal;
        }
    }
    return made;
}

} // namespace

void removeCheckLeftovers(const StoreCheck& check) {
    for (const QString& journal : check.madeBeside) {
        // A journal with pages in it is someone's since; it stays.
        if (journal.endsWith(QLatin1String("-wal")) && QFileInfo(journal).size() > 0) {
            return;
        }
    }
    for (const QString& journal : check.madeBeside) {
        ::unlink(localPath(journal).constData());
    }
}

StoreCheck checkStoreFile(const QString& path, CheckDepth depth, const std::atomic<bool>* stop) {
    StoreCheck result;
    const QStringList absent = absentJournals(path);
    try {
        sql::Database db = sql::Database::readOnly(path);
        db.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kCheckCacheKiB));
        if (stop) {
            sqlite3_progress_handler(db.handle(), 10000, stopWhenAsked,
                                     const_cast<std::atomic<bool>*>(stop));
        }
        sql::Statement check =
            db.prepare(depth == CheckDepth::Full
                           ? QStringLiteral("PRAGMA integrity_check(%1)").arg(kProblemsShown)
                           : QStringLiteral("PRAGMA quick_check(%1)").arg(kProblemsShown));
        QStringList problems;
        bool sound = true;
        while (check.step()) {
            const QString row = check.columnText(0);
            if (row == QLatin1String("ok")) {
                continue;
            }
            sound = false;
            // A row may hold several lines, and a line naming the database.
            for (const QString& line : row.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                if (!line.startsWith(QLatin1String("***")) && problems.size() < kProblemsShown) {
                    problems << line.trimmed();
                }
            }
        }
        result.outcome = sound ? StoreCheck::Sound : StoreCheck::Damaged;
        result.detail = problems.join(QLatin1String("; "));
    } catch (const sql::Error& e) {
        const int primary = e.code() & 0xff;
        if (primary == SQLITE_INTERRUPT) {
            result.outcome = StoreCheck::Stopped;
        } else if (primary == SQLITE_CANTOPEN || primary == SQLITE_PERM || primary == SQLITE_BUSY ||
                   primary == SQLITE_NOMEM) {
            result.outcome = StoreCheck::Unreadable;
            result.detail = e.text();
        } else {
            result.outcome = StoreCheck::Damaged;
            result.detail = e.text();
        }
    }
    result.madeBeside = madeSince(absent);
    return result;
}

StoreCheck checkServerTable(const QString& conninfo, const TableSpec& tableSpec) {
    StoreCheck result;
    const QString server = pg::displayName(conninfo);
    const QString table = QString::fromUtf8(tableSpec.table);
    try {
        pg::Connection connection(conninfo);
        PgTable described;
        if (const std::optional<TableProblem> problem =
                describePgTable(connection, tableSpec, described)) {
            result.outcome = StoreCheck::Unreadable;
            // A check makes nothing: a missing table is only missing.
            result.detail =
                problem->problem == PgProblem::NoTable
                    ? QStringLiteral(
                          "روي سرور %1 جدول %2 وجود ندارد؛ برنامه در شروع آن را مي سازد.")
                          .arg(isolated(server), isolated(table))
                    : pgMessage(problem->problem, server, table, problem->detail);
        } else {
            result.outcome = StoreCheck::Sound;
        }
    } catch (const pg::Error& e) {
        result.outcome = StoreCheck::Unreadable;
        result.detail =
            pgMessage(e, e.connectionLost() ? PgProblem::CannotConnect : PgProblem::CannotRead,
                      server, table);
    }
    return result;
}

StoreCheck checkStoreHead(const QString& path) {
    StoreCheck head;
    const QStringList absent = absentJournals(path);
    try {
        sql::Database db = sql::Database::readOnly(path);
        db.exec("SELECT count(*) FROM sqlite_schema");
        head.outcome = StoreCheck::Sound;
    } catch (const sql::Error& e) {
        const int primary = e.code() & 0xff;
        head.outcome = primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT
                           ? StoreCheck::Damaged
                           : StoreCheck::Unreadable;
        head.detail = e.text();
    }
    head.madeBeside = madeSince(absent);
    return head;
}

} // namespace velmoran
