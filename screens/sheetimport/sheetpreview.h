#pragma once

#include "data/store/storelocation.h"
#include "import/sheetimport.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace velmoran {

// What adding a spreadsheet to the listings will do, read through before
// anything is stored: the sheet's headings beside the fields they feed, its
// first rows as they will be stored (a duplicate of a stored listing
// marked), the rows refused with their reasons and the warnings, and one
// button that adds them all in one transaction, with a progress window
// whose cancel stores nothing.
class SheetPreview : public QDialog {
    Q_OBJECT
public:
    // `report` is the dry run of `file` against `store`.
    SheetPreview(QWidget* parent, const StoreLocation& store, const QString& file,
                 import::SheetImportReport report);

    // The rows the preview shows.
    static constexpr int kPreviewRows = 50;

    // Adds the rows (the button's work); the listings added, -1 when nothing
    // was (a cancel or a failure, whose message was shown).
    qint64 addRows();

private:
    void fillHeadings();
    void fillPreview();
    void fillNotes();

    StoreLocation store_;
    QString file_;
    import::SheetImportReport report_;
    QLabel* summary_;
    QTableWidget* headings_;
    QTableWidget* preview_;
    QTableWidget* notes_;
    QPushButton* add_;
    QPushButton* close_;
};

// Reads `file` through as a dry run against `store` with a progress window
// (cancel: nothing read); the report, or nothing with the message shown.
std::optional<import::SheetImportReport> checkSheet(QWidget* parent, const StoreLocation& store,
                                                    const QString& file);

} // namespace velmoran
