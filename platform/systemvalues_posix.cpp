#include "platform/systemvalues.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace velmoran::SystemValues {

std::shared_ptr<Backend> systemBackend() {
    return std::make_shared<LinuxBackend>();
}

std::optional<Account> currentAccount() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (!found) {
        return std::nullopt;
    }
    return Account{QString::fromUtf8(found->pw_name),
                   QString::fromUtf8(found->pw_gecos ? found->pw_gecos : "")};
}

} // namespace velmoran::SystemValues
