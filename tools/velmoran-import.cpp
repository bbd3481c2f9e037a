// velmoran-import: brings an agency's Access files (newil.mdb, pc.mdb) into
// the program's data folder. See import/importtool.h for its command line.

#include "import/importtool.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    velmoran::import::installSignalCleanup();
    // The reading library prints its warnings on the standard output as
    // well as on the error output: they all go to the error output, and the
    // report (or, with --progress, the lines the program reads) alone to the
    // standard output.
    std::fflush(stdout);
    QFile report;
    const int fd = ::dup(STDOUT_FILENO);
    if (fd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0 ||
        !report.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        std::perror("velmoran-import");
        return 1;
    }
    QTextStream out(&report);
    QTextStream err(stderr);
    return velmoran::import::runImportTool(app.arguments().mid(1), out, err);
}
