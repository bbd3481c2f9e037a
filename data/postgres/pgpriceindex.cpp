#include "data/postgres/pgpriceindex.h"

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

} // namespace velmoran
