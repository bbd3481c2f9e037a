// The damage check at start as the user meets it: from the moment the login
// shows to a main window that may open (the quick read of every page, the
// full check going on behind it), set beside a plain quick_check of the same
// file in the same run; and a save made right after the login, which waits
// for the full verdict, set beside what remained of the full check then.

#include "app/storeguard.h"
#include "bench/listinggen.h"
#include "data/folder/folderlock.h"
#include "data/maintenance/storecheck.h"
#include "data/store/storelocation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <functional>

#include <benchmark/benchmark.h>

using namespace velmoran;
using velmoran::bench::cachedListings;

namespace {

// The progress windows of the check need an application; none shows on
// this platform.
QApplication& application() {
    static int argc = 1;
    static char name[] = "velmoran_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void LoginToMainWindow(benchmark::State& state) {
    application();
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    const QString store = QDir(folder).filePath(QStringLiteral("newil.db"));
    FolderLock lock;
    double quick = 0;
    double window = 0;
    for (auto _ : state) {
        state.PauseTiming();
        quick += millisecondsOf([&] { checkStoreFile(store, CheckDepth::Quick); });
        state.ResumeTiming();
        window += millisecondsOf([&] {
            storeguard::startListingsCheck(folder, lock);
            if (!storeguard::admitMainWindow()) {
                state.SkipWithError("the generated store was refused");
            }
        });
        state.PauseTiming();
        storeguard::stopChecks();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["window_ms"] = window / runs;
    state.counters["quick_check_ms"] = quick / runs;
    state.counters["ratio"] = window / quick;
}

void SaveRightAfterLogin(benchmark::State& state) {
    application();
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    const QString store = QDir(folder).filePath(QStringLiteral("newil.db"));
    FolderLock lock;
    double full = 0;
    double wait = 0;
    double remaining = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double quickAlone = millisecondsOf([&] { checkStoreFile(store, CheckDepth::Quick); });
        const double fullAlone = millisecondsOf([&] { checkStoreFile(store, CheckDepth::Full); });
        full += fullAlone;
        QElapsedTimer sinceStart;
        sinceStart.start();
        storeguard::startListingsCheck(folder, lock);
        storeguard::admitMainWindow();
        const double admitted = static_cast<double>(sinceStart.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
        wait += millisecondsOf([&] {
            storeguard::awaitWritable(StoreLocation{folder, QString()}, listingsTable());
        });
        state.PauseTiming();
        // Both checks alone, less what had passed when the window opened.
        remaining += std::max(0.0, quickAlone + fullAlone - admitted);
        storeguard::stopChecks();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["save_wait_ms"] = wait / runs;
    state.counters["full_check_alone_ms"] = full / runs;
    // The wait against the check's own remaining time: about 1 or less.
    state.counters["check_remaining_ms"] = remaining / runs;
    state.counters["wait_per_remaining"] = remaining > 0 ? wait / remaining : 0;
}

} // namespace

BENCHMARK(LoginToMainWindow)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SaveRightAfterLogin)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
