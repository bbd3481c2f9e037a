// A find press as a search panel runs it, without the widgets: the typed
// bounds through the bound rule into the row's criterion, then the find on
// the search screen's record source. Three presses: a find-first that meets
// a match early, a find-next from it, and a find-first that matches nothing
// and so looks at every listing.

#include "bench/listinggen.h"
#include "data/core/fields.h"
#include "data/store/recordsource.h"
#include "data/core/findcriterion.h"

#include <benchmark/benchmark.h>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::residentMegabytes;

namespace {

// The apartments-for-sale row, bounds typed in Persian digits.
const char* const kApartmentsForSale = "' and  fooroosh = -1 and apartman = -1 ";
const QStringList kTypedPrices = {QStringLiteral("۱۰۰۰۰۰۰۰۰۰"), QStringLiteral("۵۰۰۰۰۰۰۰۰۰")};
// The offices-for-rent row with a rent range no generated listing has.
const char* const kOfficesForRent = "'  and ejareh = -1 and daftarehkar = -1  ";
const QStringList kTypedNoMatch = {QStringLiteral("100000"), QStringLiteral("900000000"),
                                   QStringLiteral("1"), QStringLiteral("2")};

QString press(CriterionShape shape, const QStringList& typed, const char* closingPiece) {
    return buildCriterion(shape, typed, QString::fromUtf8(closingPiece)).value_or(QString());
}

void FindPressFirst(benchmark::State& state) {
    RecordSource source(cachedListings(static_cast<int>(state.range(0))), listingsTable());
    for (auto _ : state) {
        source.FindFirst(press(CriterionShape::PriceDealKind, kTypedPrices, kApartmentsForSale));
        if (source.NoMatch()) {
            state.SkipWithError("the apartments-for-sale row found nothing");
            break;
        }
    }
    state.counters["rss_MB"] = benchmark::Counter(residentMegabytes());
}

void FindPressNext(benchmark::State& state) {
    RecordSource source(cachedListings(static_cast<int>(state.range(0))), listingsTable());
    const QString criterion =
        press(CriterionShape::PriceDealKind, kTypedPrices, kApartmentsForSale);
    source.FindFirst(criterion);
    for (auto _ : state) {
        source.FindNext(press(CriterionShape::PriceDealKind, kTypedPrices, kApartmentsForSale));
        if (source.NoMatch()) {
            state.PauseTiming();
            source.FindFirst(criterion); // round again from the first match
            state.ResumeTiming();
        }
    }
}

void FindPressNoMatch(benchmark::State& state) {
    RecordSource source(cachedListings(static_cast<int>(state.range(0))), listingsTable());
    for (auto _ : state) {
        source.FindFirst(press(CriterionShape::PriceRentKind, kTypedNoMatch, kOfficesForRent));
        if (!source.NoMatch()) {
            state.SkipWithError("the no-match row found a listing");
            break;
        }
    }
    state.counters["rss_MB"] = benchmark::Counter(residentMegabytes());
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(FindPressFirst)->Apply(Sizes);
BENCHMARK(FindPressNext)->Apply(Sizes);
BENCHMARK(FindPressNoMatch)->Apply(Sizes);

} // namespace
