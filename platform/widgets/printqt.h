#pragma once

#include "platform/print.h"

#include <QString>

#include <QPageLayout>

class QPagedPaintDevice;
class QPrinterInfo;
class QWidget;

namespace velmoran {

// Prints through Qt Print Support (and CUPS on Linux): on the system's default printer
// where one is set up, else into a PDF file in the user's documents folder.
// Either way the page goes out as a PDF drawn at the device's resolution,
// its lines as lines and its texts as text.
class QtPrintBackend : public Print::Backend {
public:
    Print::Outcome printPage(const Print::Page& page, const QString& title) override;

    // Prints `page` on `printer`: a PDF on the printer's paper, inside its
    // margins and at its resolution, handed to CUPS as a job named `title`
    // with the queue's own options.
    static Print::Outcome printOn(const QPrinterInfo& printer, const Print::Page& page,
                                  const QString& title);

    // Writes `page` as a one-page PDF titled `title` into `folder` (made when
    // missing) under a name of its own that no file there has yet.
    static Print::Outcome saveAsPdf(const Print::Page& page, const QString& title,
                                    const QString& folder);

    // Writes `page` at `path` as a PDF of its pages titled `title`, laid out by
    // `layout` (its orientation follows the page) at `resolution` dots an
    // inch, the page as large as the printable area allows, at the top,
    // centred across. False when the file could not be written.
    static bool writePdf(const Print::Page& page, const QString& title, const QString& path,
                         const QPageLayout& layout, int resolution);

    // The folder saveAsPdf uses when there is no printer.
    static QString documentsFolder();
};

// The pieces each system's printing is made of (printqt_posix.cpp,
// printqt_windows.cpp): the orientation a page wants, its pages drawn on a
// device, and the page sent to a printer as a job named `title` (empty when
// the printer took it, else why not).
QPageLayout::Orientation orientationFor(const Print::Page& page);
bool paintPages(QPagedPaintDevice& device, const Print::Page& page);
QString sendToPrinter(const QPrinterInfo& printer, const Print::Page& page, const QString& title);

namespace Print {

// `widget` and its children as a page: drawn by the widget itself, as on the
// screen, into whatever painter the page is printed with. Nothing is drawn
// once the widget is gone.
Page widgetPage(QWidget* widget);

} // namespace Print

} // namespace velmoran
