#pragma once

#include <QStringList>
#include <QTextStream>

namespace velmoran::import {

class ImportSteps;

// The import subcommand of velmoran-cli:
//   velmoran-cli import [--replace] [--folder DIR] [--timeout S] NEWIL.mdb [PC.mdb]
//   velmoran-cli import [--replace] [--folder DIR] [--timeout S] --pc PC.mdb
// brings the Access files into the data folder (or DIR) and prints a report:
// rows read and stored, columns missing and extra. An existing store file is
// refused unless --replace, which keeps the old file under another name and
// is refused while the program runs on the folder. With --progress it speaks
// the protocol of importprotocol.h instead. `steps`, when given, is told
// each file begun, each temporary file made and each step: the watching
// parent of importwatch.h gives up after --timeout seconds without one (30
// unless given). `arguments` exclude the subcommand's name.
// Returns the exit status, one of:
enum ToolStatus {
    kDone = 0,
    kFailed = 1,      // the Persian message naming the file and the problem on `err`
    kUsage = 2,       // wrong arguments
    kStoreExists = 3, // a store file of that name exists and was not replaced
    kFolderInUse = 4, // --replace while the program runs on the folder
};
int runImportTool(const QStringList& arguments, QTextStream& out, QTextStream& err,
                  ImportSteps* steps = nullptr);

// How long an import may go without a step before it gives up, from
// --timeout in `arguments` (seconds, fractions allowed); 30 s unless given.
int stallMilliseconds(const QStringList& arguments);

// The Access file an import of `arguments` reads first (NEWIL.mdb, else
// PC.mdb): what a failure names before the import has begun any file.
QString firstSource(const QStringList& arguments);

// The report of one import, as printed: every column named.
struct ImportReport;
QStringList reportLines(const ImportReport& report);
// Its summary, for the program's box: rows stored, how many columns were
// missing and extra with the first few named.
QStringList summaryLines(const ImportReport& report);

// Removes the temporary file of an import under way should the process be
// ended by a signal (a crash inside the reading library, kill, Ctrl+C); the
// process then ends by that signal, and the watching parent says why.
void installSignalCleanup();
// The file (and its journal) the handler removes; the empty path for none.
// The import tells it each temporary file it makes.
void removeOnSignal(const QString& path);

} // namespace velmoran::import
