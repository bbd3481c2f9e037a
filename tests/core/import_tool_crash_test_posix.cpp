// The import tool's clean-up when it crashes: the temporary store it was
// making goes before the process dies. A forked child of the test crashes by
// a signal, which is Linux's way (the Windows tool's crash is watched by the
// job its parent puts it in).

#include "import/importtool.h"
#include "tests/support/importfixtures.h"
#include "tests/support/testenv.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

using ImportToolCrashTest = DataFolderTest;

TEST_F(ImportToolCrashTest, ACrashRemovesTheTemporaryFileBeforeTheProcessDies) {
    const QString temporary = QDir(folder()).filePath(QStringLiteral(".newil.db.import.test"));
    writeFile(temporary, "half a store");
    writeFile(temporary + QStringLiteral("-wal"), "its journal");
    import::removeOnSignal(temporary);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        import::installSignalCleanup();
        std::raise(SIGSEGV);
        ::_exit(0);
    }
    import::removeOnSignal(QString());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_TRUE(filesIn(folder()).isEmpty()) << filesIn(folder()).join(' ').toStdString();
}

} // namespace
