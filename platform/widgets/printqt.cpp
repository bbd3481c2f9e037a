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

#include <algorithm>

namespace velmoran {

namespace {

const char* const kNoPage = "تصوير فرم ساخته نشد.";

} // namespace

QPageLayout::Orientation orientationFor(const Print::Page& page) {
    return page.size.width() > page.size.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Draws each page on `device` through a painter scaled to its printable
// area, so the device draws it at its own resolution.
bool paintPages(QPagedPaintDevice& device, const Print::Page& page) {
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
        written = paintPages(writer, page);
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
    const QString problem = sendToPrinter(info, page, title);
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
