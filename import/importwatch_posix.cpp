#include "import/importwatch.h"

#include "data/sqlite/storefiles.h"
#include "import/importerror.h"
#include "import/importprotocol.h"
#include "import/importtool.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmoran::import {

namespace {

// Names the parent of the reading child: set for the child alone.
constexpr char kChildVariable[] = "VELMORAN_READING_CHILD";

void writeOut(int fd, const QByteArray& bytes) {
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

// A descriptor moved above the ones the child is given, closed at exec.
int highDescriptor(int fd) {
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

struct Pipe {
    int read = -1;
    int write = -1;
    bool open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        read = highDescriptor(fds[0]);
        write = highDescriptor(fds[1]);
        return read >= 0 && write >= 0;
    }
    ~Pipe() {
        for (int fd : {read, write}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    void closeWrite() {
        ::close(write);
        write = -1;
    }
};

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
            writeOut(STDERR_FILENO, line);
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

QString crashedMessage(const QString& file) {
    if (file.isEmpty()) {
        return QStringLiteral("انتقال اطلاعات انجام نشد: برنامه خواندن فايلهاي اكسس از كار افتاد.");
    }
    return importMessage(ImportProblem::Unreadable, file,
                         QStringLiteral("برنامه خواندن آن از كار افتاد."));
}

// A request to end the tool (SIGTERM, SIGINT, SIGHUP) while it watches: the
// child is ended with it and its temporary files removed.
volatile std::sig_atomic_t g_endRequested = 0;

extern "C" void requestEnd(int signal) {
    g_endRequested = signal;
}

// The status of a forked child whose exec failed.
constexpr int kExecFailed = 127;

// How long the tool waits for an ended child to be gone, and for a child
// that closed its outputs to end by itself.
constexpr int kReapMilliseconds = 3000;

// Waits up to `milliseconds` for the child to end; its wait status, or
// nothing while it is still there.
std::optional<int> reap(pid_t child, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) {
            return status;
        }
        if (ended < 0 && errno != EINTR) {
            return 0; // not ours to wait for any more
        }
        if (waited.elapsed() >= milliseconds) {
            return std::nullopt;
        }
        ::usleep(10000);
    }
}

class Watch {
public:
    Watch(const WatchLimits& limits, bool machine, const QString& source)
        : limits_(limits), machine_(machine) {
        steps_.file = source;
    }

    int run(const QString& program, const QStringList& arguments) {
        // From before the child exists: an end asked for any time after
        // ends both.
        const EndRequests endRequests;
        Pipe output;
        Pipe steps;
        if (!output.open() || !steps.open()) {
            return cannotRun(errno);
        }
        const int error = spawn(program, arguments, output.write, steps.write);
        output.closeWrite();
        steps.closeWrite();
        if (error != 0) {
            return cannotRun(error);
        }
        QElapsedTimer quiet;
        quiet.start();
        pollfd fds[2] = {{output.read, POLLIN, 0}, {steps.read, POLLIN, 0}};
        char buffer[65536];
        std::optional<int> ended;
        while (fds[0].fd >= 0 || fds[1].fd >= 0) {
            // Once the child is gone, only what it left in the pipes is read.
            const int ready = ::poll(fds, 2, ended ? 0 : 50);
            if ((ready < 0 && errno != EINTR) || (ended && ready == 0)) {
                break;
            }
            if (g_endRequested && !ended) {
                return giveUp(QStringLiteral("انتقال اطلاعات متوقف شد."));
            }
            for (int i = 0; i < 2 && ready > 0; ++i) {
                if (fds[i].fd < 0 || fds[i].revents == 0) {
                    continue;
                }
                const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    fds[i].fd = -1; // its end: the child is ending
                } else if (i == 1) {
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
                ended = reap(child_, 0);
                reaped_ = ended.has_value();
            }
        }
        forwarder_.finish();
        // A child that closed its outputs ends at once, or it is ended.
        if (!ended && !(ended = reap(child_, kReapMilliseconds))) {
            return giveUp(QStringLiteral("برنامه خواندن آن پس از پايان كار بسته نشد."));
        }
        const int status = *ended;
        if (WIFEXITED(status)) {
            if (WEXITSTATUS(status) == kExecFailed) {
                if (const int error = execError()) {
                    return cannotRun(error);
                }
            }
            return WEXITSTATUS(status);
        }
        // A crash inside the reading library: the child's own handler
        // removed its temporary file; what a SIGKILL left goes here.
        removeTemporaries();
        return failed(crashedMessage(steps_.file));
    }

private:
    // A fork and an exec rather than posix_spawn: glibc's posix_spawn holds
    // the parent until the child has exec'd, so a child stopped in between
    // would hold the watch with it. Between the two the child makes only
    // calls a forked child may make; an exec that fails tells its errno
    // through a pipe that the exec closes.
    int spawn(const QString& program, const QStringList& arguments, int output, int steps) {
        const QByteArray path = program.toLocal8Bit();
        std::vector<QByteArray> words{path};
        for (const QString& argument : arguments) {
            words.push_back(argument.toLocal8Bit());
        }
        std::vector<char*> argv;
        for (QByteArray& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        if (!execStatus_.open()) {
            return errno;
        }
        ::setenv(kChildVariable, QByteArray::number(::getpid()).constData(), 1);
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The real outputs first, before 1 and 2 become the pipe.
            if (::dup2(STDOUT_FILENO, kChildReportFd) >= 0 &&
                ::dup2(STDERR_FILENO, kChildMessageFd) >= 0 && ::dup2(steps, kChildStepsFd) >= 0 &&
                ::dup2(output, STDOUT_FILENO) >= 0 && ::dup2(output, STDERR_FILENO) >= 0) {
                ::execve(path.constData(), argv.data(), environ);
            }
            const int error = errno;
            [[maybe_unused]] const ssize_t told = ::write(execStatus_.write, &error, sizeof error);
            ::_exit(kExecFailed);
        }
        const int forkError = errno;
        ::unsetenv(kChildVariable);
        execStatus_.closeWrite();
        if (pid < 0) {
            return forkError;
        }
        child_ = pid;
        return 0;
    }

    // The errno of an exec that failed, once the child has ended; 0 when
    // the exec went through.
    int execError() {
        ::fcntl(execStatus_.read, F_SETFL, O_NONBLOCK);
        int error = 0;
        return ::read(execStatus_.read, &error, sizeof error) == static_cast<ssize_t>(sizeof error)
                   ? error
                   : 0;
    }

    void removeTemporaries() {
        for (const QString& temporary : steps_.temporaries) {
            removeStoreFiles(temporary);
        }
    }

    // Ends the child however it is (stopped, stuck, crashing): a child the
    // system can't take away at once is left to it, never waited for long.
    int giveUp(const QString& why) {
        if (!reaped_) {
            ::kill(child_, SIGKILL);
            reap(child_, kReapMilliseconds);
            reaped_ = true;
        }
        removeTemporaries();
        return failed(importMessage(ImportProblem::Unreadable, steps_.file, why));
    }

    int cannotRun(int error) {
        return failed(QStringLiteral("velmoran-cli import: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(error))));
    }

    int failed(const QString& message) {
        if (machine_) {
            writeOut(STDOUT_FILENO,
                     (protocol::line(protocol::kError, message) + QLatin1Char('\n')).toUtf8());
        }
        writeOut(STDERR_FILENO, (message + QLatin1Char('\n')).toUtf8());
        return kFailed;
    }

    // While the watch runs, an end requested of the tool comes to the loop.
    struct EndRequests {
        struct sigaction before[3];
        static constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};
        EndRequests() {
            g_endRequested = 0;
            struct sigaction request {};
            request.sa_handler = requestEnd;
            sigemptyset(&request.sa_mask);
            for (int i = 0; i < 3; ++i) {
                ::sigaction(kSignals[i], &request, &before[i]);
            }
        }
        ~EndRequests() {
            for (int i = 0; i < 3; ++i) {
                ::sigaction(kSignals[i], &before[i], nullptr);
            }
        }
    };

    WatchLimits limits_;
    bool machine_;
    pid_t child_ = -1;
    Pipe execStatus_;     // the child's word on an exec that failed
    bool reaped_ = false; // its pid is not ours to signal any more
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

namespace {

// How much more memory the reading child may take than it holds when it
// starts: a hostile file that drives the library past it fails as a crash
// does, with the message naming it, before the machine runs short.
// VELMORAN_READING_MEMORY_MB sets another amount.
constexpr long long kReadingMemoryBytes = 2LL << 30;

void limitReadingMemory() {
    long long extra = kReadingMemoryBytes;
    const QByteArray set = qgetenv("VELMORAN_READING_MEMORY_MB");
    if (!set.isEmpty()) {
        extra = set.toLongLong() << 20;
    }
    long long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    const auto limit = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + extra);
    const rlimit memory{limit, limit};
    ::setrlimit(RLIMIT_AS, &memory);
}

} // namespace

bool isReadingChild() {
    const QByteArray parent = qgetenv(kChildVariable);
    if (parent.isEmpty()) {
        return false;
    }
    ::unsetenv(kChildVariable);
    // The child ends with its parent: a tool the program stops (Cancel, its
    // own watchdog) takes its reading child with it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (parent.toLongLong() != ::getppid()) {
        ::_exit(kFailed); // the parent is gone already
    }
    if (::fcntl(kChildStepsFd, F_GETFD) < 0) {
        return false;
    }
    limitReadingMemory();
    // A crash of the reading library ends the child at once: no core is
    // written (which takes long for a large reading and leaves a file), and
    // a stop from the terminal does not hold it.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::prctl(PR_SET_DUMPABLE, 0);
    for (int stop : {SIGTSTP, SIGTTIN, SIGTTOU}) {
        std::signal(stop, SIG_IGN);
    }
    return true;
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
