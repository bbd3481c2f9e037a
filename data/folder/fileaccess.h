#pragma once

#include <QByteArray>
#include <QString>

// The file system as the stores, the backups and the exports use it. Each
// call that can fail returns false with errno set to what went wrong, on
// every system (fileaccess_posix.cpp, fileaccess_windows.cpp).
namespace velmoran {

// True when the user may write the file: access() says so and the owner's
// write bit is set. access() alone says yes to root even on a file its user
// made read-only, and the bit is what that user meant.
bool mayWrite(const QString& path);

// True when anything stands at `path`, a dangling link included.
bool pathExists(const QString& path);

// What stands at a path (links followed).
struct PathStatus {
    bool isFile = false;
    bool isFolder = false;
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0; // since 1970
};
bool pathStatus(const QString& path, PathStatus& status);

// fsync on a file or a folder; false with errno set when it fails. A
// folder's names are durable by themselves where the system journals them.
bool syncPath(const QString& path, bool folder);
// The same on an open descriptor.
bool syncDescriptor(int fd);

// Makes a new empty file for the owner alone from `pattern`, whose last six
// characters are XXXXXX, and closes it; `pattern` becomes its name.
bool makePrivateFile(QString& pattern);

// Makes one folder for the owner alone; errno EEXIST when it is there.
bool makeFolder(const QString& path);

// Gives the file `from` the second name `to`, never replacing anything:
// errno EEXIST when `to` exists. Where the file system has no hard links the
// file is copied.
bool linkNew(const QString& from, const QString& to);

// Renames `from` to `to`, replacing a file there in one step.
bool renameOver(const QString& from, const QString& to);

// Renames `from` to `to` when nothing has that name: errno EEXIST otherwise.
bool renameNew(const QString& from, const QString& to);

// Removes a file; errno ENOENT when there is none.
bool removeFile(const QString& path);

// A name made from `base` that nothing has yet: base, base-2, base-3 ...
// with `suffix` after each.
QString freeName(const QString& base, const QString& suffix = QString());

} // namespace velmoran
