#pragma once

#include <QString>
#include <QStringList>

namespace velmoran::import {

// Keeps the Access reading library from crashing, hanging or flooding the
// import: a damaged file can make it loop for ever inside its catalog,
// printing one warning millions of times a second, or crash.
//
// The import reads the files in a child process of its own (the same
// program, told by the environment that it is the reading child). Its
// standard output and error, where the library prints, come to the parent
// through a pipe: each line goes on to the real error output only when it
// differs from the one before and at most kForwardedBytes in all. The report
// (or the protocol's lines) and the tool's own messages go straight to the
// real standard output and error, as descriptors 3 and 4 of the child; on
// descriptor 5 the child tells each file begun, each temporary file made and
// each step (ImportSteps). When the child crashes, prints more than the
// output limit or makes no progress for the stall limit, the parent ends it
// and gives up as the tool does on any failure: the Persian message naming
// the file on the error output (and, in --progress mode, as the protocol's
// @error line), the temporary files removed, exit status 1.
struct WatchLimits {
    int stallMilliseconds = 30000;
    qint64 outputBytes = 4 * 1024 * 1024;
};
constexpr qint64 kForwardedBytes = 16 * 1024;

// The child's descriptors, as the parent sets them up.
constexpr int kChildReportFd = 3;
constexpr int kChildMessageFd = 4;
constexpr int kChildStepsFd = 5;

// Runs `program` with `arguments` as the reading child and watches it until
// it ends; `machine` is --progress. Returns the exit status: the child's own
// when it ended by itself, 1 when it was given up on (or could not be run).
// `source` is the file a failure names before the child has begun one.
int watchImport(const QString& program, const QStringList& arguments, const WatchLimits& limits,
                bool machine, const QString& source = QString());

// True in the reading child that watchImport started (the variable it sets
// names this process's parent); the variable is removed.
bool isReadingChild();

// The child's side of descriptor 5.
class ImportSteps {
public:
    ImportSteps() = default;
    // The import begins reading `file`.
    void begin(const QString& file);
    // It made the temporary store file `path`.
    void temporaryMade(const QString& path);
    // It moved on (a table opened, rows stored).
    void progressed();

private:
    void send(const QString& line);
};

} // namespace velmoran::import
