#include "data/folder/folderlock.h"

#include "data/core/storemessages.h"

#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmoran {

FolderLock::~FolderLock() {
    unlock();
}

bool FolderLock::tryLock(const QString& folder, Mode mode) {
    if (fd_ >= 0 && folder != folder_) {
        unlock();
    }
    if (fd_ < 0) {
        fd_ = ::open(folder.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            return false;
        }
        folder_ = folder;
    }
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int rc;
    do {
        rc = ::flock(fd_, operation);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        // flock changes a lock by dropping it first: a failed change leaves
        // none.
        const int error = errno;
        unlock();
        errno = error;
        return false;
    }
    mode_ = mode;
    return true;
}

bool FolderLock::lock(const QString& folder, Mode mode, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!tryLock(folder, mode)) {
        if (errno != EWOULDBLOCK || timer.elapsed() >= milliseconds) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

QString folderInUseMessage(const QString& folder) {
    return QStringLiteral("برنامه ولموران يا velmoran-cli ديگري روي پوشه %1 كار مي كند. آن را "
                          "ببنديد و دوباره امتحان كنيد.")
        .arg(isolatedPath(folder));
}

void FolderLock::unlock() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace velmoran
