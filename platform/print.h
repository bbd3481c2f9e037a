#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QPainter;

namespace velmoran {

// Printing a screen on the default printer. Screens go through
// Print::printPage; the program installs the Qt Print Support backend at
// start (platform/widgets/printqt.h), tests a recorder
// (platform/widgets/printrecorder.h), so no test reaches a real printer.
namespace Print {

// A page as the screen shows it: its size in the screen's pixels and how it
// is drawn. The backend draws it through a painter scaled to the paper, at
// the printer's own resolution, so lines stay lines and texts stay text.
// A document of several such pages (a long table) gives their number and
// draws each by its index instead.
struct Page {
    QSize size;
    std::function<void(QPainter&)> paint; // draws the page at `size`
    int count = 1;
    std::function<void(QPainter&, int index)> paintIndexed; // page `index` of `count`
    bool isNull() const { return size.isEmpty() || (!paint && !paintIndexed) || count < 1; }
    void draw(QPainter& painter, int index) const {
        if (paintIndexed) {
            paintIndexed(painter, index);
        } else {
            paint(painter);
        }
    }
};

// What became of a page.
struct Outcome {
    enum Kind { Printed, SavedAsPdf, Failed };
    Kind kind = Failed;
    QString where;   // Printed: the printer's name; SavedAsPdf: the file's path
    QString problem; // Failed: what went wrong, in Persian
};

class Backend {
public:
    virtual ~Backend() = default;
    // Prints `page` as one page, fitted to the paper; `title` names the job
    // (and a PDF's document).
    virtual Outcome printPage(const Page& page, const QString& title) = 0;
};

// Prints through the installed backend. Without one the outcome is a failure
// that says printing is not available.
Outcome printPage(const Page& page, const QString& title);

void setBackend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> backend();

// The Persian message that tells the user what became of a page: null for a
// page that went to the printer (nothing to say), the file's path for a PDF,
// the problem for a failure.
QString outcomeMessage(const Outcome& outcome);

} // namespace Print
} // namespace velmoran
