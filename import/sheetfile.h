#pragma once

#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

// The rows of a spreadsheet an agency brings over: the first sheet of an
// .xlsx or the lines of a .csv, read one row at a time so a large file is
// never held whole.
namespace velmoran::import {

// One cell as the sheet holds it. A spreadsheet that took a typed value for a
// number or a date keeps the number; `text` is then its digits as written in
// the file (a date's serial number, "1.25E+07").
struct SheetCell {
    enum class Kind { Text, Number, Date, Boolean, Error };
    Kind kind = Kind::Text;
    QString text;
};

// One row of the sheet: its number there (from 1) and its cells by column
// (from 0; an empty cell is an empty text).
struct SheetRow {
    qint64 number = 0;
    std::vector<SheetCell> cells;
};

// A file that can't be read as a sheet: the Persian message names it.
class SheetError : public std::runtime_error {
public:
    explicit SheetError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The most a sheet may have (Excel's own bounds); a file beyond them is
// refused.
constexpr qint64 kSheetRows = 1048576;
constexpr int kSheetColumns = 16384;
// The longest text a cell is read with; a longer one (a .csv whose quote was
// left open, a crafted file) ends the reading.
constexpr qsizetype kLongestCell = 1 << 20;

class SheetReader {
public:
    virtual ~SheetReader() = default;
    // The next row that has a cell, into `row`; false after the last.
    // Throws SheetError.
    virtual bool next(SheetRow& row) = 0;
    // How far through the file the reading is, from 0 to 1000.
    virtual int progress() const = 0;
    // What the reader did to the file's text on its own, for the report
    // (the .csv converted from Windows-1256); empty when nothing.
    QString note;
    // The workbook counts its dates from 1904 rather than 1900.
    bool dates1904 = false;
};

// Opens `path` by its name's ending (.xlsx or .csv, any case). Throws
// SheetError naming the file.
std::unique_ptr<SheetReader> openSheet(const QString& path);
std::unique_ptr<SheetReader> openXlsx(const QString& path);
std::unique_ptr<SheetReader> openCsv(const QString& path);

// The message for a file that could not be read: `why`, after the file's name.
QString sheetMessage(const QString& path, const QString& why);

} // namespace velmoran::import
