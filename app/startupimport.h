#pragma once

#include <QString>

namespace velmoran {

// At start, before the store files are checked: an agency's Access files
// waiting in the data folder (newil.mdb with no newil.db, pc.mdb with no
// pc.db) are brought over with a progress dialog. The reading is done by the
// import subcommand of velmoran-cli in a process of its own, so a damaged
// file that makes the reading library crash can't take the program down; the
// program keeps answering while it runs. A tool that makes no progress for
// importTimeout() (or floods its error output) is ended as a failure: the
// user is told the file could not be read. The Access files are only read.
//
// Returns true when there was nothing to import or everything was brought
// over (a box then tells what was). Returns false when the program should
// end: after a Persian message box naming the file and the problem, or when
// the user cancelled. Nothing half-made is left in the folder, so the next
// start tries again.
bool importWaitingAccessFiles(const QString& folder);

// The tool run: velmoran-cli beside the program's own executable, unless
// another was set (tests).
QString importToolPath();
void setImportToolPath(const QString& path);

// How long the import may go without a step (30 s unless set; tests
// shorten it). The tool is given the same time and gives up by itself; the
// program ends it a little later should it not.
int importTimeout();
void setImportTimeout(int milliseconds);

} // namespace velmoran
