// The import subcommand: the Access import of import/importtool.h, run in a
// reading child of its own and watched (import/importwatch.h), so that a
// file the reading library can't cope with ends it with a message.

#include "cli/commands.h"
#include "cli/common.h"
#include "import/importtool.h"
#include "import/importwatch.h"

#include <QCoreApplication>
#include <QFile>

namespace velmoran::cli {

namespace {

// The reading child: the report (or, with --progress, the lines the program
// reads) and the messages on the descriptors the parent gave it; the
// reading library's own words on the standard output and error, which the
// parent filters.
int readAsChild(const QStringList& arguments) {
    import::installSignalCleanup();
    QFile report;
    QFile messages;
    report.open(import::kChildReportFd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    messages.open(import::kChildMessageFd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QTextStream out(&report);
    QTextStream err(&messages);
    import::ImportSteps steps;
    const int status = import::runImportTool(arguments, out, err, &steps);
    out.flush();
    err.flush();
    return status;
}

} // namespace

int importCommand(const QStringList& arguments, Io& io) {
    if (import::isReadingChild()) {
        return readAsChild(arguments);
    }
    io.out.flush();
    io.err.flush();
    import::WatchLimits limits;
    limits.stallMilliseconds = import::stallMilliseconds(arguments);
    return import::watchImport(
        QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("import")} + arguments,
        limits, arguments.contains(QStringLiteral("--progress")), import::firstSource(arguments));
}

} // namespace velmoran::cli
