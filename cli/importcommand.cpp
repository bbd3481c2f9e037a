// The import subcommand: the Access import of import/importtool.h, watched
// so that a file the reading library can't cope with ends it with a message.

#include "cli/commands.h"
#include "cli/common.h"
#include "import/importtool.h"
#include "import/importwatch.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace velmoran::cli {

int importCommand(const QStringList& arguments, Io& io) {
    import::installSignalCleanup();
    io.out.flush();
    io.err.flush();
    // The reading library prints on the standard output and error: its
    // words go through the watch, and the report (or, with --progress, the
    // lines the program reads) alone to the standard output.
    import::ImportWatch watch;
    import::ImportWatch::Limits limits;
    limits.stallMilliseconds = import::stallMilliseconds(arguments);
    if (!watch.start(limits)) {
        return fail(io, QStringLiteral("velmoran-cli import: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    QFile report;
    QFile messages;
    report.open(watch.reportDescriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    messages.open(watch.messageDescriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QTextStream out(&report);
    QTextStream err(&messages);
    const int status = import::runImportTool(arguments, out, err, &watch);
    out.flush();
    err.flush();
    watch.stop();
    return status;
}

} // namespace velmoran::cli
