// Bringing an Access file over into the data folder: the listings and the
// password from fixtures renamed to stand for an agency's files, damaged
// files leaving nothing behind, an existing store never lost.

#include "data/core/fields.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "import/importer.h"
#include "import/importerror.h"
#include "import/importprotocol.h"
#include "tests/support/importfixtures.h"
#include "tests/support/testenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmoran;
using namespace velmoran::import;
using namespace velmoran::test;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned modeOf(const QString& path) {
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

QStringList column(const QString& path, const QString& sql) {
    sql::Database db(path, SQLITE_OPEN_READONLY);
    sql::Statement select = db.prepare(sql);
    QStringList values;
    while (select.step()) {
        values << (select.isNull(0) ? QStringLiteral("<null>") : select.columnText(0));
    }
    return values;
}

class ImportTest : public DataFolderTest {
protected:
    QString file(const char* name) const { return QDir(folder()).filePath(QLatin1String(name)); }
    QString put(const char* name, const QByteArray& bytes) {
        writeFile(file(name), bytes);
        return file(name);
    }
};

TEST_F(ImportTest, ListingsComeOverInOrderWithTheirUnicodeText) {
    const QString mdb = put("newil.mdb", listingsMdb());
    const QByteArray before = contents(mdb);
    const std::vector<QStringList> exported = mdbExport(mdb, QStringLiteral("new"));
    std::vector<std::pair<quint64, quint64>> progress;
    QString temporary;
    ImportOptions options;
    options.progress = [&](quint64 stored, quint64 total) { progress.push_back({stored, total}); };
    options.temporaryCreated = [&](const QString& path) { temporary = path; };

    const ImportReport report = importListings(mdb, folder(), options);
    EXPECT_EQ(report.rowsInTable, 8u);
    EXPECT_EQ(report.rowsRead, 8u);
    EXPECT_EQ(report.rowsStored, 8u);
    EXPECT_EQ(report.jetVersion, 4);
    EXPECT_EQ(report.extra, QStringList{"ID"});
    EXPECT_EQ(report.missing.size(), 101);
    EXPECT_FALSE(report.missing.contains(QStringLiteral("malek")));
    EXPECT_EQ(report.target, file("newil.db"));
    EXPECT_TRUE(report.keptAs.isEmpty());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(quint64(8), quint64(8)));

    QStringList owners;
    for (std::size_t r = 1; r < exported.size(); ++r) {
        owners << exported[r][1];
    }
    EXPECT_EQ(column(file("newil.db"), QStringLiteral("SELECT malek FROM new ORDER BY rowid")),
              owners);
    // A field with no column: empty text, never null; a flag: 0.
    EXPECT_EQ(column(file("newil.db"), QStringLiteral("SELECT DISTINCT address FROM new")),
              QStringList{""});
    EXPECT_EQ(column(file("newil.db"), QStringLiteral("SELECT DISTINCT fooroosh FROM new")),
              QStringList{"0"});
    EXPECT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
    EXPECT_EQ(contents(mdb), before); // the Access file only read
    EXPECT_FALSE(QFileInfo::exists(temporary));
    EXPECT_EQ(filesIn(folder()), (QStringList{"newil.db", "newil.mdb"}));
}

TEST_F(ImportTest, ThePasswordIsTheFirstRowsPasssecurity) {
    const QString mdb = put("pc.mdb", passwordMdb());
    const std::vector<QStringList> exported = mdbExport(mdb, QStringLiteral("pc"));
    ASSERT_EQ(exported.size(), 2u);
    const int at = exported[0].indexOf(QStringLiteral("passsecurity"));
    ASSERT_GE(at, 0);
    const QString memo = exported[1][at];
    ASSERT_GT(memo.size(), 300); // a memo of a few hundred characters

    const ImportReport report = importPassword(mdb, folder());
    EXPECT_EQ(report.rowsRead, 1u);
    EXPECT_EQ(report.rowsStored, 1u);
    EXPECT_TRUE(report.missing.isEmpty());
    EXPECT_EQ(report.extra.size(), 73);
    EXPECT_EQ(column(file("pc.db"), QStringLiteral("SELECT passsecurity FROM pc ORDER BY rowid")),
              QStringList{memo});
    EXPECT_EQ(modeOf(file("pc.db")), 0600u);
    EXPECT_EQ(prepareStoreFile(folder(), passwordTable()), QString());
}

TEST_F(ImportTest, ADamagedFileLeavesNoStoreAndNoTemporaryFile) {
    QByteArray overwritten = listingsMdb();
    overwritten.replace(0, 4096, QByteArray(4096, '\xff'));
    QByteArray encrypted = listingsMdb();
    encrypted[0x3f] = static_cast<char>(encrypted[0x3f] ^ 0x21);
    const std::pair<const char*, QByteArray> damaged[] = {
        {"cut in a page", listingsMdb().left(123457)},
        {"cut before its rows", listingsMdb().left(55 * 4096)},
        {"header overwritten", overwritten},
        {"encrypted", encrypted},
        {"without table new", readFixture(QStringLiteral("testV1997.mdb"))},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        const QString mdb = put("newil.mdb", bytes);
        QString temporary;
        ImportOptions options;
        options.temporaryCreated = [&](const QString& path) { temporary = path; };
        try {
            importListings(mdb, folder(), options);
            ADD_FAILURE() << "imported";
        } catch (const ImportError& e) {
            EXPECT_TRUE(e.message().contains(shownPath(mdb))) << e.message().toStdString();
        }
        EXPECT_EQ(filesIn(folder()), QStringList{"newil.mdb"});
        if (!temporary.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(temporary));
        }
        EXPECT_EQ(contents(mdb), bytes);
    }
}

TEST_F(ImportTest, AnExistingStoreIsRefusedAndWhenReplacedKeptWhole) {
    const QString mdb = put("newil.mdb", listingsMdb());
    ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
    {
        sql::Database db(file("newil.db"), SQLITE_OPEN_READWRITE);
        db.exec("INSERT INTO new (malek) VALUES ('old owner')");
    }
    const QByteArray before = contents(file("newil.db"));
    try {
        importListings(mdb, folder());
        FAIL() << "replaced without being told";
    } catch (const ImportError& e) {
        EXPECT_EQ(e.problem(), ImportProblem::TargetExists);
        EXPECT_TRUE(e.message().contains(shownPath(file("newil.db"))));
    }
    EXPECT_EQ(contents(file("newil.db")), before);
    EXPECT_EQ(filesIn(folder()), (QStringList{"newil.db", "newil.mdb"}));

    // A row written through the journal and not yet in the file itself.
    sql::Database writer(file("newil.db"), SQLITE_OPEN_READWRITE);
    writer.exec("PRAGMA wal_autocheckpoint = 0");
    writer.exec("INSERT INTO new (malek) VALUES ('newer owner')");
    // Another copy holds the file open: it is not replaced under it.
    ImportOptions replace;
    replace.replace = true;
    try {
        importListings(mdb, folder(), replace);
        FAIL() << "replaced a file in use";
    } catch (const ImportError& e) {
        EXPECT_EQ(e.problem(), ImportProblem::CannotStore);
    }
    EXPECT_EQ(column(file("newil.db"), QStringLiteral("SELECT count(*) FROM new")),
              QStringList{"2"});
    writer.close();

    const ImportReport report = importListings(mdb, folder(), replace);
    EXPECT_EQ(column(file("newil.db"), QStringLiteral("SELECT count(*) FROM new")),
              QStringList{"8"});
    ASSERT_FALSE(report.keptAs.isEmpty());
    EXPECT_EQ(column(report.keptAs, QStringLiteral("SELECT malek FROM new ORDER BY rowid")),
              (QStringList{"old owner", "newer owner"}));
    EXPECT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
}

TEST_F(ImportTest, WaitingFilesAreFoundInAnyCaseOnlyWhereTheStoreIsMissing) {
    EXPECT_FALSE(pendingImports(folder()).any());
    put("NEWIL.MDB", "x");
    put("Pc.mdb", "x");
    PendingImports pending = pendingImports(folder());
    EXPECT_EQ(pending.listings, file("NEWIL.MDB"));
    EXPECT_EQ(pending.password, file("Pc.mdb"));
    put("pc.db", "x");
    pending = pendingImports(folder());
    EXPECT_EQ(pending.listings, file("NEWIL.MDB"));
    EXPECT_TRUE(pending.password.isEmpty());
}

TEST(ImportProtocolTest, LinesReadBackWhateverTheirPayload) {
    const QString message = QStringLiteral("فايل x\nآسيب ديده است: @error y");
    const protocol::Message read = protocol::parse(protocol::line(protocol::kError, message));
    EXPECT_EQ(read.word, QLatin1String(protocol::kError));
    EXPECT_EQ(read.payload, QStringLiteral("فايل x آسيب ديده است: @error y"));
    EXPECT_TRUE(protocol::parse(QStringLiteral("offset 4096 is beyond EOF")).word.isEmpty());
}

} // namespace
