#pragma once

#include "data/core/fields.h"
#include "data/maintenance/storecheck.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmoran {

// Backups of the store files: whole copies made with SQLite's online backup
// API, checked with integrity_check before they count, kept in the folder
// `backups` of the data folder under the store's name and the local time
// they were made: newil-20240501-183000.db, pc-20240501-183000.db. A copy is
// written under a temporary name (.newil.db.backup.XXXXXX) and takes its own
// name only once checked, so a backup cut short leaves no file that looks
// like one.

QString backupFolder(const QString& dataFolder);

struct BackupFile {
    QString path;
    QDateTime made; // local time, from the name
};

// The backups of `tableSpec` in `dir`, newest first, known by their names.
std::vector<BackupFile> listBackups(const QString& dir, const TableSpec& tableSpec);

// What a backup or a restore does, for a progress window: pages copied of
// all, then the check of the copy (done and total both 0).
using BackupProgress = std::function<void(qint64 done, qint64 total)>;

struct BackupResult {
    QString path;  // the checked backup; empty on failure
    QString error; // the Persian message naming the file and the problem
    bool ok() const { return error.isEmpty(); }
};

// Copies store `tableSpec` of `folder` into `dir` (made when missing) as the
// backup of time `made`, and checks the copy. On a failure nothing is left
// in `dir` and earlier backups are as they were.
// `soundAsOf`, when given, is the state of the store when a full check
// found it sound: when the store still has that state before and after the
// copy, the copy holds exactly the checked pages and is not read through
// again (only its head is looked at).
BackupResult writeBackup(const QString& folder, const TableSpec& tableSpec, const QString& dir,
                         const QDateTime& made, const BackupProgress& progress = {},
                         const std::optional<StoreFileState>& soundAsOf = std::nullopt);

// True when store `tableSpec` of `folder` exists and was written after its
// newest backup in backupFolder(folder), or has none.
bool backupDue(const QString& folder, const TableSpec& tableSpec);

// Keeps the newest `kKeptBackups` backups of `tableSpec` in `dir` and, beyond
// those, the newest of each of the last `kKeptMonths` months up to `today`
// (this month included); removes the other backups of that store and no
// other file. Returns the names removed.
constexpr int kKeptBackups = 10;
constexpr int kKeptMonths = 12;
QStringList pruneBackups(const QString& dir, const TableSpec& tableSpec, const QDate& today);

// The store a backup file holds (table `new` or `pc` with their columns),
// or null when it is none of ours. Throws nothing.
const TableSpec* storeOfBackup(const QString& backup);

struct RestoreResult {
    QString store;        // the store file put back
    QString keptAs;       // where the file it replaced was kept; empty when none
    QString error;        // the Persian message; empty on success
    bool damaged = false; // the backup failed its check
    bool ok() const { return error.isEmpty(); }
};

// Puts `backup` back as its store in `folder` after a full check of it. The
// file it replaces is kept beside it, journal and all, as
// <store>.<keptWord>-<time> (keptWord "before-restore" or "damaged"); it is
// not written to. The caller makes sure that no other process has the store
// open (FolderLock, exclusive).
RestoreResult restoreBackup(const QString& folder, const QString& backup, const QString& keptWord,
                            const BackupProgress& progress = {});

} // namespace velmoran
