#include "platform/widgets/printqt.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <cups/cups.h>

namespace velmoran {

namespace {

// Hands the PDF at `path` to the CUPS queue `printer` as a job named
// `title`; the queue's options (the user's own defaults too) go with it.
// Empty when CUPS took the job, else what CUPS said.
QString submitToCups(const QString& printer, const QString& path, const QString& title) {
    const QByteArray name = printer.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    const int job = cupsPrintFile(name.constData(), QFile::encodeName(path).constData(),
                                  title.toUtf8().constData(), dest ? dest->num_options : 0,
                                  dest ? dest->options : nullptr);
    if (dest) {
        cupsFreeDests(1, dest);
    }
    return job > 0 ? QString() : QString::fromUtf8(cupsLastErrorString());
}

} // namespace

// A PDF on the printer's paper, inside its margins and at its resolution (as
// Qt reads them from CUPS), handed to CUPS.
QString sendToPrinter(const QPrinterInfo& info, const Print::Page& page, const QString& title) {
    const QPrinter printer(info, QPrinter::HighResolution);
    QTemporaryDir spool;
    const QString path = spool.filePath(QStringLiteral("page.pdf"));
    if (!spool.isValid() ||
        !QtPrintBackend::writePdf(page, title, path, printer.pageLayout(), printer.resolution())) {
        return QStringLiteral("فايل چاپ در پوشه موقت نوشته نشد.");
    }
    return submitToCups(info.printerName(), path, title);
}

} // namespace velmoran
