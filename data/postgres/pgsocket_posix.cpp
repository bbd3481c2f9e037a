#include "data/postgres/pgsocket.h"

#include <QFile>

#include <poll.h>
#include <sys/stat.h>

namespace velmoran::pg {

bool waitSocket(int socket, bool forWrite, int milliseconds) {
    pollfd ready{socket, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    return ::poll(&ready, 1, milliseconds) > 0;
}

std::optional<PasswordFile> passwordFileStatus(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return std::nullopt;
    }
    return PasswordFile{static_cast<int>(st.st_mode & 07777), S_ISREG(st.st_mode)};
}

} // namespace velmoran::pg
