// Every way the import's reading child can end or stall (a crash with core
// dumps allowed, a stop, the tool itself killed or told to end) ends the
// command within a few seconds, with the message naming the file, and leaves
// no file and no process behind.

#include "tests/support/importfixtures.h"
#include "tests/support/storefiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmoran::test;

namespace {

// The processes `pid` started, as the system lists them.
std::vector<pid_t> childrenOf(qint64 pid) {
    QFile list(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    std::vector<pid_t> children;
    if (list.open(QIODevice::ReadOnly)) {
        for (const QByteArray& word : list.readAll().simplified().split(' ')) {
            if (!word.isEmpty()) {
                children.push_back(static_cast<pid_t>(word.toLongLong()));
            }
        }
    }
    return children;
}

// True while `pid` is a process that runs or is stopped (not gone, not a
// zombie nobody reaped yet).
bool alive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    const int after = line.lastIndexOf(')');
    return after > 0 && line.size() > after + 2 && line[after + 2] != 'Z' && line[after + 2] != 'X';
}

// The import of a source that never answers (a named pipe nobody writes, as
// a dead network share), started and watched from here.
class BlockedImport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        source_ = dir_.filePath(QStringLiteral("newil.mdb"));
        data_ = dir_.filePath(QStringLiteral("data"));
        ASSERT_EQ(::mkfifo(source_.toLocal8Bit().constData(), 0600), 0);
    }
    void TearDown() override {
        if (child_ > 0 && alive(child_)) {
            ::kill(child_, SIGKILL);
        }
        if (tool_.state() != QProcess::NotRunning) {
            tool_.kill();
            tool_.waitForFinished();
        }
    }
    // Starts the tool and waits for its reading child.
    void start(const QString& timeout) {
        tool_.start(QStringLiteral(VELMORAN_CLI_TOOL),
                    {QStringLiteral("import"), QStringLiteral("--timeout"), timeout,
                     QStringLiteral("--folder"), data_, source_});
        ASSERT_TRUE(tool_.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const std::vector<pid_t> children = childrenOf(tool_.processId());
                child_ = children.empty() ? 0 : children.front();
                return child_ > 0;
            },
            10000));
        clock_.start();
    }
    bool finishes(int milliseconds) {
        return tool_.state() == QProcess::NotRunning || tool_.waitForFinished(milliseconds);
    }
    bool childGone(int milliseconds) {
        return QTest::qWaitFor([&] { return !alive(child_); }, milliseconds);
    }
    QString errorOutput() { return QString::fromUtf8(tool_.readAllStandardError()); }

    QTemporaryDir dir_;
    QString source_;
    QString data_;
    QProcess tool_;
    pid_t child_ = 0;
    QElapsedTimer clock_;
};

TEST_F(BlockedImport, AStoppedReadingChildIsEndedByTheWatchdogWithTheMessage) {
    start(QStringLiteral("2"));
    ASSERT_EQ(::kill(child_, SIGSTOP), 0);
    ASSERT_TRUE(finishes(10000));
    EXPECT_LT(clock_.elapsed(), 2000 + 4000);
    EXPECT_EQ(tool_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool_.exitCode(), 1);
    const QString err = errorOutput();
    EXPECT_TRUE(err.contains(QStringLiteral("⁨%1⁩").arg(source_))) << err.toStdString();
    EXPECT_TRUE(childGone(1000));
    EXPECT_TRUE(filesIn(data_).isEmpty()) << filesIn(data_).join(' ').toStdString();
}

TEST_F(BlockedImport, ATerminatedToolEndsItsChildAndSaysSo) {
    start(QStringLiteral("60"));
    ASSERT_EQ(::kill(static_cast<pid_t>(tool_.processId()), SIGTERM), 0);
    ASSERT_TRUE(finishes(5000));
    EXPECT_EQ(tool_.exitStatus(), QProcess::NormalExit); // not by the signal
    EXPECT_EQ(tool_.exitCode(), 1);
    EXPECT_TRUE(errorOutput().contains(QStringLiteral("⁨%1⁩").arg(source_)));
    EXPECT_TRUE(childGone(1000));
    EXPECT_TRUE(filesIn(data_).isEmpty()) << filesIn(data_).join(' ').toStdString();
}

TEST_F(BlockedImport, AKilledToolTakesItsReadingChildWithIt) {
    start(QStringLiteral("60"));
    ASSERT_EQ(::kill(static_cast<pid_t>(tool_.processId()), SIGKILL), 0);
    ASSERT_TRUE(finishes(5000));
    EXPECT_TRUE(childGone(5000));
    EXPECT_TRUE(filesIn(data_).isEmpty()) << filesIn(data_).join(' ').toStdString();
}

// Core dumps allowed (a developer's shell, a desktop with a crash catcher):
// the crash of the reading library still ends the import at once, and no
// core is left in the data folder or anywhere near it.
TEST(ImportCrashTest, ACrashWithCoreDumpsAllowedEndsAtOnceAndLeavesNoCore) {
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_CORE, &before), 0);
    const rlimit unlimited{before.rlim_max, before.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_CORE, &unlimited), 0);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("newil.mdb"));
    // A copy of an Access fixture with bytes flipped, on which the reading
    // library crashes.
    writeFile(source, readFixture(QStringLiteral("hostile/crashes-flipped.mdb")));
    const QString data = dir.filePath(QStringLiteral("data"));
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    QElapsedTimer clock;
    clock.start();
    tool.start(QStringLiteral(VELMORAN_CLI_TOOL),
               {QStringLiteral("import"), QStringLiteral("--folder"), data, source});
    const bool finished = tool.waitForFinished(30000);
    ::setrlimit(RLIMIT_CORE, &before);
    ASSERT_TRUE(finished);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError())
                    .contains(QStringLiteral("⁨%1⁩").arg(source)));
    EXPECT_TRUE(filesIn(data).isEmpty()) << filesIn(data).join(' ').toStdString();
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral("core")).isEmpty())
        << filesIn(dir.path()).join(' ').toStdString();
}

} // namespace
