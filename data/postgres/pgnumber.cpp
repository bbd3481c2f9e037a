#include "data/postgres/pgnumber.h"

namespace velmoran {

namespace {

// The characters readNumber() takes, as PostgreSQL regular expressions and
// translate() lists. Blanks: space, tab, CR, LF, no-break space.
const char* const kBlanks = " \t\r\n\u00A0";
const char* const kDigit = "[0123456789٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹]";
const char* const kOtherDigits = "٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹";
const char* const kAsciiDigits = "01234567890123456789";

} // namespace

QString pgLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

namespace {

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
QString pgNumberExpression(const QString& column) {
    const QString ascii =
        QStringLiteral("translate(btrim(%1, %2), %3, %4)")
            .arg(column, pgLiteral(QString::fromUtf8(kBlanks)),
                 pgLiteral(QString::fromUtf8(kOtherDigits) + QStringLiteral("٫,٬")),
                 pgLiteral(QString::fromUtf8(kAsciiDigits) + QLatin1Char('.')));
    const QString withinLimits =
        QStringLiteral("(length(%1) <= 70 OR (%2 !~ '^(-[0-9]{70}|[+]?[0-9]{71})' AND "
                       "(strpos(%2, '.') = 0 OR length(ltrim(%2, '+')) + "
                       "CASE WHEN %2 ~ '^[+-]?[.]' THEN 1 ELSE 0 END <= 72)))")
            .arg(column, ascii);
    return QStringLiteral("CASE WHEN %1 = '' THEN NULL "
                          "WHEN ltrim(%1, '0123456789') = '' THEN "
                          "CASE WHEN length(%1) <= 70 THEN %1::float8 END "
                          "WHEN %1 ~ %2 AND %3 THEN %4::float8 END")
        .arg(column, pgLiteral(numberPattern()), withinLimits, ascii);
}

} // namespace velmoran
