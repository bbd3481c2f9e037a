#pragma once

#include <QString>

#include <atomic>

namespace velmoran {

// How thoroughly a store file is read: quick_check reads every page and
// record; integrity_check also compares every index with its table.
enum class CheckDepth { Quick, Full };

struct StoreCheck {
    enum Outcome { Sound, Damaged, Unreadable, Stopped };
    Outcome outcome = Stopped;
    QString detail; // SQLite's words on the first problems found (one line), or
                    // why it could not be read
    bool sound() const { return outcome == Sound; }
};

// Reads the SQLite file at `path` through and reports what SQLite finds,
// without writing to it (nor folding its journal into it). A file that is
// no database at all is damaged too. The check stops early, as Stopped, once
// `stop` is set (from another thread).
StoreCheck checkStoreFile(const QString& path, CheckDepth depth,
                          const std::atomic<bool>* stop = nullptr);

} // namespace velmoran
