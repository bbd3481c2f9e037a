#pragma once

namespace velmoran {

// Everything the program does before the login: the configuration file read
// for the store (storelocation.h), the data folder made when it is missing,
// Access files waiting there brought over (importWaitingAccessFiles; not for
// a server's store), both stores checked (created when missing: the files, or
// the server's tables), the store chosen for every record source, the screens
// registered, then the login screen Form9 shown. On a failure the user sees a
// Persian message box naming the file (or the server and the table) and the
// problem, and false is returned: the program ends without reaching the login.
bool startProgram();

} // namespace velmoran
