#include "platform/widgets/printqt.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <cups/cups.h>

#include <algorithm>

namespace velmoran {

namespace {

const char* const kNoPage = "تصوير فرم ساخته نشد.";

QPageLayout::Orientation orientationFor(const Print::Page& page) {
    return page.size.width() > page.size.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Draws each page on `device` through a painter scaled to its printable
// area, so the device draws it at its own resolution.
bool paintPage(QPagedPaintDevice& device, const Print::Page& page) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const QRectF area = painter.viewport();
    const qreal scale =
        std::min(area.width() / page.size.width(), area.height() / page.size.height());
    for (int index = 0; index < page.count; ++index) {
        if (index > 0 && !device.newPage()) {
            return false;
        }
        painter.save();
        painter.translate(area.x() + (area.width() - page.size.width() * scale) / 2, area.y());
        painter.scale(scale, scale);
        page.draw(painter, index);
        painter.restore();
    }
    return painter.end();
}

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

bool QtPrintBackend::writePdf(const Print::Page& page, const QString& title, const QString& path,
                              const QPageLayout& layout, int resolution) {
    bool written = false;
    {
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("velmoran"));
        writer.setResolution(resolution);
        QPageLayout oriented = layout;
        oriented.setOrientation(orientationFor(page));
        writer.setPageLayout(oriented);
        written = paintPage(writer, page);
    }
    return written && QFileInfo(path).size() > 0;
}

Print::Outcome QtPrintBackend::printPage(const Print::Page& page, const QString& title) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return saveAsPdf(page, title, documentsFolder());
    }
    return printOn(info, page, title);
}

Print::Outcome QtPrintBackend::printOn(const QPrinterInfo& info, const Print::Page& page,
                                       const QString& title) {
    Print::Outcome outcome;
    if (page.isNull()) {
        outcome.problem = QString::fromUtf8(kNoPage);
        return outcome;
    }
    const QString refused =
        QStringLiteral("چاپگر «%1» كار چاپ را نپذيرفت.").arg(info.printerName());
    // The printer's paper, margins and resolution, as Qt reads them from CUPS.
    const QPrinter printer(info, QPrinter::HighResolution);
    QTemporaryDir spool;
    const QString path = spool.filePath(QStringLiteral("page.pdf"));
    if (!spool.isValid() ||
        !writePdf(page, title, path, printer.pageLayout(), printer.resolution())) {
        outcome.problem = refused + QStringLiteral("\nفايل چاپ در پوشه موقت نوشته نشد.");
        return outcome;
    }
    const QString problem = submitToCups(info.printerName(), path, title);
    if (!problem.isEmpty()) {
        outcome.problem = refused + QLatin1Char('\n') + problem;
        return outcome;
    }
    outcome.kind = Print::Outcome::Printed;
    outcome.where = info.printerName();
    return outcome;
}

QString QtPrintBackend::documentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    return folder;
}

Print::Outcome QtPrintBackend::saveAsPdf(const Print::Page& page, const QString& title,
                                         const QString& folder) {
    Print::Outcome outcome;
    if (page.isNull()) {
        outcome.problem = QString::fromUtf8(kNoPage);
        return outcome;
    }
    if (!QDir().mkpath(folder)) {
        outcome.problem = QStringLiteral("پوشه «%1» ساخته نشد.").arg(folder);
        return outcome;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString path = QDir(folder).filePath(QStringLiteral("velmoran-form-%1.pdf").arg(stamp));
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = QDir(folder).filePath(QStringLiteral("velmoran-form-%1-%2.pdf").arg(stamp).arg(n));
    }
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                         QPageLayout::Millimeter);
    if (!writePdf(page, title, path, a4, 1200)) {
        QFile::remove(path);
        outcome.problem = QStringLiteral("فايل «%1» نوشته نشد.").arg(path);
        return outcome;
    }
    outcome.kind = Print::Outcome::SavedAsPdf;
    outcome.where = path;
    return outcome;
}

namespace Print {

Page widgetPage(QWidget* widget) {
    Page page;
    if (!widget) {
        return page;
    }
    page.size = widget->size();
    // Drawn straight into the painter: on a PDF device the widgets' lines
    // and texts stay vectors and text. (A QPrinter would make Qt draw the
    // widget into a bitmap first; the backend prints through a PDF instead.)
    page.paint = [guard = QPointer<QWidget>(widget)](QPainter& painter) {
        if (guard) {
            guard->render(&painter, QPoint(), QRegion(),
                          QWidget::DrawWindowBackground | QWidget::DrawChildren);
        }
    };
    return page;
}

} // namespace Print

} // namespace velmoran
