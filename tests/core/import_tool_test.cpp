// velmoran-cli import as a user runs it: its report, its refusal to replace
// a store, its errors on stderr with a non-zero exit.

#include "data/sqlite/sqlite.h"
#include "import/importtool.h"
#include "tests/support/importfixtures.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class ImportToolTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(sources_.isValid());
        newil_ = sources_.filePath(QStringLiteral("newil.mdb"));
        pc_ = sources_.filePath(QStringLiteral("pc.mdb"));
        writeFile(newil_, listingsMdb());
        writeFile(pc_, passwordMdb());
    }
    ToolRun run(const QStringList& arguments) {
        QProcess process;
        process.start(QStringLiteral(VELMORAN_CLI_TOOL), QStringList{"import"} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString store(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
    QString count(const char* name, const char* table) {
        sql::Database db(store(name), SQLITE_OPEN_READONLY);
        sql::Statement select = db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(table));
        return select.step() ? select.columnText(0) : QString();
    }

    QTemporaryDir sources_;
    QString newil_;
    QString pc_;
};

TEST_F(ImportToolTest, BringsBothFilesIntoTheDataFolderAndReports) {
    // No --folder: the data folder of $XDG_DATA_HOME, as the program uses.
    const ToolRun r = run({newil_, pc_});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(count("newil.db", "new"), QStringLiteral("8"));
    EXPECT_EQ(count("pc.db", "pc"), QStringLiteral("1"));
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << r.out.toStdString();
    EXPECT_TRUE(lines[0].contains(shownPath(newil_)));
    EXPECT_TRUE(lines[0].contains(shownPath(store("newil.db"))));
    EXPECT_EQ(lines[1], QStringLiteral("رديفهاي جدول: 8، خوانده شده: 8، ذخيره شده: 8"));
    const QStringList missing =
        lines[2].section(QStringLiteral(": "), 1).split(QStringLiteral("، "));
    EXPECT_EQ(missing.size(), 101);
    EXPECT_EQ(missing.mid(0, 3), (QStringList{"mantagheh", "tel03", "date"}));
    EXPECT_FALSE(missing.contains(QStringLiteral("malek")));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(": ID")));
    EXPECT_EQ(lines[5], QStringLiteral("رديفهاي جدول: 1، خوانده شده: 1، ذخيره شده: 1"));
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral(": ندارد")));
    EXPECT_TRUE(lines[7].contains(QStringLiteral("PROJ_ID، PROJ_NAME")));
}

TEST_F(ImportToolTest, RefusesToReplaceUnlessToldAndThenKeepsTheOldFile) {
    ASSERT_EQ(run({QStringLiteral("--pc"), pc_}).exitCode, 0);
    ASSERT_EQ(run({newil_}).exitCode, 0);
    QFile file(store("newil.db"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const ToolRun refused = run({newil_, pc_});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.err.contains(shownPath(store("newil.db")))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace")));
    EXPECT_TRUE(refused.out.isEmpty());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    const ToolRun replaced = run({QStringLiteral("--replace"), newil_});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    const QStringList kept = QDir(folder()).entryList({QStringLiteral("newil.db.before-import-*")});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(replaced.out.contains(kept.front()));
    EXPECT_EQ(count(kept.front().toUtf8().constData(), "new"), QStringLiteral("8"));
    EXPECT_EQ(count("newil.db", "new"), QStringLiteral("8"));
}

TEST_F(ImportToolTest, FailuresGoToStderrWithANonZeroExitAndLeaveNothing) {
    const QString other = QDir(folder()).filePath(QStringLiteral("elsewhere"));
    writeFile(newil_, listingsMdb().left(40000));
    const ToolRun truncated = run({QStringLiteral("--folder"), other, newil_});
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_TRUE(truncated.err.contains(shownPath(newil_))) << truncated.err.toStdString();
    EXPECT_TRUE(truncated.err.contains(QStringLiteral("ناقص")));
    EXPECT_TRUE(filesIn(other).isEmpty()) << filesIn(other).join(' ').toStdString();

    writeFile(newil_, "not an Access file");
    const ToolRun notAccess = run({QStringLiteral("--folder"), other, newil_, pc_});
    EXPECT_EQ(notAccess.exitCode, 1);
    EXPECT_TRUE(notAccess.err.contains(shownPath(newil_)));
    EXPECT_TRUE(notAccess.err.contains(QStringLiteral("اكسس نيست")));
    EXPECT_TRUE(filesIn(other).isEmpty()); // pc.mdb not brought over either

    const ToolRun missing = run({QStringLiteral("--folder"), other, newil_ + QStringLiteral("x")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(shownPath(newil_ + QStringLiteral("x"))));

    const ToolRun usage = run({});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.err.contains(QStringLiteral("usage")));
}

TEST_F(ImportToolTest, ProgressModeSpeaksOnlyItsProtocolOnStdout) {
    writeFile(newil_, listingsMdb().left(55 * 4096)); // the library complains on stdout
    const ToolRun r = run({QStringLiteral("--progress"), newil_});
    EXPECT_EQ(r.exitCode, 1);
    for (const QString& line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.startsWith(QLatin1Char('@'))) << line.toStdString();
    }
    EXPECT_TRUE(r.out.contains(QStringLiteral("@temporary ")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("@error ")));
    EXPECT_TRUE(filesIn(folder()).isEmpty());
}

} // namespace
