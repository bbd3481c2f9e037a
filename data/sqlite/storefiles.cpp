#include "data/sqlite/storefiles.h"

#include "data/folder/fileaccess.h"

#include <cerrno>

namespace velmoran {

void removeStoreFiles(const QString& path) {
    for (const char* suffix : kStoreFileSuffixes) {
        removeFile(path + QLatin1String(suffix));
    }
}

int replaceStoreFile(const QString& store, const QString& replacement, const QString& keptAs,
                     bool* kept) {
    *kept = false;
    if (!pathExists(store)) {
        return renameOver(replacement, store) ? 0 : errno;
    }
    if (!linkNew(store, keptAs)) {
        return errno;
    }
    const char* const journals[] = {"-wal", "-journal"};
    // Puts the journals back beside the store and forgets the kept name.
    const auto undo = [&](int error) {
        for (const char* suffix : journals) {
            const QString moved = keptAs + QLatin1String(suffix);
            if (pathExists(moved)) {
                renameOver(moved, store + QLatin1String(suffix));
            }
        }
        removeFile(keptAs);
        return error;
    };
    for (const char* suffix : journals) {
        const QString journal = store + QLatin1String(suffix);
        if (pathExists(journal) && !renameOver(journal, keptAs + QLatin1String(suffix))) {
            return undo(errno);
        }
    }
    if (!renameOver(replacement, store)) {
        return undo(errno);
    }
    // The index of the old journal, rebuilt by SQLite when needed.
    removeFile(store + QStringLiteral("-shm"));
    *kept = true;
    return 0;
}

} // namespace velmoran
