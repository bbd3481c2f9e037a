// The import-sheet subcommand: the rows of an .xlsx or .csv added to the
// desk's listings, checked first, all in one transaction.

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/storeerror.h"
#include "data/core/storemessages.h"
#include "data/store/writegate.h"
#include "import/sheetfile.h"
#include "import/sheetimport.h"

#include <QDir>
#include <QFileInfo>

namespace velmoran::cli {

namespace {

void printNotes(Io& io, const std::vector<import::SheetNote>& notes, qint64 total,
                const QString& kind) {
    for (const import::SheetNote& note : notes) {
        io.out << QStringLiteral("رديف %1").arg(note.row);
        if (!note.heading.isEmpty()) {
            io.out << QStringLiteral("، ستون «%1»").arg(isolated(visibleText(note.heading)));
        }
        io.out << QStringLiteral(" (%1): %2").arg(kind, visibleText(note.text)) << '\n';
    }
    if (total > static_cast<qint64>(notes.size())) {
        io.out << QStringLiteral("و %1 رديف ديگر (%2).").arg(total - qint64(notes.size())).arg(kind)
               << '\n';
    }
}

} // namespace

int importSheetCommand(const QStringList& arguments, Io& io) {
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("check every row, store nothing"));
    const QCommandLineOption map(QStringLiteral("map"), QStringLiteral("headings of your own"),
                                 QStringLiteral("FILE"));
    const QCommandLineOption keepDuplicates(QStringLiteral("keep-duplicates"),
                                            QStringLiteral("add rows a stored listing has too"));
    Arguments parsed;
    if (!parseArguments("import-sheet", arguments, {dryRun, map, keepDuplicates}, 1, 1, parsed,
                        io)) {
        return kUsage;
    }
    const QString file = parsed.positional.front();
    import::SheetImportOptions options;
    options.dryRun = parsed.parser.isSet(dryRun);
    options.keepDuplicates = parsed.parser.isSet(keepDuplicates);
    // Read (or added to) as of one moment, beside the program and the other
    // desks; a restore waits meanwhile.
    StoreLocation store;
    FolderLock lock;
    if (const int status = sharedDeskStore(parsed, store, lock, io)) {
        return status;
    }
    import::SheetImportReport report;
    try {
        if (parsed.parser.isSet(map)) {
            options.map = import::readHeadingMap(parsed.parser.value(map));
        }
        std::unique_ptr<TableStore> table;
        if (!options.dryRun) {
            // A damaged file is refused before anything touches it.
            passWriteGate(store, listingsTable());
            const QString problem = prepareStore(store, listingsTable());
            if (!problem.isEmpty()) {
                return fail(io, problem);
            }
        }
        if (!options.dryRun || store.onServer() ||
            QFileInfo::exists(
                QDir(store.folder).filePath(QString::fromUtf8(listingsTable().fileName)))) {
            table = openTableStore(store, listingsTable(),
                                   options.dryRun ? StoreAccess::ReadOnly : StoreAccess::ReadWrite);
        }
        report = import::importSheet(file, table.get(), options);
    } catch (const import::SheetError& e) {
        return fail(io, e.message() + QStringLiteral(" چيزي ذخيره نشد."));
    } catch (const StoreError& e) {
        return fail(io,
                    QStringLiteral("فايلهاي %1 افزوده نشد: %2 چيزي ذخيره نشد.")
                        .arg(isolatedPath(file), e.message()),
                    storeFailure(e));
    }
    if (!report.note.isEmpty()) {
        io.out << report.note << '\n';
    }
    for (const QString& column : report.unmatched) {
        io.out << QStringLiteral("ستون «%1» با هيچ فيلدي جور نشد و خوانده نشد.")
                      .arg(isolated(visibleText(column)))
               << '\n';
    }
    for (const import::HeadingMatch::Repeated& column : report.repeated) {
        io.out << QStringLiteral("ستون «%1» به فيلد %2 مي خورد كه ستون %3 آن را مي دهد؛ خوانده "
                                 "نشد.")
                      .arg(isolated(visibleText(column.column)), isolated(column.field))
                      .arg(column.firstColumn)
               << '\n';
    }
    printNotes(io, report.refused, report.refusedRows, QStringLiteral("پذيرفته نشد"));
    printNotes(io, report.duplicates, report.duplicateRows, QStringLiteral("تكراري، افزوده نشد"));
    printNotes(io, report.warnings, qint64(report.warnings.size()), QStringLiteral("هشدار"));
    if (options.dryRun) {
        io.out << QStringLiteral("آزمايشي: %1 فايل از %2 افزوده مي شد؛ چيزي ذخيره نشد.")
                      .arg(report.added)
                      .arg(isolatedPath(file));
    } else {
        io.out
            << QStringLiteral("%1 فايل از %2 افزوده شد.").arg(report.added).arg(isolatedPath(file));
    }
    if (report.refusedRows > 0 || report.duplicateRows > 0) {
        io.out << QStringLiteral(" %1 رديف پذيرفته نشد و %2 رديف تكراري بود.")
                      .arg(report.refusedRows)
                      .arg(report.duplicateRows);
    }
    io.out << '\n';
    return kOk;
}

} // namespace velmoran::cli
