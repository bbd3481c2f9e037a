#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "tests/crashchild/crashrow.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <random>
#include <vector>

using namespace velmoran;

namespace {

class CrashTest : public velmoran::test::DataFolderTest {};

struct Reported {
    int tag;
    int n;
    long long rowId;
};

// A copy of the program killed at random moments while it stores listings
// loses none it reported stored, and the file always opens again.
TEST_F(CrashTest, KilledWhileStoringTheFileOpensWithEveryReportedRow) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> lifetime(20, 700);
    std::vector<Reported> reported;

    for (int tag = 0; tag < 8; ++tag) {
        QProcess child;
        child.start(VELMORAN_CRASH_CHILD, {folder(), QString::number(tag)});
        ASSERT_TRUE(child.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        const int killAt = lifetime(random);
        while (clock.elapsed() < killAt && child.state() == QProcess::Running) {
            child.waitForReadyRead(killAt - static_cast<int>(clock.elapsed()));
        }
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().constData();
        child.kill(); // SIGKILL
        ASSERT_TRUE(child.waitForFinished(5000));
        // Only whole lines were reported; a half-written one was not.
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> parts = lines[i].split(' ');
            ASSERT_EQ(parts.size(), 2) << lines[i].constData();
            reported.push_back({tag, parts[0].toInt(), parts[1].toLongLong()});
        }

        ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString()) << "after round " << tag;
        RecordSource source(folder(), listingsTable());
        sql::Database db(QDir(folder()).filePath("newil.db"), SQLITE_OPEN_READONLY);
        sql::Statement row =
            db.prepare("SELECT malek, details, gheymatehkoole, fooroosh FROM new WHERE rowid = ?");
        for (const Reported& r : reported) {
            row.bindInt(1, r.rowId);
            ASSERT_TRUE(row.step()) << "row " << r.rowId << " of round " << r.tag << " lost";
            EXPECT_EQ(row.columnText(0), test::crashOwner(r.tag, r.n));
            EXPECT_EQ(row.columnText(1), test::crashDetails(r.tag, r.n));
            EXPECT_EQ(row.columnText(2), test::crashPrice(r.n));
            EXPECT_EQ(row.columnInt(3), r.n % 2 == 0 ? -1 : 0);
            row.reset();
        }
    }
    // The rounds must have stored something for the test to mean anything.
    EXPECT_GT(reported.size(), 20u);
}

} // namespace
