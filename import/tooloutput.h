#pragma once

#include <QString>

namespace velmoran::import {

// What a failed tool said on its error output, condensed for a message: at
// most its last `count` distinct lines (a reading library may repeat the
// same warning for every page), in the order they came, each cut to a
// length a message box can show. Empty when it said nothing.
QString lastDistinctLines(const QString& output, int count = 3);

} // namespace velmoran::import
