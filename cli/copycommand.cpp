// velmoran-cli copy: moving an agency's listings and password up to the
// PostgreSQL server its desks share, and back down into SQLite files.
//
//   copy [--folder DIR] [--server CONNINFO] [--replace] --to-server
//   copy [--server CONNINFO] [--replace] --from-server DIR
//
// The server is the one the configuration file names ([store] server=), or
// CONNINFO.

#include "cli/commands.h"
#include "cli/common.h"
#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/maintenance/storecopy.h"
#include "data/postgres/pgconnection.h"
#include "data/store/storelocation.h"
#include "data/store/writegate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>

namespace velmoran::cli {

const char* const kCopyDetailsEn =
    "--to-server copies newil.db and pc.db of the data folder into the server's tables\n"
    "(made there when missing), in one transaction, every row with its id so the order\n"
    "is kept, the applicants kept in newil.db with them. A server that already holds\n"
    "listings, applicants or a password is refused (exit 3)\n"
    "unless --replace. --from-server writes the server's tables, as one snapshot, into\n"
    "newil.db and pc.db of DIR (made, for its owner only, when missing): a copy to keep,\n"
    "or a folder for a single desk. Files already in DIR are refused (exit 3) unless --replace, "
    "which\n"
    "keeps each beside it as <name>.before-copy-<time>. The server is the one\n"
    "velmoran.conf names, or CONNINFO (a libpq connection string; a password comes from\n"
    "~/.pgpass, never from the command line). Both print the rows copied.";
const char* const kCopyDetailsFa =
    "--to-server فايلهاي newil.db و pc.db پوشه اطلاعات را در يك تراكنش به جدولهاي سرور\n"
    "(كه اگر نباشند ساخته مي شوند) كپي مي كند؛ هر رديف با شماره خودش، پس ترتيب فايلها مي ماند؛\n"
    "متقاضيان newil.db هم با آنها مي روند. اگر روي سرور از قبل فايل، متقاضي يا رمز باشد\n"
    "پذيرفته نمي شود (كد 3) مگر با --replace.\n"
    "--from-server جدولهاي سرور را، همه از يك لحظه، در newil.db و pc.db پوشه DIR مي نويسد\n"
    "(پوشه اگر نباشد فقط براي صاحب آن ساخته مي شود): نسخه اي براي نگهداري، يا پوشه اي براي\n"
    "يك ميز تنها.\n"
    "فايلهايي كه در DIR باشند جايگزين نمي شوند (كد 3) مگر با --replace، كه هر كدام را با نام\n"
    "<نام>.before-copy-<زمان> كنار آن نگه مي دارد. سرور همان است كه velmoran.conf مي گويد،\n"
    "يا CONNINFO (رشته اتصال libpq؛ رمز از ~/.pgpass مي آيد، نه از خط فرمان). هر دو تعداد\n"
    "رديفهاي كپي شده را مي نويسند.";

int copyCommand(const QStringList& arguments, Io& io) {
    const QCommandLineOption toServer(QStringLiteral("to-server"),
                                      QStringLiteral("copy the data folder up to the server"));
    const QCommandLineOption fromServer(QStringLiteral("from-server"),
                                        QStringLiteral("copy the server's store into DIR"),
                                        QStringLiteral("DIR"));
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("the server, as a libpq connection string"),
                                    QStringLiteral("CONNINFO"));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("replace what the target holds"));
    Arguments parsed;
    if (!parseArguments("copy", arguments, {toServer, fromServer, server, replace}, 0, 0, parsed,
                        io)) {
        return kUsage;
    }
    if (parsed.parser.isSet(toServer) == parsed.parser.isSet(fromServer)) {
        io.err << QStringLiteral("one of --to-server and --from-server DIR is needed") << '\n';
        return kUsage;
    }
    QString conninfo = parsed.parser.value(server);
    if (conninfo.isEmpty()) {
        QString problem;
        conninfo = configuredStore(&problem).server;
        if (!problem.isEmpty()) {
            return fail(io, problem);
        }
        if (conninfo.isEmpty()) {
            return fail(io,
                        QStringLiteral("فايل تنظيمات %1 سروري نام نمي برد ([store] server=)؛ "
                                       "سرور را با --server بدهيد.")
                            .arg(isolatedPath(configFilePath())),
                        kUsage);
        }
    }
    CopyOptions options;
    options.replace = parsed.parser.isSet(replace);
    const bool up = parsed.parser.isSet(toServer);
    const QString folder = up ? parsed.folder : parsed.parser.value(fromServer);
    // A folder to copy down into is made, for the owner alone: it will hold
    // the agency's listings.
    if (!up && !QFileInfo::exists(folder)) {
        if (!makePrivateFolder(folder)) {
            return fail(io, QStringLiteral("پوشه %1 ساخته نشد: %2")
                                .arg(isolatedPath(folder), systemError(errno)));
        }
    }
    // Read while the program may run on the folder; written only by itself.
    FolderLock lock;
    if (const int status = lockFolder(
            lock, folder, up ? FolderLock::Mode::Shared : FolderLock::Mode::Exclusive, io)) {
        return status;
    }
    try {
        // What goes up to the server is read from files that read through
        // sound: a damaged file's rows would carry its damage to every desk.
        if (up) {
            for (const TableSpec* tableSpec : {&listingsTable(), &passwordTable()}) {
                passWriteGate(StoreLocation{folder, QString()}, *tableSpec);
            }
        }
        const CopyCounts counts = up ? copyToServer(folder, conninfo, options)
                                     : copyFromServer(conninfo, folder, options);
        const QString server = isolated(pg::displayName(conninfo));
        io.out << (up ? QStringLiteral("%1 فايل، %2 متقاضي و %3 رديف رمز به سرور %4 كپي شد.")
                            .arg(counts.listings)
                            .arg(counts.applicants)
                            .arg(counts.passwords)
                            .arg(server)
                      : QStringLiteral(
                            "%1 فايل، %2 متقاضي و %3 رديف رمز از سرور %4 در پوشه %5 نوشته شد.")
                            .arg(counts.listings)
                            .arg(counts.applicants)
                            .arg(counts.passwords)
                            .arg(server, isolatedPath(folder)))
               << '\n';
        io.out << QStringLiteral("listings: %1, passwords: %2, applicants: %3")
                      .arg(counts.listings)
                      .arg(counts.passwords)
                      .arg(counts.applicants)
               << '\n';
    } catch (const CopyError& e) {
        return fail(io, e.message(),
                    e.kind() == CopyError::Kind::NotEmpty ? kStoreExists : kFailed);
    } catch (const StoreError& e) {
        return fail(io, e.message() + QStringLiteral(" چيزي كپي نشد."), storeFailure(e));
    }
    return kOk;
}

} // namespace velmoran::cli
