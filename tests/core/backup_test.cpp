// Backups of the store files: checked copies, the retention of old ones,
// putting one back, the folder's lock and the leftovers of killed steps.

#include "data/core/applicants.h"
#include "data/folder/datafolder.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/leftovers.h"
#include "data/maintenance/storecheck.h"
#include "data/sqlite/sqlite.h"
#include "tests/core/storefixture.h"
#include "tests/support/importfixtures.h"
#include "tests/support/storefiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class BackupTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        listings_ = generatedListings(300, 7);
        storeListings(folder(), listings_);
        preparePasswordStore(folder());
    }
    QString store() const { return QDir(folder()).filePath(QStringLiteral("newil.db")); }
    QString backups() const { return backupFolder(folder()); }
    static long long rows(const QString& path) {
        sql::Database db(path, SQLITE_OPEN_READONLY);
        sql::Statement count = db.prepare(QStringLiteral("SELECT count(*) FROM new"));
        return count.step() ? count.columnInt(0) : -1;
    }
    static QString owner(const QString& path, long long id) {
        sql::Database db(path, SQLITE_OPEN_READONLY);
        sql::Statement select = db.prepare(QStringLiteral("SELECT malek FROM new WHERE id = ?"));
        select.bindInt(1, id);
        return select.step() ? select.columnText(0) : QString();
    }
    void addOwner(const QString& owner) {
        storeListings(folder(), {ListingValues(kListingFieldCount, QString())});
        sql::Database db(store(), SQLITE_OPEN_READWRITE);
        // Left in the journal, as a copy killed before folding it in leaves it.
        sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sql::Statement update = db.prepare(
            QStringLiteral("UPDATE new SET malek = ? WHERE id = (SELECT max(id) FROM new)"));
        update.bindText(1, owner);
        update.run();
    }
    std::vector<ListingValues> listings_;
};

TEST_F(BackupTest, ABackupIsACheckedWholeCopyNamedByItsTime) {
    // A journal not yet folded in is part of the copy.
    addOwner(QStringLiteral("مالك تازه"));
    const QDateTime made(QDate(2024, 5, 1), QTime(18, 30, 5));
    QStringList progressSeen;
    const BackupResult result =
        writeBackup(folder(), listingsTable(), backups(), made, [&](qint64 done, qint64 total) {
            progressSeen << QStringLiteral("%1/%2").arg(done).arg(total);
        });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.path, QDir(backups()).filePath(QStringLiteral("newil-20240501-183005.db")));
    EXPECT_EQ(rows(result.path), 301);
    EXPECT_EQ(owner(result.path, 301), QStringLiteral("مالك تازه"));
    EXPECT_EQ(owner(result.path, 1), listings_[0][0]);
    EXPECT_TRUE(checkStoreFile(result.path, CheckDepth::Full).sound());
    EXPECT_EQ(progressSeen.last(), QStringLiteral("0/0")); // the check of the copy comes last
    // One file, no journal beside it, nothing temporary left.
    EXPECT_EQ(filesIn(backups()), QStringList{"newil-20240501-183005.db"});

    // A second backup of the same second gets a name of its own.
    const BackupResult again = writeBackup(folder(), listingsTable(), backups(), made);
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again.path.endsWith(QStringLiteral("newil-20240501-183005-2.db")));
    const std::vector<BackupFile> listed = listBackups(backups(), listingsTable());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].path, again.path);
    EXPECT_EQ(listed[0].made, made);
    EXPECT_TRUE(listBackups(backups(), passwordTable()).empty());
}

TEST_F(BackupTest, AFailedBackupLeavesNothingAndTheEarlierBackupsAsTheyWere) {
    const BackupResult first = writeBackup(folder(), listingsTable(), backups(),
                                           QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
    ASSERT_TRUE(first.ok());
    const QByteArray earlier = bytesOf(first.path);

    // Damage only integrity_check sees: the copy fails its check.
    damageIndexEntry(store(), QStringLiteral("Tehran"));
    const BackupResult damaged = writeBackup(folder(), listingsTable(), backups(),
                                             QDateTime(QDate(2024, 1, 2), QTime(9, 0)));
    EXPECT_FALSE(damaged.ok());
    EXPECT_TRUE(damaged.error.contains(shownPath(store()))) << damaged.error.toStdString();
    EXPECT_TRUE(damaged.path.isEmpty());
    EXPECT_EQ(filesIn(backups()), QStringList{"newil-20240101-090000.db"});
    EXPECT_EQ(bytesOf(first.path), earlier);

    // A folder that can't be made: the message names it.
    const QString blocked = QDir(folder()).filePath(QStringLiteral("plainfile"));
    writeFile(blocked, "x");
    const BackupResult noFolder =
        writeBackup(folder(), listingsTable(), blocked + "/inside", QDateTime::currentDateTime());
    EXPECT_FALSE(noFolder.ok());
    EXPECT_TRUE(noFolder.error.contains(shownPath(blocked))) << noFolder.error.toStdString();
}

// A verdict the session already has stands for the copy only while the
// store is as it was when checked: here a file whose index damage the check
// was not shown is copied without a second read when unchanged, and read
// through (and refused) once anything was written to it.
TEST_F(BackupTest, ACheckedStateSparesTheCopysCheckOnlyWhileTheStoreIsUnchanged) {
    damageIndexEntry(store(), QStringLiteral("Tehran"));
    const StoreFileState checked = storeFileState(store());
    EXPECT_EQ(storeFileState(store()), checked);
    const BackupResult spared = writeBackup(folder(), listingsTable(), backups(),
                                            QDateTime(QDate(2024, 1, 1), QTime(9, 0)), {}, checked);
    EXPECT_TRUE(spared.ok()) << spared.error.toStdString();

    {
        sql::Database db(store(), SQLITE_OPEN_READWRITE);
        db.exec("UPDATE new SET malek = 'written since' WHERE id = 1");
    }
    EXPECT_NE(storeFileState(store()), checked);
    const BackupResult read = writeBackup(folder(), listingsTable(), backups(),
                                          QDateTime(QDate(2024, 1, 2), QTime(9, 0)), {}, checked);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(filesIn(backups()), QStringList{"newil-20240101-090000.db"});
}

// What a progress window shows of a check: the steps done reach about the
// total it reckoned from the file's size, for the quick and the full check.
TEST_F(BackupTest, ACheckTellsHowFarItHasComeAgainstWhatItReckoned) {
    storeListings(folder(), generatedListings(5000, 8));
    for (const CheckDepth depth : {CheckDepth::Quick, CheckDepth::Full}) {
        CheckProgress progress;
        ASSERT_TRUE(checkStoreFile(store(), depth, nullptr, &progress).sound());
        ASSERT_GT(progress.total, 0);
        const double reached = static_cast<double>(progress.done) / progress.total;
        EXPECT_GT(reached, 0.4) << static_cast<int>(depth);
        EXPECT_LT(reached, 1.6) << static_cast<int>(depth);
    }
}

TEST_F(BackupTest, ABackupIsDueOnlyWhenTheStoreWasWrittenSinceTheNewest) {
    EXPECT_TRUE(backupDue(folder(), listingsTable())); // none yet
    ASSERT_TRUE(
        writeBackup(folder(), listingsTable(), backups(), QDateTime::currentDateTime()).ok());
    EXPECT_FALSE(backupDue(folder(), listingsTable()));
    // Opening and reading the store, as the program does, writes nothing.
    {
        RecordSource source(folder(), listingsTable());
        source.MoveFirst();
    }
    EXPECT_FALSE(backupDue(folder(), listingsTable()));
    addOwner(QStringLiteral("x"));
    EXPECT_TRUE(backupDue(folder(), listingsTable()));
    QFile::remove(QDir(folder()).filePath(QStringLiteral("pc.db")));
    EXPECT_FALSE(backupDue(folder(), passwordTable())); // no store, nothing to back up
}

TEST_F(BackupTest, PruningKeepsTheLastTenAndTheNewestOfEachOfTwelveMonths) {
    QDir().mkpath(backups());
    const QDate today(2024, 12, 15);
    QStringList all;
    // Two a month from January 2023, then ten in the last week.
    for (QDate month(2023, 1, 1); month < QDate(2024, 12, 1); month = month.addMonths(1)) {
        all << QStringLiteral("newil-%1-080000.db").arg(month.addDays(2).toString("yyyyMMdd"))
            << QStringLiteral("newil-%1-080000.db").arg(month.addDays(20).toString("yyyyMMdd"));
    }
    for (int d = 0; d < 10; ++d) {
        all << QStringLiteral("newil-") + QDate(2024, 12, 5 + d).toString("yyyyMMdd") +
                   QStringLiteral("-0") + QString::number(d) + QStringLiteral("0000.db");
    }
    const QStringList others{"pc-20230101-080000.db", "newil-notes.txt", "newil-20230101.db"};
    for (const QString& name : all + others) {
        writeFile(QDir(backups()).filePath(name), "x");
    }
    const QStringList removed = pruneBackups(backups(), listingsTable(), today);
    QStringList expected;
    for (const QString& name : all.mid(0, 46)) { // the two a month up to November 2024
        const QDate day = QDate::fromString(name.mid(6, 8), "yyyyMMdd");
        const bool newestOfMonth = day.day() == 21;
        const bool inLastTwelve = day >= QDate(2024, 1, 1);
        if (!(newestOfMonth && inLastTwelve)) {
            expected << name;
        }
    }
    EXPECT_EQ(QSet<QString>(removed.begin(), removed.end()),
              QSet<QString>(expected.begin(), expected.end()));
    QStringList left = filesIn(backups());
    for (const QString& name : others) {
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(listBackups(backups(), listingsTable()).size(), 10u + 11u);
}

TEST_F(BackupTest, ARestorePutsTheBackupBackAndKeepsTheFileItReplacesWithItsJournal) {
    // An applicant kept beside the listings goes and comes back with them.
    const StoreLocation files{folder(), QString()};
    ASSERT_EQ(prepareStore(files, applicantsTable()), QString());
    RowValues applicant{std::vector<QString>(applicantsTable().fieldCount),
                        std::vector<bool>(applicantsTable().fieldCount, false)};
    applicant.texts[0] = QStringLiteral("before the backup");
    const long long applicantId = openTableStore(files, applicantsTable())->insert(applicant);
    const BackupResult backup =
        writeBackup(folder(), listingsTable(), backups(), QDateTime::currentDateTime());
    ASSERT_TRUE(backup.ok());
    // Written after the backup, and left in the journal as a killed copy
    // leaves it.
    addOwner(QStringLiteral("after the backup"));
    ASSERT_GT(QFileInfo(store() + "-wal").size(), 0);
    const RestoreResult result =
        restoreBackup(folder(), backup.path, QStringLiteral("before-restore"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.store, store());
    EXPECT_EQ(rows(store()), 300);
    RowValues restored;
    ASSERT_TRUE(openTableStore(files, applicantsTable(), StoreAccess::ReadOnly)
                    ->read(applicantId, restored));
    EXPECT_EQ(restored.texts[0], QStringLiteral("before the backup"));
    ASSERT_TRUE(
        QFileInfo(result.keptAs).fileName().startsWith(QStringLiteral("newil.db.before-restore-")));
    EXPECT_TRUE(QFile::exists(result.keptAs + "-wal"));
    EXPECT_FALSE(QFile::exists(store() + "-wal"));
    EXPECT_EQ(rows(result.keptAs), 301); // the kept file reads with its journal
    EXPECT_EQ(owner(result.keptAs, 301), QStringLiteral("after the backup"));
    EXPECT_TRUE(checkStoreFile(store(), CheckDepth::Full).sound());
    for (const QString& name : filesIn(folder())) {
        EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
    }
}

TEST_F(BackupTest, ADamagedOrForeignBackupIsNotPutBack) {
    const BackupResult backup =
        writeBackup(folder(), listingsTable(), backups(), QDateTime::currentDateTime());
    ASSERT_TRUE(backup.ok());
    const QByteArray before = bytesOf(store());
    damagePages(backup.path);
    const RestoreResult damaged =
        restoreBackup(folder(), backup.path, QStringLiteral("before-restore"));
    EXPECT_FALSE(damaged.ok());
    EXPECT_TRUE(damaged.damaged);
    EXPECT_TRUE(damaged.error.contains(shownPath(backup.path))) << damaged.error.toStdString();

    const QString foreign = QDir(folder()).filePath(QStringLiteral("other.db"));
    {
        sql::Database db(foreign, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec("CREATE TABLE t (x)");
    }
    const RestoreResult notOurs =
        restoreBackup(folder(), foreign, QStringLiteral("before-restore"));
    EXPECT_FALSE(notOurs.ok());
    EXPECT_FALSE(notOurs.damaged);
    EXPECT_EQ(storeOfBackup(foreign), nullptr);
    EXPECT_EQ(bytesOf(store()), before);
    EXPECT_TRUE(filesIn(folder()).filter(QStringLiteral("before-restore")).isEmpty());
}

TEST_F(BackupTest, TheCheckFindsDamageInsideThePagesAndInTheIndex) {
    EXPECT_TRUE(checkStoreFile(store(), CheckDepth::Quick).sound());
    EXPECT_TRUE(checkStoreFile(store(), CheckDepth::Full).sound());

    const QString pages = QDir(folder()).filePath(QStringLiteral("pages.db"));
    QFile::copy(store(), pages);
    damagePages(pages);
    const QByteArray damagedBytes = bytesOf(pages);
    const StoreCheck quick = checkStoreFile(pages, CheckDepth::Quick);
    EXPECT_EQ(quick.outcome, StoreCheck::Damaged);
    EXPECT_FALSE(quick.detail.isEmpty());
    EXPECT_EQ(bytesOf(pages), damagedBytes); // read, never written

    damageIndexEntry(store(), QStringLiteral("Tehran"));
    EXPECT_TRUE(checkStoreFile(store(), CheckDepth::Quick).sound()); // the quick check can't see it
    EXPECT_EQ(checkStoreFile(store(), CheckDepth::Full).outcome, StoreCheck::Damaged);

    const QString text = QDir(folder()).filePath(QStringLiteral("text.db"));
    writeFile(text, QByteArray(8192, 'x'));
    EXPECT_EQ(checkStoreFile(text, CheckDepth::Quick).outcome, StoreCheck::Damaged);
    EXPECT_EQ(checkStoreFile(text + "missing", CheckDepth::Quick).outcome, StoreCheck::Unreadable);
}

// The folders the program makes hold the listings and the names and dates
// of their backups: each is the owner's alone; a folder that was there
// keeps its mode.
TEST(PrivateFolderTest, EveryFolderTheProgramMakesIsTheOwnersAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    const QString data = dir.filePath(QStringLiteral("share/velmoran"));
    ASSERT_TRUE(ensureDataFolder(data));
    EXPECT_EQ(mode(dir.filePath(QStringLiteral("share"))), 0700u);
    EXPECT_EQ(mode(data), 0700u);
    EXPECT_EQ(mode(dir.path()), 0755u); // there before: as it was
    storeListings(data, generatedListings(3, 1));
    const BackupResult backup = writeBackup(data, listingsTable(), backupFolder(data),
                                            QDateTime(QDate(2024, 1, 2), QTime(3, 4)));
    ASSERT_TRUE(backup.ok()) << backup.error.toStdString();
    EXPECT_EQ(mode(backupFolder(data)), 0700u);
    EXPECT_TRUE(makePrivateFolder(data)); // there already
    EXPECT_FALSE(makePrivateFolder(QStringLiteral("/proc/velmoran-none")));
}

TEST(FolderLockTest, CopiesShareTheFolderAndAStepThatReplacesAStoreHasItAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FolderLock program;
    FolderLock other;
    FolderLock tool;
    ASSERT_TRUE(program.tryLock(dir.path(), FolderLock::Mode::Shared));
    EXPECT_TRUE(other.tryLock(dir.path(), FolderLock::Mode::Shared));
    EXPECT_FALSE(tool.tryLock(dir.path(), FolderLock::Mode::Exclusive));
    EXPECT_FALSE(tool.isLocked());
    // A copy can't take the folder to itself while another runs, and so
    // holds nothing after trying.
    EXPECT_FALSE(other.tryLock(dir.path(), FolderLock::Mode::Exclusive));
    EXPECT_FALSE(other.isLocked());
    program.unlock();
    ASSERT_TRUE(tool.tryLock(dir.path(), FolderLock::Mode::Exclusive));
    EXPECT_FALSE(program.tryLock(dir.path(), FolderLock::Mode::Shared));
    EXPECT_FALSE(program.lock(dir.path(), FolderLock::Mode::Shared, 200));
    // Let go, the waiting copy gets it.
    tool.tryLock(dir.path(), FolderLock::Mode::Shared);
    EXPECT_TRUE(program.lock(dir.path(), FolderLock::Mode::Shared, 200));
    EXPECT_FALSE(FolderLock().tryLock(dir.filePath("missing"), FolderLock::Mode::Shared));
}

TEST_F(BackupTest, LeftoversOfKilledStepsGoAndNoOtherFile) {
    const QStringList ours{
        ".newil.db.Ab12Cd",        ".newil.db.Ab12Cd-wal",        ".pc.db.zzzzzz-journal",
        ".newil.db.import.Q1w2E3", ".newil.db.import.Q1w2E3-shm", ".pc.db.restore.aaaaaa"};
    const QStringList kept{".newil.db.toolong7", "newil.db.before-import-20240101-000000",
                           ".newil.db.import.abc", ".other.db.Ab12Cd", "notes.newil.db.Ab12Cd"};
    for (const QString& name : ours + kept) {
        writeFile(QDir(folder()).filePath(name), "x");
    }
    QDir().mkpath(backups());
    writeFile(QDir(backups()).filePath(".newil.db.backup.x1y2z3"), "x");
    writeFile(QDir(backups()).filePath("newil-20240101-000000.db"), "x");
    writeFile(QDir(backups()).filePath(".newil.db.Ab12Cd"), "x");

    const QStringList removed = removeLeftovers(folder());
    EXPECT_EQ(removed.size(), ours.size() + 1);
    QStringList left = filesIn(folder());
    for (const QString& name : ours) {
        EXPECT_FALSE(left.contains(name)) << name.toStdString();
    }
    for (const QString& name : kept + QStringList{"newil.db", "pc.db"}) {
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(filesIn(backups()), (QStringList{".newil.db.Ab12Cd", "newil-20240101-000000.db"}));
}

} // namespace
