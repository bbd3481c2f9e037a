#pragma once

#include <QString>

namespace velmoran {

// At start, before the store files are checked: an agency's Access files
// waiting in the data folder (newil.mdb with no newil.db, pc.mdb with no
// pc.db) are brought over with a progress dialog. The reading is done by the
// velmoran-import tool in a process of its own, so a damaged file that makes
// the reading library crash can't take the program down; the program keeps
// answering while it runs. The Access files are only read.
//
// Returns true when there was nothing to import or everything was brought
// over (a box then tells what was). Returns false when the program should
// end: after a Persian message box naming the file and the problem, or when
// the user cancelled. Nothing half-made is left in the folder, so the next
// start tries again.
bool importWaitingAccessFiles(const QString& folder);

// The tool run: velmoran-import beside the program's own executable, unless
// another was set (tests).
QString importToolPath();
void setImportToolPath(const QString& path);

} // namespace velmoran
