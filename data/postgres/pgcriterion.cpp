#include "data/postgres/pgcriterion.h"

#include "data/core/criterion.h"
#include "data/postgres/pgnumber.h"
#include "data/postgres/pgpriceindex.h"

#include <QStringList>

#include <limits>
#include <optional>

namespace velmoran {

namespace {

QString flagTest(const Criterion::Test& t, const QString& column, pg::Params& params) {
    const QString op = QString(t.op);
    std::optional<Criterion::Param> number = t.value;
    if (t.value.kind == Criterion::Param::Kind::Text) {
        number = flagOperand(t.value.text);
    }
    if (!number) {
        // A number is less than any text.
        return t.op == QLatin1Char('<') ? QStringLiteral("(%1 IS NOT NULL)").arg(column)
                                        : QStringLiteral("FALSE");
    }
    if (number->kind == Criterion::Param::Kind::Integer) {
        return QStringLiteral("%1 %2 %3")
            .arg(column, op, pg::placeholder(params, pg::param(number->integer), "int8"));
    }
    return QStringLiteral("%1::float8 %2 %3")
        .arg(column, op, pg::placeholder(params, pg::realParam(number->real), "float8"));
}

// low < number < high with the number read once: clamped into the range, it
// must be neither bound. Not a number (NULL) clamps to the low bound.
QString rangeTest(const Criterion::Test& t, const QString& column, pg::Params& params) {
    if (!(t.low < t.high)) {
        return QStringLiteral("FALSE");
    }
    const QString low = pg::placeholder(params, pg::realParam(t.low), "float8");
    const QString high = pg::placeholder(params, pg::realParam(t.high), "float8");
    return QStringLiteral("least(greatest(%1, %2), %3) <> ALL (ARRAY[%2, %3])")
        .arg(pgNumberExpression(column), low, high);
}

} // namespace

QString pgCondition(const Criterion& c, const PgTable& table, pg::Params& params) {
    QStringList parts;
    for (const Criterion::Test& t : c.tests()) {
        const QString& column = table.columns[t.field];
        switch (t.kind) {
        case Criterion::Test::Kind::Flag:
            parts << flagTest(t, column, params);
            break;
        case Criterion::Test::Kind::TextEquals:
            parts << QStringLiteral("%1 COLLATE \"C\" = %2")
                         .arg(pgFoldedText(column), pgFoldedText(pg::placeholder(
                                                        params, pg::param(t.value.text), "text")));
            break;
        case Criterion::Test::Kind::TextOrder:
            parts << QStringLiteral("%1 COLLATE \"C\" %2 %3")
                         .arg(column, QString(t.op),
                              pg::placeholder(params, pg::param(t.value.text), "text"));
            break;
        case Criterion::Test::Kind::NumberRange:
            parts << rangeTest(t, column, params);
            break;
        }
    }
    return parts.join(QStringLiteral(" AND "));
}

} // namespace velmoran
