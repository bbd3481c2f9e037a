#pragma once

#include <QString>

#include <optional>

// The few system calls the server connection makes besides libpq's own, one
// backend a system (pgsocket_posix.cpp, pgsocket_windows.cpp).
namespace velmoran::pg {

// Waits until the connection's socket can be read (or written, with
// `forWrite`) or `milliseconds` have passed; true when it is ready.
bool waitSocket(int socket, bool forWrite, int milliseconds);

// The permission bits of libpq's password file, when it is there. Windows
// keeps it in the user's own profile, and libpq checks no bits there: a file
// that is there reads as the owner's alone.
struct PasswordFile {
    int mode = 0;
    bool regular = false;
};
std::optional<PasswordFile> passwordFileStatus(const QString& path);

} // namespace velmoran::pg
