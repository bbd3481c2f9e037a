#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmoran {

struct StoreLocation;

// Writes the agency's listings into a file its spreadsheet program opens:
// every listing of the store (newil.db, or the server's table) in the order
// it was stored, one column per
// field (exportHeadings() on the first row), text as it is, a flag as a tick
// (U+2713) when set and empty when not.
//  - .xlsx through libxlsxwriter: one sheet read right to left, the heading
//    row bold and frozen, every value a text cell (a price stays as typed);
//  - .csv: UTF-8 with a byte-order mark, fields separated by commas and
//    quoted where they hold a comma, a quote or a line break (RFC 4180),
//    lines ended by CR LF.
// The file is written under a temporary name beside it and takes its name
// when complete; an existing file of that name is replaced.
enum class ExportFormat { Xlsx, Csv };

// The format a file's name asks for (.xlsx or .csv, any case); none for
// another name.
std::optional<ExportFormat> exportFormatOf(const QString& file);

struct ExportResult {
    qint64 rows = 0;
    QString error;        // the Persian message naming the file; empty on success
    QStringList warnings; // values a spreadsheet can't hold whole, cut
    bool ok() const { return error.isEmpty(); }
};

// Told the listings written so far.
using ExportProgress = std::function<void(qint64 rows)>;

// The listings of `store`: the data folder's file, or the server's table.
ExportResult exportListings(const StoreLocation& store, const QString& file, ExportFormat format,
                            const ExportProgress& progress = {});

// A spreadsheet cell holds at most this many characters; longer text is cut
// in an .xlsx (with a warning), kept whole in a .csv.
constexpr int kXlsxCellCharacters = 32767;

} // namespace velmoran
