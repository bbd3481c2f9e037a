#pragma once

namespace velmoran {

// Everything the program does before the login: the data folder made when it
// is missing, Access files waiting there brought over (importWaitingAccessFiles),
// both store files checked (created when missing), the screens
// registered, then the login screen Form9 shown. On a failure the user sees a
// Persian message box naming the file and the problem, and false is
// returned: the program ends without reaching the login.
bool startProgram();

} // namespace velmoran
