#include "data/maintenance/storecheck.h"

#include "data/core/storeerror.h"
#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/postgres/pgschema.h"
#include "data/sqlite/sqlite.h"
#include "data/store/storelocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <mutex>
#include <optional>
#include <set>
#include <tuple>

namespace velmoran {

namespace {

// The problems a damaged file's report names at most.
constexpr int kProblemsShown = 3;
// The page cache of a check, in KiB: integrity_check looks up each row's
// entries in every index, the price indexes spread over the file, and a
// small cache reads the same pages again and again.
constexpr int kCheckCacheKiB = 65536;

// SQLite's machine steps between two looks at the stop flag and the progress.
constexpr int kStepsPerLook = 10000;

struct Watch {
    const std::atomic<bool>* stop;
    CheckProgress* progress;
};

extern "C" int lookAtCheck(void* data) {
    const Watch* watch = static_cast<const Watch*>(data);
    if (watch->progress) {
        watch->progress->done += kStepsPerLook;
    }
    return watch->stop && watch->stop->load() ? 1 : 0;
}

// About how many machine steps a check takes for each row of the file's
// tables (measured on generated listings files of 5 000 to 1 000 000 rows:
// the same to a few per cent); the rows are reckoned from the tables'
// largest ids, which costs a look at each table's last page.
qint64 stepsPerRow(CheckDepth depth) {
    return depth == CheckDepth::Full ? 341 : 207;
}

qint64 reckonedRows(sql::Database& db) {
    QStringList tables;
    sql::Statement names = db.prepare(QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"));
    while (names.step()) {
        tables << names.columnText(0);
    }
    qint64 rows = 0;
    for (const QString& table : tables) {
        try {
            QString quoted = table;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            sql::Statement last =
                db.prepare(QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(quoted));
            if (last.step()) {
                rows += last.columnInt(0);
            }
        } catch (const sql::Error&) {
            // a table without rowids: not reckoned
        }
    }
    return rows;
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
        removeFile(journal);
    }
}

StoreCheck checkStoreFile(const QString& path, CheckDepth depth, const std::atomic<bool>* stop,
                          CheckProgress* progress) {
    StoreCheck result;
    const QStringList absent = absentJournals(path);
    Watch watch{stop, progress};
    try {
        sql::Database db = sql::Database::readOnly(path);
        db.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kCheckCacheKiB));
        if (progress) {
            progress->done = 0;
            progress->total = reckonedRows(db) * stepsPerRow(depth);
        }
        if (stop || progress) {
            sqlite3_progress_handler(db.handle(), kStepsPerLook, lookAtCheck, &watch);
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

namespace {

// Size and modification time of `path`, (-1, 0) when it is not there.
std::pair<qint64, qint64> sizeAndTime(const QString& path) {
    PathStatus st;
    if (!pathStatus(path, st)) {
        return {-1, 0};
    }
    return {st.size, st.modifiedNanoseconds};
}

// `length` bytes of `path` from `offset`; empty when they can't be read.
QByteArray bytesAt(const QString& path, qint64 offset, qint64 length) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset)) {
        return QByteArray();
    }
    return file.read(length);
}

} // namespace

bool StoreFileState::operator==(const StoreFileState& other) const {
    return size == other.size && modifiedNs == other.modifiedNs && header == other.header &&
           journalSize == other.journalSize && journalModifiedNs == other.journalModifiedNs &&
           journalHeader == other.journalHeader;
}

StoreFileState storeFileState(const QString& path) {
    StoreFileState state;
    std::tie(state.size, state.modifiedNs) = sizeAndTime(path);
    state.header = bytesAt(path, 24, 4);
    const QString journal = path + QStringLiteral("-wal");
    const auto [journalSize, journalTime] = sizeAndTime(journal);
    if (journalSize > 0) {
        state.journalSize = journalSize;
        state.journalModifiedNs = journalTime;
        state.journalHeader = bytesAt(journal, 8, 16);
    }
    return state;
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

QString damagedStoreMessage(const QString& path, const QString& detail) {
    return QStringLiteral("فايل اطلاعات %1 آسيب ديده است: %2\n\nبرنامه در اين فايل چيزي "
                          "نمي نويسد.")
        .arg(isolatedPath(path), isolated(detail));
}

void checkBeforeFirstWrite(const StoreLocation& store, const TableSpec& tableSpec) {
    if (store.onServer()) {
        return; // a server looks after its own pages
    }
    static std::mutex guard;
    static std::set<QString> sound;
    const QString path =
        QFileInfo(QDir(store.folder).filePath(QString::fromUtf8(tableSpec.fileName)))
            .absoluteFilePath();
    const std::lock_guard<std::mutex> lock(guard);
    if (sound.count(path) > 0 || !QFileInfo::exists(path)) {
        return;
    }
    const StoreCheck check = checkStoreFile(path, CheckDepth::Full);
    if (check.outcome == StoreCheck::Damaged) {
        throw StoreError(damagedStoreMessage(path, check.detail), StoreError::Kind::WritesStopped);
    }
    if (check.sound()) {
        sound.insert(path);
    }
}

} // namespace velmoran
