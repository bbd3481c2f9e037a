// Stores listings one after another until it is killed. After each Update
// returns it writes "<n> <row id>" on a line and flushes, so the parent knows
// which rows the program took as stored.
//
// Usage: velmoran_crashchild FOLDER TAG

#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "tests/crashchild/crashrow.h"

#include <QCoreApplication>

#include <cstdio>

using namespace velmoran;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER TAG\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int tag = QString::fromLocal8Bit(argv[2]).toInt();
    const QString problem = prepareStoreFile(folder, listingsTable());
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", problem.toUtf8().constData());
        return 1;
    }
    try {
        RecordSource source(folder, listingsTable());
        const TableSpec& tableSpec = listingsTable();
        for (int n = 0;; ++n) {
            source.AddNew();
            source.setText(tableSpec.indexOf("malek"), test::crashOwner(tag, n));
            source.setText(tableSpec.indexOf("details"), test::crashDetails(tag, n));
            source.setText(tableSpec.indexOf("gheymatehkoole"), test::crashPrice(n));
            source.setFlag(tableSpec.indexOf("fooroosh"), n % 2 == 0);
            source.Update();
            std::printf("%d %lld\n", n, source.currentRowId());
            std::fflush(stdout);
        }
    } catch (const StoreError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
}
