#pragma once

#include <QString>

namespace velmoran {

// Today in the Solar Hijri calendar, as the agency writes dates: yyyy/MM/dd.
QString solarToday();

// `text` with its ASCII digits written as Persian digits, for showing a
// date; the rest as it is.
QString persianDigits(const QString& text);

} // namespace velmoran
