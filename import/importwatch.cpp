#include "import/importwatch.h"

#include "data/core/storemessages.h"
#include "data/sqlite/storefiles.h"
#include "import/importerror.h"
#include "import/importprotocol.h"
#include "import/importtool.h"
#include "import/readingchild.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace velmoran::import {

using watch::ChildEnd;
using watch::ReadingChild;
using watch::writeOut;

namespace {

// Names the parent of the reading child: set for the child alone.
constexpr char kChildVariable[] = "VELMORAN_READING_CHILD";

// The library's output: each line once when repeated, a bounded amount.
class Forwarder {
public:
    // False when the whole output grew past `limit`.
    bool take(const char* data, qsizetype size, qint64 limit) {
        total_ += size;
        if (total_ > limit) {
            return false;
        }
        pending_.append(data, size);
        qsizetype start = 0;
        for (qsizetype end; (end = pending_.indexOf('\n', start)) >= 0; start = end + 1) {
            pass(pending_.mid(start, end + 1 - start));
        }
        pending_.remove(0, start);
        if (pending_.size() > kForwardedBytes) {
            pending_.clear(); // a line without end: not shown
        }
        return true;
    }
    void finish() {
        if (!pending_.isEmpty()) {
            pass(pending_ + '\n');
            pending_.clear();
        }
    }

private:
    void pass(const QByteArray& line) {
        if (line != previous_ && forwarded_ + line.size() <= kForwardedBytes) {
            writeOut(watch::kStandardError, line);
            forwarded_ += line.size();
        }
        previous_ = line;
    }
    QByteArray pending_;
    QByteArray previous_;
    qint64 total_ = 0;
    qint64 forwarded_ = 0;
};

// What the child told on descriptor 5.
struct ChildSteps {
    QByteArray pending;
    QString file;
    QStringList temporaries;
    void take(const char* data, qsizetype size) {
        pending.append(data, size);
        qsizetype start = 0;
        for (qsizetype end; (end = pending.indexOf('\n', start)) >= 0; start = end + 1) {
            const protocol::Message message =
                protocol::parse(QString::fromUtf8(pending.mid(start, end - start)));
            if (message.word == QLatin1String(protocol::kFile)) {
                file = message.payload;
            } else if (message.word == QLatin1String(protocol::kTemporary)) {
                temporaries << message.payload;
            }
        }
        pending.remove(0, start);
    }
};

// The most an Access file holds: Access writes nothing past it, so a file
// that has grown to it is most often cut off at it, and the reading library
// fails on the pages it can't find.
constexpr qint64 kAccessLimit = qint64(2) << 30;
constexpr qint64 kAtTheLimit = kAccessLimit - (qint64(1) << 20);

QString crashedMessage(const QString& file) {
    if (file.isEmpty()) {
        return QStringLiteral("انتقال اطلاعات انجام نشد: برنامه خواندن فايلهاي اكسس از كار افتاد.");
    }
    const qint64 size = QFileInfo(file).size();
    if (size >= kAtTheLimit) {
        return importMessage(ImportProblem::Unreadable, file,
                             QStringLiteral("فايل به مرز 2 گيگابايتي اكسس رسيده است (%1 بايت)؛ "
                                            "اكسس در اين اندازه چيزي به فايل نمي افزايد و فايل "
                                            "معمولا ناقص مانده است. آن را در اكسس فشرده و ترميم "
                                            "(%2) كنيد.")
                                 .arg(size)
                                 .arg(isolated(QStringLiteral("Compact and Repair"))));
    }
    return importMessage(ImportProblem::Unreadable, file,
                         QStringLiteral("برنامه خواندن آن از كار افتاد."));
}

// How long the tool waits for an ended child to be gone, and for a child
// that closed its outputs to end by itself.
constexpr int kReapMilliseconds = 3000;

class Watch {
public:
    Watch(const WatchLimits& limits, bool machine, const QString& source)
        : limits_(limits), machine_(machine) {
        steps_.file = source;
    }

    int run(const QString& program, const QStringList& arguments) {
        // From before the child exists: an end asked for any time after
        // ends both.
        const watch::EndRequests endRequests;
        const QString error = child_.start(program, arguments, kChildVariable);
        if (!error.isEmpty()) {
            return cannotRun(error);
        }
        QElapsedTimer quiet;
        quiet.start();
        char buffer[65536];
        std::optional<ChildEnd> ended;
        while (child_.isOpen(ReadingChild::Output) || child_.isOpen(ReadingChild::Steps)) {
            // Once the child is gone, only what it left in the pipes is read.
            bool ready[2] = {false, false};
            const int readyCount = child_.wait(ended ? 0 : 50, ready);
            if ((readyCount < 0 && errno != EINTR) || (ended && readyCount == 0)) {
                break;
            }
            if (watch::EndRequests::requested() && !ended) {
                return giveUp(QStringLiteral("انتقال اطلاعات متوقف شد."));
            }
            for (int i = 0; i < 2 && readyCount > 0; ++i) {
                if (!ready[i]) {
                    continue;
                }
                const auto channel = static_cast<ReadingChild::Channel>(i);
                const qint64 got = child_.read(channel, buffer, sizeof buffer);
                if (got <= 0) {
                    continue; // broken by a signal, or its end: the child is ending
                }
                if (channel == ReadingChild::Steps) {
                    steps_.take(buffer, got);
                    quiet.restart();
                } else if (!forwarder_.take(buffer, got, limits_.outputBytes)) {
                    return giveUp(
                        QStringLiteral("كتابخانه خواندن اكسس بيش از %1 مگابايت پيام خطا نوشت.")
                            .arg(limits_.outputBytes / (1024 * 1024)));
                }
            }
            if (!ended && quiet.elapsed() > limits_.stallMilliseconds) {
                return giveUp(QStringLiteral("در %1 ثانيه هيچ پيش نرفت.")
                                  .arg(QString::number(limits_.stallMilliseconds / 1000.0)));
            }
            // A child gone while its outputs stay open elsewhere ends the
            // watch as well.
            if (!ended) {
                ended = child_.reap(0);
                reaped_ = ended.has_value();
            }
        }
        forwarder_.finish();
        // A child that closed its outputs ends at once, or it is ended.
        if (!ended && !(ended = child_.reap(kReapMilliseconds))) {
            return giveUp(QStringLiteral("برنامه خواندن آن پس از پايان كار بسته نشد."));
        }
        switch (ended->kind) {
        case ChildEnd::Kind::NotRun:
            return cannotRun(ended->error);
        case ChildEnd::Kind::Exited:
            return ended->status;
        case ChildEnd::Kind::Crashed:
            break;
        }
        // A crash inside the reading library: the child's own handler
        // removed its temporary file where it could; what it left (and what
        // a kill left) goes here.
        removeTemporaries();
        return failed(crashedMessage(steps_.file));
    }

private:
    void removeTemporaries() {
        for (const QString& temporary : steps_.temporaries) {
            removeStoreFiles(temporary);
        }
    }

    // Ends the child however it is: its files go once it is gone.
    int giveUp(const QString& why) {
        if (!reaped_) {
            child_.end(kReapMilliseconds);
            reaped_ = true;
        }
        removeTemporaries();
        return failed(importMessage(ImportProblem::Unreadable, steps_.file, why));
    }

    int cannotRun(const QString& why) {
        return failed(QStringLiteral("velmoran-cli import: %1").arg(why));
    }

    int failed(const QString& message) {
        if (machine_) {
            writeOut(watch::kStandardOutput,
                     (protocol::line(protocol::kError, message) + QLatin1Char('\n')).toUtf8());
        }
        writeOut(watch::kStandardError, (message + QLatin1Char('\n')).toUtf8());
        return kFailed;
    }

    WatchLimits limits_;
    bool machine_;
    ReadingChild child_;
    bool reaped_ = false; // the child is not ours to end any more
    Forwarder forwarder_;
    ChildSteps steps_;
};

} // namespace

int watchImport(const QString& program, const QStringList& arguments, const WatchLimits& limits,
                bool machine, const QString& source) {
    std::fflush(stdout);
    std::fflush(stderr);
    return Watch(limits, machine, source).run(program, arguments);
}

bool isReadingChild() {
    const QByteArray parent = qgetenv(kChildVariable);
    if (parent.isEmpty()) {
        return false;
    }
    qunsetenv(kChildVariable);
    return watch::setUpReadingChild(parent);
}

qint64 watch::readingMemoryBytes() {
    const QByteArray set = qgetenv("VELMORAN_READING_MEMORY_MB");
    return set.isEmpty() ? qint64(2) << 30 : set.toLongLong() << 20;
}

void ImportSteps::begin(const QString& file) {
    send(protocol::line(protocol::kFile, file));
}

void ImportSteps::temporaryMade(const QString& path) {
    send(protocol::line(protocol::kTemporary, path));
}

void ImportSteps::progressed() {
    send(protocol::line(protocol::kProgress, QString()));
}

void ImportSteps::send(const QString& line) {
    writeOut(kChildStepsFd, (line + QLatin1Char('\n')).toUtf8());
}

} // namespace velmoran::import
