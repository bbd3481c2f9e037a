#pragma once

#include <QString>

namespace velmoran {

// Today in the Solar Hijri calendar, as the agency writes dates: yyyy/MM/dd.
QString solarToday();

} // namespace velmoran
