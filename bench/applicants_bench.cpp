// The applicants matched both ways: one listing against 10 000 active
// applicants (what runs after every save), the applicants' table read
// through each time; and one applicant's first screenful of listings on
// 1 000 000 generated listings (mortgage-lease apartments up to 800 000 000
// in two districts), through the price indexes; on the file and on the
// server.

#include "bench/listinggen.h"
#include "bench/serverlistings.h"
#include "data/core/applicants.h"
#include "data/core/fields.h"
#include "data/store/storelocation.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

using namespace velmoran;
using velmoran::bench::cachedListings;
using velmoran::bench::cachedServerListings;

namespace {

constexpr int kApplicants = 10000;
constexpr int kRows = 1000000;
constexpr int kScreenful = 30;

RowValues emptyApplicant() {
    const TableSpec& table = applicantsTable();
    return {std::vector<QString>(table.fieldCount), std::vector<bool>(table.fieldCount, false)};
}

void set(RowValues& row, const char* name, const QString& text) {
    row.texts[static_cast<std::size_t>(applicantsTable().indexOf(QLatin1String(name)))] = text;
}

void tick(RowValues& row, const char* name) {
    row.flags[static_cast<std::size_t>(applicantsTable().indexOf(QLatin1String(name)))] = true;
}

// 10 000 applicants of every deal and kind, most with a district or two and
// a price range, some a rent, area or bedrooms range too.
std::vector<RowValues> generatedApplicants() {
    std::mt19937 random(30);
    std::vector<RowValues> rows;
    for (int n = 0; n < kApplicants; ++n) {
        RowValues row = emptyApplicant();
        set(row, applicant::kName, QStringLiteral("متقاضي %1").arg(n));
        set(row, applicant::kPhone, QStringLiteral("0912%1").arg(n, 7, 10, QLatin1Char('0')));
        tick(row, kDealFlags[random() % 3]);
        tick(row, kKindFlags[random() % 6]);
        if (random() % 4 == 0) {
            tick(row, kKindFlags[random() % 6]);
        }
        QStringList districts;
        for (int d = random() % 3; d > 0; --d) {
            districts << QString::number(1 + random() % 22);
        }
        set(row, applicant::kDistricts, districts.join(QLatin1Char('\n')));
        const long long low = static_cast<long long>(random() % 500) * 1000000;
        set(row, "gheymataz", QString::number(low));
        set(row, "gheymatta", QString::number(low + 300000000));
        if (random() % 3 == 0) {
            set(row, "ejarehta", QStringLiteral("۲۰٬۰۰۰٬۰۰۰"));
        }
        if (random() % 3 == 0) {
            set(row, "zirbanaaz", QString::number(60 + random() % 60));
        }
        if (random() % 3 == 0) {
            set(row, "khabaz", QString::number(1 + random() % 3));
            set(row, "khabta", QStringLiteral("3"));
        }
        set(row, applicant::kRegistered, QStringLiteral("1403/05/01"));
        rows.push_back(row);
    }
    return rows;
}

// The 10 000 applicants in the store, beside 1 000 listings: in a fresh data
// folder, or on the benchmark's server (made there once).
StoreLocation applicantsStore(bool server, QTemporaryDir& folder) {
    StoreLocation store{folder.path(), QString()};
    if (server) {
        store = {cachedListings(1000), cachedServerListings(1000)};
    } else {
        prepareStore(store, listingsTable());
    }
    const QString problem = prepareStore(store, applicantsTable());
    if (!problem.isEmpty()) {
        qFatal("%s", qPrintable(problem));
    }
    const std::unique_ptr<TableStore> table = openTableStore(store, applicantsTable());
    if (table->countMatches(nullptr) != kApplicants) {
        table->scan([&table](long long id, const RowValues&) {
            table->remove(id);
            return true;
        });
        table->insertAll(generatedApplicants());
    }
    return store;
}

void ListingAgainstApplicants(benchmark::State& state) {
    QTemporaryDir folder;
    const StoreLocation store = applicantsStore(state.range(0) != 0, folder);
    const std::unique_ptr<TableStore> applicants =
        openTableStore(store, applicantsTable(), StoreAccess::ReadOnly);
    // A mortgage-lease apartment in district 5.
    const TableSpec& layout = listingsTable();
    RowValues listing{std::vector<QString>(layout.fieldCount),
                      std::vector<bool>(layout.fieldCount, false)};
    listing.texts[static_cast<std::size_t>(layout.indexOf("mantagheh"))] = QStringLiteral("5");
    listing.texts[static_cast<std::size_t>(layout.indexOf("gheymatehkoole"))] =
        QStringLiteral("250,000,000");
    listing.texts[static_cast<std::size_t>(layout.indexOf("zirbana01"))] = QStringLiteral("95");
    listing.texts[static_cast<std::size_t>(layout.indexOf("khab0"))] = QStringLiteral("2");
    listing.flags[static_cast<std::size_t>(layout.indexOf("rahn"))] = true;
    listing.flags[static_cast<std::size_t>(layout.indexOf("apartman"))] = true;
    std::size_t fitting = 0;
    for (auto _ : state) {
        fitting = fittingApplicants(*applicants, listing).size();
        benchmark::DoNotOptimize(fitting);
    }
    state.counters["fitting"] = benchmark::Counter(static_cast<double>(fitting));
}

void ApplicantFirstScreenful(benchmark::State& state) {
    const StoreLocation store{cachedListings(kRows),
                              state.range(0) != 0 ? cachedServerListings(kRows) : QString()};
    const std::unique_ptr<TableStore> listings =
        openTableStore(store, listingsTable(), StoreAccess::ReadOnly);
    RowValues wanted = emptyApplicant();
    tick(wanted, "rahn");
    tick(wanted, "apartman");
    set(wanted, applicant::kDistricts, QStringLiteral("5\n12"));
    set(wanted, "gheymataz", QStringLiteral("0"));
    set(wanted, "gheymatta", QStringLiteral("800,000,000"));
    const ApplicantRequest request = applicantRequest(wanted);
    const std::vector<int> columns{listingsTable().indexOf("malek"),
                                   listingsTable().indexOf("address"),
                                   listingsTable().indexOf("gheymatehkoole")};
    std::size_t shown = 0;
    for (auto _ : state) {
        shown = fittingListings(*listings, request, columns, std::nullopt, kScreenful).size();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["shown"] = benchmark::Counter(static_cast<double>(shown));
}

// The applicants list's first screenful: the 10 000 applicants read whole
// (every field), the active ones newest first, and the listings that fit
// each of the first 30 counted on `range(1)` listings, as the list counts
// them (on its own thread: the listings read once into a digest, then each
// count a pass over it).
void ApplicantListFirstScreenful(benchmark::State& state) {
    QTemporaryDir folder;
    const bool server = state.range(0) != 0;
    const StoreLocation applicantsAt = applicantsStore(server, folder);
    const int rows = static_cast<int>(state.range(1));
    const StoreLocation listingsAt{cachedListings(rows),
                                   server ? cachedServerListings(rows) : QString()};
    const std::unique_ptr<TableStore> listings =
        openTableStore(listingsAt, listingsTable(), StoreAccess::ReadOnly);
    std::vector<int> fields(applicantsTable().fieldCount);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = static_cast<int>(i);
    }
    long long counted = 0;
    for (auto _ : state) {
        const std::unique_ptr<TableStore> applicants =
            openTableStore(applicantsAt, applicantsTable(), StoreAccess::ReadOnly);
        std::vector<ListedRow> all;
        std::optional<long long> after;
        for (;;) {
            std::vector<ListedRow> page = applicants->listPage(nullptr, fields, after, 5000, false);
            const bool last = page.size() < 5000;
            if (!page.empty()) {
                after = page.back().id;
            }
            std::move(page.begin(), page.end(), std::back_inserter(all));
            if (last) {
                break;
            }
        }
        std::vector<ApplicantRequest> requests;
        for (const ListedRow& row : all) {
            requests.push_back(applicantRequest(row.values));
        }
        counted = 0;
        const ListingDigest digest(*listings);
        for (std::size_t i = all.size(); i > all.size() - kScreenful; --i) {
            counted += digest.count(requests[i - 1]);
        }
        benchmark::DoNotOptimize(counted);
    }
    state.counters["fitting"] = benchmark::Counter(static_cast<double>(counted));
}

} // namespace

BENCHMARK(ApplicantListFirstScreenful)
    ->Args({0, 100000})
    ->Args({0, kRows})
    ->Args({1, 100000})
    ->Args({1, kRows})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ListingAgainstApplicants)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ApplicantFirstScreenful)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
