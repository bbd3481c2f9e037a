#include "import/sheetimport.h"

#include "data/core/criterion.h"
#include "data/core/storemessages.h"
#include "import/rowpipe.h"
#include "import/sheetfile.h"
#include "import/sheetvalues.h"

#include <QFileInfo>

#include <atomic>
#include <unordered_set>

namespace velmoran::import {

namespace {

constexpr qint64 kProgressRows = 500;

void keep(std::vector<SheetNote>& notes, SheetNote note) {
    if (notes.size() < kKeptNotes) {
        notes.push_back(std::move(note));
    }
}

struct KeyHash {
    std::size_t operator()(const QString& key) const { return qHash(key); }
};

class SheetImport {
public:
    SheetImport(const QString& file, TableStore* store, const SheetImportOptions& options)
        : store_(store), options_(options), reader_(openSheet(file)) {
        report_.file = file;
        report_.note = reader_->note;
        context_.fromCsv =
            QFileInfo(file).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
        context_.dates1904 = reader_->dates1904;
        const TableSpec& listings = listingsTable();
        owner_ = listings.indexOf(QStringLiteral("malek"));
        phone_ = listings.indexOf(QStringLiteral("tel03"));
        address_ = listings.indexOf(QStringLiteral("address"));
        readHeadings(file);
        if (store_ && !options_.keepDuplicates) {
            store_->scan([&](long long, const RowValues& row) {
                stored_.insert(
                    duplicateKey(row.texts[owner_], row.texts[phone_], row.texts[address_]));
                return true;
            });
        }
    }

    SheetImportReport run() {
        try {
            if (options_.dryRun || !store_) {
                RowValues row;
                while (nextRow(row)) {
                }
            } else {
                storeRows();
            }
        } catch (const SheetImportCancelled&) {
            report_.cancelled = true;
            report_.added = 0;
        }
        return report_;
    }

private:
    // The sheet read and checked on a thread of its own while the store
    // takes the rows read before; the progress is told (and a cancel taken)
    // on this thread.
    void storeRows() {
        watched_ = false;
        RowPipe pipe([this](RowValues& row) { return nextRow(row); });
        qint64 taken = 0;
        store_->insertAll([&](RowValues& row) {
            if (options_.progress && ++taken % kProgressRows == 0 &&
                !options_.progress(permille_.load())) {
                throw SheetImportCancelled();
            }
            const bool more = pipe.take(row);
            if (!more && options_.progress && !options_.progress(1000)) {
                throw SheetImportCancelled();
            }
            return more;
        });
    }

    void readHeadings(const QString& file) {
        SheetRow first;
        if (!reader_->next(first)) {
            throw SheetError(sheetMessage(file, QStringLiteral("برگه خالي است")));
        }
        for (const SheetCell& cell : first.cells) {
            report_.headings << cell.text;
        }
        const HeadingMatch match = matchHeadings(report_.headings, options_.map);
        report_.fieldOf = match.fieldOf;
        report_.ownExport = match.ownExport;
        report_.unmatched = match.unmatched;
        report_.repeated = match.repeated;
        if (!match.hasOwner()) {
            throw SheetError(sheetMessage(
                file, QStringLiteral("ستوني براي نام مالك پيدا نشد (عنوانها: %1)؛ با --map عنوان "
                                     "آن را بدهيد")
                          .arg(isolated(report_.headings.join(QStringLiteral("، ")).left(300)))));
        }
    }

    QString headingOf(std::size_t column) const {
        return report_.headings.value(static_cast<qsizetype>(column));
    }

    // The next row to store into `row`; rows refused or skipped on the way
    // are noted. False after the last.
    bool nextRow(RowValues& row) {
        SheetRow sheetRow;
        while (reader_->next(sheetRow)) {
            ++report_.rowsRead;
            if (report_.rowsRead % kProgressRows == 0) {
                permille_ = reader_->progress();
                if (watched_ && options_.progress && !options_.progress(permille_.load())) {
                    throw SheetImportCancelled();
                }
            }
            if (convert(sheetRow, row)) {
                return true;
            }
        }
        if (watched_ && options_.progress && !options_.progress(1000)) {
            throw SheetImportCancelled();
        }
        return false;
    }

    bool convert(const SheetRow& sheetRow, RowValues& row) {
        row.texts.assign(kListingFieldCount, QString());
        row.flags.assign(kListingFieldCount, false);
        std::vector<SheetNote> warnings;
        for (std::size_t c = 0; c < sheetRow.cells.size(); ++c) {
            const SheetCell& cell = sheetRow.cells[c];
            if (cell.text.isEmpty()) {
                continue;
            }
            const int field = c < report_.fieldOf.size() ? report_.fieldOf[c] : -1;
            if (field < 0) {
                continue; // a column the report names as unmatched
            }
            const CellValue value = cellValue(cell, field, context_);
            if (!value.refusal.isEmpty()) {
                ++report_.refusedRows;
                keep(report_.refused, {sheetRow.number, headingOf(c), value.refusal});
                return false;
            }
            if (!value.warning.isEmpty()) {
                warnings.push_back({sheetRow.number, headingOf(c), value.warning});
            }
            row.texts[static_cast<std::size_t>(field)] = value.text;
            row.flags[static_cast<std::size_t>(field)] = value.flag;
        }
        const bool duplicate = !options_.keepDuplicates && store_ &&
                               stored_.count(duplicateKey(row.texts[owner_], row.texts[phone_],
                                                          row.texts[address_])) > 0;
        if (report_.preview.size() < static_cast<std::size_t>(options_.previewRows)) {
            report_.preview.push_back(row);
            report_.previewNumbers.push_back(sheetRow.number);
            report_.previewDuplicate.push_back(duplicate);
        }
        if (duplicate) {
            ++report_.duplicateRows;
            keep(report_.duplicates,
                 {sheetRow.number, QString(),
                  QStringLiteral("فايلي با همين مالك، تلفن و آدرس از قبل ثبت است")});
            return false;
        }
        for (SheetNote& note : warnings) {
            keep(report_.warnings, std::move(note));
        }
        ++report_.added;
        return true;
    }

    TableStore* store_;
    const SheetImportOptions& options_;
    std::unique_ptr<SheetReader> reader_;
    SheetImportReport report_;
    CellContext context_;
    int owner_ = 0, phone_ = 0, address_ = 0;
    std::unordered_set<QString, KeyHash> stored_;
    // Whether nextRow tells the progress itself (on the caller's thread).
    bool watched_ = true;
    std::atomic<int> permille_{0};
};

} // namespace

QString duplicateKey(const QString& owner, const QString& phone, const QString& address) {
    QString key;
    key.reserve(owner.size() + phone.size() + address.size() + 2);
    for (const char32_t c : owner.toUcs4()) {
        const char32_t folded = foldedLetter(c);
        key += QString::fromUcs4(&folded, 1);
    }
    key += QChar(0) + phone + QChar(0) + address;
    return key;
}

SheetImportReport importSheet(const QString& file, TableStore* store,
                              const SheetImportOptions& options) {
    SheetImport import(file, store, options);
    return import.run();
}

} // namespace velmoran::import
