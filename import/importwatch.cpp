#include "import/importwatch.h"

#include "import/importerror.h"
#include "import/importprotocol.h"
#include "import/importtool.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velmoran::import {

namespace {

qint64 now() {
    return QDateTime::currentMSecsSinceEpoch();
}

QByteArray protocolLine(const QString& message) {
    return (protocol::line(protocol::kError, message) + QLatin1Char('\n')).toUtf8();
}

QString readingFailed(const QString& file, const QString& why) {
    return importMessage(ImportProblem::Unreadable, file, why);
}

} // namespace

ImportWatch::~ImportWatch() {
    stop();
}

bool ImportWatch::start(const Limits& limits) {
    limits_ = limits;
    std::fflush(stdout);
    std::fflush(stderr);
    int fds[2];
    report_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    message_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (report_ < 0 || message_ < 0 || ::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    pipeRead_ = fds[0];
    if (::dup2(fds[1], STDOUT_FILENO) < 0 || ::dup2(fds[1], STDERR_FILENO) < 0) {
        return false;
    }
    ::close(fds[1]);
    lastProgress_ = now();
    forwarder_ = std::thread([this] { forward(); });
    watcher_ = std::thread([this] { watch(); });
    return true;
}

void ImportWatch::begin(const QString& file, bool machine) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        file_ = file;
        machine_ = machine;
    }
    const QString crashed = readingFailed(file, QStringLiteral("برنامه خواندن آن از كار افتاد."));
    messageOnSignal(message_, (crashed + QLatin1Char('\n')).toUtf8(), machine ? report_ : -1,
                    protocolLine(crashed));
    progressed();
}

void ImportWatch::progressed() {
    lastProgress_ = now();
}

void ImportWatch::stop() {
    if (pipeRead_ < 0) {
        return;
    }
    stopping_ = true;
    if (watcher_.joinable()) {
        watcher_.join();
    }
    // The pipe's last writing ends close: the forwarder reads to its end.
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(message_, STDOUT_FILENO);
    ::dup2(message_, STDERR_FILENO);
    if (forwarder_.joinable()) {
        forwarder_.join();
    }
    ::close(pipeRead_);
    pipeRead_ = -1;
}

void ImportWatch::writeOut(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        left -= written;
    }
}

void ImportWatch::forward() {
    char buffer[65536];
    QByteArray pending;
    QByteArray previous;
    qint64 total = 0;
    qint64 forwarded = 0;
    for (;;) {
        const ssize_t got = ::read(pipeRead_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        total += got;
        if (total > limits_.outputBytes) {
            giveUp(QStringLiteral("كتابخانه خواندن اكسس بيش از %1 مگابايت پيام خطا نوشت.")
                       .arg(limits_.outputBytes / (1024 * 1024)));
        }
        pending.append(buffer, got);
        qsizetype start = 0;
        for (qsizetype end; (end = pending.indexOf('\n', start)) >= 0; start = end + 1) {
            const QByteArray line = pending.mid(start, end + 1 - start);
            if (line != previous && forwarded + line.size() <= kForwardedBytes) {
                writeOut(message_, line);
                forwarded += line.size();
            }
            previous = line;
        }
        pending.remove(0, start);
        if (pending.size() > kForwardedBytes) {
            pending.clear(); // a line without end: not shown
        }
    }
    if (!pending.isEmpty() && pending != previous &&
        forwarded + pending.size() <= kForwardedBytes) {
        writeOut(message_, pending + '\n');
    }
}

void ImportWatch::watch() {
    while (!stopping_) {
        if (now() - lastProgress_ > limits_.stallMilliseconds) {
            giveUp(QStringLiteral("در %1 ثانيه هيچ پيش نرفت.")
                       .arg(QString::number(limits_.stallMilliseconds / 1000.0)));
        }
        ::usleep(50 * 1000);
    }
}

void ImportWatch::giveUp(const QString& why) {
    QString file;
    bool machine;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        file = file_;
        machine = machine_;
    }
    const QString message = readingFailed(file, why);
    if (machine) {
        writeOut(report_, protocolLine(message));
    }
    writeOut(message_, (message + QLatin1Char('\n')).toUtf8());
    removeTemporaryNow();
    ::_exit(kFailed);
}

} // namespace velmoran::import
