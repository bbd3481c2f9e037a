#include "import/importtool.h"

#include "data/core/fields.h"
#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/folder/folderlock.h"
#include "data/sqlite/storefiles.h"
#include "import/crashcleanup.h"
#include "import/importer.h"
#include "import/importerror.h"
#include "import/importprotocol.h"
#include "import/importwatch.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace velmoran::import {

namespace {

// The temporary file of the import under way, for the signal handler: plain
// bytes, since a handler may only unlink.
constexpr int kSuffixes = kStoreFileSuffixCount;
constexpr std::size_t kPathRoom = 4096;
char g_temporary[kSuffixes][kPathRoom];

void removeTemporaryNow() {
    for (auto& path : g_temporary) {
        if (path[0] != '\0') {
            ::unlink(path);
        }
    }
}

} // namespace

void removeOnSignal(const QString& path) {
    for (int i = 0; i < kSuffixes; ++i) {
        const QByteArray name = (path + QLatin1String(kStoreFileSuffixes[i])).toLocal8Bit();
        if (path.isEmpty() || static_cast<std::size_t>(name.size()) >= kPathRoom) {
            g_temporary[i][0] = '\0';
        } else {
            std::memcpy(g_temporary[i], name.constData(), name.size() + 1);
        }
    }
}

namespace {

extern "C" void removeTemporaryAndDie(int signal) {
    removeTemporaryNow();
    cleanup::endBy(signal);
}

QString names(const QStringList& list) {
    return list.isEmpty() ? QStringLiteral("ندارد") : list.join(QStringLiteral("، "));
}

// At most `shown` names, then how many more.
QString someNames(const QStringList& list, int shown) {
    if (list.size() <= shown) {
        return names(list);
    }
    return QStringLiteral("%1 و %2 ستون ديگر")
        .arg(list.mid(0, shown).join(QStringLiteral("، ")))
        .arg(list.size() - shown);
}

// How the report names the encoding the text was read from.
QString encodingName(const ImportReport& report) {
    if (report.jetVersion == 4) {
        return QStringLiteral("يونيكد");
    }
    QString name = QString::fromLatin1(report.encoding);
    if (name.startsWith(QLatin1String("CP"))) {
        name = QStringLiteral("Windows-") + name.mid(2);
    }
    return name;
}

QString usage() {
    return QStringLiteral(
        "usage: velmoran-cli import [--replace] [--folder DIR] [--timeout S] NEWIL.mdb [PC.mdb]\n"
        "       velmoran-cli import [--replace] [--folder DIR] [--timeout S] --pc PC.mdb\n");
}

const QCommandLineOption& timeoutOption() {
    static const QCommandLineOption option(
        QStringLiteral("timeout"), QStringLiteral("seconds without progress"), QStringLiteral("S"));
    return option;
}

constexpr int kDefaultStall = 30000;

bool validTimeout(const QCommandLineParser& parser) {
    bool ok = true;
    const double seconds =
        parser.isSet(timeoutOption()) ? parser.value(timeoutOption()).toDouble(&ok) : 1;
    return ok && seconds > 0;
}

} // namespace

QStringList reportLines(const ImportReport& report) {
    QStringList lines;
    lines << QStringLiteral("%1 (Jet %2، جدول %3، متن از %4) ← %5")
                 .arg(isolatedPath(report.source))
                 .arg(report.jetVersion)
                 .arg(report.table, encodingName(report), isolatedPath(report.target));
    lines << QStringLiteral("رديفهاي جدول: %1، خوانده شده: %2، ذخيره شده: %3")
                 .arg(report.rowsInTable)
                 .arg(report.rowsRead)
                 .arg(report.rowsStored);
    lines
        << QStringLiteral("ستونهايي كه نبودند (خالي يا 0 ذخيره شد): %1").arg(names(report.missing));
    lines << QStringLiteral("ستونهاي اضافي (ناديده گرفته شد): %1").arg(names(report.extra));
    if (!report.keptAs.isEmpty()) {
        lines << QStringLiteral("فايل قبلي با اين نام نگه داشته شد: %1")
                     .arg(isolatedPath(report.keptAs));
    }
    return lines;
}

QStringList summaryLines(const ImportReport& report) {
    constexpr int kShown = 8;
    QStringList lines;
    lines << QStringLiteral("فايل %1: %2 رديف از %3 رديف جدول %4 ذخيره شد.")
                 .arg(QFileInfo(report.source).fileName())
                 .arg(report.rowsStored)
                 .arg(report.rowsInTable)
                 .arg(report.table);
    if (!report.missing.isEmpty()) {
        lines << QStringLiteral("ستونهايي كه نبودند (%1): %2")
                     .arg(report.missing.size())
                     .arg(someNames(report.missing, kShown));
    }
    if (!report.extra.isEmpty()) {
        lines << QStringLiteral("ستونهاي اضافي (%1): %2")
                     .arg(report.extra.size())
                     .arg(someNames(report.extra, kShown));
    }
    return lines;
}

void installSignalCleanup() {
    cleanup::installHandler(removeTemporaryAndDie);
}

int stallMilliseconds(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption(timeoutOption());
    parser.parse(QStringList{QStringLiteral("import")} + arguments);
    bool ok = false;
    const double seconds = parser.value(timeoutOption()).toDouble(&ok);
    return ok && seconds > 0 ? static_cast<int>(seconds * 1000) : kDefaultStall;
}

namespace {

// The import's options, for the tool and for what its watcher reads of them.
struct ToolOptions {
    QCommandLineOption replace{QStringLiteral("replace"),
                               QStringLiteral("replace existing store files")};
    QCommandLineOption folder{QStringLiteral("folder"), QStringLiteral("data folder"),
                              QStringLiteral("DIR")};
    QCommandLineOption pc{QStringLiteral("pc"), QStringLiteral("the password file"),
                          QStringLiteral("PC.mdb")};
    QCommandLineOption progress{QStringLiteral("progress")};
    explicit ToolOptions(QCommandLineParser& parser) {
        progress.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({replace, folder, pc, progress, timeoutOption()});
        parser.addPositionalArgument(QStringLiteral("NEWIL.mdb"), QString());
        parser.addPositionalArgument(QStringLiteral("PC.mdb"), QString());
    }
};

} // namespace

QString firstSource(const QStringList& arguments) {
    QCommandLineParser parser;
    const ToolOptions options(parser);
    parser.parse(QStringList{QStringLiteral("import")} + arguments);
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        return positional.front();
    }
    return parser.value(options.pc);
}

int runImportTool(const QStringList& arguments, QTextStream& out, QTextStream& err,
                  ImportSteps* steps) {
    QCommandLineParser parser;
    const ToolOptions toolOptions(parser);
    const QCommandLineOption& replace = toolOptions.replace;
    const QCommandLineOption& folderOption = toolOptions.folder;
    const QCommandLineOption& pcOption = toolOptions.pc;
    const QCommandLineOption& progress = toolOptions.progress;
    if (!parser.parse(QStringList{QStringLiteral("import")} + arguments)) {
        err << parser.errorText() << '\n' << usage();
        return kUsage;
    }
    const QStringList positional = parser.positionalArguments();
    QString listings = positional.value(0);
    QString password = parser.isSet(pcOption) ? parser.value(pcOption) : positional.value(1);
    if (positional.size() > 2 || (parser.isSet(pcOption) && positional.size() > 1) ||
        (listings.isEmpty() && password.isEmpty()) || !validTimeout(parser)) {
        err << usage();
        return kUsage;
    }
    const bool machine = parser.isSet(progress);
    const QString folder = parser.isSet(folderOption) ? parser.value(folderOption) : dataFolder();
    const auto fail = [&](const QString& message, int status = kFailed) {
        if (machine) {
            out << protocol::line(protocol::kError, message) << '\n';
            out.flush();
        }
        err << visibleText(message, true) << '\n';
        err.flush();
        return status;
    };
    if (!ensureDataFolder(folder)) {
        return fail(
            QStringLiteral("پوشه اطلاعات برنامه (%1) ساخته نمي شود.").arg(isolatedPath(folder)));
    }
    // A new store is linked in beside a running program without harm; one
    // replaced must be open nowhere.
    FolderLock lock;
    const FolderLock::Mode mode =
        parser.isSet(replace) ? FolderLock::Mode::Exclusive : FolderLock::Mode::Shared;
    if (!lock.tryLock(folder, mode)) {
        return fail(folderInUseMessage(folder), kFolderInUse);
    }
    struct Job {
        QString source;
        bool isPassword;
    };
    std::vector<Job> jobs;
    if (!listings.isEmpty()) {
        jobs.push_back({listings, false});
    }
    if (!password.isEmpty()) {
        jobs.push_back({password, true});
    }
    // Both refusals come before anything is brought over.
    for (const Job& job : jobs) {
        const TableSpec& tableSpec = job.isPassword ? passwordTable() : listingsTable();
        const QString target = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
        if (!parser.isSet(replace) && QFileInfo::exists(target)) {
            return fail(importMessage(ImportProblem::TargetExists, target) +
                            QStringLiteral(" براي جايگزيني، --replace را بدهيد."),
                        kStoreExists);
        }
    }
    ImportOptions options;
    options.replace = parser.isSet(replace);
    options.temporaryCreated = [&](const QString& temporary) {
        removeOnSignal(temporary);
        if (steps) {
            steps->temporaryMade(temporary);
        }
        if (machine) {
            out << protocol::line(protocol::kTemporary, temporary) << '\n';
            out.flush();
        }
    };
    options.progress = [&](quint64 stored, quint64 total) {
        if (steps) {
            steps->progressed();
        }
        if (machine) {
            out << protocol::line(protocol::kProgress,
                                  QStringLiteral("%1 %2").arg(stored).arg(total))
                << '\n';
            out.flush();
        }
    };
    for (const Job& job : jobs) {
        if (steps) {
            steps->begin(job.source);
        }
        if (machine) {
            out << protocol::line(protocol::kFile, job.source) << '\n';
            out.flush();
        }
        try {
            const ImportReport report = job.isPassword
                                            ? importPassword(job.source, folder, options)
                                            : importListings(job.source, folder, options);
            removeOnSignal(QString());
            // The program shows a short summary in a box; a person at the
            // command line gets the whole report.
            // The Access file's own names (its table, its columns) with
            // their control characters as escapes.
            for (const QString& text : machine ? summaryLines(report) : reportLines(report)) {
                const QString line = visibleText(text);
                out << (machine ? protocol::line(protocol::kReport, line) : line) << '\n';
            }
            out.flush();
        } catch (const ImportError& e) {
            removeOnSignal(QString());
            return fail(e.message(),
                        e.problem() == ImportProblem::TargetExists ? kStoreExists : kFailed);
        }
    }
    return kDone;
}

} // namespace velmoran::import
