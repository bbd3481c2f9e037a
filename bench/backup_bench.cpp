// The safety of the listings: a checked backup (online backup API, then
// integrity_check of the copy), the start's quick_check, a restore, and the
// export to .xlsx and .csv, on the generated stores.

#include "bench/listinggen.h"
#include "data/maintenance/backup.h"
#include "data/maintenance/storecheck.h"
#include "data/store/storelocation.h"
#include "export/listingexport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::residentMegabytes;

namespace {

void withSize(benchmark::State& state, const QString& folder) {
    state.counters["store_MB"] =
        QFileInfo(QDir(folder).filePath(QStringLiteral("newil.db"))).size() / (1024.0 * 1024.0);
    state.counters["rss_MB"] = benchmark::Counter(residentMegabytes());
}

// The whole backup the program makes after the main window closes, of the
// store as the program makes it and of one without the price indexes.
void Backup(benchmark::State& state, bool withPriceIndexes) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)), withPriceIndexes);
    QTemporaryDir dir;
    for (auto _ : state) {
        const BackupResult result =
            writeBackup(folder, listingsTable(), dir.path(), QDateTime::currentDateTime());
        if (!result.ok()) {
            state.SkipWithError(result.error.toStdString().c_str());
            break;
        }
        state.PauseTiming();
        QFile::remove(result.path);
        state.ResumeTiming();
    }
    withSize(state, folder);
}

// The quick read of pages and records, and the full check that the start
// runs while the login shows (every index entry against its row as well).
void CheckOf(benchmark::State& state, CheckDepth depth) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            checkStoreFile(QDir(folder).filePath(QStringLiteral("newil.db")), depth));
    }
    withSize(state, folder);
}

void Export(benchmark::State& state, ExportFormat format, const char* suffix) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("listings.") + QLatin1String(suffix));
    for (auto _ : state) {
        const ExportResult result =
            exportListings(StoreLocation{folder, QString()}, file, format, ExistingFile::Replace);
        if (!result.ok()) {
            state.SkipWithError(result.error.toStdString().c_str());
            break;
        }
    }
    state.counters["file_MB"] = QFileInfo(file).size() / (1024.0 * 1024.0);
    state.counters["rss_MB"] = benchmark::Counter(residentMegabytes());
}

} // namespace

BENCHMARK_CAPTURE(Backup, , true)
    ->Name("Backup")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Backup, WithoutIndex, false)
    ->Name("BackupWithoutIndex")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CheckOf, QuickCheck, CheckDepth::Quick)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CheckOf, FullCheck, CheckDepth::Full)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, xlsx, ExportFormat::Xlsx, "xlsx")
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Export, csv, ExportFormat::Csv, "csv")
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
