#include "data/folder/fileaccess.h"

#include <QDir>

#include <cerrno>
#include <io.h>
#include <windows.h>

// On Windows the data folder is the user's own (%LOCALAPPDATA%), whose access
// list admits the user, the system and the administrators alone; the files
// made in it inherit that list, which stands for the mode 600 and 700 of the
// other systems.
namespace velmoran {

namespace {

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// errno for the system's last error.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
        return ENOSYS;
    default:
        return EIO;
    }
}

bool failed() {
    errno = errnoOf(GetLastError());
    return false;
}

} // namespace

bool mayWrite(const QString& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY) &&
           _waccess(wide(path).c_str(), 6) == 0;
}

bool pathExists(const QString& path) {
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool pathStatus(const QString& path, PathStatus& status) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return failed();
    }
    status.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.isFile = !status.isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
    status.size = (static_cast<qint64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    // 100 ns steps since 1601.
    const qint64 ticks = (static_cast<qint64>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    status.modifiedNanoseconds = (ticks - 116444736000000000LL) * 100;
    return true;
}

bool syncDescriptor(int fd) {
    return _commit(fd) == 0;
}

bool syncPath(const QString& path, bool folder) {
    if (folder) {
        // NTFS journals its names: there is no folder to flush.
        return pathExists(path) || failed();
    }
    // FlushFileBuffers wants a handle that may write.
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failed();
    }
    const bool flushed = FlushFileBuffers(file) || failed();
    const int error = errno;
    CloseHandle(file);
    errno = error;
    return flushed;
}

bool makePrivateFile(QString& pattern) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const QString base = pattern.left(pattern.size() - 6);
    for (int attempt = 0; attempt < 100; ++attempt) {
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        quint64 seed = static_cast<quint64>(counter.QuadPart) ^
                       (static_cast<quint64>(GetCurrentProcessId()) << 32) ^ (attempt * 7919u);
        QString name = base;
        for (int i = 0; i < 6; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            name += QLatin1Char(kLetters[(seed >> 33) % 36]);
        }
        const HANDLE file = CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            pattern = name;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return failed();
        }
    }
    errno = EEXIST;
    return false;
}

bool makeFolder(const QString& path) {
    return CreateDirectoryW(wide(path).c_str(), nullptr) || failed();
}

bool linkNew(const QString& from, const QString& to) {
    if (CreateHardLinkW(wide(to).c_str(), wide(from).c_str(), nullptr)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
        error == ERROR_ACCESS_DENIED || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_PATH_NOT_FOUND) {
        errno = errnoOf(error);
        return false;
    }
    // A file system without hard links (FAT, some network shares).
    return CopyFileW(wide(from).c_str(), wide(to).c_str(), TRUE) || failed();
}

bool renameOver(const QString& from, const QString& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           failed();
}

bool renameNew(const QString& from, const QString& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH) || failed();
}

bool removeFile(const QString& path) {
    return DeleteFileW(wide(path).c_str()) || failed();
}

} // namespace velmoran
