// velmoran-cli: the program's command-line tool. See cli/cli.h.

#include "cli/cli.h"
#include "platform/console.h"
#include "platform/processstart.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    velmoran::ProcessStart::prepare();
    QCoreApplication app(argc, argv);
    velmoran::Console::useUtf8();
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORAN_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    velmoran::cli::Io io{out, err};
    return velmoran::cli::run(app.arguments().mid(1), io);
}
