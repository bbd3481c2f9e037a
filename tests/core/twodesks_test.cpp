#include "data/postgres/pgconnection.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/storelocation.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QProcess>

#include <map>
#include <set>

using namespace velmoran;
using velmoran::test::TestDatabase;

namespace {

class TwoDesksTest : public velmoran::test::DataFolderTest {};

// Two copies of the program storing into one server at once for a minute:
// every listing either desk took as stored is there once, with the change
// made to it afterwards, and nothing else is.
TEST_F(TwoDesksTest, TwoProcessesStoringForAMinuteLoseNothingAndDoubleNothing) {
    TestDatabase database;
    ASSERT_EQ(prepareStore(StoreLocation{folder(), database.conninfo()}, listingsTable()),
              QString());
    const QString seconds = qEnvironmentVariable("VELMORAN_DESK_SECONDS", QStringLiteral("60"));
    QProcess desks[2];
    for (int d = 0; d < 2; ++d) {
        desks[d].start(VELMORAN_DESK_CHILD,
                       {database.conninfo(), QStringLiteral("desk%1").arg(d), seconds});
        ASSERT_TRUE(desks[d].waitForStarted(5000));
    }
    std::map<QString, long long> reported; // owner -> id
    std::set<long long> ids;
    int stored[2] = {0, 0}; // listings each desk reported
    for (int d = 0; d < 2; ++d) {
        ASSERT_TRUE(desks[d].waitForFinished((seconds.toInt() + 60) * 1000));
        ASSERT_EQ(desks[d].exitCode(), 0) << desks[d].readAllStandardError().constData();
        for (const QByteArray& line : desks[d].readAllStandardOutput().split('\n')) {
            if (line.isEmpty()) {
                continue;
            }
            const QList<QByteArray> parts = line.split(' ');
            ASSERT_EQ(parts.size(), 2) << line.constData();
            const long long id = parts[1].toLongLong();
            EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
            reported[QStringLiteral("desk%1-%2").arg(d).arg(QString::fromLatin1(parts[0]))] = id;
            ++stored[d];
        }
    }
    pg::Connection c(database.conninfo());
    const pg::Result rows = c.exec("SELECT id, malek, details FROM new ORDER BY id");
    EXPECT_EQ(rows.rows(), static_cast<int>(reported.size()));
    std::set<QString> seen;
    for (int r = 0; r < rows.rows(); ++r) {
        const QString owner = rows.text(r, 1);
        EXPECT_TRUE(seen.insert(owner).second) << owner.toStdString() << " stored twice";
        const auto found = reported.find(owner);
        ASSERT_NE(found, reported.end()) << owner.toStdString() << " was never reported";
        EXPECT_EQ(found->second, rows.integer(r, 0)) << owner.toStdString();
        // Every tenth listing changed the one five before it.
        const int n = owner.section('-', 1).toInt();
        const int desk = owner.section('-', 0, 0).endsWith('1') ? 1 : 0;
        const bool edited = (n + 5) % 10 == 9 && n + 5 < stored[desk];
        EXPECT_EQ(rows.text(r, 2), edited ? QStringLiteral("edited") : QString())
            << owner.toStdString();
    }
    // The desks really worked side by side.
    EXPECT_GT(reported.size(), 200u);
}

} // namespace
