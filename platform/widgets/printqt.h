#pragma once

#include "platform/print.h"

#include <QString>

class QImage;
class QPagedPaintDevice;

namespace velmoran {

// Prints through Qt Print Support: on the system's default printer (CUPS)
// where one is set up, else into a PDF file in the user's documents folder.
class QtPrintBackend : public Print::Backend {
public:
    Print::Outcome printPage(const QImage& page, const QString& title) override;

    // Writes `page` as a one-page PDF into `folder` (made when missing) under
    // a name of its own that no file there has yet.
    static Print::Outcome saveAsPdf(const QImage& page, const QString& title,
                                    const QString& folder);

    // The folder saveAsPdf uses when there is no printer.
    static QString documentsFolder();

private:
    static bool paintPage(QPagedPaintDevice& device, const QImage& page);
};

} // namespace velmoran
