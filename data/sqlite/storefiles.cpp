#include "data/sqlite/storefiles.h"

#include "data/folder/fileaccess.h"

namespace velmoran {

void removeStoreFiles(const QString& path) {
    for (const char* suffix : kStoreFileSuffixes) {
        removeFile(path + QLatin1String(suffix));
    }
}

} // namespace velmoran
