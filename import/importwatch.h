#pragma once

#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace velmoran::import {

// Keeps the Access reading library from hanging the import or filling the
// disk or the screen: a damaged file can make it loop for ever inside its
// catalog, printing one warning millions of times a second, or crash.
//
// start() sends the process's standard output and error into a pipe that a
// thread reads: the library's lines go on to the real error output, each
// only when it differs from the one before and at most kForwardedBytes in
// all. When the library prints more than the output limit, or the import
// makes no progress for the stall limit, the import gives up as the tool
// does on any failure: the Persian message naming the file on the error
// output (and, in --progress mode, as the protocol's @error line), the
// temporary file removed, exit status 1.
class ImportWatch {
public:
    struct Limits {
        int stallMilliseconds = 30000;
        qint64 outputBytes = 4 * 1024 * 1024;
    };
    static constexpr qint64 kForwardedBytes = 16 * 1024;

    ImportWatch() = default;
    ~ImportWatch();
    ImportWatch(const ImportWatch&) = delete;
    ImportWatch& operator=(const ImportWatch&) = delete;

    // False, errno set, when the descriptors can't be set up.
    bool start(const Limits& limits);
    // The real standard output (the report, the protocol) and error output.
    int reportDescriptor() const { return report_; }
    int messageDescriptor() const { return message_; }

    // The import begins reading `file`: the messages of giving up (and of a
    // crash, through the signal handler) name it.
    void begin(const QString& file, bool machine);
    // The import moved on (a table opened, rows stored).
    void progressed();
    // Ends the watching; the library's output goes on as before start().
    void stop();

private:
    void forward();
    void watch();
    [[noreturn]] void giveUp(const QString& why);
    void writeOut(int fd, const QByteArray& bytes);

    Limits limits_;
    int report_ = -1;
    int message_ = -1;
    int pipeRead_ = -1;
    std::thread forwarder_;
    std::thread watcher_;
    std::atomic<bool> stopping_{false};
    std::atomic<qint64> lastProgress_{0}; // milliseconds since the epoch
    std::mutex mutex_;                    // guards file_ and machine_
    QString file_;
    bool machine_ = false;
};

} // namespace velmoran::import
