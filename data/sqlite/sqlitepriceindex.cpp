#include "data/sqlite/sqlitepriceindex.h"

#include <QStringList>

#include <cmath>

namespace velmoran {

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
        .arg(index.name, table, keys.join(QStringLiteral(", ")),
             priceIndexFlagCondition(index, columns));
}

double widenedLow(double low) {
    return std::isinf(low) ? low : low - std::fabs(low) * 0x1p-30;
}

double widenedHigh(double high) {
    return std::isinf(high) ? high : high + std::fabs(high) * 0x1p-30;
}

} // namespace velmoran
