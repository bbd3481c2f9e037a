#include "data/core/findcriterion.h"

#include "data/core/numbers.h"

namespace velmoran {

namespace {

// The pieces a criterion is joined from.
const char* const kLowPrice = "gheymatehkoole > '";
const char* const kHighPrice = "' AND  gheymatehkoole < '";
const char* const kLowRent = "' and  vahed02 > '";
const char* const kHighRent = "' AND  vahed02 < '";
const char* const kOwnerOpen = "malek='";
const char* const kOwnerClose = "'";

// The shared messages.
const char* const kPriceOpening = " با ميانگين قيمت  ";
const char* const kOwnerOpening = " با نام مالك  ";
const char* const kJoiner = "تا";
const char* const kNotFoundTitle = "جستجوي نا موفق";
const char* const kInputError =
    "ايجاد خطا در برنامه  . . . لطفا در فيلدها مقادير  صحيح وارد نمائيد  !";
const char* const kInputErrorTitle = "استفاده نادرست كاربر";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= 0x06F0 && u <= 0x06F9) { // Persian
        return u - 0x06F0;
    }
    if (u >= 0x0660 && u <= 0x0669) { // Arabic-Indic
        return u - 0x0660;
    }
    return -1;
}

// "199" gives "200": the digits of a whole number plus one.
QString plusOne(QString digits) {
    for (int i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

} // namespace

int boxCount(CriterionShape shape) {
    switch (shape) {
    case CriterionShape::PriceRentKind:
        return 4;
    case CriterionShape::Owner:
        return 1;
    case CriterionShape::PriceDealKind:
    case CriterionShape::PriceDeal:
        break;
    }
    return 2;
}

std::optional<QString> boundText(const QString& typed) {
    NumberReading plain;
    plain.grouping = false;
    if (!readNumber(typed, plain)) {
        return std::nullopt;
    }
    // The text is a number of the accepted form: take its sign and digits and
    // round down in decimal, so no digit is lost to a double.
    bool negative = false;
    bool inFraction = false;
    bool fractionAboveZero = false;
    QString whole;
    for (const QChar c : typed) {
        const int digit = digitValue(c);
        if (digit >= 0) {
            if (inFraction) {
                fractionAboveZero = fractionAboveZero || digit > 0;
            } else if (digit > 0 || !whole.isEmpty()) {
                whole += QChar(u'0' + digit);
            }
        } else if (c == QLatin1Char('-')) {
            negative = true;
        } else if (c == QLatin1Char('.') || c == QChar(0x066B)) {
            inFraction = true;
        }
    }
    if (negative && fractionAboveZero) {
        whole = plusOne(whole);
    }
    if (whole.isEmpty()) {
        return QStringLiteral("0");
    }
    return negative ? QLatin1Char('-') + whole : whole;
}

std::optional<QString> exactBoundText(const QString& typed) {
    if (!readNumber(typed)) {
        return std::nullopt;
    }
    // The text is a number of the accepted form: its sign, digits and point
    // as they stand; grouping marks, a plus and blanks go.
    QString exact;
    for (const QChar c : typed) {
        const int digit = digitValue(c);
        if (digit >= 0) {
            exact += QChar(u'0' + digit);
        } else if (c == QLatin1Char('-')) {
            exact += c;
        } else if (c == QLatin1Char('.') || c == QChar(0x066B)) {
            exact += QLatin1Char('.');
        }
    }
    return exact;
}

std::optional<QString> buildCriterion(CriterionShape shape, const QStringList& typed,
                                      const QString& closingPiece, BoundRule rule) {
    if (typed.size() < boxCount(shape)) {
        return std::nullopt;
    }
    if (shape == CriterionShape::Owner) {
        // Every quote of the name doubled, so the name is one literal,
        // compared whole, whatever it holds.
        QString owner = typed[0];
        owner.replace(QLatin1Char('\''), QLatin1String("''"));
        return text(kOwnerOpen) + owner + text(kOwnerClose);
    }
    QStringList bounds;
    for (int i = 0; i < boxCount(shape); ++i) {
        const std::optional<QString> bound =
            rule == BoundRule::Exact ? exactBoundText(typed[i]) : boundText(typed[i]);
        if (!bound) {
            return std::nullopt;
        }
        bounds << *bound;
    }
    QString criterion = text(kLowPrice) + bounds[0] + text(kHighPrice) + bounds[1];
    if (shape == CriterionShape::PriceRentKind) {
        criterion += text(kLowRent) + bounds[2] + text(kHighRent) + bounds[3];
    }
    return criterion + closingPiece;
}

QString notFoundText(CriterionShape shape, const QStringList& typed, const QString& joiner,
                     const QString& closingText) {
    if (shape == CriterionShape::Owner) {
        return text(kOwnerOpening) + typed.value(0) + closingText;
    }
    return text(kPriceOpening) + typed.value(0) + joiner + typed.value(1) + closingText;
}

QString notFoundTitle() {
    return text(kNotFoundTitle);
}

QString inputErrorText() {
    return text(kInputError);
}

QString inputErrorTitle() {
    return text(kInputErrorTitle);
}

QString priceJoiner() {
    return text(kJoiner);
}

} // namespace velmoran
