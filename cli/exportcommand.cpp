// The export subcommand: every listing into an .xlsx or a .csv file.

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/storemessages.h"
#include "export/listingexport.h"

namespace velmoran::cli {

int exportCommand(const QStringList& arguments, Io& io) {
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("replace an existing FILE"));
    Arguments parsed;
    if (!parseArguments("export", arguments, {replace}, 1, 1, parsed, io)) {
        return kUsage;
    }
    const QString file = parsed.positional.front();
    const std::optional<ExportFormat> format = exportFormatOf(file);
    if (!format) {
        io.err << QStringLiteral("the file's name must end in .xlsx or .csv: %1\n").arg(file)
               << QStringLiteral("usage: velmoran-cli ")
               << QString::fromUtf8(subcommands().find(QStringLiteral("export"))->usage) << '\n';
        return kUsage;
    }
    // Read (or added to) as of one moment, beside the program and the other
    // desks; a restore waits meanwhile.
    StoreLocation store;
    FolderLock lock;
    if (const int status = sharedDeskStore(parsed, store, lock, io)) {
        return status;
    }
    const ExportResult result =
        exportListings(store, file, *format,
                       parsed.parser.isSet(replace) ? ExistingFile::Replace : ExistingFile::Keep);
    for (const QString& warning : result.warnings) {
        io.err << warning << '\n';
    }
    if (result.exists) {
        return fail(io, result.error + QStringLiteral(" براي جايگزيني، --replace را بدهيد."),
                    kStoreExists);
    }
    if (!result.ok()) {
        return fail(io, result.error);
    }
    io.out << QStringLiteral("%1 فايل در %2 نوشته شد.").arg(result.rows).arg(isolatedPath(file))
           << '\n';
    return kOk;
}

} // namespace velmoran::cli
