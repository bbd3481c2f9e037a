// The import's watch on Linux: the reading child forked and exec'd with its
// channels on descriptors, watched through poll(), ended by SIGKILL.

#include "import/importtool.h"
#include "import/importwatch.h"
#include "import/readingchild.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velmoran::import::watch {

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

namespace {

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

// A request to end the tool (SIGTERM, SIGINT, SIGHUP) while it watches.
volatile std::sig_atomic_t g_endRequested = 0;

extern "C" void requestEnd(int signal) {
    g_endRequested = signal;
}

constexpr int kEndSignals[3] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_before[3];

// The status of a forked child whose exec failed.
constexpr int kExecFailed = 127;

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

EndRequests::EndRequests() {
    g_endRequested = 0;
    struct sigaction request {};
    request.sa_handler = requestEnd;
    sigemptyset(&request.sa_mask);
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kEndSignals[i], &request, &g_before[i]);
    }
}

EndRequests::~EndRequests() {
    for (int i = 0; i < 3; ++i) {
        ::sigaction(kEndSignals[i], &g_before[i], nullptr);
    }
}

bool EndRequests::requested() {
    return g_endRequested != 0;
}

struct ReadingChild::State {
    pid_t child = -1;
    Pipe output;
    Pipe steps;
    Pipe execStatus; // the child's word on an exec that failed
    pollfd fds[2] = {{-1, POLLIN, 0}, {-1, POLLIN, 0}};

    // A fork and an exec rather than posix_spawn: glibc's posix_spawn holds
    // the parent until the child has exec'd, so a child stopped in between
    // would hold the watch with it. Between the two the child makes only
    // calls a forked child may make; an exec that fails tells its errno
    // through a pipe that the exec closes.
    int spawn(const QString& program, const QStringList& arguments, const char* variable) {
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
        if (!execStatus.open()) {
            return errno;
        }
        ::setenv(variable, QByteArray::number(::getpid()).constData(), 1);
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The real outputs first, before 1 and 2 become the pipe.
            if (::dup2(STDOUT_FILENO, kChildReportFd) >= 0 &&
                ::dup2(STDERR_FILENO, kChildMessageFd) >= 0 &&
                ::dup2(steps.write, kChildStepsFd) >= 0 &&
                ::dup2(output.write, STDOUT_FILENO) >= 0 &&
                ::dup2(output.write, STDERR_FILENO) >= 0) {
                ::execve(path.constData(), argv.data(), environ);
            }
            const int error = errno;
            [[maybe_unused]] const ssize_t told = ::write(execStatus.write, &error, sizeof error);
            ::_exit(kExecFailed);
        }
        const int forkError = errno;
        ::unsetenv(variable);
        execStatus.closeWrite();
        if (pid < 0) {
            return forkError;
        }
        child = pid;
        return 0;
    }

    // The errno of an exec that failed, once the child has ended; 0 when
    // the exec went through.
    int execError() {
        ::fcntl(execStatus.read, F_SETFL, O_NONBLOCK);
        int error = 0;
        return ::read(execStatus.read, &error, sizeof error) == static_cast<ssize_t>(sizeof error)
                   ? error
                   : 0;
    }
};

ReadingChild::ReadingChild() : state_(std::make_unique<State>()) {}

ReadingChild::~ReadingChild() = default;

QString ReadingChild::start(const QString& program, const QStringList& arguments,
                            const char* variable) {
    State& s = *state_;
    if (!s.output.open() || !s.steps.open()) {
        return systemError(errno);
    }
    const int error = s.spawn(program, arguments, variable);
    s.output.closeWrite();
    s.steps.closeWrite();
    if (error != 0) {
        return systemError(error);
    }
    s.fds[Output].fd = s.output.read;
    s.fds[Steps].fd = s.steps.read;
    return QString();
}

bool ReadingChild::isOpen(Channel channel) const {
    return state_->fds[channel].fd >= 0;
}

int ReadingChild::wait(int milliseconds, bool ready[2]) {
    pollfd* fds = state_->fds;
    const int count = ::poll(fds, 2, milliseconds);
    for (int i = 0; i < 2; ++i) {
        ready[i] = count > 0 && fds[i].fd >= 0 && fds[i].revents != 0;
    }
    return count;
}

qint64 ReadingChild::read(Channel channel, char* buffer, qint64 size) {
    pollfd& fd = state_->fds[channel];
    const ssize_t got = ::read(fd.fd, buffer, static_cast<size_t>(size));
    if (got < 0 && errno == EINTR) {
        return -1;
    }
    if (got <= 0) {
        fd.fd = -1; // its end: the child is ending
        return 0;
    }
    return got;
}

std::optional<ChildEnd> ReadingChild::reap(int milliseconds) {
    State& s = *state_;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(s.child, &status, WNOHANG);
        if (ended == s.child) {
            ChildEnd end;
            if (!WIFEXITED(status)) {
                end.kind = ChildEnd::Kind::Crashed;
                return end;
            }
            end.status = WEXITSTATUS(status);
            if (end.status == kExecFailed) {
                if (const int error = s.execError()) {
                    end.kind = ChildEnd::Kind::NotRun;
                    end.error = systemError(error);
                }
            }
            return end;
        }
        if (ended < 0 && errno != EINTR) {
            return ChildEnd{}; // not ours to wait for any more
        }
        if (waited.elapsed() >= milliseconds) {
            return std::nullopt;
        }
        ::usleep(10000);
    }
}

void ReadingChild::end(int milliseconds) {
    ::kill(state_->child, SIGKILL);
    reap(milliseconds);
}

namespace {

void limitReadingMemory() {
    long long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    const auto limit = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + readingMemoryBytes());
    const rlimit memory{limit, limit};
    ::setrlimit(RLIMIT_AS, &memory);
}

} // namespace

bool setUpReadingChild(const QByteArray& parent) {
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

} // namespace velmoran::import::watch
