// velmoran-cli as a user runs it: the help of every subcommand in English and
// Persian, backup, restore and check on a folder, the refusals while the
// program runs there, the export, and the import of Access files that hang
// or crash the reading library.

#include "data/backup.h"
#include "data/folderlock.h"
#include "tests/support/importfixtures.h"
#include "tests/support/sheetreader.h"
#include "tests/support/storefiles.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::test;

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

const char* const kSubcommands[] = {"import", "export", "backup", "restore", "check", "copy"};

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

class CliTest : public DataFolderTest {
protected:
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

TEST_F(CliTest, ExportWritesTheFileAskedFor) {
    const CliRun xlsx = cli({QStringLiteral("export"), path("all.xlsx")});
    EXPECT_EQ(xlsx.exitCode, 0) << xlsx.err.toStdString();
    EXPECT_TRUE(xlsx.out.contains(QStringLiteral("200")));
    EXPECT_EQ(readXlsx(path("all.xlsx")).rows.size(), 201u);
    QTemporaryDir empty;
    const CliRun noStore =
        cli({QStringLiteral("export"), QStringLiteral("--folder"), empty.path(), path("none.csv")});
    EXPECT_EQ(noStore.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("none.csv")));
}

// The Access files that make the reading library loop printing without end
// and the one that makes it crash: each ends quickly, with the Persian
// message naming it, a bounded error output, and nothing in the folder.
TEST(CliImportTest, FilesThatHangOrCrashTheReadingLibraryEndWithAMessageAndLeaveNothing) {
    for (const char* name : {"hangs-truncated.mdb", "hangs-flipped.mdb", "crashes-flipped.mdb"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("newil.mdb"));
        writeFile(source, readFixture(QStringLiteral("hostile/") + QLatin1String(name)));
        const QString data = dir.filePath(QStringLiteral("data"));
        const CliRun run = cli({QStringLiteral("import"), QStringLiteral("--timeout"),
                                QStringLiteral("5"), QStringLiteral("--folder"), data, source});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_LT(run.milliseconds, 5000 + 3000);
        EXPECT_TRUE(run.err.contains(QStringLiteral("⁨%1⁩").arg(source)))
            << run.err.left(500).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("خوانده نشد")));
        EXPECT_LT(run.err.size(), 32 * 1024);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(filesIn(data).isEmpty()) << filesIn(data).join(' ').toStdString();
    }
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
