#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmoran {

struct StoreLocation;

// Writes the agency's listings into a file its spreadsheet program opens:
// every listing of the store (newil.db, or the server's table) in the order
// it was stored, one column per
// field (exportHeadings() on the first row), text as it is, a flag as a tick
// (U+2713) when set and empty when not.
//  - .xlsx through libxlsxwriter: one sheet read right to left, every value a
//    text cell (a price stays as typed), each CR LF or CR a line break; each
//    column as wide as its heading and values need, up to a cap beyond which
//    text wraps; the heading row bold, frozen and printed on every page,
//    landscape on A4, one page wide;
//  - .csv: UTF-8 with a byte-order mark, fields separated by commas and
//    quoted where they hold a comma, a quote or a line break (RFC 4180),
//    lines ended by CR LF; a value a spreadsheet would take for a formula
//    (it begins with =, +, -, @, a tab or a CR) after an apostrophe, every
//    other value exactly as stored.
// The file, for the user alone (mode 600), is written under a temporary name
// beside it and takes its name when complete: a failed export leaves nothing.
enum class ExportFormat { Xlsx, Csv };

// What becomes of a file already at the export's name.
enum class ExistingFile { Keep, Replace };

// The format a file's name asks for (.xlsx or .csv, any case); none for
// another name.
std::optional<ExportFormat> exportFormatOf(const QString& file);

struct ExportResult {
    qint64 rows = 0;
    QString error;        // the Persian message naming the file; empty on success
    QStringList warnings; // values a spreadsheet can't hold whole, cut
    bool exists = false;  // the file was there and is kept (error says so)
    bool ok() const { return error.isEmpty(); }
};

// Told the listings written so far.
using ExportProgress = std::function<void(qint64 rows)>;

// The listings of `store`: the data folder's file, or the server's table.
// With `only`, those listings alone, in its order (the rows of a list of
// matches); one deleted meanwhile is left out.
ExportResult exportListings(const StoreLocation& store, const QString& file, ExportFormat format,
                            ExistingFile existing, const ExportProgress& progress = {},
                            const std::vector<long long>* only = nullptr);

// A spreadsheet cell holds at most this many characters; longer text is cut
// in an .xlsx (with a warning), kept whole in a .csv.
constexpr int kXlsxCellCharacters = 32767;

} // namespace velmoran
