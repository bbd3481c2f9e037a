#include "data/postgres/pgsocket.h"

#include <QFileInfo>

#include <winsock2.h>

namespace velmoran::pg {

bool waitSocket(int socket, bool forWrite, int milliseconds) {
    WSAPOLLFD ready{};
    ready.fd = static_cast<SOCKET>(socket);
    ready.events = forWrite ? POLLWRNORM : POLLRDNORM;
    return WSAPoll(&ready, 1, milliseconds) > 0;
}

std::optional<PasswordFile> passwordFileStatus(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return std::nullopt;
    }
    return PasswordFile{0600, info.isFile()};
}

} // namespace velmoran::pg
