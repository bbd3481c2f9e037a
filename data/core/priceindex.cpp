#include "data/core/priceindex.h"

#include "data/core/criterion.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

namespace velmoran {

namespace {

// What the panels' rows test: a deal, a deal with a kind, and the fields
// read as numbers. The rent deal's rows test the rent as well as the price.
const char* const kDeals[] = {"fooroosh", "rahn", "ejareh"};
const char* const kKinds[] = {"apartman", "vila",     "mostaghelat",
                              "kolanghi", "maghazeh", "daftarehkar"};
const char* const kPrice = "gheymatehkoole";
const char* const kRent = "vahed02";
const char* const kRentDeal = "ejareh";

std::vector<PriceIndex> build(const TableSpec& tableSpec) {
    std::vector<PriceIndex> indexes;
    const int price = tableSpec.indexOf(QLatin1String(kPrice));
    const int rent = tableSpec.indexOf(QLatin1String(kRent));
    if (price < 0 || rent < 0) {
        return indexes;
    }
    const QString table = QString::fromUtf8(tableSpec.table);
    for (const char* deal : kDeals) {
        const int d = tableSpec.indexOf(QLatin1String(deal));
        const QString dealName = QString::fromUtf8(deal);
        indexes.push_back({table + QStringLiteral("_price_") + dealName, {d}, {price}});
        for (const char* kind : kKinds) {
            const int k = tableSpec.indexOf(QLatin1String(kind));
            const QString both = dealName + QLatin1Char('_') + QString::fromUtf8(kind);
            if (qstrcmp(deal, kRentDeal) != 0) {
                indexes.push_back({table + QStringLiteral("_price_") + both, {d, k}, {price}});
                continue;
            }
            indexes.push_back(
                {table + QStringLiteral("_price_rent_") + both, {d, k}, {price, rent}});
            indexes.push_back(
                {table + QStringLiteral("_rent_price_") + both, {d, k}, {rent, price}});
        }
    }
    return indexes;
}

} // namespace

const std::vector<PriceIndex>& priceIndexes(const TableSpec& tableSpec) {
    static const std::vector<PriceIndex> listings = build(listingsTable());
    static const std::vector<PriceIndex> none;
    return tableSpec.fields == listingsTable().fields ? listings : none;
}

std::vector<PriceWalk> priceWalks(const Criterion& c,
                                  const std::vector<const PriceIndex*>& present) {
    std::vector<int> required;
    std::map<int, std::pair<double, double>> ranges;
    for (const Criterion::Test& t : c.tests()) {
        if (t.kind == Criterion::Test::Kind::Flag && t.op == QLatin1Char('=') &&
            t.value.kind == Criterion::Param::Kind::Integer && t.value.integer == -1) {
            required.push_back(t.field);
        } else if (t.kind == Criterion::Test::Kind::NumberRange) {
            ranges[t.field] = {t.low, t.high};
        }
    }
    // For each leading field, the index with the most flags, then the most
    // keys within a range.
    std::map<int, std::pair<const PriceIndex*, std::vector<WalkRange>>> best;
    for (const PriceIndex* index : present) {
        const bool flagsHeld = std::all_of(index->flags.begin(), index->flags.end(), [&](int f) {
            return std::find(required.begin(), required.end(), f) != required.end();
        });
        if (!flagsHeld || !ranges.count(index->keys.front())) {
            continue;
        }
        std::vector<WalkRange> walk;
        for (std::size_t k = 0; k < index->keys.size(); ++k) {
            const auto range = ranges.find(index->keys[k]);
            if (range != ranges.end()) {
                walk.push_back({static_cast<int>(k), range->second.first, range->second.second});
            }
        }
        auto& chosen = best[index->keys.front()];
        const auto score = [](const PriceIndex* i, std::size_t bounded) {
            return std::make_pair(i->flags.size(), bounded);
        };
        if (!chosen.first ||
            score(index, walk.size()) > score(chosen.first, chosen.second.size())) {
            chosen = {index, walk};
        }
    }
    std::vector<PriceWalk> walks;
    for (const auto& entry : best) {
        PriceWalk walk{entry.second.first, entry.second.second};
        const auto inWalk = [&walk](const Criterion::Test& t) {
            const std::vector<int>& flags = walk.index->flags;
            if (t.kind == Criterion::Test::Kind::Flag) {
                return t.op == QLatin1Char('=') &&
                       t.value.kind == Criterion::Param::Kind::Integer && t.value.integer == -1 &&
                       std::find(flags.begin(), flags.end(), t.field) != flags.end();
            }
            return t.kind == Criterion::Test::Kind::NumberRange &&
                   std::any_of(walk.ranges.begin(), walk.ranges.end(), [&](const WalkRange& r) {
                       return walk.index->keys[r.key] == t.field;
                   });
        };
        walk.exact = std::all_of(c.tests().begin(), c.tests().end(), inWalk);
        walks.push_back(walk);
    }
    return walks;
}

QString priceIndexFlagCondition(const PriceIndex& index, const std::vector<QString>& columns) {
    QStringList parts;
    for (int f : index.flags) {
        parts << columns[f] + QStringLiteral(" = -1");
    }
    return parts.join(QStringLiteral(" AND "));
}

QString findKey(const Criterion& c) {
    // Every part of every test, as it is held.
    QString key;
    const auto add = [&key](const auto& value) {
        key += QString(reinterpret_cast<const QChar*>(&value), sizeof value / sizeof(QChar));
    };
    for (const Criterion::Test& t : c.tests()) {
        add(std::array<std::int32_t, 4>{static_cast<std::int32_t>(t.kind), t.field, t.op.unicode(),
                                        static_cast<std::int32_t>(t.value.kind)});
        add(std::array<double, 3>{t.value.real, t.low, t.high});
        add(t.value.integer);
        add(static_cast<std::int64_t>(t.value.text.size()));
        key += t.value.text;
    }
    return key;
}

} // namespace velmoran
