#pragma once

namespace velmoran {

// Everything the program does before the login: the configuration file read
// for the store (storelocation.h), the data folder made when it is missing
// and marked as in use (FolderLock, shared; alone on it, the program first
// removes what killed steps of an earlier run left), Access files waiting
// there brought over (importWaitingAccessFiles; not for a server's store),
// the store files checked for damage (storeguard), both stores prepared
// (created when missing: the files, or the server's tables), the store chosen
// for every record source, the screens registered, then the login screen
// Form9 shown. On a failure the user sees a Persian message box naming the
// file (or the server and the table) and the problem, and false is returned:
// the program ends without reaching the login.
bool startProgram();

// After the program's last screen has gone: the backups of the stores
// written to (backupChangedStores), then the folder let go. Nothing is
// backed up when the start found a damaged store.
void endProgram();

} // namespace velmoran
