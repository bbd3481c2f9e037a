#include "app/startupimport.h"

#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/sqlite/storefiles.h"
#include "import/importerror.h"
#include "import/importprotocol.h"
#include "import/importtool.h"
#include "import/tooloutput.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

namespace velmoran {

namespace {

using import::ImportProblem;
namespace protocol = import::protocol;

QString g_toolPath;
int g_timeout = 30000;

// What the program allows the tool beyond its own time limit, and how much
// error output it takes before it ends a tool that floods it.
constexpr int kTimeoutGrace = 3000;
constexpr qint64 kErrorOutputLimit = 8 * 1024 * 1024;

// What the tool said on its standard output, line by line.
struct ToolState {
    QString currentFile;
    QStringList temporaries;
    QStringList report;
    QString error;
};

QString title() {
    return QStringLiteral("انتقال اطلاعات از اكسس");
}

bool fail(const QString& message) {
    MessageBox::show(message, title(), MessageBox::Icon::Critical, MessageBox::Buttons::Ok);
    return false;
}

// What the tool said last on its error output, for the end of a message: at
// most three distinct lines, not the reading library's page of warnings.
QString lastWords(const QByteArray& errorOutput) {
    return isolated(import::lastDistinctLines(QString::fromUtf8(errorOutput)));
}

// Removes what a tool that didn't finish may have left.
void removeTemporaries(const QStringList& temporaries) {
    for (const QString& temporary : temporaries) {
        removeStoreFiles(temporary);
    }
}

void readLines(QProcess& process, ToolState& state, QProgressDialog& dialog) {
    while (process.canReadLine()) {
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        const protocol::Message message = protocol::parse(line);
        if (message.word == QLatin1String(protocol::kFile)) {
            state.currentFile = message.payload;
            dialog.setLabelText(QStringLiteral("انتقال اطلاعات فايل %1 ...")
                                    .arg(QFileInfo(message.payload).fileName()));
            dialog.setRange(0, 0);
        } else if (message.word == QLatin1String(protocol::kTemporary)) {
            state.temporaries << message.payload;
        } else if (message.word == QLatin1String(protocol::kProgress)) {
            const QStringList numbers = message.payload.split(QLatin1Char(' '));
            const int stored = numbers.value(0).toInt();
            const int total = numbers.value(1).toInt();
            dialog.setRange(0, qMax(total, 1));
            dialog.setValue(qMin(stored, qMax(total, 1)));
        } else if (message.word == QLatin1String(protocol::kReport)) {
            state.report << message.payload;
        } else if (message.word == QLatin1String(protocol::kError)) {
            state.error = message.payload;
        }
    }
}

} // namespace

QString importToolPath() {
    if (!g_toolPath.isEmpty()) {
        return g_toolPath;
    }
    return QCoreApplication::applicationDirPath() + QStringLiteral("/velmoran-cli");
}

void setImportToolPath(const QString& path) {
    g_toolPath = path;
}

int importTimeout() {
    return g_timeout;
}

void setImportTimeout(int milliseconds) {
    g_timeout = milliseconds;
}

bool importWaitingAccessFiles(const QString& folder) {
    import::PendingImports pending = import::pendingImports(folder);
    // Where the Access files are: the data folder, or the old program's own
    // folder, whose files are brought over when the user agrees.
    QString source = folder;
    if (!pending.any()) {
        source = formerProgramFolder();
        if (source.isEmpty() || !(pending = import::pendingImports(folder, source)).any() ||
            MessageBox::show(QStringLiteral("فايلهاي برنامه قبلي در پوشه %1 پيدا شد.\n"
                                            "اطلاعات آنها به اين برنامه منتقل شود؟ "
                                            "(فايلهاي اكسس فقط خوانده مي شوند.)")
                                 .arg(isolatedPath(QDir::toNativeSeparators(source))),
                             title(), MessageBox::Icon::None,
                             MessageBox::Buttons::YesNo) != MessageBox::vbYes) {
            return true;
        }
    }
    QStringList arguments{QStringLiteral("import"), QStringLiteral("--progress"),
                          QStringLiteral("--folder"), folder};
    if (!pending.listings.isEmpty()) {
        arguments << pending.listings;
    }
    if (!pending.password.isEmpty()) {
        arguments << QStringLiteral("--pc") << pending.password;
    }
    arguments << QStringLiteral("--timeout") << QString::number(g_timeout / 1000.0);

    QProgressDialog dialog;
    dialog.setObjectName(QStringLiteral("importProgress"));
    dialog.setWindowTitle(title());
    dialog.setLabelText(QStringLiteral("انتقال اطلاعات از فايلهاي اكسس ..."));
    dialog.setCancelButtonText(QStringLiteral("انصراف"));
    dialog.setRange(0, 0);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.show();

    QProcess process;
    process.setProgram(importToolPath());
    process.setArguments(arguments);
    ToolState state;
    QByteArray errorOutput;
    bool cancelled = false;
    // The watchdog: a tool that says nothing for too long, or floods its
    // error output, is stuck in a file it can't read.
    QString stuck;
    qint64 errorBytes = 0;
    QElapsedTimer quiet;
    quiet.start();
    QTimer watchdog;
    QEventLoop loop;
    const auto end = [&](const QString& why) {
        if (stuck.isEmpty()) {
            stuck = why;
            process.kill();
        }
    };
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        if (quiet.elapsed() > g_timeout + kTimeoutGrace) {
            end(QStringLiteral("در %1 ثانيه هيچ پيش نرفت.").arg(g_timeout / 1000.0));
        }
    });
    watchdog.start(100);
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        quiet.restart();
        readLines(process, state, dialog);
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
        // The reading library's own words, for a crash's message.
        const QByteArray more = process.readAllStandardError();
        errorBytes += more.size();
        errorOutput = (errorOutput + more).right(2000);
        if (errorBytes > kErrorOutputLimit) {
            end(QStringLiteral("برنامه خواندن آن بيش از %1 مگابايت پيام خطا نوشت.")
                    .arg(kErrorOutputLimit / (1024 * 1024)));
        }
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            loop.quit();
        }
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        process.kill();
    });
    process.start();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart) {
        loop.exec();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    watchdog.stop();
    readLines(process, state, dialog);
    dialog.hide();

    if (process.error() == QProcess::FailedToStart) {
        return fail(QStringLiteral("برنامه انتقال اطلاعات (%1) اجرا نشد: %2")
                        .arg(isolatedPath(process.program()), isolated(process.errorString())));
    }
    const bool exited =
        !cancelled && stuck.isEmpty() && process.exitStatus() == QProcess::NormalExit;
    if (!exited || process.exitCode() != import::kDone) {
        removeTemporaries(state.temporaries);
        if (cancelled) {
            return false;
        }
        if (exited && process.exitCode() == import::kStoreExists) {
            // Another copy of the program, started at the same moment, made
            // the store first: it is checked as any existing store.
            return true;
        }
        // The program ends; at the next start the file is tried again.
        const QString advice =
            QStringLiteral("\n\nبرنامه بسته مي شود. فايل را درست كنيد يا آن را از پوشه %1 "
                           "برداريد و برنامه را دوباره اجرا كنيد.")
                .arg(isolatedPath(QDir::toNativeSeparators(source)));
        const QString file =
            state.currentFile.isEmpty()
                ? (pending.listings.isEmpty() ? pending.password : pending.listings)
                : state.currentFile;
        if (!stuck.isEmpty()) {
            return fail(import::importMessage(ImportProblem::Unreadable, file, stuck) + advice);
        }
        if (!exited) {
            return fail(import::importMessage(ImportProblem::Interrupted, file,
                                              QStringLiteral("برنامه خواندن آن از كار افتاد.\n%1")
                                                  .arg(lastWords(errorOutput))) +
                        advice);
        }
        return fail(
            (state.error.isEmpty()
                 ? QStringLiteral("انتقال اطلاعات انجام نشد:\n%1").arg(lastWords(errorOutput))
                 : state.error) +
            advice);
    }
    MessageBox::show(QStringLiteral("اطلاعات فايلهاي اكسس به برنامه منتقل شد.\n\n") +
                         state.report.join(QLatin1Char('\n')),
                     title(), MessageBox::Icon::None, MessageBox::Buttons::Ok);
    return true;
}

} // namespace velmoran
