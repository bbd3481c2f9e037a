#pragma once

#include <QString>

namespace velmoran {

// The mark that a copy of the program or of velmoran-cli works on a data
// folder: a lock the system drops when the process that holds it dies (on
// Linux flock on the folder itself, so no file is added to it; on Windows
// LockFileEx on a hidden file .velmoran.lock in it). The program holds
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

    bool isLocked() const { return handle_ != -1; }
    Mode mode() const { return mode_; }

private:
    qintptr handle_ = -1; // the descriptor, or the Windows handle
    QString folder_;
    Mode mode_ = Mode::Shared;
};

// The Persian refusal of a step that needs the folder to itself.
QString folderInUseMessage(const QString& folder);

} // namespace velmoran
