// The list of a find's matches on 1 000 000 generated listings, a
// criterion with about 100 000 matches (apartments on mortgage lease up to
// 800 000 000): the first screenful (the no-match check, the count, the
// first page and its cells), each next page as the view scrolls, the sort of
// every match by price, and a criterion that matches nothing; on the file
// and on the server. rss_MB is the process's resident memory after the
// list (or the sort) is built.

#include "bench/listinggen.h"
#include "bench/serverlistings.h"
#include "data/core/criterion.h"
#include "data/core/fields.h"
#include "data/core/findcriterion.h"
#include "data/store/storelocation.h"
#include "screens/list/listcolumns.h"
#include "screens/list/matchmodel.h"

#include <benchmark/benchmark.h>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::cachedServerListings;
using velmoran::bench::residentMegabytes;

namespace {

constexpr int kRows = 1000000;
constexpr int kScreenful = 30;

QString mortgagedApartments() {
    return buildCriterion(CriterionShape::PriceDealKind,
                          {QStringLiteral("0"), QStringLiteral("800000000")},
                          QStringLiteral("' and  rahn = -1 and apartman = -1 "))
        .value_or(QString());
}

// Offices for rent with a rent range no generated listing has.
QString noMatch() {
    return buildCriterion(CriterionShape::PriceRentKind,
                          {QStringLiteral("100000"), QStringLiteral("900000000"),
                           QStringLiteral("1"), QStringLiteral("2")},
                          QStringLiteral("'  and ejareh = -1 and daftarehkar = -1  "))
        .value_or(QString());
}

std::unique_ptr<TableStore> openStore(bool server) {
    const StoreLocation location{cachedListings(kRows),
                                 server ? cachedServerListings(kRows) : QString()};
    return openTableStore(location, listingsTable(), StoreAccess::ReadOnly);
}

void readScreenful(const MatchModel& model, int from) {
    for (int r = from; r < std::min(model.rowCount(), from + kScreenful); ++r) {
        for (int c = 0; c < model.columnCount(); ++c) {
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
        }
    }
}

void MatchListFirstScreenful(benchmark::State& state) {
    const std::unique_ptr<TableStore> store = openStore(state.range(0) != 0);
    const Criterion criterion(mortgagedApartments(), listingsTable());
    const double before = residentMegabytes();
    long long matches = 0;
    for (auto _ : state) {
        MatchModel model(*store, criterion, false);
        readScreenful(model, 0);
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["rss_above_MB"] = benchmark::Counter(residentMegabytes() - before);
    MatchModel model(*store, criterion, false);
    model.countMatches();
    matches = model.matchCount();
    state.counters["matches"] = benchmark::Counter(static_cast<double>(matches));
}

// The count the status line shows, made after the first page.
void MatchListCount(benchmark::State& state) {
    const std::unique_ptr<TableStore> store = openStore(state.range(0) != 0);
    const Criterion criterion(mortgagedApartments(), listingsTable());
    for (auto _ : state) {
        benchmark::DoNotOptimize(store->countMatches(&criterion));
    }
}

void MatchListScrollPage(benchmark::State& state) {
    const std::unique_ptr<TableStore> store = openStore(state.range(0) != 0);
    const Criterion criterion(mortgagedApartments(), listingsTable());
    auto model = std::make_unique<MatchModel>(*store, criterion, false);
    for (auto _ : state) {
        if (!model->canFetchMore(QModelIndex())) {
            state.PauseTiming();
            model = std::make_unique<MatchModel>(*store, criterion, false);
            state.ResumeTiming();
        }
        const int from = model->rowCount();
        model->fetchMore(QModelIndex());
        readScreenful(*model, from);
    }
}

void MatchListSortByPrice(benchmark::State& state) {
    const std::unique_ptr<TableStore> store = openStore(state.range(0) != 0);
    const Criterion criterion(mortgagedApartments(), listingsTable());
    const double before = residentMegabytes();
    MatchModel model(*store, criterion, false);
    int price = 0;
    for (std::size_t c = 0; c < listColumns().size(); ++c) {
        if (QLatin1String(listColumns()[c].objectName) == QLatin1String("gheymatehkoole")) {
            price = static_cast<int>(c);
        }
    }
    bool up = true;
    for (auto _ : state) {
        model.sort(price, up ? Qt::AscendingOrder : Qt::DescendingOrder);
        readScreenful(model, 0);
        up = !up;
    }
    state.counters["sorted"] = benchmark::Counter(static_cast<double>(model.rowCount()));
    state.counters["rss_above_MB"] = benchmark::Counter(residentMegabytes() - before);
}

void MatchListNoMatch(benchmark::State& state) {
    const std::unique_ptr<TableStore> store = openStore(state.range(0) != 0);
    const Criterion criterion(noMatch(), listingsTable());
    for (auto _ : state) {
        MatchModel model(*store, criterion, false);
        if (model.rowCount() != 0) {
            state.SkipWithError("the criterion matched");
            break;
        }
    }
}

} // namespace

// Argument: 0 the file, 1 the server.
BENCHMARK(MatchListFirstScreenful)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MatchListCount)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MatchListScrollPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MatchListSortByPrice)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(MatchListNoMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
