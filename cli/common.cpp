#include "cli/common.h"

#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/maintenance/leftovers.h"

#include <cerrno>
#include <cstring>

namespace velmoran::cli {

namespace {

// How long a subcommand waits for another that holds the folder alone only
// to clear its leftovers.
constexpr int kLeftoversWait = 3000;

} // namespace

bool parseArguments(const char* name, const QStringList& arguments,
                    const QList<QCommandLineOption>& own, int minPositional, int maxPositional,
                    Arguments& parsed, Io& io) {
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("data folder"),
                                    QStringLiteral("DIR"));
    parsed.parser.addOption(folder);
    parsed.parser.addOptions(own);
    const auto usage = [&](const QString& error) {
        const Subcommand* subcommand = subcommands().find(QLatin1String(name));
        io.err << error << '\n'
               << QStringLiteral("usage: velmoran-cli ")
               << (subcommand ? QString::fromUtf8(subcommand->usage) : QLatin1String(name)) << '\n';
        return false;
    };
    if (!parsed.parser.parse(QStringList{QStringLiteral("velmoran-cli")} + arguments)) {
        return usage(parsed.parser.errorText());
    }
    parsed.positional = parsed.parser.positionalArguments();
    if (parsed.positional.size() < minPositional || parsed.positional.size() > maxPositional) {
        return usage(QStringLiteral("wrong number of arguments"));
    }
    parsed.folder = parsed.parser.isSet(folder) ? parsed.parser.value(folder) : dataFolder();
    return true;
}

int lockFolder(FolderLock& lock, const QString& folder, FolderLock::Mode mode, Io& io) {
    // The program's own data folder is made as the program makes it at its
    // first start, so the tool works on a fresh install too; a folder named
    // by --folder must be there.
    if (folder == dataFolder()) {
        ensureDataFolder(folder);
    }
    // Alone on the folder, the temporary files of steps killed half-way (a
    // backup's whole copy among them) are known to be nobody's.
    if (lock.tryLock(folder, FolderLock::Mode::Exclusive)) {
        removeLeftovers(folder);
        if (mode == FolderLock::Mode::Exclusive || lock.tryLock(folder, mode)) {
            return kOk;
        }
    }
    // Another velmoran-cli started at the same moment may hold the folder
    // alone for that clearing of leftovers, or may take it between the two
    // steps above (flock lets go of a lock before it changes its mode): a
    // shared step waits a moment for it rather than take it for a restore
    // at work. A step that needs the folder alone is refused at once.
    if (mode == FolderLock::Mode::Shared ? lock.lock(folder, mode, kLeftoversWait)
                                         : lock.tryLock(folder, mode)) {
        return kOk;
    }
    if (errno == EWOULDBLOCK) {
        return fail(io, folderInUseMessage(folder), kFolderInUse);
    }
    return fail(io, QStringLiteral("پوشه اطلاعات %1 باز نشد: %2")
                        .arg(isolatedPath(folder), systemError(errno)));
}

int deskStore(const Arguments& parsed, StoreLocation& store, Io& io) {
    QString problem;
    store = configuredStore(&problem);
    if (!problem.isEmpty()) {
        return fail(io, problem);
    }
    store.folder = parsed.folder;
    return kOk;
}

int sharedDeskStore(const Arguments& parsed, StoreLocation& store, FolderLock& lock, Io& io) {
    if (const int status = deskStore(parsed, store, io)) {
        return status;
    }
    if (store.onServer()) {
        return kOk;
    }
    return lockFolder(lock, parsed.folder, FolderLock::Mode::Shared, io);
}

int storeFailure(const StoreError& error) {
    switch (error.kind()) {
    case StoreError::Kind::WritesStopped:
        return kDamageFound;
    case StoreError::Kind::NoAnswer:
        return kNoAnswer;
    case StoreError::Kind::Store:
    case StoreError::Kind::Criterion:
        break;
    }
    return kFailed;
}

int fail(Io& io, const QString& message, int status) {
    // A message may quote a file's text: its control characters as escapes.
    io.err << visibleText(message, true) << '\n';
    io.err.flush();
    return status;
}

} // namespace velmoran::cli
