// A desk storing listings into a server's store for a while, as an agent
// would: a new listing, now and then a change to one it stored before. After
// each Update it writes "<n> <row id>" on a line, so the parent knows which
// rows this desk took as stored.
//
// Usage: velmoran_deskchild CONNINFO TAG SECONDS

#include "data/store/recordsource.h"
#include "data/store/storelocation.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace velmoran;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CONNINFO TAG SECONDS\n", argv[0]);
        return 2;
    }
    const StoreLocation store{QString(), QString::fromLocal8Bit(argv[1])};
    const QString tag = QString::fromLocal8Bit(argv[2]);
    const qint64 milliseconds = QString::fromLocal8Bit(argv[3]).toLongLong() * 1000;
    const TableSpec& layout = listingsTable();
    try {
        RecordSource source(store, layout);
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; clock.elapsed() < milliseconds; ++n) {
            source.AddNew();
            source.setText(layout.indexOf("malek"), QStringLiteral("%1-%2").arg(tag).arg(n));
            source.setText(layout.indexOf("gheymatehkoole"), QString::number(1000 + n));
            source.setFlag(layout.indexOf("fooroosh"), true);
            source.Update();
            std::printf("%d %lld\n", n, source.currentRowId());
            std::fflush(stdout);
            if (n % 10 == 9) {
                // Back to one stored a while ago: only its details change.
                source.FindFirst(QStringLiteral("malek='%1-%2'").arg(tag).arg(n - 5));
                if (source.NoMatch()) {
                    std::fprintf(stderr, "lost %d\n", n - 5);
                    return 1;
                }
                source.setText(layout.indexOf("details"), QStringLiteral("edited"));
                source.Update();
            }
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
