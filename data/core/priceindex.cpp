#include "data/core/priceindex.h"

#include "data/core/criterion.h"
#include "data/postgres/pgcriterion.h"

#include <algorithm>
#include <array>
#include <cmath>
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

// "x" = -1 AND ... for the flags of `index`.
QString flagCondition(const PriceIndex& index, const std::vector<QString>& columns) {
    QStringList parts;
    for (int f : index.flags) {
        parts << columns[f] + QStringLiteral(" = -1");
    }
    return parts.join(QStringLiteral(" AND "));
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

QString sqliteNumberExpression(const QString& column) {
    // Persian digits to ASCII, grouping marks out, the Arabic decimal
    // separator to ".". Each replace() nests in the one before, and SQLite's
    // parser (of every client that opens the file) takes only so many: the
    // rarer Arabic-Indic digits are left to the program's reading.
    QString persian = column;
    for (int d = 0; d < 10; ++d) {
        persian = QStringLiteral("replace(%1, '%2', '%3')")
                      .arg(persian, QString(QChar(0x06F0 + d)), QString::number(d));
    }
    persian = QStringLiteral("replace(replace(replace(%1, ',', ''), '%2', ''), '%3', '.')")
                  .arg(persian, QString(QChar(0x066C)), QString(QChar(0x066B)));
    const QString arabicIndic = QString(QChar(0x0660)) + QLatin1Char('-') + QString(QChar(0x0669));
    const QString digits =
        QStringLiteral("0-9") + QChar(0x06F0) + QLatin1Char('-') + QChar(0x06F9) + arabicIndic;
    const QString marks =
        QStringLiteral(".,") + QChar(0x066B) + QChar(0x066C) + QStringLiteral("+ ");
    // Plain ASCII digits, the common case, at once (the text is the number
    // it casts to); a number stored as one; else a text made only of
    // digits, marks, signs and blanks.
    return QStringLiteral(
               "(CASE WHEN %1 = CAST(CAST(%1 AS INTEGER) AS TEXT) THEN CAST(%1 AS REAL) "
               "WHEN typeof(%1) IN ('integer', 'real') THEN CAST(%1 AS REAL) "
               "WHEN %1 GLOB '*[%2]*' AND %1 NOT GLOB ('*[^%2%3' || char(9, 10, 13, 160) || "
               "'-]*') THEN CASE WHEN %1 GLOB '*[%4]*' THEN %5 ELSE "
               "CAST(trim(%6, ' ' || char(9, 10, 13, 160)) AS REAL) END END)")
        .arg(column, digits, marks, arabicIndic, QString::number(kSqliteUnreadNumber, 'f', 1),
             persian);
}

QString sqliteCreateIndexSql(const PriceIndex& index, const QString& table,
                             const std::vector<QString>& columns) {
    QStringList keys;
    for (int k : index.keys) {
        keys << sqliteNumberExpression(columns[k]);
    }
    return QStringLiteral("CREATE INDEX \"%1\" ON %2 (%3) WHERE %4")
        .arg(index.name, table, keys.join(QStringLiteral(", ")), flagCondition(index, columns));
}

double widenedLow(double low) {
    return std::isinf(low) ? low : low - std::fabs(low) * 0x1p-30;
}

double widenedHigh(double high) {
    return std::isinf(high) ? high : high + std::fabs(high) * 0x1p-30;
}

QString serverNumberFunctionBody() {
    return QStringLiteral(" SELECT %1 ").arg(postgresNumberExpression(QStringLiteral("$1")));
}

QString serverCreateFunctionSql(const QString& schema) {
    // One SQL expression, which the server writes out into the indexes and
    // the queries that name it (inlining): storing a listing reads its
    // numbers as quickly as any expression, and a query matches an index
    // once, when the store prepares it.
    return QStringLiteral("CREATE FUNCTION %1%2(text) RETURNS float8 LANGUAGE sql IMMUTABLE "
                          "PARALLEL SAFE AS $velmoran$%3$velmoran$")
        .arg(schema.isEmpty() ? QString() : schema + QLatin1Char('.'),
             QLatin1String(kServerNumberFunction), serverNumberFunctionBody());
}

QString serverCreateIndexSql(const PriceIndex& index, const QString& table, const QString& schema,
                             const std::vector<QString>& columns, const QString& id,
                             bool concurrently) {
    QStringList keys;
    QStringList carried{id};
    for (int k : index.keys) {
        keys << QStringLiteral("%1.%2(%3)")
                    .arg(schema, QLatin1String(kServerNumberFunction), columns[k]);
        carried << columns[k];
    }
    return QStringLiteral("CREATE INDEX %1\"%2\" ON %3 (%4) INCLUDE (%5) WHERE %6")
        .arg(concurrently ? QStringLiteral("CONCURRENTLY ") : QString(), index.name, table,
             keys.join(QStringLiteral(", ")), carried.join(QStringLiteral(", ")),
             flagCondition(index, columns));
}

} // namespace velmoran
