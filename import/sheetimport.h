#pragma once

#include "data/core/tablestore.h"
#include "import/sheetheadings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A spreadsheet an agency brings over, added to the desk's listings: every
// row of its first sheet (or of the .csv) checked, and the sound ones stored
// as new listings in one transaction.
namespace velmoran::import {

// A row the import refused, warned of or skipped as a duplicate: its number
// in the sheet, the heading of the column concerned (empty for the whole
// row) and why.
struct SheetNote {
    qint64 row = 0;
    QString heading;
    QString text;
};

struct SheetImportOptions {
    bool dryRun = false;         // check everything, store nothing
    bool keepDuplicates = false; // add a listing a stored one already has
    HeadingMap map;              // the user's own headings (--map)
    int previewRows = 0;         // how many of the first rows the report holds
    // Told how far the work is (0..1000) now and then; false cancels it and
    // nothing is stored.
    std::function<bool(int permille)> progress;
};

struct SheetImportReport {
    QString file;
    QString note;             // what the reading did on its own (a conversion)
    QStringList headings;     // the sheet's first row
    std::vector<int> fieldOf; // by column: the field it feeds, or -1
    bool ownExport = false;
    QStringList unmatched;                        // the headings that feed no field
    std::vector<HeadingMatch::Repeated> repeated; // columns for a field fed already
    qint64 rowsRead = 0;                          // rows below the headings
    qint64 added = 0;                             // stored (to be stored, on a dry run)
    qint64 refusedRows = 0;
    qint64 duplicateRows = 0;
    bool cancelled = false;
    // The notes, the first kKeptNotes of each kind.
    std::vector<SheetNote> refused, warnings, duplicates;
    // The first previewRows rows as they are stored, with their numbers and
    // whether each is a duplicate.
    std::vector<RowValues> preview;
    std::vector<qint64> previewNumbers;
    std::vector<bool> previewDuplicate;
};

constexpr std::size_t kKeptNotes = 10000;

// A cancel asked for through SheetImportOptions::progress.
struct SheetImportCancelled {};

// Reads `file` and adds its rows to `store` (nullptr: a dry run without the
// duplicate check). A file that can't be read, a sheet without a column for
// the owner, throw SheetError naming the file, and nothing is stored; the
// store's failure throws StoreError, and nothing is stored. A cancel stores
// nothing and returns with `cancelled`.
SheetImportReport importSheet(const QString& file, TableStore* store,
                              const SheetImportOptions& options);

// What the duplicate check compares: the owner as the owner find does
// (foldedLetter), the telephone and the address exactly.
QString duplicateKey(const QString& owner, const QString& phone, const QString& address);

} // namespace velmoran::import
