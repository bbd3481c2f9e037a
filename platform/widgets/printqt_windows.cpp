#include "platform/widgets/printqt.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace velmoran {

// Drawn through Qt's Windows printing straight onto the printer (the default
// one, or «Microsoft Print to PDF»), its texts as text, at the printer's own
// resolution and inside its margins.
QString sendToPrinter(const QPrinterInfo& info, const Print::Page& page, const QString& title) {
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("velmoran"));
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(orientationFor(page));
    printer.setPageLayout(layout);
    if (!printer.isValid() || !paintPages(printer, page)) {
        return QStringLiteral("چاپگر صفحه را نگرفت.");
    }
    return QString();
}

} // namespace velmoran
