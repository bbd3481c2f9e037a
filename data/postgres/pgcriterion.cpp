#include "data/postgres/pgcriterion.h"

#include "data/core/criterion.h"
#include "data/sqlite/sqlite.h"

#include <QStringList>

#include <limits>
#include <optional>

namespace velmoran {

namespace {

// The characters readNumber() takes, as PostgreSQL regular expressions and
// translate() lists. Blanks: space, tab, CR, LF, no-break space.
const char* const kBlanks = " \t\r\n\u00A0";
const char* const kDigit = "[0123456789٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹]";
const char* const kOtherDigits = "٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹";
const char* const kAsciiDigits = "01234567890123456789";

QString literal(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The whole text as readNumber() accepts it: blanks around, a sign, digits
// grouped by threes or not, a decimal point, at least one digit.
QString numberPattern() {
    const QString d = QString::fromUtf8(kDigit);
    const QString b = QStringLiteral("[") + QString::fromUtf8(kBlanks) + QStringLiteral("]*");
    return QStringLiteral("^%2[+-]?((%1{1,3}([,٬]%1{3})+|%1+)([.٫]%1*)?|[.٫]%1+)%2$").arg(d, b);
}

} // namespace

// Plain ASCII digits (the common case) are cast at once; anything else is
// checked against the pattern, its digits and marks made ASCII, and within
// readNumber()'s limit of 70 digits before the point and 72 characters in all.
QString postgresNumberExpression(const QString& column) {
    const QString ascii = QStringLiteral("translate(btrim(%1, %2), %3, %4)")
                              .arg(column, literal(QString::fromUtf8(kBlanks)),
                                   literal(QString::fromUtf8(kOtherDigits) + QStringLiteral("٫,٬")),
                                   literal(QString::fromUtf8(kAsciiDigits) + QLatin1Char('.')));
    const QString withinLimits =
        QStringLiteral("(length(%1) <= 70 OR (%2 !~ '^(-[0-9]{70}|[+]?[0-9]{71})' AND "
                       "(strpos(%2, '.') = 0 OR length(ltrim(%2, '+')) + "
                       "CASE WHEN %2 ~ '^[+-]?[.]' THEN 1 ELSE 0 END <= 72)))")
            .arg(column, ascii);
    return QStringLiteral("CASE WHEN %1 = '' THEN NULL "
                          "WHEN ltrim(%1, '0123456789') = '' THEN "
                          "CASE WHEN length(%1) <= 70 THEN %1::float8 END "
                          "WHEN %1 ~ %2 AND %3 THEN %4::float8 END")
        .arg(column, literal(numberPattern()), withinLimits, ascii);
}

namespace {

// `text` with every letter folded as the "=" of the SQLite store folds it
// (foldedLetter): translate() with the letters that fold and what they
// fold to, listed from foldedLetter itself.
QString foldedText(const QString& text) {
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
        .arg(text, literal(letters.first), literal(letters.second));
}

// What SQLite makes of a text compared with a flag column (a number): the
// number it reads it as, or nothing when it stays a text.
std::optional<Criterion::Param> sqliteNumberOf(const QString& text) {
    try {
        sql::Database db(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec("CREATE TABLE t (v INTEGER)");
        sql::Statement insert = db.prepare(QStringLiteral("INSERT INTO t VALUES (?)"));
        insert.bindText(1, text);
        insert.run();
        sql::Statement read = db.prepare(QStringLiteral("SELECT typeof(v), v, v + 0.0 FROM t"));
        read.step();
        const QString type = read.columnText(0);
        if (type == QLatin1String("integer")) {
            return Criterion::Param{Criterion::Param::Kind::Integer, QString(), read.columnInt(1),
                                    0};
        }
        if (type == QLatin1String("real")) {
            return Criterion::Param{Criterion::Param::Kind::Real, QString(), 0,
                                    sqlite3_column_double(read.handle(), 2)};
        }
    } catch (const sql::Error&) {
    }
    return std::nullopt;
}

QString flagTest(const Criterion::Test& t, const QString& column, pq::Params& params) {
    const QString op = QString(t.op);
    std::optional<Criterion::Param> number = t.value;
    if (t.value.kind == Criterion::Param::Kind::Text) {
        number = sqliteNumberOf(t.value.text);
    }
    if (!number) {
        // A number is less than any text.
        return t.op == QLatin1Char('<') ? QStringLiteral("(%1 IS NOT NULL)").arg(column)
                                        : QStringLiteral("FALSE");
    }
    if (number->kind == Criterion::Param::Kind::Integer) {
        return QStringLiteral("%1 %2 %3")
            .arg(column, op, pq::placeholder(params, pq::param(number->integer), "int8"));
    }
    return QStringLiteral("%1::float8 %2 %3")
        .arg(column, op, pq::placeholder(params, pq::realParam(number->real), "float8"));
}

// low < number < high with the number read once: clamped into the range, it
// must be neither bound. Not a number (NULL) clamps to the low bound.
QString rangeTest(const Criterion::Test& t, const QString& column, pq::Params& params) {
    if (!(t.low < t.high)) {
        return QStringLiteral("FALSE");
    }
    const QString low = pq::placeholder(params, pq::realParam(t.low), "float8");
    const QString high = pq::placeholder(params, pq::realParam(t.high), "float8");
    return QStringLiteral("least(greatest(%1, %2), %3) <> ALL (ARRAY[%2, %3])")
        .arg(postgresNumberExpression(column), low, high);
}

} // namespace

QString postgresCondition(const Criterion& c, const ServerTable& table, pq::Params& params) {
    QStringList parts;
    for (const Criterion::Test& t : c.tests()) {
        const QString& column = table.columns[t.field];
        switch (t.kind) {
        case Criterion::Test::Kind::Flag:
            parts << flagTest(t, column, params);
            break;
        case Criterion::Test::Kind::TextEquals:
            parts << QStringLiteral("%1 COLLATE \"C\" = %2")
                         .arg(foldedText(column),
                              foldedText(pq::placeholder(params, pq::param(t.value.text), "text")));
            break;
        case Criterion::Test::Kind::TextOrder:
            parts << QStringLiteral("%1 COLLATE \"C\" %2 %3")
                         .arg(column, QString(t.op),
                              pq::placeholder(params, pq::param(t.value.text), "text"));
            break;
        case Criterion::Test::Kind::NumberRange:
            parts << rangeTest(t, column, params);
            break;
        }
    }
    return parts.join(QStringLiteral(" AND "));
}

} // namespace velmoran
