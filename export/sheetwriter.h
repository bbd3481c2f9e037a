#pragma once

// The two output formats of the export, behind one interface: a heading
// row, then a row per listing.

#include <QString>
#include <QStringList>

#include <memory>

namespace velmoran {

class SheetWriter {
public:
    virtual ~SheetWriter() = default;
    // False with error() set when the row can't be written.
    virtual bool write(const QStringList& values) = 0;
    // Completes the file; false with error() set.
    virtual bool finish() = 0;
    const QString& error() const { return error_; }
    QStringList warnings;

protected:
    QString error_;
};

// A .csv at `path` (see listingexport.h); error() set when it can't be opened.
std::unique_ptr<SheetWriter> csvWriter(const QString& path);

// An .xlsx at `path`, its scratch files in the folder `scratch`.
std::unique_ptr<SheetWriter> xlsxWriter(const QString& path, const QString& scratch);

// The text a .csv cell holds for `value`: the value itself, or, when a
// spreadsheet would read it as a formula (it begins with =, +, -, @, a tab or
// a CR), the value after an apostrophe.
QString csvCellText(const QString& value);

// The text an .xlsx cell holds for `value`: each CR LF or lone CR a line
// feed, the line break every reader shows.
QString xlsxCellText(const QString& value);

} // namespace velmoran
