// The subcommands on the store files: backup, restore, check and optimise.

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/applicants.h"
#include "data/core/storemessages.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storecheck.h"
#include "data/maintenance/storecopy.h"
#include "data/maintenance/storeoptimise.h"
#include "data/postgres/pgconnection.h"
#include "data/store/storelocation.h"
#include "data/store/writegate.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace velmoran::cli {

namespace {

const TableSpec* const kStores[] = {&listingsTable(), &passwordTable()};

QString storePath(const QString& folder, const TableSpec& tableSpec) {
    return QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
}

int noStores(Io& io, const QString& folder) {
    return fail(io, QStringLiteral("در پوشه %1 فايل اطلاعاتي (newil.db يا pc.db) نيست.")
                        .arg(isolatedPath(folder)));
}

// A server's store is backed up by copying it down, as one snapshot, into
// SQLite files of a folder of their own, server-<time>, which `restore` and
// `copy --to-server` take back. The desks may go on working meanwhile.
int backupServer(const QString& conninfo, const QString& dir, const QDateTime& now, Io& io) {
    const QString target =
        QDir(dir).filePath(now.toString(QStringLiteral("'server-'yyyyMMdd-HHmmss")));
    try {
        const CopyCounts counts = copyFromServer(conninfo, target);
        io.out << QDir::toNativeSeparators(target) << '\n';
        io.out << QStringLiteral("listings: %1, passwords: %2")
                      .arg(counts.listings)
                      .arg(counts.passwords)
               << '\n';
    } catch (const CopyError& e) {
        return fail(io, e.message());
    }
    return kOk;
}

// One line on the price indexes of a store's listings table: complete, or
// what it lacks and the command that adds it. False when the store could not
// be looked at.
bool reportPriceIndexes(const PriceIndexCheck& check, bool onServer, Io& io) {
    const QString store = onServer ? isolated(check.store) : isolatedPath(check.store);
    if (!check.ok()) {
        fail(io, check.error);
        return false;
    }
    if (check.missing == 0) {
        io.out << QStringLiteral("%1: نمايه هاي قيمت كامل است (%2)").arg(store).arg(check.wanted)
               << '\n';
    } else {
        io.out << QStringLiteral("%1: %2 نمايه قيمت از %3 را ندارد و جستجو همه فايلها را مي خواند؛ "
                                 "velmoran-cli optimise آنها را مي افزايد")
                      .arg(store)
                      .arg(check.missing)
                      .arg(check.wanted)
               << '\n';
    }
    if (check.ownerIndexMissing) {
        io.out << QStringLiteral("%1: نمايه مالك را ندارد و جستجوي مالك همه فايلها را مي خواند؛ "
                                 "velmoran-cli optimise آن را مي افزايد")
                      .arg(store)
               << '\n';
    }
    return true;
}

} // namespace

int backupCommand(const QStringList& arguments, Io& io) {
    Arguments parsed;
    if (!parseArguments("backup", arguments, {}, 0, 1, parsed, io)) {
        return kUsage;
    }
    QString problem;
    const StoreLocation store = configuredStore(&problem);
    if (!problem.isEmpty()) {
        return fail(io, problem);
    }
    if (store.onServer()) {
        return backupServer(store.server,
                            parsed.positional.isEmpty() ? backupFolder(parsed.folder)
                                                        : parsed.positional.front(),
                            QDateTime::currentDateTime(), io);
    }
    FolderLock lock;
    if (const int status = lockFolder(lock, parsed.folder, FolderLock::Mode::Exclusive, io)) {
        return status;
    }
    const bool intoBackups = parsed.positional.isEmpty();
    const QString dir = intoBackups ? backupFolder(parsed.folder) : parsed.positional.front();
    const QDateTime now = QDateTime::currentDateTime();
    int made = 0;
    for (const TableSpec* tableSpec : kStores) {
        if (!QFileInfo::exists(storePath(parsed.folder, *tableSpec))) {
            continue;
        }
        const BackupResult result = writeBackup(parsed.folder, *tableSpec, dir, now);
        if (!result.ok()) {
            return fail(io, result.error);
        }
        io.out << QDir::toNativeSeparators(result.path) << '\n';
        ++made;
        if (intoBackups) {
            pruneBackups(dir, *tableSpec, now.date());
        }
    }
    return made ? kOk : noStores(io, parsed.folder);
}

int restoreCommand(const QStringList& arguments, Io& io) {
    Arguments parsed;
    if (!parseArguments("restore", arguments, {}, 1, 1, parsed, io)) {
        return kUsage;
    }
    const QString backup = parsed.positional.front();
    if (!QFileInfo(backup).isFile()) {
        return fail(io, QStringLiteral("فايل پشتيبان %1 پيدا نشد.").arg(isolatedPath(backup)));
    }
    FolderLock lock;
    if (const int status = lockFolder(lock, parsed.folder, FolderLock::Mode::Exclusive, io)) {
        return status;
    }
    const RestoreResult result =
        restoreBackup(parsed.folder, backup, QStringLiteral("before-restore"));
    if (!result.ok()) {
        return fail(io, result.error, result.damaged ? kDamageFound : kFailed);
    }
    io.out << QStringLiteral("پشتيبان %1 به جاي %2 برگردانده شد.")
                  .arg(isolatedPath(backup), isolatedPath(result.store))
           << '\n';
    if (!result.keptAs.isEmpty()) {
        io.out << QStringLiteral("فايل قبلي با اين نام نگه داشته شد: %1")
                      .arg(isolatedPath(result.keptAs))
               << '\n';
    }
    return kOk;
}

int checkCommand(const QStringList& arguments, Io& io) {
    Arguments parsed;
    if (!parseArguments("check", arguments, {}, 0, 100, parsed, io)) {
        return kUsage;
    }
    QStringList files = parsed.positional;
    const bool stores = files.isEmpty();
    QString problem;
    const StoreLocation configured = configuredStore(&problem);
    if (stores && !problem.isEmpty()) {
        return fail(io, problem);
    }
    FolderLock lock;
    // A server desk may have no data folder: its files are checked where
    // they exist.
    const bool folderToCheck = !configured.onServer() || QFileInfo(parsed.folder).isDir();
    if (stores && folderToCheck) {
        // The stores themselves: no restore may swap them while they are read.
        if (const int status = lockFolder(lock, parsed.folder, FolderLock::Mode::Shared, io)) {
            return status;
        }
        for (const TableSpec* tableSpec : kStores) {
            if (QFileInfo::exists(storePath(parsed.folder, *tableSpec))) {
                files << storePath(parsed.folder, *tableSpec);
            }
        }
        if (files.isEmpty() && !configured.onServer()) {
            return noStores(io, parsed.folder);
        }
    }
    int status = kOk;
    for (const QString& file : files) {
        const StoreCheck check = checkStoreFile(file, CheckDepth::Full);
        switch (check.outcome) {
        case StoreCheck::Sound:
            io.out << QStringLiteral("%1: سالم است (integrity_check: ok)").arg(isolatedPath(file))
                   << '\n';
            break;
        case StoreCheck::Damaged:
            io.out << QStringLiteral("%1: آسيب ديده است: %2")
                          .arg(isolatedPath(file), isolated(check.detail))
                   << '\n';
            status = kDamageFound;
            break;
        case StoreCheck::Unreadable:
        case StoreCheck::Stopped:
            fail(io, QStringLiteral("فايل %1 خوانده نشد: %2")
                         .arg(isolatedPath(file), isolated(check.detail)));
            if (status == kOk) {
                status = kFailed;
            }
            break;
        }
    }
    if (stores && configured.onServer()) {
        // The server's tables: the connection, the columns, the rights.
        for (const TableSpec* tableSpec : kStores) {
            const StoreCheck check = checkServerTable(configured.server, *tableSpec);
            if (check.sound()) {
                io.out << QStringLiteral("%1، جدول %2: سالم است")
                              .arg(isolated(pg::displayName(configured.server)),
                                   isolated(QString::fromUtf8(tableSpec->table)))
                       << '\n';
            } else {
                fail(io, check.detail);
                if (status == kOk) {
                    status = kFailed;
                }
            }
        }
        // The applicants' table where the server has it: a store made before
        // them gets it when the first is stored.
        try {
            if (storeHasTable(StoreLocation{parsed.folder, configured.server}, applicantsTable())) {
                io.out << QStringLiteral("%1، جدول %2: سالم است")
                              .arg(isolated(pg::displayName(configured.server)),
                                   isolated(QString::fromUtf8(applicantsTable().table)))
                       << '\n';
            }
        } catch (const StoreError& error) {
            fail(io, error.message());
            if (status == kOk) {
                status = kFailed;
            }
        }
    }
    if (stores) {
        // The listings' price indexes, in the folder's file and on a
        // configured server.
        std::vector<StoreLocation> checked;
        if (QFileInfo::exists(storePath(parsed.folder, listingsTable()))) {
            checked.push_back({parsed.folder, QString()});
        }
        if (configured.onServer()) {
            checked.push_back({parsed.folder, configured.server});
        }
        for (const StoreLocation& store : checked) {
            if (!reportPriceIndexes(checkPriceIndexes(store, listingsTable()), store.onServer(),
                                    io) &&
                status == kOk) {
                status = kFailed;
            }
        }
    }
    return status;
}

int optimiseCommand(const QStringList& arguments, Io& io) {
    Arguments parsed;
    if (!parseArguments("optimise", arguments, {}, 0, 0, parsed, io)) {
        return kUsage;
    }
    QString problem;
    StoreLocation store = configuredStore(&problem);
    if (!problem.isEmpty()) {
        return fail(io, problem);
    }
    store.folder = parsed.folder;
    FolderLock lock;
    if (!store.onServer()) {
        // The file is rebuilt in one transaction: not while the program works on it.
        if (const int status = lockFolder(lock, parsed.folder, FolderLock::Mode::Exclusive, io)) {
            return status;
        }
        if (!QFileInfo::exists(storePath(parsed.folder, listingsTable()))) {
            return noStores(io, parsed.folder);
        }
        // Indexes are added only to a file that reads through sound.
        try {
            passWriteGate(store, listingsTable());
        } catch (const StoreError& e) {
            return fail(io, e.message(), storeFailure(e));
        }
    }
    const PriceIndexCheck before = checkPriceIndexes(store, listingsTable());
    if (!before.ok()) {
        return fail(io, before.error);
    }
    if (before.missing > 0 || before.ownerIndexMissing) {
        io.out << QStringLiteral("افزودن %1 نمايه؛ ممكن است تا يك دقيقه طول بكشد ...")
                      .arg(before.missing + (before.ownerIndexMissing ? 1 : 0))
               << '\n';
        io.out.flush();
        const PriceIndexCheck added = addPriceIndexes(store, listingsTable());
        if (!added.ok()) {
            return fail(io, added.error);
        }
    }
    return reportPriceIndexes(checkPriceIndexes(store, listingsTable()), store.onServer(), io)
               ? kOk
               : kFailed;
}

} // namespace velmoran::cli
