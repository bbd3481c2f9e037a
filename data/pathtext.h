#pragma once

#include <QString>

namespace velmoran {

// A path as a Persian sentence shows it: in the system's separators, set
// apart by Unicode's first-strong isolate (U+2068 ... U+2069) so that its
// Latin letters and slashes keep their order inside right-to-left text.
QString pathText(const QString& path);

} // namespace velmoran
