// The Persian messages of store failures: paths and English fragments stand
// between direction isolates, and the common failures have a Persian
// sentence of their own with the engine's text after it in parentheses.

#include "data/core/storemessages.h"
#include "data/folder/folderlock.h"
#include "import/importerror.h"
#include "import/sheetfile.h"
#include "tests/core/storefixture.h"

#include <QFile>

#include <cerrno>

using namespace velmoran;
using velmoran::test::StoreTest;

namespace {

const QChar kIsolate(u'\u2068');
const QChar kPop(u'\u2069');

QString isolatedText(const QString& text) {
    return kIsolate + text + kPop;
}

// The messages of the files: they run on the SQLite store.
class StoreMessagesTest : public StoreTest {};

TEST_P(StoreMessagesTest, PathsAndEnglishFragmentsStandBetweenDirectionIsolates) {
    const QString message =
        storeMessage(StoreProblem::CannotRead, QStringLiteral("/tmp/agency/newil.db"),
                     QStringLiteral("disk I/O error"));
    EXPECT_TRUE(
        message.contains(isolatedText(test::shownPath(QStringLiteral("/tmp/agency/newil.db")))))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("disk I/O error")));
    EXPECT_EQ(message.count(kIsolate), message.count(kPop));
    for (StoreProblem problem :
         {StoreProblem::NotAFile, StoreProblem::NotWritable, StoreProblem::NoCurrentRow,
          StoreProblem::EmptyTable, StoreProblem::NoTable, StoreProblem::WithoutRowid}) {
        const QString text =
            storeMessage(problem, QStringLiteral("/a/b.db"), QStringLiteral("new"));
        EXPECT_TRUE(text.contains(isolatedText(test::shownPath(QStringLiteral("/a/b.db")))))
            << text.toStdString();
        EXPECT_EQ(text.count(kIsolate), text.count(kPop)) << text.toStdString();
    }
}

TEST_P(StoreMessagesTest, CommonFailuresHaveAPersianSentenceAndTheEnginesTextInParentheses) {
    struct Case {
        int code;
        int systemError;
        const char* english;
        const char* sentenceStart;
    };
    const Case cases[] = {
        {SQLITE_NOTADB, 0, "file is not a database", "اين فايل بانك اطلاعاتي برنامه نيست"},
        {SQLITE_CORRUPT, 0, "database disk image is malformed",
         "اين فايل بانك اطلاعاتي برنامه نيست"},
        {SQLITE_BUSY, 0, "database is locked", "نسخه ديگري از برنامه اين فايل را در دست دارد"},
        {SQLITE_FULL, 0, "database or disk is full", "ديسك پر است"},
        {SQLITE_READONLY, 0, "attempt to write a readonly database",
         "اين فايل يا ديسك آن فقط خواندني است"},
        {SQLITE_CANTOPEN, EACCES, "unable to open database file", "اجازه دسترسي به اين فايل"},
        {SQLITE_IOERR_WRITE, ENOSPC, "disk I/O error", "ديسك پر است"},
        {SQLITE_IOERR_WRITE, EROFS, "disk I/O error", "اين فايل يا ديسك آن فقط خواندني است"},
    };
    for (const Case& c : cases) {
        const sql::Error error(c.code, c.english, c.systemError);
        const QString detail = error.detail();
        EXPECT_TRUE(detail.startsWith(QString::fromUtf8(c.sentenceStart))) << detail.toStdString();
        EXPECT_TRUE(detail.endsWith(QStringLiteral("\n(") +
                                    isolatedText(QString::fromUtf8(c.english)) + QLatin1Char(')')))
            << detail.toStdString();
    }
    // Another failure keeps the engine's text alone.
    EXPECT_EQ(sql::Error(SQLITE_ERROR, "no such column: x").detail(),
              isolatedText(QStringLiteral("no such column: x")));
    EXPECT_EQ(causeOfSystemError(EACCES), StoreCause::NoPermission);
    EXPECT_EQ(causeOfSystemError(ENOSPC), StoreCause::DiskFull);
    EXPECT_EQ(causeOfSystemError(EROFS), StoreCause::ReadOnly);
    EXPECT_EQ(causeOfSystemError(ENOENT), StoreCause::Other);
}

TEST_P(StoreMessagesTest, AFileThatIsNotADatabaseAndAFileLockedByAnotherCopySayWhatTheyAre) {
    // A text file where the listings should be.
    QFile::remove(listingsPath());
    writeFile(listingsPath(), QByteArray("these are not listings\n").repeated(300));
    const QString problem = prepareStoreFile(folder(), listingsTable());
    EXPECT_TRUE(problem.contains(isolatedText(test::shownPath(listingsPath()))))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("بانك اطلاعاتي نيست يا آسيب ديده است")))
        << problem.toStdString();
    EXPECT_TRUE(
        problem.contains(QStringLiteral("(") + isolatedText("file is not a database") + ")"))
        << problem.toStdString();

    // Another copy holding the file while a change is stored.
    QFile::remove(listingsPath());
    ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
    RecordSource source(folder(), listingsTable());
    addListing(source, {{"malek", "a"}});
    source.setBusyTimeout(100);
    source.setText(field("malek"), "b");
    sql::Database other = openRaw();
    other.exec("BEGIN IMMEDIATE");
    try {
        source.Update();
        FAIL() << "stored past the lock";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("نسخه ديگري از برنامه")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("database is locked")));
        EXPECT_TRUE(e.message().contains(isolatedText(test::shownPath(listingsPath()))));
    }
    other.exec("ROLLBACK");
}

// Every message that names a file, from each table of messages: the path
// stands whole inside an isolate on every line it is on, and a detail of
// several lines is isolated line by line (a line break ends an isolate, so
// one left open would leave the next line's path bare, its "/" at the
// wrong end).
TEST(MessagePathsTest, EveryMessageIsolatesItsPathsOnEveryLine) {
    const QString path = QStringLiteral("/tmp/agency files/newil.mdb");
    const QString shown = test::shownPath(path);
    const QString detail =
        QStringLiteral("خواندن نشد\n(/usr/lib/libmdb.so: page 12 of %1)").arg(path);
    QStringList messages;
    for (int p = 0; p <= static_cast<int>(StoreProblem::ChangedElsewhere); ++p) {
        messages << storeMessage(static_cast<StoreProblem>(p), path, detail);
    }
    for (int p = 0; p <= static_cast<int>(import::ImportProblem::Unreadable); ++p) {
        messages << import::importMessage(static_cast<import::ImportProblem>(p), path, detail);
    }
    messages << import::sheetMessage(path, QStringLiteral("فايل zip خراب است"))
             << folderInUseMessage(path) << engineDetail(StoreCause::Locked, detail);
    // A memo's CR LF is the line break; any other control character an escape.
    messages << isolated(QStringLiteral("line one\r\nline two\x1B[2J\r%1").arg(path));
    EXPECT_EQ(messages.back(),
              QStringLiteral("\u2068line one\u2069\n\u2068line two\\x1B[2J\\r%1\u2069").arg(path));
    for (const QString& message : messages) {
        SCOPED_TRACE(message.toStdString());
        for (const QString& line : message.split(QLatin1Char('\n'))) {
            EXPECT_EQ(line.count(kIsolate), line.count(kPop));
            for (qsizetype at = line.indexOf(shown); at >= 0; at = line.indexOf(shown, at + 1)) {
                // Inside an isolate: more opened than closed before it.
                const QString before = line.left(at);
                EXPECT_GT(before.count(kIsolate), before.count(kPop));
            }
            // A "/" outside every isolate would be placed at the wrong end.
            int depth = 0;
            for (const QChar c : line) {
                depth += c == kIsolate ? 1 : c == kPop ? -1 : 0;
                EXPECT_FALSE(depth == 0 && c == QLatin1Char('/'));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, StoreMessagesTest,
                         ::testing::Values(velmoran::test::StoreKind::Sqlite),
                         velmoran::test::storeKindName);

} // namespace
