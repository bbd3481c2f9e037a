#pragma once

#include <QString>

namespace velmoran {

// The mark that a copy of the program or of velmoran-cli works on a data
// folder: a lock (flock) on the folder itself, so no file is added to it
// and the system drops the lock of a process that dies. The program holds
// it shared for as long as it runs; so does the tool while it reads or adds
// a store; a tool that changes a store in place (restore, import --replace,
// backup) holds it exclusively and so is refused while any copy runs.
class FolderLock {
public:
    enum class Mode { Shared, Exclusive };

    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock in `mode` without waiting; false when another process
    // holds it in a way that excludes `mode` (or the folder can't be opened).
    // A lock already held is changed to `mode`; when that fails no lock is
    // held any more.
    bool tryLock(const QString& folder, Mode mode);
    // Takes the lock, waiting at most `milliseconds` for others to let go.
    bool lock(const QString& folder, Mode mode, int milliseconds);
    void unlock();

    bool isLocked() const { return fd_ >= 0; }
    Mode mode() const { return mode_; }

private:
    int fd_ = -1;
    QString folder_;
    Mode mode_ = Mode::Shared;
};

// The Persian refusal of a step that needs the folder to itself.
QString folderInUseMessage(const QString& folder);

} // namespace velmoran
