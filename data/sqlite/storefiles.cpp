#include "data/sqlite/storefiles.h"

#include "data/folder/fileaccess.h"

#include <unistd.h>

namespace velmoran {

void removeStoreFiles(const QString& path) {
    for (const char* suffix : kStoreFileSuffixes) {
        ::unlink(localPath(path + QLatin1String(suffix)).constData());
    }
}

} // namespace velmoran
