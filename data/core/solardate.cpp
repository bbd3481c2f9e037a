#include "data/core/solardate.h"

#include <QCalendar>
#include <QDate>

namespace velmoran {

QString solarToday() {
    const QCalendar calendar(QCalendar::System::Jalali);
    const QCalendar::YearMonthDay day = calendar.partsFromDate(QDate::currentDate());
    return QStringLiteral("%1/%2/%3")
        .arg(day.year, 4, 10, QLatin1Char('0'))
        .arg(day.month, 2, 10, QLatin1Char('0'))
        .arg(day.day, 2, 10, QLatin1Char('0'));
}

QString persianDigits(const QString& text) {
    QString shown = text;
    for (QChar& c : shown) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            c = QChar(static_cast<char16_t>(0x06F0 + (c.unicode() - u'0')));
        }
    }
    return shown;
}

} // namespace velmoran
