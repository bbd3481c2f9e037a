#include "import/importer.h"

#include "import/fieldmapping.h"
#include "import/importerror.h"
#include "import/mdbreader.h"
#include "import/storebuilder.h"

#include <QDir>
#include <QFileInfo>

namespace velmoran::import {

namespace {

// Rows between two progress reports.
constexpr quint64 kProgressRows = 500;

} // namespace

ImportReport importTable(const QString& mdb, const QString& folder, const TableSpec& tableSpec,
                         bool firstRowOnly, const ImportOptions& options) {
    ImportReport report;
    report.source = mdb;
    report.target = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    // Refused before anything is read: the user learns it at once.
    if (!options.replace && QFileInfo::exists(report.target)) {
        throw ImportError(ImportProblem::TargetExists, report.target);
    }
    MdbDatabase database(mdb);
    std::unique_ptr<MdbTable> table = database.openTable(QString::fromUtf8(tableSpec.table));
    report.table = table->name();
    report.jetVersion = database.header().jetVersion;
    report.encoding = database.textEncoding();
    report.rowsInTable = table->declaredRows();
    const FieldMapping mapping(tableSpec, table->columns());
    report.missing = mapping.missing();
    report.extra = mapping.extra();

    StoreBuilder store(folder, tableSpec);
    if (options.temporaryCreated) {
        options.temporaryCreated(store.temporaryPath());
    }
    const quint64 total = firstRowOnly ? qMin<quint64>(report.rowsInTable, 1) : report.rowsInTable;
    if (options.progress) {
        options.progress(0, total);
    }
    MdbRow row;
    std::vector<FieldValue> values;
    if (firstRowOnly) {
        if (table->next(row)) {
            report.rowsRead = 1;
            mapping.map(row, values);
            store.setFirstRow(values);
            report.rowsStored = 1;
        }
    } else {
        while (table->next(row)) {
            ++report.rowsRead;
            mapping.map(row, values);
            store.append(values);
            ++report.rowsStored;
            if (options.progress && report.rowsStored % kProgressRows == 0) {
                options.progress(report.rowsStored, qMax(total, report.rowsStored));
            }
        }
    }
    report.keptAs = store.finish(options.replace);
    if (options.progress) {
        options.progress(report.rowsStored, qMax(total, report.rowsStored));
    }
    return report;
}

ImportReport importListings(const QString& mdb, const QString& folder,
                            const ImportOptions& options) {
    return importTable(mdb, folder, listingsTable(), false, options);
}

ImportReport importPassword(const QString& mdb, const QString& folder,
                            const ImportOptions& options) {
    return importTable(mdb, folder, passwordTable(), true, options);
}

} // namespace velmoran::import
