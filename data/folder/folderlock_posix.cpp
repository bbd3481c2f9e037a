#include "data/folder/folderlock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmoran {

bool FolderLock::tryLock(const QString& folder, Mode mode) {
    if (handle_ != -1 && folder != folder_) {
        unlock();
    }
    if (handle_ == -1) {
        const int fd =
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        handle_ = fd;
        folder_ = folder;
    }
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int rc;
    do {
        rc = ::flock(static_cast<int>(handle_), operation);
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

void FolderLock::unlock() {
    if (handle_ != -1) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

} // namespace velmoran
