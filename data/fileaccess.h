#pragma once

#include <QString>

namespace velmoran {

// True when the user may write the file: access() says so and the owner's
// write bit is set. access() alone says yes to root even on a file its user
// made read-only, and the bit is what that user meant.
bool mayWrite(const QString& path);

} // namespace velmoran
