#pragma once

#include "data/core/fields.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace velmoran::import {

// What an import did, for the report.
struct ImportReport {
    QString source;      // the Access file
    QString target;      // the store file made from it
    QString table;       // the Access table read
    int jetVersion = 0;  // 3 or 4
    QByteArray encoding; // what its text was decoded from
    quint64 rowsInTable = 0;
    quint64 rowsRead = 0;
    quint64 rowsStored = 0;
    QStringList missing; // fields no column fed: stored empty or 0
    QStringList extra;   // columns ignored
    QString keptAs;      // where the file it replaced was kept; empty if none
};

struct ImportOptions {
    // Replace an existing store file; the old file is kept beside it under
    // another name, so no row is ever deleted.
    bool replace = false;
    // Told the temporary file's path as soon as it exists, so that a caller
    // can remove it should this process die.
    std::function<void(const QString& temporary)> temporaryCreated;
    // Told the rows stored so far and the rows the table holds.
    std::function<void(quint64 stored, quint64 total)> progress;
};

// Brings table `new` of the Access file `mdb` into newil.db in `folder`:
// every row in natural order, each field from the column of its name. The
// file is built under a temporary name in the folder, with the structure
// the program gives a new store, and takes its name only when complete: a
// failure leaves no newil.db and no temporary file. The Access file is only
// read. An existing newil.db is refused unless options.replace. Throws
// ImportError with the Persian message naming the file and the problem.
ImportReport importListings(const QString& mdb, const QString& folder,
                            const ImportOptions& options = {});

// The same for table `pc` of `mdb` into pc.db (mode 600): only its first
// row's passsecurity is taken, the stored password; a table without rows
// leaves the empty password.
ImportReport importPassword(const QString& mdb, const QString& folder,
                            const ImportOptions& options = {});

// The generic import behind both: `firstRowOnly` for table `pc`.
ImportReport importTable(const QString& mdb, const QString& folder, const TableSpec& tableSpec,
                         bool firstRowOnly, const ImportOptions& options);

} // namespace velmoran::import
