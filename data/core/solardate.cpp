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

} // namespace velmoran
