#include "data/folder/folderlock.h"

#include <QDir>

#include <cerrno>
#include <windows.h>

namespace velmoran {

namespace {

HANDLE handleOf(qintptr value) {
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

bool FolderLock::tryLock(const QString& folder, Mode mode) {
    if (handle_ != -1 && folder != folder_) {
        unlock();
    }
    if (handle_ == -1) {
        const std::wstring name =
            QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral(".velmoran.lock")))
                .toStdWString();
        const HANDLE file = CreateFileW(
            name.c_str(), GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            errno = GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
            return false;
        }
        handle_ = reinterpret_cast<qintptr>(file);
        folder_ = folder;
    } else {
        // As with flock, a change of mode lets go first.
        OVERLAPPED at{};
        UnlockFileEx(handleOf(handle_), 0, 1, 0, &at);
    }
    OVERLAPPED at{};
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(handleOf(handle_), flags, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        unlock();
        errno = (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) ? EWOULDBLOCK : EACCES;
        return false;
    }
    mode_ = mode;
    return true;
}

void FolderLock::unlock() {
    if (handle_ != -1) {
        CloseHandle(handleOf(handle_));
        handle_ = -1;
    }
}

} // namespace velmoran
