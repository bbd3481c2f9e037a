#pragma once

#include <QString>

namespace velmoran {

// A path as a Persian sentence shows it: in the system's separators, set
// apart by Unicode's first-strong isolate (U+2068 ... U+2069) so that its
// Latin letters and slashes keep their order inside right-to-left text.
QString pathText(const QString& path);

// Other text of the system or of SQLite in Latin letters (an error message)
// set apart the same way.
QString isolated(const QString& text);

} // namespace velmoran
