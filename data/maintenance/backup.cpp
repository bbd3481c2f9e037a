#include "data/maintenance/backup.h"
#include "data/folder/datafolder.h"
#include "data/sqlite/storefiles.h"

#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/maintenance/storecheck.h"
#include "data/sqlite/sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <set>

namespace velmoran {

namespace {

// Pages copied per step of the online backup: 16 MiB of the store's 64 KiB
// pages, so a progress window moves a few times a second.
constexpr int kPagesPerStep = 256;

// The store's name without ".db": the first part of its backups' names.
QString baseName(const TableSpec& tableSpec) {
    return QFileInfo(QString::fromUtf8(tableSpec.fileName)).completeBaseName();
}

QString stamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// An empty file (mode 600) named .<store>.<word>.XXXXXX in `dir`.
QString makeTemporary(const QString& dir, const TableSpec& tableSpec, const char* word) {
    QString pattern =
        QDir(dir).filePath(QStringLiteral(".%1.%2.XXXXXX")
                               .arg(QString::fromUtf8(tableSpec.fileName), QLatin1String(word)));
    return makePrivateFile(pattern) ? pattern : QString();
}

// Removes a temporary file when the scope ends unless it was kept.
class Temporary {
public:
    explicit Temporary(QString path) : path_(std::move(path)) {}
    ~Temporary() {
        if (!kept_ && !path_.isEmpty()) {
            removeStoreFiles(path_);
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    const QString& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    QString path_;
    bool kept_ = false;
};

// Copies the database at `source` whole into the empty file `target` with
// the online backup API, as of one moment: the source is read in one read
// transaction, so writers of other copies neither wait nor restart it. The
// copy gets the rollback journal (a backup is one file alone). Throws
// sql::Error.
void copyDatabase(const QString& source, const QString& target, const BackupProgress& progress) {
    sql::Database from = sql::Database::readOnly(source);
    from.setBusyTimeout(3000);
    from.exec("BEGIN");
    from.exec("SELECT count(*) FROM sqlite_schema");
    sql::Database to(target, SQLITE_OPEN_READWRITE);
    to.exec("PRAGMA journal_mode = OFF");
    to.exec("PRAGMA synchronous = OFF");
    sqlite3_backup* backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup) {
        to.fail(sqlite3_errcode(to.handle()));
    }
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        if (progress) {
            const qint64 total = sqlite3_backup_pagecount(backup);
            progress(total - sqlite3_backup_remaining(backup), total);
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            sqlite3_sleep(20);
        }
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        throw sql::Error(rc, sqlite3_errstr(rc));
    }
    from.exec("COMMIT");
    from.close();
    to.exec("PRAGMA journal_mode = DELETE");
    to.close();
}

QString backupFailed(const QString& store, const QString& dir, const QString& detail) {
    return QStringLiteral("پشتيبان فايل %1 در پوشه %2 ساخته نشد: %3")
        .arg(isolatedPath(store), isolatedPath(dir), isolated(detail));
}

// Made for each listing of the folder: backups are listed on the program's
// background threads as well as on its main one.
QRegularExpression backupName(const TableSpec& tableSpec) {
    return QRegularExpression(QStringLiteral("^%1-(\\d{8}-\\d{6})(?:-(\\d+))?\\.db$")
                                  .arg(QRegularExpression::escape(baseName(tableSpec))));
}

qint64 modified(const QString& path) {
    PathStatus st;
    return pathStatus(path, st) ? st.modifiedNanoseconds : -1;
}

} // namespace

QString backupFolder(const QString& dataFolder) {
    return QDir(dataFolder).filePath(QStringLiteral("backups"));
}

std::vector<BackupFile> listBackups(const QString& dir, const TableSpec& tableSpec) {
    struct Found {
        BackupFile file;
        int number;
    };
    std::vector<Found> found;
    const QRegularExpression pattern = backupName(tableSpec);
    for (const QString& name : QDir(dir).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch()) {
            continue;
        }
        const QDateTime made =
            QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
        if (made.isValid()) {
            found.push_back({{QDir(dir).filePath(name), made}, match.captured(2).toInt()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.file.made != b.file.made ? a.file.made > b.file.made : a.number > b.number;
    });
    std::vector<BackupFile> backups;
    for (const Found& f : found) {
        backups.push_back(f.file);
    }
    return backups;
}

BackupResult writeBackup(const QString& folder, const TableSpec& tableSpec, const QString& dir,
                         const QDateTime& made, const BackupProgress& progress,
                         const std::optional<StoreFileState>& soundAsOf) {
    const QString store = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    if (!makePrivateFolder(dir)) {
        return {QString(), backupFailed(store, dir, QStringLiteral("پوشه ساخته نمي شود"))};
    }
    Temporary temporary(makeTemporary(dir, tableSpec, "backup"));
    if (temporary.path().isEmpty()) {
        return {QString(), backupFailed(store, dir, systemError(errno))};
    }
    const bool checkedBefore = soundAsOf && storeFileState(store) == *soundAsOf;
    try {
        copyDatabase(store, temporary.path(), progress);
    } catch (const sql::Error& e) {
        return {QString(), backupFailed(store, dir, e.text())};
    }
    if (!syncPath(temporary.path(), false)) {
        return {QString(), backupFailed(store, dir, systemError(errno))};
    }
    if (progress) {
        progress(0, 0);
    }
    // A store unchanged since its full check gave the copy the very pages
    // that were read through then.
    const bool unchanged = checkedBefore && storeFileState(store) == *soundAsOf;
    const StoreCheck check = unchanged ? checkStoreHead(temporary.path())
                                       : checkStoreFile(temporary.path(), CheckDepth::Full);
    if (!check.sound()) {
        return {QString(),
                QStringLiteral("پشتيبان تازه فايل %1 بررسي شد و سالم نبود؛ نگه داشته نشد: %2")
                    .arg(isolatedPath(store), isolated(check.detail))};
    }
    // Linked, not renamed: a backup of the same second is never replaced.
    const QString base = QDir(dir).filePath(baseName(tableSpec) + QLatin1Char('-') + stamp(made));
    QString target;
    for (int n = 1;; ++n) {
        target = n == 1 ? base + QStringLiteral(".db")
                        : base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".db");
        if (linkNew(temporary.path(), target)) {
            break;
        }
        if (errno != EEXIST) {
            return {QString(), backupFailed(store, dir, systemError(errno))};
        }
    }
    removeFile(temporary.path());
    temporary.keep();
    syncPath(dir, true);
    return {target, QString()};
}

bool backupDue(const QString& folder, const TableSpec& tableSpec) {
    const QString store = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    // A journal counts when it holds something: any connection makes an
    // empty one.
    const QString journal = store + QStringLiteral("-wal");
    const qint64 written =
        std::max(modified(store), QFileInfo(journal).size() > 0 ? modified(journal) : -1);
    if (written < 0) {
        return false;
    }
    const std::vector<BackupFile> backups = listBackups(backupFolder(folder), tableSpec);
    return backups.empty() || written > modified(backups.front().path);
}

QStringList pruneBackups(const QString& dir, const TableSpec& tableSpec, const QDate& today) {
    const std::vector<BackupFile> backups = listBackups(dir, tableSpec);
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(1 - kKeptMonths);
    std::set<std::pair<int, int>> monthsKept;
    QStringList removed;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const QDate day = backups[i].made.date();
        const std::pair<int, int> month{day.year(), day.month()};
        // Newest first: the first backup met in a month is its newest.
        const bool newestOfMonth = day >= firstMonth && monthsKept.insert(month).second;
        if (i < static_cast<std::size_t>(kKeptBackups)) {
            monthsKept.insert(month);
            continue;
        }
        if (!newestOfMonth && QFile::remove(backups[i].path)) {
            removed << QFileInfo(backups[i].path).fileName();
        }
    }
    return removed;
}

const TableSpec* storeOfBackup(const QString& backup) {
    try {
        sql::Database db(backup, SQLITE_OPEN_READONLY);
        for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
            sql::Statement info =
                db.prepare(QStringLiteral("SELECT lower(name) FROM pragma_table_info(?)"));
            info.bindText(1, QString::fromUtf8(tableSpec->table));
            std::set<QString> columns;
            while (info.step()) {
                columns.insert(info.columnText(0));
            }
            bool all = !columns.empty();
            for (std::size_t i = 0; all && i < tableSpec->fieldCount; ++i) {
                all = columns.count(QString::fromUtf8(tableSpec->fields[i].name).toLower()) != 0;
            }
            if (all) {
                return tableSpec;
            }
        }
    } catch (const sql::Error&) {
    }
    return nullptr;
}

RestoreResult restoreBackup(const QString& folder, const QString& backup, const QString& keptWord,
                            const BackupProgress& progress) {
    RestoreResult result;
    if (progress) {
        progress(0, 0);
    }
    const StoreCheck check = checkStoreFile(backup, CheckDepth::Full);
    if (!check.sound()) {
        result.error = QStringLiteral("فايل پشتيبان %1 سالم نيست و برگردانده نشد: %2")
                           .arg(isolatedPath(backup), isolated(check.detail));
        result.damaged = check.outcome == StoreCheck::Damaged;
        return result;
    }
    const TableSpec* tableSpec = storeOfBackup(backup);
    if (!tableSpec) {
        result.error = QStringLiteral("فايل %1 پشتيبان اطلاعات اين برنامه نيست (جدول new يا pc "
                                      "با ستونهايش در آن نيست).")
                           .arg(isolatedPath(backup));
        return result;
    }
    result.store = QDir(folder).filePath(QString::fromUtf8(tableSpec->fileName));
    const auto failed = [&](const QString& detail) {
        result.error = QStringLiteral("پشتيبان %1 به جاي فايل %2 برگردانده نشد: %3")
                           .arg(isolatedPath(backup), isolatedPath(result.store), isolated(detail));
        return result;
    };
    Temporary temporary(makeTemporary(folder, *tableSpec, "restore"));
    if (temporary.path().isEmpty()) {
        return failed(systemError(errno));
    }
    try {
        copyDatabase(backup, temporary.path(), progress);
    } catch (const sql::Error& e) {
        return failed(e.text());
    }
    if (!syncPath(temporary.path(), false)) {
        return failed(systemError(errno));
    }
    const QString keptAs = freeName(result.store + QLatin1Char('.') + keptWord + QLatin1Char('-') +
                                        stamp(QDateTime::currentDateTime()),
                                    QString());
    bool kept = false;
    if (const int error = replaceStoreFile(result.store, temporary.path(), keptAs, &kept)) {
        return failed(systemError(error));
    }
    if (kept) {
        result.keptAs = keptAs;
    }
    temporary.keep();
    syncPath(folder, true);
    return result;
}

} // namespace velmoran
