// The owner find (the edit panel's owner row) over a file of listings: a name
// no listing has. A pass over every listing with today's comparison, the
// letters folded (Arabic and Persian Yeh and Kaf, Latin case), beside the
// exact byte comparison the find made before, both on the find index; and
// the whole find through the record source, which looks the owner up in the
// store's owner index: on the file, and on 1 000 000 listings on the file
// and on the server.

#include "bench/listinggen.h"
#include "bench/serverlistings.h"
#include "data/core/criterion.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlitecriterion.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"

#include <QDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::cachedServerListings;

namespace {

// Typed on a Persian keyboard: Persian Yeh and Keheh; no listing has it.
const char* const kNobody =
    "\u0639\u0644\u06CC \u06A9\u0631\u06CC\u0645\u06CC \u0632\u0627\u062F\u0647";

// The record source's find on the find index, with the collation given.
const char* const kIndexFind =
    "SELECT rowid FROM new INDEXED BY new_find WHERE \"malek\" COLLATE %1 = ? ORDER BY rowid "
    "LIMIT 1";

void indexFind(benchmark::State& state, const char* collation) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(QDir(folder).filePath("newil.db").toUtf8().constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    registerCriterionFunctions(db);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QString::fromLatin1(kIndexFind).arg(QLatin1String(collation)).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    sqlite3_bind_text(st, 1, kNobody, -1, SQLITE_STATIC);
    for (auto _ : state) {
        if (sqlite3_step(st) == SQLITE_ROW) {
            state.SkipWithError("nobody was found");
            break;
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

// Before: the whole name byte for byte.
void OwnerFindExactBytes(benchmark::State& state) {
    indexFind(state, "BINARY");
}

// Now: the letters folded.
void OwnerFindFoldedLetters(benchmark::State& state) {
    indexFind(state, kLettersCollation);
}

// Finds an owner nobody has, as the panel's find-first runs it, until the
// benchmark has its figure.
void findNobody(benchmark::State& state, RecordSource& source) {
    const QString criterion = QStringLiteral("malek='%1'").arg(QString::fromUtf8(kNobody));
    for (auto _ : state) {
        source.FindFirst(criterion);
        if (!source.NoMatch()) {
            state.SkipWithError("nobody was found");
            break;
        }
    }
}

// The owner row's find-first through the record source, as the panel runs it.
void OwnerFindFirst(benchmark::State& state) {
    RecordSource source(cachedListings(static_cast<int>(state.range(0))), listingsTable());
    findNobody(state, source);
}

// The same find-first on 1 000 000 listings: argument 0 the file, 1 the
// server (its deadline is 5 s).
void OwnerFindOnStore(benchmark::State& state) {
    constexpr int kRows = 1000000;
    const bool server = state.range(0) == 1;
    const StoreLocation store{cachedListings(kRows),
                              server ? cachedServerListings(kRows) : QString()};
    RecordSource source(store, listingsTable());
    findNobody(state, source);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(OwnerFindExactBytes)->Apply(Sizes);
BENCHMARK(OwnerFindFoldedLetters)->Apply(Sizes);
BENCHMARK(OwnerFindFirst)->Apply(Sizes);
BENCHMARK(OwnerFindOnStore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
