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
    // `value` without the NUL characters neither file can hold (a sheet
    // would cut the text at the first), with a warning naming the row (from
    // 0, the headings) and the column (from 0) when there were any.
    QString withoutNul(const QString& value, qint64 row, qsizetype column);
    QString error_;
};

// A .csv at `path` (see listingexport.h); error() set when it can't be opened.
std::unique_ptr<SheetWriter> csvWriter(const QString& path);

// An .xlsx at `path`, its scratch files in the folder `scratch`.
std::unique_ptr<SheetWriter> xlsxWriter(const QString& path, const QString& scratch);

// The text a .csv cell holds for `value`: the value itself, or, when a
// spreadsheet would read it as a formula (it begins with =, +, -, @, a tab or
// a CR), the value after an apostrophe; so too a value that begins with
// apostrophes before one of these, which the import would otherwise take
// for the export's own.
QString csvCellText(const QString& value);

// The text an .xlsx cell holds for `value`: each CR LF or lone CR a line
// feed, the line break every reader shows; a text that reads as the format's
// escape of a character (_xHHHH_) with its underscore escaped (_x005F_), so
// that it is read back as it stands.
QString xlsxCellText(const QString& value);

} // namespace velmoran
