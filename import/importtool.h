#pragma once

#include <QStringList>
#include <QTextStream>

namespace velmoran::import {

// The command-line tool:
//   velmoran-import [--replace] [--folder DIR] NEWIL.mdb [PC.mdb]
//   velmoran-import [--replace] [--folder DIR] --pc PC.mdb
// brings the Access files into the data folder (or DIR) and prints a report:
// rows read and stored, columns missing and extra. An existing store file is
// refused unless --replace, which keeps the old file under another name.
// With --progress it speaks the protocol of importprotocol.h instead.
// `arguments` exclude the program's name. Returns the exit status, one of:
enum ToolStatus {
    kDone = 0,
    kFailed = 1,      // the Persian message naming the file and the problem on `err`
    kUsage = 2,       // wrong arguments
    kStoreExists = 3, // a store file of that name exists and was not replaced
};
int runImportTool(const QStringList& arguments, QTextStream& out, QTextStream& err);

// The report of one import, as printed: every column named.
struct ImportReport;
QStringList reportLines(const ImportReport& report);
// Its summary, for the program's box: rows stored, how many columns were
// missing and extra with the first few named.
QStringList summaryLines(const ImportReport& report);

// Removes the temporary file of an import under way should the process be
// ended by a signal (a crash inside the reading library, kill, Ctrl+C).
void installSignalCleanup();
// The file (and its journal) the handler removes; the empty path for none.
// The import tells it each temporary file it makes.
void removeOnSignal(const QString& path);

} // namespace velmoran::import
