#include "data/folder/datafolder.h"

#include "data/folder/fileaccess.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>

namespace velmoran {

bool ensureDataFolder(const QString& folder) {
    return makePrivateFolder(folder);
}

bool makePrivateFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    // The folders that are missing, from the top down, each made for the
    // owner alone.
    QStringList missing;
    PathStatus status;
    for (QString at = absolute; !pathStatus(at, status);) {
        if (errno != ENOENT) {
            return false;
        }
        missing.prepend(at);
        const QString up = QFileInfo(at).path();
        if (up == at) {
            break;
        }
        at = up;
    }
    for (const QString& folder : missing) {
        if (!makeFolder(folder) && errno != EEXIST) {
            return false;
        }
    }
    return pathStatus(absolute, status) && status.isFolder;
}

} // namespace velmoran
