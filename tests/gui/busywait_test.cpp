// A write that waits for another copy's lock shows the wait cursor and keeps
// the windows painting and the timers running, and the cursor comes back
// once it is over.

#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "platform/widgets/busywait.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace velmoran;

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

class BusyWaitTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
        sql::setBusyWait(&showBusyWait);
    }
    void TearDown() override {
        sql::setBusyWait({});
        DataFolderTest::TearDown();
    }
    sql::Database openRaw() const {
        return sql::Database(QDir(folder()).filePath(QStringLiteral("newil.db")),
                             SQLITE_OPEN_READWRITE);
    }
};

TEST_F(BusyWaitTest, AWriteWaitingForAnotherCopysLockShowsTheWaitAndKeepsPainting) {
    RecordSource source(folder(), listingsTable());
    source.AddNew();
    source.setText(listingsTable().indexOf("malek"), QStringLiteral("a"));
    source.Update();
    source.setBusyTimeout(2000);
    source.setText(listingsTable().indexOf("malek"), QStringLiteral("b"));

    PaintCounter window;
    window.resize(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    const int paintsBefore = window.paints;

    sql::Database other = openRaw();
    other.exec("BEGIN IMMEDIATE");
    int ticks = 0;
    bool waitCursorSeen = false;
    QTimer timer;
    timer.setInterval(40);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        window.update();
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursorSeen = waitCursorSeen || (cursor && cursor->shape() == Qt::WaitCursor);
        if (ticks == 8) {
            other.exec("ROLLBACK"); // the other copy is done
        }
    });
    timer.start();
    source.Update(); // waits, then gets through
    timer.stop();

    EXPECT_GE(ticks, 8);
    EXPECT_TRUE(waitCursorSeen);
    EXPECT_GT(window.paints, paintsBefore);
    EXPECT_FALSE(source.isChanged());
    EXPECT_TRUE(QTest::qWaitFor([] { return QGuiApplication::overrideCursor() == nullptr; }, 1000));
}

} // namespace
