#include "data/postgres/pgpriceindex.h"

#include "data/core/criterion.h"
#include "data/postgres/pgnumber.h"

#include <QStringList>

namespace velmoran {

QString pgNumberFunctionBody() {
    return QStringLiteral(" SELECT %1 ").arg(pgNumberExpression(QStringLiteral("$1")));
}

QString pgCreateFunctionSql(const QString& schema) {
    // One SQL expression, which the server writes out into the indexes and
    // the queries that name it (inlining): storing a listing reads its
    // numbers as quickly as any expression, and a query matches an index
    // once, when the store prepares it.
    return QStringLiteral("CREATE FUNCTION %1%2(text) RETURNS float8 LANGUAGE sql IMMUTABLE "
                          "PARALLEL SAFE AS $velmoran$%3$velmoran$")
        .arg(schema.isEmpty() ? QString() : schema + QLatin1Char('.'),
             QLatin1String(kPgNumberFunction), pgNumberFunctionBody());
}

QString pgCreateIndexSql(const PriceIndex& index, const QString& table, const QString& schema,
                         const std::vector<QString>& columns, const QString& id,
                         bool concurrently) {
    QStringList keys;
    QStringList carried{id};
    for (int k : index.keys) {
        keys << QStringLiteral("%1.%2(%3)")
                    .arg(schema, QLatin1String(kPgNumberFunction), columns[k]);
        carried << columns[k];
    }
    return QStringLiteral("CREATE INDEX %1\"%2\" ON %3 (%4) INCLUDE (%5) WHERE %6")
        .arg(concurrently ? QStringLiteral("CONCURRENTLY ") : QString(), index.name, table,
             keys.join(QStringLiteral(", ")), carried.join(QStringLiteral(", ")),
             priceIndexFlagCondition(index, columns));
}

QString pgFoldedText(const QString& text) {
    static const std::pair<QString, QString> letters = [] {
        std::pair<QString, QString> lists;
        const auto addLetter = [&](char32_t cp) {
            const char32_t folded = foldedLetter(cp);
            if (folded != cp) {
                lists.first += QString::fromUcs4(&cp, 1);
                lists.second += QString::fromUcs4(&folded, 1);
            }
        };
        for (char32_t cp = 1; cp <= 0x024F; ++cp) {
            addLetter(cp);
        }
        addLetter(0x064A);
        addLetter(0x0643);
        return lists;
    }();
    return QStringLiteral("translate(%1, %2, %3)")
        .arg(text, pgLiteral(letters.first), pgLiteral(letters.second));
}

QString pgOwnerIndexName(const QString& table) {
    return table + QStringLiteral("_owner");
}

QString pgCreateOwnerIndexSql(const QString& indexName, const QString& table, const QString& column,
                              bool concurrently) {
    return QStringLiteral("CREATE INDEX %1\"%2\" ON %3 USING hash ((%4 COLLATE \"C\"))")
        .arg(concurrently ? QStringLiteral("CONCURRENTLY ") : QString(), indexName, table,
             pgFoldedText(column));
}

} // namespace velmoran
