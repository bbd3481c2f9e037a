#include "data/folder/fileaccess.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

bool mayWrite(const QString& path) {
    const QByteArray native = path.toLocal8Bit();
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && (st.st_mode & S_IWUSR) &&
           ::access(native.constData(), R_OK | W_OK) == 0;
}

QByteArray localPath(const QString& path) {
    return path.toLocal8Bit();
}

bool pathExists(const QString& path) {
    struct stat st {};
    return ::lstat(localPath(path).constData(), &st) == 0;
}

bool syncPath(const QString& path, bool folder) {
    const int fd = ::open(localPath(path).constData(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

QString freeName(const QString& base, const QString& suffix) {
    QString name = base + suffix;
    for (int n = 2; pathExists(name); ++n) {
        name = base + QLatin1Char('-') + QString::number(n) + suffix;
    }
    return name;
}

} // namespace velmoran
