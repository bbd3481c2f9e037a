#include "import/storebuilder.h"

#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/maintenance/storecheck.h"
#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/storefiles.h"
#include "import/importerror.h"

#include <QDateTime>
#include <QDir>

#include <cerrno>
#include <cstring>

namespace velmoran::import {

namespace {

// Rows stored per transaction.
constexpr int kBatchRows = 2000;

// How long the fold of a file being replaced waits for another copy.
constexpr int kBusyTimeout = 3000;

QString inUse() {
    return QStringLiteral("برنامه ديگري از اين فايل استفاده مي كند");
}

// Makes the store file about to be replaced whole by itself, its journal
// folded in, and holds it locked until `holder` is let go, so that no copy of
// the program writes into it while it changes names. Leaving the
// write-ahead journal needs the file to be open nowhere else: a file another
// copy holds open is refused. A file that isn't an SQLite database has no
// journal of ours and is kept as it is.
void foldAndLock(const QString& path, sql::Database& holder) {
    try {
        holder = sql::Database(path, SQLITE_OPEN_READWRITE);
        holder.setBusyTimeout(kBusyTimeout);
        QString mode;
        {
            sql::Statement journal = holder.prepare(QStringLiteral("PRAGMA journal_mode = DELETE"));
            mode = journal.step() ? journal.columnText(0) : QString();
        }
        if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
            throw ImportError(ImportProblem::CannotStore, path, inUse());
        }
        holder.exec("BEGIN EXCLUSIVE");
    } catch (const sql::Error& e) {
        holder.close();
        const int primary = e.code() & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
            throw ImportError(ImportProblem::CannotStore, path, inUse());
        }
        if (primary != SQLITE_NOTADB && primary != SQLITE_CORRUPT) {
            throw ImportError(ImportProblem::CannotStore, path, e.detail());
        }
    }
}

// A name beside `path` that nothing has yet.
QString keepingName(const QString& path) {
    const QString base = path + QStringLiteral(".before-import-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return freeName(base);
}

} // namespace

StoreBuilder::StoreBuilder(const QString& folder, const TableSpec& tableSpec)
    : spec_(tableSpec), folder_(folder),
      target_(QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName))) {
    temporary_ = QDir(folder).filePath(QStringLiteral(".") + QString::fromUtf8(tableSpec.fileName) +
                                       QStringLiteral(".import.XXXXXX"));
    if (!makePrivateFile(temporary_)) {
        throw ImportError(ImportProblem::CannotStore, target_, systemError(errno));
    }
    try {
        createStoreSchema(temporary_, tableSpec);
        db_ = sql::Database(temporary_, SQLITE_OPEN_READWRITE);
        // Nobody sees the file before finish(), which syncs it whole.
        db_.exec("PRAGMA synchronous = OFF");
        QStringList columns;
        QStringList marks;
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            columns << sql::quoted(tableSpec.fields[i].name);
            marks << QStringLiteral("?");
        }
        insert_ = db_.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(sql::quoted(tableSpec.table), columns.join(QLatin1Char(',')),
                                       marks.join(QLatin1Char(','))));
    } catch (const sql::Error& e) {
        removeTemporary();
        throw ImportError(ImportProblem::CannotStore, target_, e.detail());
    }
}

StoreBuilder::~StoreBuilder() {
    if (!done_) {
        removeTemporary();
    }
}

void StoreBuilder::removeTemporary() {
    insert_ = sql::Statement();
    db_.close();
    removeStoreFiles(temporary_);
}

void StoreBuilder::bindAll(sql::Statement& statement, const std::vector<FieldValue>& values) {
    for (std::size_t i = 0; i < spec_.fieldCount; ++i) {
        const int parameter = static_cast<int>(i) + 1;
        if (spec_.fields[i].kind == FieldKind::Flag) {
            statement.bindInt(parameter, values[i].flag);
        } else {
            statement.bindText(parameter, values[i].text);
        }
    }
}

void StoreBuilder::append(const std::vector<FieldValue>& values) {
    try {
        if (pending_ == 0) {
            db_.exec("BEGIN IMMEDIATE");
        }
        bindAll(insert_, values);
        insert_.run();
        if (++pending_ >= kBatchRows) {
            commitBatch();
        }
    } catch (const sql::Error& e) {
        throw ImportError(ImportProblem::CannotStore, target_, e.detail());
    }
}

void StoreBuilder::commitBatch() {
    if (pending_ > 0) {
        db_.exec("COMMIT");
        pending_ = 0;
    }
}

void StoreBuilder::setFirstRow(const std::vector<FieldValue>& values) {
    try {
        commitBatch();
        QStringList sets;
        for (std::size_t i = 0; i < spec_.fieldCount; ++i) {
            sets << sql::quoted(spec_.fields[i].name) + QStringLiteral(" = ?");
        }
        sql::Statement update =
            db_.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT min(rowid) FROM %1)")
                            .arg(sql::quoted(spec_.table), sets.join(QStringLiteral(", "))));
        bindAll(update, values);
        update.run();
    } catch (const sql::Error& e) {
        throw ImportError(ImportProblem::CannotStore, target_, e.detail());
    }
}

QString StoreBuilder::finish(bool replace) {
    try {
        commitBatch();
        db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        insert_ = sql::Statement();
        db_.close();
    } catch (const sql::Error& e) {
        throw ImportError(ImportProblem::CannotStore, target_, e.detail());
    }
    if (!syncPath(temporary_, false)) {
        throw ImportError(ImportProblem::CannotStore, target_, systemError(errno));
    }
    QString keptAs;
    if (pathExists(target_)) {
        if (!replace) {
            throw ImportError(ImportProblem::TargetExists, target_);
        }
        // A damaged file is written to by no step, not even to fold its
        // journal in: it goes aside as it is, its journal beside it.
        if (checkStoreFile(target_, CheckDepth::Full).outcome == StoreCheck::Damaged) {
            bool kept = false;
            const QString keepAs = keepingName(target_);
            if (const int error = replaceStoreFile(target_, temporary_, keepAs, &kept)) {
                throw ImportError(ImportProblem::CannotStore, target_, systemError(error));
            }
            done_ = true;
            syncPath(folder_, true);
            return kept ? keepAs : QString();
        }
        sql::Database holder;
        foldAndLock(target_, holder);
        keptAs = keepingName(target_);
        // The old file keeps a name of its own before the new one takes its
        // place in one step: at no moment is there no store file.
        if (!linkNew(target_, keptAs)) {
            throw ImportError(ImportProblem::CannotStore, target_, systemError(errno));
        }
        // Windows renames nothing over a file that is open: the holder lets
        // go first. The folder is the tool's alone (its exclusive lock), so
        // no copy of the program comes in between.
        holder.close();
        if (!renameOver(temporary_, target_)) {
            const int error = errno;
            removeFile(keptAs);
            throw ImportError(ImportProblem::CannotStore, target_, systemError(error));
        }
    } else {
        // Linked, not renamed: a file another copy made meanwhile is never
        // replaced.
        if (!linkNew(temporary_, target_)) {
            if (errno == EEXIST) {
                throw ImportError(ImportProblem::TargetExists, target_);
            }
            throw ImportError(ImportProblem::CannotStore, target_, systemError(errno));
        }
        removeFile(temporary_);
    }
    done_ = true;
    syncPath(folder_, true);
    return keptAs;
}

} // namespace velmoran::import
