#pragma once

#include <QString>

#include <utility>

namespace velmoran {

// What a store file is on the disk: the file itself and the journal files
// SQLite may keep beside it, named by these suffixes of its path.
constexpr const char* kStoreFileSuffixes[] = {"", "-wal", "-shm", "-journal"};
constexpr int kStoreFileSuffixCount = 4;

// Removes the store file at `path` with its journal files; what is not there
// is no failure.
void removeStoreFiles(const QString& path);

// Puts the finished file `replacement` in the place of the store file
// `store`. A store file that is there keeps a name of its own, `keptAs`, and
// its journal the matching name, before the new file takes its place in one
// step: at no moment is there no store file, and the old one is not written
// to, not even to fold its journal in (it may be damaged). Returns the errno
// of a failure, with everything as it was, or 0; `keptAs` is left empty when
// there was no store file. The caller holds the folder alone.
int replaceStoreFile(const QString& store, const QString& replacement, const QString& keptAs,
                     bool* kept);

// A store file under a temporary name: removed with its journal files when
// the scope ends (a file renamed into place meanwhile is not there any more).
class TemporaryStoreFile {
public:
    explicit TemporaryStoreFile(QString path) : path_(std::move(path)) {}
    ~TemporaryStoreFile() { removeStoreFiles(path_); }
    TemporaryStoreFile(const TemporaryStoreFile&) = delete;
    TemporaryStoreFile& operator=(const TemporaryStoreFile&) = delete;
    const QString& path() const { return path_; }

private:
    QString path_;
};

} // namespace velmoran
