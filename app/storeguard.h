#pragma once

#include <QString>

namespace velmoran {

class FolderLock;

// The damage check at start. A store file found damaged is never written to:
// the user is told which file and offered to put back its newest backup that
// checks good (its date named), the damaged file kept beside it as
// newil.db.damaged-<time>; declining ends the program with the file as it
// was.
//
// Both files are read through with integrity_check (every page and record,
// and every index against its table): pc.db, which is small, before the
// login; newil.db, which may be large, on a thread of its own while the login
// screen shows, and the main window, where the first write can come from,
// opens only after that check is done. A refused file is left as it was
// found, without the journal files the check's read made.
namespace storeguard {

// Before the stores are prepared: pc.db read through and newil.db's first
// pages read. False when the program should end (the user was told why).
bool checkBeforeLogin(const QString& folder, FolderLock& lock);

// Starts the check of newil.db on its thread.
void startListingsCheck(const QString& folder, FolderLock& lock);

// Before the main window opens: waits for that check (with a progress window
// when it takes long) and deals with a damaged file. False when the program
// should end. True at once when the check was done and found the file sound.
bool admitMainWindow();

// Stops a check still running (the program ends).
void stopChecks();

} // namespace storeguard

} // namespace velmoran
