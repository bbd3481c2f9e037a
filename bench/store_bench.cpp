// The record source against plain SQLite on the same generated files: open,
// a find that matches nothing, a find-first that meets a match early,
// stepping a rent row's find-next through every match (beside reading those
// rows one by one), and storing a new listing. The finds run on the store as
// the program makes it, with its price indexes, and on a copy without them
// (…WithoutIndex: a store of an earlier version, which finds by a pass over
// its rows). The same on the server's store (Server…), on the same listings
// copied up to a PostgreSQL server of this machine.

#include "bench/listinggen.h"
#include "bench/serverlistings.h"
#include "data/core/fields.h"
#include "data/core/tablestore.h"
#include "data/postgres/pgconnection.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"

#include <QDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::cachedServerListings;
using velmoran::bench::residentMegabytes;
using velmoran::bench::serverStoreMegabytes;
using velmoran::bench::storeMegabytes;

namespace {

// Shape 1 with an empty price range on the commonest kind and deal: every
// row is looked at, none matches.
const char* const kNoMatch =
    "gheymatehkoole > '0' AND  gheymatehkoole < '1' and  fooroosh = -1 and apartman = -1 ";
// The apartments-for-sale row with prices that many listings have: the first
// match is among the first rows.
const char* const kEarlyMatch = "gheymatehkoole > '1000000000' AND  gheymatehkoole < '5000000000' "
                                "and  fooroosh = -1 and apartman = -1 ";
// The apartments-for-rent row.
const char* const kRentRow =
    "gheymatehkoole > '100000000' AND  gheymatehkoole < '500000000' and  vahed02 > '1000000' "
    "AND  vahed02 < '5000000'  and ejareh = -1 and apartman = -1  ";

// The same tests as plain SQL, compared as text as the old engine did.
const char* const kPlainNoMatch =
    "SELECT rowid, * FROM new WHERE gheymatehkoole > '0' AND gheymatehkoole < '1' AND "
    "fooroosh = -1 AND apartman = -1 ORDER BY rowid LIMIT 1";
const char* const kPlainRentRow =
    "SELECT rowid, * FROM new WHERE gheymatehkoole > '100000000' AND gheymatehkoole < "
    "'500000000' AND vahed02 > '1000000' AND vahed02 < '5000000' AND ejareh = -1 AND "
    "apartman = -1 ORDER BY rowid";

QString fileOf(const QString& folder) {
    return QDir(folder).filePath("newil.db");
}

sqlite3* openPlain(const QString& folder) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(fileOf(folder).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return db;
}

// Steps `sql` to the end; returns the rows it gave.
long long stepAll(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    long long rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

void withRss(benchmark::State& state) {
    state.counters["rss_MB"] = benchmark::Counter(residentMegabytes());
}

// The store of the generated listings: the file, or the server's copy; with
// the price indexes or without.
enum class On { File, Server, FileWithoutIndex, ServerWithoutIndex };

StoreLocation storeOf(benchmark::State& state, On on) {
    const int rows = static_cast<int>(state.range(0));
    switch (on) {
    case On::File:
        return {cachedListings(rows), QString()};
    case On::FileWithoutIndex:
        return {cachedListings(rows, false), QString()};
    case On::Server:
        return {QString(), cachedServerListings(rows)};
    case On::ServerWithoutIndex:
        break;
    }
    return {QString(), cachedServerListings(rows, false)};
}

void withSize(benchmark::State& state, const StoreLocation& store) {
    state.counters["store_MB"] =
        store.onServer() ? serverStoreMegabytes(store.server) : storeMegabytes(store.folder);
}

void OpenOn(benchmark::State& state, On on) {
    const StoreLocation store = storeOf(state, on);
    for (auto _ : state) {
        RecordSource source(store, listingsTable());
        benchmark::DoNotOptimize(source.currentRowId());
    }
    RecordSource open(store, listingsTable());
    withRss(state);
}

void PlainOpen(benchmark::State& state) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        sqlite3* db = openPlain(folder);
        benchmark::DoNotOptimize(stepAll(db, "SELECT rowid, * FROM new ORDER BY rowid LIMIT 1"));
        sqlite3_close(db);
    }
}

void FindNoMatchOn(benchmark::State& state, On on) {
    const StoreLocation store = storeOf(state, on);
    RecordSource source(store, listingsTable());
    for (auto _ : state) {
        source.FindFirst(kNoMatch);
        if (!source.NoMatch()) {
            state.SkipWithError("the no-match criterion matched");
            break;
        }
    }
    withRss(state);
    withSize(state, store);
}

void FindEarlyMatchOn(benchmark::State& state, On on) {
    RecordSource source(storeOf(state, on), listingsTable());
    for (auto _ : state) {
        source.FindFirst(kEarlyMatch);
        if (source.NoMatch()) {
            state.SkipWithError("the early-match criterion found nothing");
            break;
        }
    }
    state.counters["found_id"] = benchmark::Counter(static_cast<double>(source.currentRowId()));
}

void PlainFindNoMatch(benchmark::State& state) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    sqlite3* db = openPlain(folder);
    for (auto _ : state) {
        benchmark::DoNotOptimize(stepAll(db, kPlainNoMatch));
    }
    sqlite3_close(db);
    withRss(state);
}

void FindNextEveryMatchOn(benchmark::State& state, On on) {
    RecordSource source(storeOf(state, on), listingsTable());
    long long matches = 0;
    for (auto _ : state) {
        matches = 0;
        source.FindFirst(kRentRow);
        while (!source.NoMatch()) {
            ++matches;
            source.FindNext(kRentRow);
        }
    }
    state.counters["matches"] = benchmark::Counter(static_cast<double>(matches));
    withRss(state);
}

// What stepping through the rent row's matches reads: each matching row by
// its id, one read each through the store, as the record source reads a row.
std::vector<long long> rentRowMatches(const StoreLocation& store) {
    RecordSource source(store, listingsTable());
    std::vector<long long> ids;
    source.FindFirst(kRentRow);
    while (!source.NoMatch()) {
        ids.push_back(source.currentRowId());
        source.FindNext(kRentRow);
    }
    return ids;
}

void ReadRentRowMatchesOn(benchmark::State& state, On on) {
    const StoreLocation store = storeOf(state, on);
    const std::vector<long long> ids = rentRowMatches(store);
    const std::unique_ptr<TableStore> table = openTableStore(store, listingsTable());
    RowValues row;
    for (auto _ : state) {
        for (long long id : ids) {
            benchmark::DoNotOptimize(table->read(id, row));
        }
    }
    state.counters["rows"] = benchmark::Counter(static_cast<double>(ids.size()));
}

// The same rows read by plain SQL, one statement each, on the plain client
// library.
void PlainReadRentRowMatchesOn(benchmark::State& state, On on) {
    const StoreLocation store = storeOf(state, on);
    const std::vector<long long> ids = rentRowMatches(store);
    if (store.onServer()) {
        pg::Connection connection(store.server);
        connection.prepare("read", QStringLiteral("SELECT * FROM new WHERE id = $1"));
        for (auto _ : state) {
            for (long long id : ids) {
                benchmark::DoNotOptimize(connection.execPrepared("read", {pg::param(id)}).rows());
            }
        }
    } else {
        sqlite3* db = openPlain(store.folder);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid, * FROM new WHERE rowid = ?", -1, &st, nullptr);
        for (auto _ : state) {
            for (long long id : ids) {
                sqlite3_bind_int64(st, 1, id);
                while (sqlite3_step(st) == SQLITE_ROW) {
                    for (int c = 0; c < sqlite3_column_count(st); ++c) {
                        benchmark::DoNotOptimize(sqlite3_column_text(st, c));
                    }
                }
                sqlite3_reset(st);
            }
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    state.counters["rows"] = benchmark::Counter(static_cast<double>(ids.size()));
}

void PlainFindEveryMatch(benchmark::State& state) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    sqlite3* db = openPlain(folder);
    long long matches = 0;
    for (auto _ : state) {
        matches = stepAll(db, kPlainRentRow);
    }
    sqlite3_close(db);
    state.counters["matches"] = benchmark::Counter(static_cast<double>(matches));
}

void UpdateNewRowOn(benchmark::State& state, On on) {
    const StoreLocation store = storeOf(state, on);
    const TableSpec& tableSpec = listingsTable();
    long long firstAdded = 0;
    {
        RecordSource source(store, tableSpec);
        for (auto _ : state) {
            source.AddNew();
            source.setText(tableSpec.indexOf("malek"), QStringLiteral("حسين كريمي"));
            source.setText(tableSpec.indexOf("date"), QStringLiteral("1402/05/12"));
            source.setText(tableSpec.indexOf("vahed01"), QStringLiteral("120"));
            source.setText(tableSpec.indexOf("gheymatehkoole"), QStringLiteral("4500000000"));
            source.setText(tableSpec.indexOf("address"), QStringLiteral("خيابان وليعصر، كوچه 12"));
            source.setFlag(tableSpec.indexOf("fooroosh"), true);
            source.setFlag(tableSpec.indexOf("apartman"), true);
            source.Update();
            if (!firstAdded) {
                firstAdded = source.currentRowId();
            }
        }
        withRss(state);
    }
    // Leave the cached store as it was generated.
    if (store.onServer()) {
        pg::Connection(store.server)
            .exec(QStringLiteral("DELETE FROM new WHERE id >= %1").arg(firstAdded), {});
        return;
    }
    sqlite3* db = openPlain(store.folder);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM new WHERE rowid >= ?", -1, &st, nullptr);
    sqlite3_bind_int64(st, 1, firstAdded);
    sqlite3_step(st);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void PlainInsert(benchmark::State& state) {
    const QString folder = cachedListings(static_cast<int>(state.range(0)));
    sqlite3* db = openPlain(folder);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO new (malek, \"date\", vahed01, gheymatehkoole, address, "
                       "fooroosh, apartman) VALUES (?, ?, ?, ?, ?, -1, -1)",
                       -1, &st, nullptr);
    long long firstAdded = 0;
    for (auto _ : state) {
        sqlite3_bind_text(st, 1, "حسين كريمي", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, "1402/05/12", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 3, "120", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, "4500000000", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 5, "خيابان وليعصر، كوچه 12", -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
        if (!firstAdded) {
            firstAdded = sqlite3_last_insert_rowid(db);
        }
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "DELETE FROM new WHERE rowid >= ?", -1, &st, nullptr);
    sqlite3_bind_int64(st, 1, firstAdded);
    sqlite3_step(st);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(OpenOn, File, On::File)->Name("Open")->Apply(Sizes);
BENCHMARK(PlainOpen)->Apply(Sizes);
BENCHMARK_CAPTURE(FindNoMatchOn, File, On::File)->Name("FindNoMatch")->Apply(Sizes);
BENCHMARK_CAPTURE(FindNoMatchOn, FileWithoutIndex, On::FileWithoutIndex)
    ->Name("FindNoMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK(PlainFindNoMatch)->Apply(Sizes);
BENCHMARK_CAPTURE(FindEarlyMatchOn, File, On::File)->Name("FindEarlyMatch")->Apply(Sizes);
BENCHMARK_CAPTURE(FindEarlyMatchOn, FileWithoutIndex, On::FileWithoutIndex)
    ->Name("FindEarlyMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(FindNextEveryMatchOn, File, On::File)->Name("FindNextEveryMatch")->Apply(Sizes);
BENCHMARK_CAPTURE(FindNextEveryMatchOn, FileWithoutIndex, On::FileWithoutIndex)
    ->Name("FindNextEveryMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(ReadRentRowMatchesOn, File, On::File)->Name("ReadRentRowMatches")->Apply(Sizes);
BENCHMARK_CAPTURE(PlainReadRentRowMatchesOn, File, On::File)
    ->Name("PlainReadRentRowMatches")
    ->Apply(Sizes);
BENCHMARK(PlainFindEveryMatch)->Apply(Sizes);
BENCHMARK_CAPTURE(UpdateNewRowOn, File, On::File)->Name("UpdateNewRow")->Apply(Sizes);
BENCHMARK_CAPTURE(UpdateNewRowOn, FileWithoutIndex, On::FileWithoutIndex)
    ->Name("UpdateNewRowWithoutIndex")
    ->Apply(Sizes);
BENCHMARK(PlainInsert)->Apply(Sizes);
BENCHMARK_CAPTURE(OpenOn, Server, On::Server)->Name("ServerOpen")->Apply(Sizes);
BENCHMARK_CAPTURE(FindNoMatchOn, Server, On::Server)->Name("ServerFindNoMatch")->Apply(Sizes);
BENCHMARK_CAPTURE(FindNoMatchOn, ServerWithoutIndex, On::ServerWithoutIndex)
    ->Name("ServerFindNoMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(FindEarlyMatchOn, Server, On::Server)->Name("ServerFindEarlyMatch")->Apply(Sizes);
BENCHMARK_CAPTURE(FindEarlyMatchOn, ServerWithoutIndex, On::ServerWithoutIndex)
    ->Name("ServerFindEarlyMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(FindNextEveryMatchOn, Server, On::Server)
    ->Name("ServerFindNextEveryMatch")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(FindNextEveryMatchOn, ServerWithoutIndex, On::ServerWithoutIndex)
    ->Name("ServerFindNextEveryMatchWithoutIndex")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(ReadRentRowMatchesOn, Server, On::Server)
    ->Name("ServerReadRentRowMatches")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(PlainReadRentRowMatchesOn, Server, On::Server)
    ->Name("ServerPlainReadRentRowMatches")
    ->Apply(Sizes);
BENCHMARK_CAPTURE(UpdateNewRowOn, Server, On::Server)->Name("ServerUpdateNewRow")->Apply(Sizes);
BENCHMARK_CAPTURE(UpdateNewRowOn, ServerWithoutIndex, On::ServerWithoutIndex)
    ->Name("ServerUpdateNewRowWithoutIndex")
    ->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
