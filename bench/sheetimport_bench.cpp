// A spreadsheet brought over: 100 000 listings of the program's own .xlsx
// export added to an empty store (the data folder's file, a server's table),
// beside the export that wrote them; the peak memory of each.

#include "data/postgres/pgconnection.h"
#include "data/store/storelocation.h"
#include "export/listingexport.h"
#include "import/sheetimport.h"
#include "listinggen.h"
#include "serverlistings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::cachedServerListings;

namespace {

enum class On { File, Server };

// The peak resident memory from here on: the kernel's high-water mark
// (VmHWM) set back to what the process holds now.
void resetPeakMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0;
}

StoreLocation sourceOf(On on, int rows) {
    StoreLocation store{cachedListings(rows), QString()};
    if (on == On::Server) {
        store.server = cachedServerListings(rows);
    }
    return store;
}

// The export of `rows` listings, made once per run.
QString exportedSheet(int rows) {
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("listings-%1.xlsx").arg(rows));
    if (!QFileInfo::exists(file)) {
        const ExportResult result = exportListings(StoreLocation{cachedListings(rows), QString()},
                                                   file, ExportFormat::Xlsx, ExistingFile::Replace);
        if (!result.ok()) {
            throw std::runtime_error(result.error.toStdString());
        }
    }
    return file;
}

// An empty listings store of the kind `on`, made as the program makes one.
StoreLocation emptyStore(On on, const QString& folder, int rows) {
    StoreLocation store{folder, QString()};
    if (on == On::Server) {
        QString admin = cachedServerListings(rows);
        const QString source = QStringLiteral("listings_%1").arg(rows);
        admin.replace(QStringLiteral("dbname=") + source, QStringLiteral("dbname=postgres"));
        pg::Connection connection(admin);
        connection.exec("DROP DATABASE IF EXISTS sheet_import_target");
        connection.exec(
            QStringLiteral("CREATE DATABASE sheet_import_target TEMPLATE %1").arg(source), {});
        store.server = QString(admin).replace(QStringLiteral("dbname=postgres"),
                                              QStringLiteral("dbname=sheet_import_target"));
        pg::Connection(store.server).exec("TRUNCATE new");
    }
    const QString problem = prepareStore(store, listingsTable());
    if (!problem.isEmpty()) {
        throw std::runtime_error(problem.toStdString());
    }
    return store;
}

void SheetExport(benchmark::State& state, On on) {
    const int rows = static_cast<int>(state.range(0));
    const StoreLocation store = sourceOf(on, rows);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("listings.xlsx"));
    resetPeakMemory();
    for (auto _ : state) {
        const ExportResult result =
            exportListings(store, file, ExportFormat::Xlsx, ExistingFile::Replace);
        if (!result.ok()) {
            state.SkipWithError(result.error.toStdString().c_str());
            break;
        }
    }
    state.counters["peak_MB"] = peakMegabytes();
}

void SheetImport(benchmark::State& state, On on) {
    const int rows = static_cast<int>(state.range(0));
    const QString file = exportedSheet(rows);
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* name : {"newil.db", "newil.db-wal", "newil.db-shm"}) {
            QFile::remove(QDir(dir.path()).filePath(QLatin1String(name)));
        }
        const StoreLocation store = emptyStore(on, dir.path(), rows);
        resetPeakMemory();
        state.ResumeTiming();
        const std::unique_ptr<TableStore> table = openTableStore(store, listingsTable());
        const import::SheetImportReport report = import::importSheet(file, table.get(), {});
        if (report.added != rows) {
            state.SkipWithError("not every listing was added");
            break;
        }
    }
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["file_MB"] = QFileInfo(file).size() / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK_CAPTURE(SheetExport, File, On::File)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SheetImport, File, On::File)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SheetExport, Server, On::Server)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SheetImport, Server, On::Server)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
