#include "platform/widgets/printqt.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace velmoran {

namespace {

QPageLayout::Orientation orientationFor(const QImage& page) {
    return page.width() > page.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

bool QtPrintBackend::paintPage(QPagedPaintDevice& device, const QImage& page) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    // The form keeps its proportions: as large as the paper allows, at the
    // top, centred across.
    const QRect area = painter.viewport();
    QSize size = page.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y(), size.width(),
                       size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, page);
    return painter.end();
}

Print::Outcome QtPrintBackend::printPage(const QImage& page, const QString& title) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return saveAsPdf(page, title, documentsFolder());
    }
    Print::Outcome outcome;
    if (page.isNull()) {
        outcome.problem = QStringLiteral("تصوير فرم ساخته نشد.");
        return outcome;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageOrientation(orientationFor(page));
    if (!paintPage(printer, page) || printer.printerState() == QPrinter::Error) {
        outcome.problem = QStringLiteral("چاپگر «%1» كار چاپ را نپذيرفت.").arg(info.printerName());
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

Print::Outcome QtPrintBackend::saveAsPdf(const QImage& page, const QString& title,
                                         const QString& folder) {
    Print::Outcome outcome;
    if (page.isNull()) {
        outcome.problem = QStringLiteral("تصوير فرم ساخته نشد.");
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
    bool written = false;
    {
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("velmoran"));
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(orientationFor(page));
        written = paintPage(writer, page);
    }
    if (!written || QFileInfo(path).size() == 0) {
        QFile::remove(path);
        outcome.problem = QStringLiteral("فايل «%1» نوشته نشد.").arg(path);
        return outcome;
    }
    outcome.kind = Print::Outcome::SavedAsPdf;
    outcome.where = path;
    return outcome;
}

} // namespace velmoran
