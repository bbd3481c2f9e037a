#pragma once

// The system's side of the import's watch (importwatch.h): starting the
// reading child with its channels, reading them, waiting for the child and
// ending it, the requests to end the tool while it watches, and the child's
// own set-up. One implementation per system: importwatch_posix.cpp,
// importwatch_windows.cpp.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace velmoran::import::watch {

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Writes all of `bytes` to descriptor `fd` (the standard output or error, or
// one of the reading child's descriptors), as far as it takes them.
void writeOut(int fd, const QByteArray& bytes);

// How the reading child ended.
struct ChildEnd {
    enum class Kind {
        Exited,  // by itself, with `status`
        Crashed, // by a crash or a signal
        NotRun,  // the program could not be run: `error` says why
    };
    Kind kind = Kind::Exited;
    int status = 0;
    QString error;
};

// While one exists, a request to end the tool (on Linux SIGTERM, SIGINT,
// SIGHUP; on Windows Ctrl+C, Ctrl+Break, the console closed) is only noted:
// the watch ends the child, removes its files and says why.
class EndRequests {
public:
    EndRequests();
    ~EndRequests();
    EndRequests(const EndRequests&) = delete;
    EndRequests& operator=(const EndRequests&) = delete;
    static bool requested();
};

// The reading child, and the parent's ends of its two channels: its output
// (standard output and error, where the reading library prints) and its
// steps (ImportSteps).
class ReadingChild {
public:
    enum Channel { Output = 0, Steps = 1 };

    ReadingChild();
    ~ReadingChild();
    ReadingChild(const ReadingChild&) = delete;
    ReadingChild& operator=(const ReadingChild&) = delete;

    // Starts `program` with `arguments`, `variable` set for it alone to name
    // this process; the child's descriptors 3, 4 and 5 are the real standard
    // output, the real error output and the steps channel. An empty string,
    // or why the child could not be started.
    QString start(const QString& program, const QStringList& arguments, const char* variable);

    bool isOpen(Channel channel) const;
    // Waits up to `milliseconds` for something to read on an open channel
    // (or its end): how many channels have, `ready` telling which; -1 when
    // the wait itself failed, errno EINTR when a signal broke it.
    int wait(int milliseconds, bool ready[2]);
    // Bytes read into `buffer`; 0 at the channel's end (it is closed); -1
    // when a signal broke the read (try again).
    qint64 read(Channel channel, char* buffer, qint64 size);

    // Waits up to `milliseconds` for the child to end: how it ended, or
    // nothing while it is still there.
    std::optional<ChildEnd> reap(int milliseconds);
    // Ends the child however it is (stopped, stuck, crashing) and waits up
    // to `milliseconds` for it to be gone; one the system can't take away
    // at once is left to it.
    void end(int milliseconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// In the reading child, once it knows it is one (`parent` is the variable's
// value): checks its channels are there and sets it up to end at once on a
// crash, with no core, no dialog, within its memory limit. False when it is
// not a reading child after all.
bool setUpReadingChild(const QByteArray& parent);

// How much more memory the reading child may take than it holds when it
// starts: a hostile file that drives the library past it fails as a crash
// does, with the message naming it, before the machine runs short.
// VELMORAN_READING_MEMORY_MB sets another amount.
qint64 readingMemoryBytes();

} // namespace velmoran::import::watch
