#include "data/folder/fileaccess.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

namespace {

// The path as the system calls take it.
QByteArray localPath(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

bool mayWrite(const QString& path) {
    const QByteArray native = localPath(path);
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && (st.st_mode & S_IWUSR) &&
           ::access(native.constData(), R_OK | W_OK) == 0;
}

bool pathExists(const QString& path) {
    struct stat st {};
    return ::lstat(localPath(path).constData(), &st) == 0;
}

bool pathStatus(const QString& path, PathStatus& status) {
    struct stat st {};
    if (::stat(localPath(path).constData(), &st) != 0) {
        return false;
    }
    status.isFile = S_ISREG(st.st_mode);
    status.isFolder = S_ISDIR(st.st_mode);
    status.size = st.st_size;
    status.modifiedNanoseconds =
        static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool syncDescriptor(int fd) {
    return ::fsync(fd) == 0;
}

bool syncPath(const QString& path, bool folder) {
    const int fd = ::open(localPath(path).constData(),
                          (folder ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

bool makePrivateFile(QString& pattern) {
    QByteArray name = localPath(pattern);
    const int fd = ::mkstemp(name.data()); // mode 600
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    pattern = QFile::decodeName(name);
    return true;
}

bool makeFolder(const QString& path) {
    return ::mkdir(localPath(path).constData(), 0700) == 0;
}

bool linkNew(const QString& from, const QString& to) {
    return ::link(localPath(from).constData(), localPath(to).constData()) == 0;
}

bool renameOver(const QString& from, const QString& to) {
    return ::rename(localPath(from).constData(), localPath(to).constData()) == 0;
}

bool renameNew(const QString& from, const QString& to) {
    const QByteArray source = localPath(from);
    const QByteArray target = localPath(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without that kind of rename.
    if (pathExists(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

bool removeFile(const QString& path) {
    return ::unlink(localPath(path).constData()) == 0;
}

} // namespace velmoran
