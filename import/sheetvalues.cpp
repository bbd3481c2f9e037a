#include "import/sheetvalues.h"

#include "data/core/fields.h"
#include "data/core/storemessages.h"

#include <QCalendar>
#include <QRegularExpression>

#include <cmath>

namespace velmoran::import {

namespace {

// The words and marks a flag is read from, compared in small letters.
const char* const kYes[] = {"-1", "1", "true", "yes", "y", "بله", "بلی", "آری", "✓", "✔", "☑", "x"};
const char* const kNo[] = {"0", "false", "no", "n", "خير", "خیر", "نه", "✗", "☐"};

bool isPhoneField(int field) {
    const QLatin1String name(kListingFields[field].name);
    return name.startsWith(QLatin1String("tel"));
}

// Persian and Arabic-Indic digits as Latin ones, for reading a flag.
QString latinDigits(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if (u >= 0x06F0 && u <= 0x06F9) {
            c = QChar(u'0' + (u - 0x06F0));
        } else if (u >= 0x0660 && u <= 0x0669) {
            c = QChar(u'0' + (u - 0x0660));
        }
    }
    return result;
}

std::optional<bool> flagOf(const QString& text) {
    const QString word = latinDigits(text).trimmed().toLower();
    if (word.isEmpty()) {
        return false;
    }
    for (const char* yes : kYes) {
        if (word == QString::fromUtf8(yes)) {
            return true;
        }
    }
    for (const char* no : kNo) {
        if (word == QString::fromUtf8(no)) {
            return false;
        }
    }
    return std::nullopt;
}

} // namespace

QString plainDigits(const QString& number) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*([-+]?)(\\d*)(?:\\.(\\d*))?(?:[eE]([-+]?\\d{1,4}))?\\s*$"));
    const QRegularExpressionMatch m = shape.match(number);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0)) {
        return QString();
    }
    QString digits = m.captured(2) + m.captured(3);
    qsizetype point = m.capturedLength(2) + m.captured(4).toInt();
    if (point < 0) {
        digits.prepend(QString(-point, QLatin1Char('0')));
        point = 0;
    }
    if (point > digits.size()) {
        digits.append(QString(point - digits.size(), QLatin1Char('0')));
    }
    QString whole = digits.left(point);
    QString fraction = digits.mid(point);
    while (whole.size() > 1 && whole.front() == QLatin1Char('0')) {
        whole.remove(0, 1);
    }
    if (whole.isEmpty()) {
        whole = QStringLiteral("0");
    }
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    QString result = whole;
    if (!fraction.isEmpty()) {
        result += QLatin1Char('.') + fraction;
    }
    if (m.captured(1) == QLatin1String("-") && result != QLatin1String("0")) {
        result.prepend(QLatin1Char('-'));
    }
    return result;
}

QDate sheetDate(double serial, bool dates1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465) { // 9999-12-31
        return QDate();
    }
    const auto days = static_cast<qint64>(std::floor(serial));
    if (dates1904) {
        return QDate(1904, 1, 1).addDays(days);
    }
    if (days == 60) {
        return QDate(); // 29 February 1900, which never was
    }
    return QDate(1899, 12, days < 60 ? 31 : 30).addDays(days);
}

QString persianDate(const QDate& date) {
    const QCalendar jalali(QCalendar::System::Jalali);
    const QCalendar::YearMonthDay parts = jalali.partsFromDate(date);
    return QStringLiteral("%1/%2/%3")
        .arg(parts.year, 4, 10, QLatin1Char('0'))
        .arg(parts.month, 2, 10, QLatin1Char('0'))
        .arg(parts.day, 2, 10, QLatin1Char('0'));
}

CellValue cellValue(const SheetCell& cell, int field, const CellContext& context) {
    CellValue value;
    if (cell.kind == SheetCell::Kind::Error) {
        value.refusal = QStringLiteral("خانه خطاي برگه (%1) دارد").arg(cell.text);
        return value;
    }
    if (kListingFields[field].kind == FieldKind::Flag) {
        const std::optional<bool> flag = flagOf(cell.text);
        if (!flag) {
            value.refusal =
                QStringLiteral("«%1» براي گزينه بله/خير خوانده نمي شود (بله، خير، 1، 0، ✓)")
                    .arg(cell.text.left(40));
        } else {
            value.flag = *flag;
        }
        return value;
    }
    switch (cell.kind) {
    case SheetCell::Kind::Number: {
        const QString digits = plainDigits(cell.text);
        value.text = digits.isEmpty() ? cell.text : digits;
        if (isPhoneField(field)) {
            value.warning = QStringLiteral("شماره تلفن در برگه عدد بود (%1)؛ صفر ابتداي آن شايد "
                                           "افتاده باشد")
                                .arg(value.text);
        } else if (cell.text.contains(QLatin1Char('E'), Qt::CaseInsensitive)) {
            value.warning = QStringLiteral("عدد %1 برگه به صورت %2 آورده شد؛ رقمهاي آخر آن شايد "
                                           "گرد شده باشد")
                                .arg(isolated(cell.text), value.text);
        }
        break;
    }
    case SheetCell::Kind::Date: {
        const QDate date = sheetDate(cell.text.toDouble(), context.dates1904);
        if (!date.isValid()) {
            value.text = cell.text;
            value.warning =
                QStringLiteral("تاريخ %1 برگه خوانده نشد و عدد آن آورده شد").arg(cell.text);
        } else {
            value.text = persianDate(date);
            value.warning = QStringLiteral("تاريخ ميلادي %1 برگه به تاريخ شمسي %2 برگردانده شد")
                                .arg(isolated(date.toString(Qt::ISODate)), value.text);
        }
        break;
    }
    case SheetCell::Kind::Boolean:
        value.text =
            cell.text == QLatin1String("1") ? QStringLiteral("بله") : QStringLiteral("خير");
        break;
    default:
        value.text = cell.text;
        // The export's guard against a formula, taken off again: the
        // apostrophe before = + - @ a tab or a CR, or before the value's own
        // apostrophes that stand before one of these.
        if (context.fromCsv && value.text.startsWith(QLatin1Char('\''))) {
            qsizetype at = 1;
            while (at < value.text.size() && value.text[at] == QLatin1Char('\'')) {
                ++at;
            }
            if (at < value.text.size() && QStringLiteral("=+-@\t\r").contains(value.text[at])) {
                value.text.remove(0, 1);
            }
        }
        // A NUL stands in neither file the export writes (a sheet cuts the
        // text there): the text is stored without it, and said so.
        if (value.text.contains(QChar(0))) {
            value.text.remove(QChar(0));
            value.warning = QStringLiteral("نويسه NUL (كد صفر) از متن برداشته شد");
        }
    }
    if (value.text.size() > kLongestValue) {
        value.refusal = QStringLiteral("متن %1 حرفي بلندتر از %2 حرفي است كه فيلد مي گيرد")
                            .arg(value.text.size())
                            .arg(kLongestValue);
    }
    return value;
}

} // namespace velmoran::import
