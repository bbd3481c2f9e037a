#pragma once

#include "data/core/fields.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

namespace velmoran {

struct StoreLocation;

// How thoroughly a store file is read: quick_check reads every page and
// record; integrity_check also compares every index with its table.
enum class CheckDepth { Quick, Full };

struct StoreCheck {
    enum Outcome { Sound, Damaged, Unreadable, Stopped };
    Outcome outcome = Stopped;
    QString detail; // SQLite's words on the first problems found (one line), or
                    // why it could not be read
    // The journal files the check itself put beside the file (a read of a
    // file in write-ahead mode makes them); removeCheckLeftovers() takes
    // them away again once no other copy works on the folder.
    QStringList madeBeside;
    bool sound() const { return outcome == Sound; }
};

// How far a check has come, for a progress window on another thread: steps
// of SQLite's machine done, and about how many the whole check takes (reckoned
// from the file's pages; `done` may pass it a little before the end).
struct CheckProgress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
};

// Reads the SQLite file at `path` through and reports what SQLite finds,
// without writing to it (nor folding its journal into it). A file that is
// no database at all is damaged too. The check stops early, as Stopped, once
// `stop` is set (from another thread); `progress`, when given, follows it.
StoreCheck checkStoreFile(const QString& path, CheckDepth depth,
                          const std::atomic<bool>* stop = nullptr,
                          CheckProgress* progress = nullptr);

// Looks at the table of `tableSpec` on the server `conninfo` as the program
// needs it, without changing anything: the connection, the table and its
// columns, the right to read and write it. Sound, or Unreadable with the
// Persian message naming the server, the table and the problem.
StoreCheck checkServerTable(const QString& conninfo, const TableSpec& tableSpec);

// Removes what `check` put beside its file, where the journal holds nothing:
// for a file that is refused, so it stays as it was found. Only while no
// other copy works on the folder.
void removeCheckLeftovers(const StoreCheck& check);

// A store file and its write-ahead journal as they look from outside: any
// write to the file, by any copy of the program, changes it. A check's
// verdict on a file holds for as long as its state stays the same.
struct StoreFileState {
    qint64 size = -1;
    qint64 modifiedNs = 0;
    QByteArray header;      // the file's change counter (bytes 24 to 27)
    qint64 journalSize = 0; // an empty journal counts as none
    qint64 journalModifiedNs = 0;
    QByteArray journalHeader; // its salts and checkpoint number change at each restart
    bool operator==(const StoreFileState& other) const;
    bool operator!=(const StoreFileState& other) const { return !(*this == other); }
};
StoreFileState storeFileState(const QString& path);

// Reads only the schema of the SQLite file at `path`, at once: a file whose
// first pages are no database is damaged; one that can't be read for another
// reason (locked, no permission) is unreadable.
StoreCheck checkStoreHead(const QString& path);

// What every door that writes says of a damaged store file: its path, what
// the check found (`detail`), and that nothing is written to it.
QString damagedStoreMessage(const QString& path, const QString& detail);

// The write gate (writegate.h) of a run that has no check of its own going
// on (the tool): before the first write of the run to a file of `store`, the
// file is read through with integrity_check, as the program's start reads
// it, indexes and all. A damaged file throws StoreError
// (Kind::WritesStopped, damagedStoreMessage) and stays as it was found; a
// sound one is not read again in the same run. A file that is not there
// yet, one that can't be read (its store tells why) and a server's table
// pass.
void checkBeforeFirstWrite(const StoreLocation& store, const TableSpec& tableSpec);

} // namespace velmoran
