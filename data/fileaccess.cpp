#include "data/fileaccess.h"

#include <sys/stat.h>
#include <unistd.h>

namespace velmoran {

bool mayWrite(const QString& path) {
    const QByteArray native = path.toLocal8Bit();
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && (st.st_mode & S_IWUSR) &&
           ::access(native.constData(), R_OK | W_OK) == 0;
}

} // namespace velmoran
