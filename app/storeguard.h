#pragma once

#include "data/core/fields.h"
#include "data/maintenance/storecheck.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace velmoran {

class FolderLock;
struct StoreLocation;

// The damage check at start. A store file found damaged is never written to:
// the user is told which file and offered to put back its newest backup that
// checks good (its date named), the damaged file kept beside it as
// newil.db.damaged-<time>; declining ends the program with the file as it
// was.
//
// pc.db, which is small, is read through with integrity_check (every page
// and record, and every index against its table) before the login. newil.db,
// which may be large, is read on a thread of its own from the moment the
// login shows: first with quick_check (every page and record), which the
// main window waits for, then, at a low priority while the program is in
// use, with integrity_check. Every write to it waits for that full verdict
// (the write gate, with a progress window the user may cancel, keeping what
// was typed); a damaged verdict stops every write for the session, is told
// at once, and the backup is offered when the program ends, once no screen
// holds the file. A refused file is left as it was found, without the
// journal files the check's read made.
namespace storeguard {

// Before the stores are prepared: pc.db read through and newil.db's first
// pages read. False when the program should end (the user was told why).
bool checkBeforeLogin(const QString& folder, FolderLock& lock);

// Starts the checks of newil.db on their thread.
void startListingsCheck(const QString& folder, FolderLock& lock);

// Before the main window opens: waits for the quick check (with a progress
// window when it takes long) and deals with a damaged file; the same for the
// full check when its verdict is already in. False when the program should
// end.
bool admitMainWindow();

// The program's write gate (data/store/writegate.h), before every write of
// the screens and of the sheet import alike: returns when `tableSpec`'s
// store may be written; throws StoreError when it may not (the user
// cancelled the wait, or the file was found damaged: Kind::WritesStopped,
// with damagedStoreMessage).
void awaitWritable(const StoreLocation& store, const TableSpec& tableSpec);

enum class Verdict { None, Pending, Sound, Damaged };
// The full check's verdict on newil.db: None without a check (a server's
// store, no file, or the check stopped).
Verdict listingsVerdict();

// At the end of the program, once no screen holds the files: when the full
// check found newil.db damaged after the main window had opened, the offer
// to put back its backup, as at the start. True when the session's files
// may be backed up (nothing was found damaged, or a backup was put back).
bool settleAtEnd();

// The state in which this session's checks found `tableSpec`'s store sound:
// a backup of the store still in that state needs no second check.
std::optional<StoreFileState> soundAsOf(const TableSpec& tableSpec);

// Stops a check still running (the program ends).
void stopChecks();

// The full check the start runs in the background; tests put in one they
// hold until they let it go. Empty restores the real one.
using FullCheck = std::function<StoreCheck(const QString& path, const std::atomic<bool>* stop,
                                           CheckProgress* progress)>;
void setFullCheck(FullCheck check);

} // namespace storeguard

} // namespace velmoran
