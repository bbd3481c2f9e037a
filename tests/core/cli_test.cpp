// velmoran-cli as a user runs it: the help of every subcommand in English and
// Persian, backup, restore and check on a folder, the refusals while the
// program runs there, the export, and the import of Access files that hang
// or crash the reading library.

#include "data/core/priceindex.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storeoptimise.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgpriceindex.h"
#include "data/sqlite/sqlite.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "export/exportcolumns.h"
#include "tests/support/importfixtures.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/sheetreader.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace velmoran;
using namespace velmoran::test;
using velmoran::test::TestDatabase;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 milliseconds = 0;
};

CliRun cli(const QStringList& arguments, const QByteArray& lang = "C.UTF-8") {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
    environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(lang));
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(VELMORAN_CLI_TOOL), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    CliRun run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError()), timer.elapsed()};
    return run;
}

const char* const kSubcommands[] = {"import",  "import-sheet", "export", "backup",  "find",
                                    "restore", "check",        "copy",   "optimise"};

TEST(CliHelpTest, EverySubcommandHasItsHelpInEnglishAndPersianWithTheExitCodes) {
    const CliRun help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* name : kSubcommands) {
        EXPECT_TRUE(help.out.contains(QStringLiteral("  %1 ").arg(QLatin1String(name)))) << name;
    }
    for (int code = 0; code <= 5; ++code) {
        EXPECT_TRUE(help.out.contains(QStringLiteral("  %1  ").arg(code))) << code;
    }
    for (const char* name : kSubcommands) {
        SCOPED_TRACE(name);
        const CliRun english = cli({QLatin1String(name), QStringLiteral("--help")});
        EXPECT_EQ(english.exitCode, 0);
        EXPECT_TRUE(english.out.startsWith(
            QStringLiteral("usage: velmoran-cli %1").arg(QLatin1String(name))));
        EXPECT_TRUE(english.out.contains(QStringLiteral("Exit codes:")));
        const CliRun persian = cli({QStringLiteral("help"), QLatin1String(name)}, "fa_IR.UTF-8");
        EXPECT_EQ(persian.exitCode, 0);
        EXPECT_TRUE(persian.out.startsWith(
            QStringLiteral("روش كار: velmoran-cli %1").arg(QLatin1String(name))));
        EXPECT_TRUE(persian.out.contains(QStringLiteral("كدهاي خروج:")));
        EXPECT_NE(persian.out, english.out);
    }
    const CliRun unknown = cli({QStringLiteral("frobnicate")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("frobnicate")));
    EXPECT_EQ(cli({}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("restore")}).exitCode, 2); // BACKUP missing
    EXPECT_EQ(cli({QStringLiteral("export"), QStringLiteral("x.ods")}).exitCode, 2);
}

// The codes listed after "Exit codes:" (or its Persian heading).
QList<int> listedExitCodes(const QString& help) {
    QList<int> codes;
    const QString table =
        help.section(QRegularExpression(QStringLiteral("(Exit codes|كدهاي خروج):\n")), 1);
    const QRegularExpression row(QStringLiteral("^  (\\d)  \\S"),
                                 QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(table); it.hasNext();) {
        codes << it.next().captured(1).toInt();
    }
    return codes;
}

// Each subcommand's help lists the exit codes that subcommand can return and
// no other, in English and Persian; the tool's help lists each code with the
// subcommands it belongs to.
TEST(CliHelpTest, EachSubcommandListsOnlyItsOwnExitCodes) {
    const std::pair<const char*, QList<int>> expected[] = {
        {"import", {0, 1, 2, 3, 4}},
        {"export", {0, 1, 2, 3, 4}},
        {"backup", {0, 1, 2, 4}},
        {"restore", {0, 1, 2, 4, 5}},
        {"check", {0, 1, 2, 4, 5}},
        {"copy", {0, 1, 2, 3, 4, 5}},
        {"optimise", {0, 1, 2, 4, 5}},
        {"find", {0, 1, 2, 1, 4, 6}},
        {"applicants", {0, 1, 2, 1, 4, 5, 6}},
        {"match", {0, 1, 2, 1, 4, 6}},
    };
    for (const auto& [name, codes] : expected) {
        SCOPED_TRACE(name);
        const CliRun english = cli({QLatin1String(name), QStringLiteral("--help")});
        EXPECT_EQ(listedExitCodes(english.out), codes) << english.out.toStdString();
        const CliRun persian = cli({QLatin1String(name), QStringLiteral("--help")}, "fa_IR.UTF-8");
        EXPECT_EQ(listedExitCodes(persian.out), codes) << persian.out.toStdString();
        // A code's meaning is the subcommand's own, not another's.
        EXPECT_FALSE(english.out.contains(QRegularExpression(
            QStringLiteral("  \\d  (import|export|backup|restore|check|copy|optimise)[,:] "))))
            << english.out.toStdString();
    }
    const QString copy = cli({QStringLiteral("copy"), QStringLiteral("--help")}).out;
    EXPECT_TRUE(
        copy.section(QStringLiteral("Exit codes:"), 1).contains(QStringLiteral("  3  the server")))
        << copy.toStdString();
    const QString all = cli({QStringLiteral("--help")}).out;
    EXPECT_TRUE(all.contains(QStringLiteral("  3  import: "))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("  3  copy: "))) << all.toStdString();
    EXPECT_TRUE(all.contains(
        QStringLiteral("  5  check, restore, import-sheet, optimise, copy, applicants: ")))
        << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("  6  find, import-sheet, applicants, match: ")))
        << all.toStdString();
}

class CliTest : public DataFolderTest {
protected:
    // The desk's velmoran.conf names the server `conninfo`.
    static void configureServer(const QString& conninfo) {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velmoran";
        ASSERT_TRUE(QDir().mkpath(config));
        QFile conf(config + "/velmoran.conf");
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(QStringLiteral("[store]\nserver=%1\n").arg(conninfo).toUtf8());
    }

    void SetUp() override {
        DataFolderTest::SetUp();
        storeListings(folder(), generatedListings(200, 3));
        preparePasswordStore(folder());
    }
    QString path(const QString& name) const { return QDir(folder()).filePath(name); }
    QStringList backups() const { return filesIn(backupFolder(folder())); }
};

TEST_F(CliTest, BackupRestoreAndCheckOnTheDataFolder) {
    const CliRun backup = cli({QStringLiteral("backup")});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    ASSERT_EQ(backups().size(), 2);
    const QString newil = backupFolder(folder()) + QLatin1Char('/') +
                          backups().filter(QStringLiteral("newil-")).front();
    EXPECT_TRUE(backup.out.contains(newil));

    const CliRun check = cli({QStringLiteral("check")});
    EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
    EXPECT_EQ(check.out.count(QStringLiteral("integrity_check: ok")), 2);

    // Damage inside the pages: found, the exit status says so.
    const QByteArray good = bytesOf(path("newil.db"));
    damagePages(path("newil.db"));
    const CliRun damaged = cli({QStringLiteral("check")});
    EXPECT_EQ(damaged.exitCode, 5);
    EXPECT_TRUE(damaged.out.contains(path("newil.db")));

    const CliRun restore = cli({QStringLiteral("restore"), newil});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    QStringList kept = filesIn(folder()).filter(QStringLiteral("newil.db.before-restore-"));
    kept = kept.filter(QRegularExpression(QStringLiteral("\\d$"))); // its journal aside
    ASSERT_EQ(kept.size(), 1) << kept.join(' ').toStdString();
    EXPECT_TRUE(restore.out.contains(kept.front()));
    EXPECT_EQ(cli({QStringLiteral("check")}).exitCode, 0);
    EXPECT_EQ(cli({QStringLiteral("check"), path(kept.front())}).exitCode, 5);

    // A backup elsewhere, and a check of it.
    const QString elsewhere = QDir(folder()).filePath(QStringLiteral("usb"));
    ASSERT_EQ(cli({QStringLiteral("backup"), elsewhere}).exitCode, 0);
    EXPECT_EQ(filesIn(elsewhere).size(), 2);
    EXPECT_EQ(cli({QStringLiteral("check"), elsewhere + "/" + filesIn(elsewhere).front()}).exitCode,
              0);
    // --folder: another data folder.
    QTemporaryDir other;
    const CliRun none = cli({QStringLiteral("backup"), QStringLiteral("--folder"), other.path()});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(other.path()));
}

TEST_F(CliTest, StepsThatChangeTheStoresAreRefusedWhileTheProgramRunsOnTheFolder) {
    ASSERT_EQ(cli({QStringLiteral("backup")}).exitCode, 0);
    const QString newil = backupFolder(folder()) + QLatin1Char('/') +
                          backups().filter(QStringLiteral("newil-")).front();
    FolderLock program; // as the running program holds it
    ASSERT_TRUE(program.tryLock(folder(), FolderLock::Mode::Shared));
    const QByteArray before = bytesOf(path("newil.db"));
    for (const QStringList& arguments :
         {QStringList{"restore", newil}, QStringList{"backup"},
          QStringList{"import", "--replace", mdbFixture("testV1997.mdb")}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CliRun refused = cli(arguments);
        EXPECT_EQ(refused.exitCode, 4);
        EXPECT_TRUE(refused.err.contains(folder())) << refused.err.toStdString();
    }
    EXPECT_EQ(bytesOf(path("newil.db")), before);
    EXPECT_EQ(backups().size(), 2);
    // Reading goes on beside the program.
    EXPECT_EQ(cli({QStringLiteral("check")}).exitCode, 0);
    EXPECT_EQ(cli({QStringLiteral("export"), path("all.csv")}).exitCode, 0);
}

// A file damaged in an index only, which quick_check can't see: each step
// that would write to it reads it through first, refuses with exit 5 and
// the damage named, and leaves it as it was.
TEST_F(CliTest, AStoreDamagedInAnIndexIsWrittenToByNoStep) {
    {
        sql::Database db(path("newil.db"), SQLITE_OPEN_READWRITE);
        db.exec(
            QStringLiteral("DROP INDEX \"%1\"").arg(priceIndexes(listingsTable()).front().name));
    }
    damageIndexEntry(path("newil.db"), QStringLiteral("Tehran"));
    {
        // A change still in the journal, as a copy killed before folding it
        // in leaves it.
        sql::Database db(path("newil.db"), SQLITE_OPEN_READWRITE);
        db.exec("PRAGMA journal_mode = WAL");
        sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        db.exec("CREATE TABLE pending (x)");
    }
    const QByteArray before = bytesOf(path("newil.db"));
    const QString sheet = path("agency.csv");
    writeFile(sheet, "owner,phone\r\nnew owner,0912\r\n");
    for (const QStringList& arguments :
         {QStringList{"import-sheet", sheet}, QStringList{"optimise"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CliRun refused = cli(arguments);
        EXPECT_EQ(refused.exitCode, 5) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains(shownPath(path("newil.db")))) << refused.err.toStdString();
        EXPECT_EQ(bytesOf(path("newil.db")), before);
    }
    // Reading it is no write: a dry run still tells what the sheet holds.
    EXPECT_EQ(cli({QStringLiteral("import-sheet"), QStringLiteral("--dry-run"), sheet}).exitCode,
              0);
    // Replaced whole from Access, it goes aside as it is, its journal beside
    // it.
    const QString mdb = path("newil.mdb");
    writeFile(mdb, listingsMdb());
    const CliRun replaced = cli({QStringLiteral("import"), QStringLiteral("--replace"), mdb});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    const QStringList kept = QDir(folder()).entryList({QStringLiteral("newil.db.before-import-*")});
    ASSERT_EQ(kept.size(), 2) << kept.join(' ').toStdString();
    EXPECT_EQ(bytesOf(path(kept[0])), before);
    EXPECT_TRUE(kept[1].endsWith(QStringLiteral("-wal")));
}

// A file of an earlier version: check says it lacks the price indexes,
// optimise adds them (not while the program runs on the folder), and the
// file stays sound and finds as before.
TEST_F(CliTest, CheckTellsAFileWithoutPriceIndexesAndOptimiseAddsThem) {
    {
        sql::Database db(path("newil.db"), SQLITE_OPEN_READWRITE);
        for (const PriceIndex& index : priceIndexes(listingsTable())) {
            db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(index.name));
        }
        db.exec("UPDATE new SET gheymatehkoole = (rowid * 1000) || '', fooroosh = -1, "
                "apartman = -1 WHERE rowid % 4 = 0");
    }
    const QString wanted = QString::number(priceIndexes(listingsTable()).size());
    const CliRun lacking = cli({QStringLiteral("check")});
    EXPECT_EQ(lacking.exitCode, 0) << lacking.err.toStdString();
    EXPECT_TRUE(lacking.out.contains(QStringLiteral("velmoran-cli optimise")));
    EXPECT_TRUE(lacking.out.contains(wanted + QStringLiteral(" نمايه قيمت از ") + wanted));

    const QString criterion = QStringLiteral(
        "gheymatehkoole > '-1' AND  gheymatehkoole < '99999999999' and  fooroosh = -1 and "
        "apartman = -1 ");
    std::vector<long long> before;
    {
        RecordSource source(folder(), listingsTable());
        for (source.FindFirst(criterion); !source.NoMatch(); source.FindNext(criterion)) {
            before.push_back(source.currentRowId());
        }
    }
    {
        FolderLock program; // as the running program holds it
        ASSERT_TRUE(program.tryLock(folder(), FolderLock::Mode::Shared));
        const QByteArray bytes = bytesOf(path("newil.db"));
        EXPECT_EQ(cli({QStringLiteral("optimise")}).exitCode, 4);
        EXPECT_EQ(bytesOf(path("newil.db")), bytes);
    }
    const CliRun optimise = cli({QStringLiteral("optimise")});
    ASSERT_EQ(optimise.exitCode, 0) << optimise.err.toStdString();
    EXPECT_TRUE(optimise.out.contains(QStringLiteral("نمايه هاي قيمت كامل است (%1)").arg(wanted)));
    const CliRun complete = cli({QStringLiteral("check")});
    EXPECT_EQ(complete.exitCode, 0);
    EXPECT_EQ(complete.out.count(QStringLiteral("integrity_check: ok")), 2);
    EXPECT_TRUE(complete.out.contains(QStringLiteral("نمايه هاي قيمت كامل است")));
    EXPECT_FALSE(complete.out.contains(QStringLiteral("velmoran-cli optimise")));
    const CliRun again = cli({QStringLiteral("optimise")});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_FALSE(again.out.contains(QStringLiteral("افزودن")));

    RecordSource source(folder(), listingsTable());
    std::vector<long long> after;
    for (source.FindFirst(criterion); !source.NoMatch(); source.FindNext(criterion)) {
        after.push_back(source.currentRowId());
    }
    EXPECT_EQ(after, before);
    EXPECT_FALSE(after.empty());
}

// The same on the server velmoran.conf names: a table of an earlier version
// lacks the indexes and the function; optimise adds both.
TEST_F(CliTest, OnTheServerCheckTellsTheMissingPriceIndexesAndOptimiseAddsThem) {
    TestDatabase database;
    const StoreLocation server{folder(), database.conninfo()};
    ASSERT_EQ(prepareStore(server, listingsTable()), QString());
    ASSERT_EQ(prepareStore(server, passwordTable()), QString());
    pg::Connection(database.conninfo())
        .exec(
            QStringLiteral("DROP FUNCTION %1(text) CASCADE").arg(QLatin1String(kPgNumberFunction)),
            {});
    configureServer(database.conninfo());

    const CliRun lacking = cli({QStringLiteral("check")});
    EXPECT_EQ(lacking.exitCode, 0) << lacking.err.toStdString();
    EXPECT_TRUE(lacking.out.contains(QStringLiteral("velmoran-cli optimise")));
    EXPECT_EQ(lacking.out.count(QStringLiteral("نمايه هاي قيمت كامل است")), 1); // newil.db
    const CliRun optimise = cli({QStringLiteral("optimise")});
    ASSERT_EQ(optimise.exitCode, 0) << optimise.err.toStdString();
    const CliRun complete = cli({QStringLiteral("check")});
    EXPECT_EQ(complete.out.count(QStringLiteral("نمايه هاي قيمت كامل است")), 2);
    EXPECT_EQ(checkPriceIndexes(server, listingsTable()).missing, 0);

    // An unreachable server is a message and exit 1.
    configureServer(QStringLiteral("host=/nonexistent port=1"));
    const CliRun unreachable = cli({QStringLiteral("optimise")});
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_FALSE(unreachable.err.isEmpty());
}

TEST_F(CliTest, ExportWritesTheFileAskedFor) {
    const CliRun xlsx = cli({QStringLiteral("export"), path("all.xlsx")});
    EXPECT_EQ(xlsx.exitCode, 0) << xlsx.err.toStdString();
    EXPECT_TRUE(xlsx.out.contains(QStringLiteral("200")));
    EXPECT_EQ(readXlsx(path("all.xlsx")).rows.size(), 201u);
    // The owners' names and telephone numbers: for the user alone.
    struct stat written {};
    ASSERT_EQ(::stat(path("all.xlsx").toLocal8Bit().constData(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0600u);
    // An existing file is refused, as import and copy refuse, unless --replace.
    writeFile(path("all.csv"), "an older export");
    const CliRun refused = cli({QStringLiteral("export"), path("all.csv")});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.err.contains(path("all.csv"))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace")));
    EXPECT_EQ(bytesOf(path("all.csv")), QByteArray("an older export"));
    const CliRun replaced =
        cli({QStringLiteral("export"), QStringLiteral("--replace"), path("all.csv")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    bool bom = false;
    EXPECT_EQ(readCsv(path("all.csv"), &bom).size(), 201u);
    QTemporaryDir empty;
    const CliRun noStore =
        cli({QStringLiteral("export"), QStringLiteral("--folder"), empty.path(), path("none.csv")});
    EXPECT_EQ(noStore.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("none.csv")));
}

// A killed backup leaves a hidden whole copy of the store in backups/: the
// next velmoran-cli run alone on the folder takes it away, as the program's
// start does; while the program runs there it stays (it may be the
// program's own backup under way).
TEST_F(CliTest, TheLeftoversOfAKilledStepAreRemovedByTheNextRunAloneOnTheFolder) {
    const QString dir = backupFolder(folder());
    ASSERT_TRUE(QDir().mkpath(dir));
    const QStringList leftovers = {QStringLiteral(".newil.db.backup.Ab12Cd"),
                                   QStringLiteral(".newil.db.backup.Ab12Cd-journal"),
                                   QStringLiteral(".pc.db.backup.Zz9yX8")};
    for (const QString& name : leftovers) {
        writeFile(QDir(dir).filePath(name), QByteArray(4096, 'x'));
    }
    writeFile(QDir(dir).filePath(QStringLiteral("notes.txt")), "the agency's own");
    {
        FolderLock program;
        ASSERT_TRUE(program.tryLock(folder(), FolderLock::Mode::Shared));
        ASSERT_EQ(cli({QStringLiteral("check")}).exitCode, 0);
        for (const QString& name : leftovers) {
            EXPECT_TRUE(QFileInfo::exists(QDir(dir).filePath(name))) << name.toStdString();
        }
    }
    const CliRun check = cli({QStringLiteral("check")});
    EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
    for (const QString& name : leftovers) {
        EXPECT_FALSE(QFileInfo::exists(QDir(dir).filePath(name))) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(QDir(dir).filePath(QStringLiteral("notes.txt"))));
}

// What the tool prints from a sheet or a store shows their control
// characters as escapes: a heading or an owner can't set the terminal's
// title or fake a line.
TEST_F(CliTest, ControlCharactersFromSheetsAndStoresArePrintedAsEscapes) {
    const QString sheet = path(QStringLiteral("escapes.csv"));
    writeFile(sheet, "malek,\x1B]0;owned\x07,tel03\r\n\"\x1B[2Jfake\nline\",x,021\r\n");
    const CliRun imported = cli({QStringLiteral("import-sheet"), sheet});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("\\x1B]0;owned\\x07")))
        << imported.out.toStdString();
    const CliRun found = cli({QStringLiteral("find")});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_TRUE(found.out.contains(QStringLiteral("\\x1B[2Jfake\\nline")));
    for (const CliRun* run : {&imported, &found}) {
        EXPECT_FALSE(run->out.contains(QChar(0x1B)));
        EXPECT_FALSE(run->out.contains(QChar(0x07)));
    }
}

// Another velmoran-cli started at the same moment holds the folder alone
// only while it clears leftovers: a step beside the others waits for it
// rather than refuse as if a restore were at work.
TEST_F(CliTest, AStepBesideOthersWaitsForOneThatClearsLeftovers) {
    const QString sheet = path(QStringLiteral("few.csv"));
    writeFile(sheet, "malek\r\nx\r\n");
    FolderLock other;
    ASSERT_TRUE(other.tryLock(folder(), FolderLock::Mode::Exclusive));
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        other.unlock();
    });
    const CliRun run = cli({QStringLiteral("import-sheet"), QStringLiteral("--dry-run"), sheet});
    release.join();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

// A desk configured for the server exactly as README says: export and check
// work on the server's listings, not on a file the data folder still holds
// from before the copy up; a desk with only the server (no data folder) does
// the same; a copy down makes its folder.
TEST_F(CliTest, OnAServerDeskExportCheckAndCopyWorkOnTheServersListings) {
    TestDatabase database;
    configureServer(database.conninfo());
    const CliRun up = cli({QStringLiteral("copy"), QStringLiteral("--to-server")});
    ASSERT_EQ(up.exitCode, 0) << up.err.toStdString();
    // Five more on the server; the folder's file keeps its 200.
    {
        RecordSource server(StoreLocation{folder(), database.conninfo()}, listingsTable());
        for (int i = 0; i < 5; ++i) {
            server.AddNew();
            server.setText(listingsTable().indexOf(QStringLiteral("malek")),
                           QStringLiteral("روي سرور %1").arg(i));
            server.setFlag(listingsTable().indexOf(QStringLiteral("vila")), true);
            server.Update();
        }
    }
    // One column a field, in the fields' order.
    ASSERT_EQ(exportHeadings().size(), static_cast<int>(kListingFieldCount));
    const int owner = listingsTable().indexOf(QStringLiteral("malek"));
    for (const QString& data : {folder(), QDir(folder()).filePath(QStringLiteral("none"))}) {
        SCOPED_TRACE(data.toStdString());
        const QString file =
            QDir(QDir::tempPath())
                .filePath(QStringLiteral("server-%1.csv").arg(QCoreApplication::applicationPid()));
        QFile::remove(file);
        const CliRun exported =
            cli({QStringLiteral("export"), QStringLiteral("--folder"), data, file});
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        EXPECT_TRUE(exported.out.contains(QStringLiteral("205"))) << exported.out.toStdString();
        bool bom = false;
        const std::vector<QStringList> rows = readCsv(file, &bom);
        ASSERT_EQ(rows.size(), 206u);
        EXPECT_EQ(rows.back().at(owner), QStringLiteral("روي سرور 4"));
        QFile::remove(file);

        const CliRun check = cli({QStringLiteral("check"), QStringLiteral("--folder"), data});
        EXPECT_EQ(check.exitCode, 0) << check.err.toStdString();
        EXPECT_TRUE(check.out.contains(QStringLiteral("⁨new⁩: سالم است")));
        EXPECT_TRUE(check.out.contains(QStringLiteral("⁨pc⁩: سالم است")));
        // The local files where they are: integrity and price indexes.
        EXPECT_EQ(check.out.count(QStringLiteral("integrity_check: ok")), data == folder() ? 2 : 0);
        EXPECT_EQ(check.out.count(QStringLiteral("نمايه هاي قيمت كامل است")),
                  data == folder() ? 2 : 1);
    }

    // Down into a folder that is not there yet: made, for its owner only.
    const QString down = QDir(folder()).filePath(QStringLiteral("copies/down"));
    const CliRun copied = cli({QStringLiteral("copy"), QStringLiteral("--from-server"), down});
    ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_TRUE(QFileInfo(QDir(down).filePath(QStringLiteral("newil.db"))).isFile());
    struct stat made {};
    ASSERT_EQ(::stat(down.toLocal8Bit().constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0700u);

    // A server whose table lacks a column fails the check with its name.
    pg::Connection(database.conninfo()).exec("ALTER TABLE pc DROP COLUMN passsecurity");
    const CliRun broken = cli({QStringLiteral("check")});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("passsecurity"))) << broken.err.toStdString();
    pg::Connection(database.conninfo()).exec("DROP TABLE pc");
    const CliRun missing = cli({QStringLiteral("check")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("جدول ⁨pc⁩ وجود ندارد؛")))
        << missing.err.toStdString();
    // A copy down says the same cause, not an empty one.
    const CliRun none = cli({QStringLiteral("copy"), QStringLiteral("--from-server"),
                             QDir(folder()).filePath(QStringLiteral("copies/again"))});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains(
        QStringLiteral("جدول ⁨pc⁩ وجود ندارد و چيزي كپي نشد")))
        << none.err.toStdString();
}

// A server that takes the connection and never answers: find ends at the
// deadline with the server named and an exit status of its own, never the
// "no match" of exit 1.
TEST_F(CliTest, AServerThatDoesNotAnswerIsAFailureOfItsOwnNotNoMatch) {
    QTemporaryDir dir;
    const QByteArray socketPath = QDir(dir.path()).filePath(".s.PGSQL.5999").toLocal8Bit();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(),
                static_cast<std::size_t>(socketPath.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 8), 0); // taken by the system, never accepted
    configureServer(QStringLiteral("host=%1 port=5999 dbname=velmoran").arg(dir.path()));
    const CliRun stalled =
        cli({QStringLiteral("find"), QStringLiteral("--owner"), QStringLiteral("nobody")});
    ::close(listener);
    EXPECT_EQ(stalled.exitCode, 6) << stalled.err.toStdString();
    EXPECT_TRUE(stalled.err.contains(QStringLiteral("پاسخ نداد"))) << stalled.err.toStdString();
    EXPECT_TRUE(stalled.out.isEmpty());
}

// A desk whose password file others may read: libpq leaves the file unread
// and the server refuses the connection. copy says so, with the chmod that
// mends it, not that the connection was cut.
TEST_F(CliTest, APasswordFileOthersMayReadIsNamedWithTheChmodThatMendsIt) {
    const QString server = test::TestServer::shared().passwordRoleConninfo();
    QTemporaryDir home;
    const QString pgpass = home.filePath(QStringLiteral(".pgpass"));
    writeFile(pgpass,
              QStringLiteral("*:*:*:%1:%2\n")
                  .arg(test::TestServer::passwordRole(), test::TestServer::passwordRolePassword())
                  .toUtf8());
    ASSERT_EQ(::chmod(pgpass.toLocal8Bit().constData(), 0644), 0);
    const QByteArray saved = qgetenv("PGPASSFILE");
    qputenv("PGPASSFILE", pgpass.toLocal8Bit());
    const CliRun run = cli({QStringLiteral("copy"), QStringLiteral("--server"), server,
                            QStringLiteral("--to-server")});
    saved.isNull() ? qunsetenv("PGPASSFILE") : qputenv("PGPASSFILE", saved);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("\u2068chmod 600 %1\u2069").arg(pgpass)))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("قطع شد"))) << run.err.toStdString();
}

// The Access files that make the reading library loop printing without end
// and the one that makes it crash: each ends quickly, by itself with exit 1
// (never by a signal: the library crashes in the tool's reading child), with
// the Persian message naming it, a bounded error output, and nothing in the
// folder.
TEST(CliImportTest, FilesThatHangOrCrashTheReadingLibraryEndWithAMessageAndLeaveNothing) {
    for (const char* name : {"hangs-truncated.mdb", "hangs-flipped.mdb", "crashes-flipped.mdb"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("newil.mdb"));
        writeFile(source, readFixture(QStringLiteral("hostile/") + QLatin1String(name)));
        const QString data = dir.filePath(QStringLiteral("data"));
        const CliRun run = cli({QStringLiteral("import"), QStringLiteral("--timeout"),
                                QStringLiteral("5"), QStringLiteral("--folder"), data, source});
        EXPECT_EQ(run.exitCode, 1); // -1: ended by a signal
        EXPECT_LT(run.milliseconds, 5000 + 3000);
        EXPECT_TRUE(run.err.contains(QStringLiteral("⁨%1⁩").arg(source)))
            << run.err.left(500).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("خوانده نشد")));
        EXPECT_LT(run.err.size(), 32 * 1024);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(filesIn(data).isEmpty()) << filesIn(data).join(' ').toStdString();
    }
}

// The crash told as the crash it is, once: on the error output, and in
// --progress mode as the one @error line the program shows.
TEST(CliImportTest, ACrashOfTheReadingLibraryIsToldOnceAsACrash) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("newil.mdb"));
    writeFile(source, readFixture(QStringLiteral("hostile/crashes-flipped.mdb")));
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString crashed = QStringLiteral("برنامه خواندن آن از كار افتاد.");
    const CliRun plain = cli({QStringLiteral("import"), QStringLiteral("--folder"), data, source});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.err.count(crashed), 1) << plain.err.left(500).toStdString();
    const CliRun machine = cli({QStringLiteral("import"), QStringLiteral("--progress"),
                                QStringLiteral("--folder"), data, source});
    EXPECT_EQ(machine.exitCode, 1);
    const QStringList errors =
        machine.out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^@error ")));
    ASSERT_EQ(errors.size(), 1) << machine.out.toStdString();
    EXPECT_TRUE(errors.front().contains(crashed));
    EXPECT_TRUE(errors.front().contains(QStringLiteral("⁨%1⁩").arg(source)));
    EXPECT_TRUE(filesIn(data).isEmpty()) << filesIn(data).join(' ').toStdString();

    // The same file grown to Access's own 2 GiB limit (a sparse file): the
    // limit is named as the cause, not a crash of the reader.
    QFile grown(source);
    ASSERT_TRUE(grown.resize(qint64(2) << 30));
    const CliRun atLimit =
        cli({QStringLiteral("import"), QStringLiteral("--folder"), data, source});
    EXPECT_EQ(atLimit.exitCode, 1);
    EXPECT_TRUE(atLimit.err.contains(QStringLiteral("مرز 2 گيگابايتي اكسس")))
        << atLimit.err.toStdString();
    EXPECT_FALSE(atLimit.err.contains(crashed));
}

// The reading child runs under a memory limit: a file that would need more
// ends the import with the message naming it and exit 1, nothing left, as a
// crash does (here the limit leaves no room at all).
TEST(CliImportTest, AReadingThatNeedsMoreMemoryThanAllowedEndsWithAMessage) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("newil.mdb"));
    writeFile(source, listingsMdb());
    const QString data = dir.filePath(QStringLiteral("data"));
    qputenv("VELMORAN_READING_MEMORY_MB", "0");
    const CliRun run = cli({QStringLiteral("import"), QStringLiteral("--folder"), data, source});
    qunsetenv("VELMORAN_READING_MEMORY_MB");
    EXPECT_EQ(run.exitCode, 1) << run.err.left(500).toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("⁨%1⁩").arg(source)))
        << run.err.left(500).toStdString();
    EXPECT_TRUE(filesIn(data).isEmpty()) << filesIn(data).join(' ').toStdString();
    // With the usual room the same file imports.
    const CliRun usual = cli({QStringLiteral("import"), QStringLiteral("--folder"), data, source});
    EXPECT_EQ(usual.exitCode, 0) << usual.err.left(500).toStdString();
}

// A file that never answers (a named pipe nobody writes, as a dead network
// share): no progress for the time given ends the import.
TEST(CliImportTest, AnImportWithoutProgressGivesUpAfterItsTimeout) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("newil.mdb"));
    ASSERT_EQ(::mkfifo(source.toLocal8Bit().constData(), 0600), 0);
    const QString data = dir.filePath(QStringLiteral("data"));
    const CliRun run =
        cli({QStringLiteral("import"), QStringLiteral("--progress"), QStringLiteral("--timeout"),
             QStringLiteral("1"), QStringLiteral("--folder"), data, source});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_GE(run.milliseconds, 1000);
    EXPECT_LT(run.milliseconds, 4000);
    EXPECT_TRUE(run.out.contains(QStringLiteral("@error ")));
    EXPECT_TRUE(run.err.contains(source));
    EXPECT_TRUE(filesIn(data).isEmpty());
    EXPECT_EQ(
        cli({QStringLiteral("import"), QStringLiteral("--timeout"), QStringLiteral("soon"), source})
            .exitCode,
        2);
}

} // namespace
