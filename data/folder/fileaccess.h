#pragma once

#include <QByteArray>
#include <QString>

namespace velmoran {

// True when the user may write the file: access() says so and the owner's
// write bit is set. access() alone says yes to root even on a file its user
// made read-only, and the bit is what that user meant.
bool mayWrite(const QString& path);

// The path as the system calls take it.
QByteArray localPath(const QString& path);

// True when anything stands at `path`, a dangling link included.
bool pathExists(const QString& path);

// fsync on a file or a folder; false with errno set when it fails.
bool syncPath(const QString& path, bool folder);

// A name made from `base` that nothing has yet: base, base-2, base-3 ...
// with `suffix` after each.
QString freeName(const QString& base, const QString& suffix = QString());

} // namespace velmoran
