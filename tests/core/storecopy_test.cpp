#include "data/core/applicants.h"
#include "data/maintenance/storecopy.h"
#include "data/postgres/pgconnection.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <random>

using namespace velmoran;
using velmoran::test::TestDatabase;

namespace {

// One table's rows, each as its id and its values in field order, the way a
// plain SQL reader sees them.
using Dump = std::vector<QStringList>;

QString columnsOf(const TableSpec& layout) {
    QStringList names;
    for (std::size_t i = 0; i < layout.fieldCount; ++i) {
        names << sql::quoted(layout.fields[i].name);
    }
    return names.join(", ");
}

Dump dumpFile(const QString& path, const TableSpec& layout) {
    sql::Database db(path, SQLITE_OPEN_READONLY);
    sql::Statement rows = db.prepare(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                                         .arg(columnsOf(layout), sql::quoted(layout.table)));
    Dump dump;
    while (rows.step()) {
        QStringList row;
        for (int c = 0; c <= static_cast<int>(layout.fieldCount); ++c) {
            row << rows.columnText(c);
        }
        dump.push_back(row);
    }
    return dump;
}

Dump dumpServer(const QString& conninfo, const TableSpec& layout) {
    pg::Connection c(conninfo);
    const pg::Result rows = c.exec(QStringLiteral("SELECT id, %1 FROM %2 ORDER BY id")
                                       .arg(columnsOf(layout), sql::quoted(layout.table)),
                                   {});
    Dump dump;
    for (int r = 0; r < rows.rows(); ++r) {
        QStringList row;
        for (int c = 0; c <= static_cast<int>(layout.fieldCount); ++c) {
            row << rows.text(r, c);
        }
        dump.push_back(row);
    }
    return dump;
}

long long sqliteSequence(const QString& path) {
    sql::Database db(path, SQLITE_OPEN_READONLY);
    sql::Statement seq = db.prepare("SELECT seq FROM sqlite_sequence WHERE name = 'new'");
    return seq.step() ? seq.columnInt(0) : 0;
}

class StoreCopyTest : public velmoran::test::ServerFolderTest {
protected:
    QString listings() const { return QDir(folder()).filePath("newil.db"); }
    QString passwords() const { return QDir(folder()).filePath("pc.db"); }

    // A data folder of `count` listings with every kind of text a field can
    // hold, ids with gaps (rows deleted) and ids given out past the last row.
    void fillFolder(int count) {
        ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
        ASSERT_EQ(prepareStoreFile(folder(), passwordTable()), QString());
        const QStringList odd = {QString(),
                                 QStringLiteral("علي كريمي"),
                                 QStringLiteral("it's \"quoted\""),
                                 QStringLiteral("tab\there, line\nbreak, return\r"),
                                 QStringLiteral("back\\slash \\N \\t"),
                                 QStringLiteral("۱٬۵۰۰٫۵ تومان"),
                                 QStringLiteral("emoji 🏠 and ‏marks‎"),
                                 QString(20000, QChar(0x0645))};
        std::mt19937 random(7);
        sql::Database db(listings(), SQLITE_OPEN_READWRITE);
        db.exec("BEGIN");
        sql::Statement insert =
            db.prepare(QStringLiteral("INSERT INTO new (%1) VALUES (%2)")
                           .arg(columnsOf(listingsTable()),
                                QStringList(QVector<QString>(kListingFieldCount, "?")).join(',')));
        for (int n = 0; n < count; ++n) {
            for (std::size_t i = 0; i < kListingFieldCount; ++i) {
                const int p = static_cast<int>(i) + 1;
                if (kListingFields[i].kind == FieldKind::Flag) {
                    insert.bindInt(p, random() % 2 ? -1 : 0);
                } else {
                    insert.bindText(p, random() % 3 ? QString::number(random() % 100000)
                                                    : odd[random() % odd.size()]);
                }
            }
            insert.run();
        }
        db.exec("DELETE FROM new WHERE rowid % 7 = 3");
        db.exec(QStringLiteral("DELETE FROM new WHERE rowid > %1").arg(count - 5));
        db.exec("COMMIT");
        sql::Database pc(passwords(), SQLITE_OPEN_READWRITE);
        pc.exec("UPDATE pc SET passsecurity = 'رمز\t\\ ''x'''");
    }
};

TEST_F(StoreCopyTest, UpAndBackEveryRowExactInOrderWithTheIdsGivenOut) {
    fillFolder(400);
    // The applicants kept beside the listings go along, ids and all.
    const StoreLocation files{folder(), QString()};
    ASSERT_EQ(prepareStore(files, applicantsTable()), QString());
    {
        const std::unique_ptr<TableStore> table = openTableStore(files, applicantsTable());
        const TableSpec& layout = applicantsTable();
        RowValues row{std::vector<QString>(layout.fieldCount),
                      std::vector<bool>(layout.fieldCount, false)};
        for (int n = 0; n < 5; ++n) {
            row.texts[0] = QStringLiteral("متقاضي\t%1 \\N").arg(n);
            row.texts[static_cast<std::size_t>(layout.indexOf(applicant::kDistricts))] =
                QStringLiteral("5\nمنطقه يك");
            row.flags[static_cast<std::size_t>(layout.indexOf("rahn"))] = n % 2 == 0;
            table->insert(row);
        }
        table->remove(2);
    }
    const Dump applicantRows = dumpFile(listings(), applicantsTable());
    ASSERT_EQ(applicantRows.size(), 4u);
    const Dump listingRows = dumpFile(listings(), listingsTable());
    const Dump passwordRows = dumpFile(passwords(), passwordTable());
    const long long given = sqliteSequence(listings());
    ASSERT_GT(given, listingRows.back().at(0).toLongLong());

    std::vector<long long> reported;
    CopyOptions options;
    options.progress = [&](long long rows) { reported.push_back(rows); };
    const CopyCounts up = copyToServer(folder(), server(), options);
    EXPECT_EQ(up.listings, static_cast<long long>(listingRows.size()));
    EXPECT_EQ(up.passwords, 1);
    EXPECT_EQ(dumpServer(server(), listingsTable()), listingRows);
    EXPECT_EQ(dumpServer(server(), passwordTable()), passwordRows);
    EXPECT_EQ(up.applicants, 4);
    EXPECT_EQ(dumpServer(server(), applicantsTable()), applicantRows);

    // The server goes on after every id the folder gave out.
    {
        RecordSource source(StoreLocation{folder(), server()}, listingsTable());
        EXPECT_EQ(source.currentRowId(), listingRows.front().at(0).toLongLong());
        source.AddNew();
        source.setText(listingsTable().indexOf("malek"), "new on the server");
        source.Update();
        EXPECT_GT(source.currentRowId(), given);
        source.Delete(); // the last id given is now past every row
    }

    const QString back = QDir(folder()).filePath("back");
    const CopyCounts down = copyFromServer(server(), back);
    EXPECT_EQ(down.listings, up.listings);
    EXPECT_EQ(down.passwords, 1);
    EXPECT_EQ(dumpFile(QDir(back).filePath("newil.db"), listingsTable()), listingRows);
    EXPECT_EQ(dumpFile(QDir(back).filePath("pc.db"), passwordTable()), passwordRows);
    EXPECT_EQ(down.applicants, 4);
    EXPECT_EQ(dumpFile(QDir(back).filePath("newil.db"), applicantsTable()), applicantRows);
    EXPECT_GT(sqliteSequence(QDir(back).filePath("newil.db")), given);
    // Files the program takes as they are, and nothing else left behind.
    EXPECT_EQ(prepareStoreFile(back, listingsTable()), QString());
    EXPECT_EQ(prepareStoreFile(back, passwordTable()), QString());
    EXPECT_EQ(QDir(back).entryList(QDir::Files | QDir::Hidden).filter(".copy-"), QStringList());
    RecordSource copied(back, passwordTable());
    EXPECT_EQ(copied.text(0), passwordRows.front().at(1));
}

TEST_F(StoreCopyTest, AServerThatHoldsListingsOrAPasswordIsRefusedUnlessReplaced) {
    fillFolder(30);
    const StoreLocation onServer{folder(), server()};
    ASSERT_EQ(prepareStore(onServer, listingsTable()), QString());
    ASSERT_EQ(prepareStore(onServer, passwordTable()), QString());
    {
        RecordSource pc(onServer, passwordTable());
        pc.setText(0, "already set");
        pc.Update();
    }
    try {
        copyToServer(folder(), server());
        FAIL() << "copied over a password";
    } catch (const CopyError& e) {
        EXPECT_EQ(e.kind(), CopyError::Kind::NotEmpty);
        EXPECT_TRUE(e.message().contains(pg::displayName(server()))) << e.what();
    }
    EXPECT_EQ(dumpServer(server(), listingsTable()).size(), 0u);
    EXPECT_EQ(dumpServer(server(), passwordTable()).at(0).at(1), "already set");

    CopyOptions replace;
    replace.replace = true;
    copyToServer(folder(), server(), replace);
    EXPECT_EQ(dumpServer(server(), listingsTable()), dumpFile(listings(), listingsTable()));
    EXPECT_EQ(dumpServer(server(), passwordTable()), dumpFile(passwords(), passwordTable()));
}

TEST_F(StoreCopyTest, ARowTheServerRefusesLeavesTheServerAsItWas) {
    fillFolder(50);
    {
        // Bytes that are not UTF-8 text, deep in the table.
        sql::Database db(listings(), SQLITE_OPEN_READWRITE);
        db.exec("UPDATE new SET malek = CAST(x'ff41' AS TEXT) WHERE rowid = 40");
    }
    try {
        copyToServer(folder(), server());
        FAIL() << "copied a row the server can't hold";
    } catch (const CopyError& e) {
        EXPECT_EQ(e.kind(), CopyError::Kind::Failed);
        EXPECT_TRUE(e.message().contains(pg::displayName(server()))) << e.what();
    }
    // The tables were made, and nothing of the copy stayed in them.
    EXPECT_EQ(dumpServer(server(), listingsTable()).size(), 0u);
    const Dump pc = dumpServer(server(), passwordTable());
    ASSERT_EQ(pc.size(), 1u);
    EXPECT_EQ(pc[0].at(1), QString());
}

TEST_F(StoreCopyTest, FilesInTheTargetFolderAreKeptUnlessReplacedThenKeptBeside) {
    fillFolder(20);
    copyToServer(folder(), server());
    {
        RecordSource source(StoreLocation{folder(), server()}, listingsTable());
        source.setText(listingsTable().indexOf("malek"), "changed on the server");
        source.Update();
    }
    const Dump before = dumpFile(listings(), listingsTable());
    try {
        copyFromServer(server(), folder());
        FAIL() << "wrote over the folder's files";
    } catch (const CopyError& e) {
        EXPECT_EQ(e.kind(), CopyError::Kind::NotEmpty);
        EXPECT_TRUE(e.message().contains(test::shownPath(listings()))) << e.what();
    }
    CopyOptions replace;
    replace.replace = true;
    copyFromServer(server(), folder(), replace);
    EXPECT_EQ(dumpFile(listings(), listingsTable()), dumpServer(server(), listingsTable()));
    const QStringList kept = QDir(folder()).entryList({"newil.db.before-copy-*"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(dumpFile(QDir(folder()).filePath(kept[0]), listingsTable()), before);
    EXPECT_NE(dumpFile(listings(), listingsTable()), before);
}

TEST_F(StoreCopyTest, AFolderWithoutItsFilesIsNotCopied) {
    try {
        copyToServer(folder(), server());
        FAIL() << "copied a folder without a store";
    } catch (const CopyError& e) {
        EXPECT_EQ(e.kind(), CopyError::Kind::Failed);
        EXPECT_TRUE(e.message().contains(test::shownPath(listings()))) << e.what();
    }
    EXPECT_FALSE(QFile::exists(listings()));
}

} // namespace

// velmoran-cli backup on a desk whose configuration names a server: a copy
// down of the whole store into backups/server-<time>/, while the program may
// run, and nothing of the data folder's own files touched.
TEST_F(StoreCopyTest, TheToolsBackupOfAServersStoreIsACopyDownIntoAFolderOfItsOwn) {
    fillFolder(60);
    copyToServer(folder(), server());
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velmoran";
    ASSERT_TRUE(QDir().mkpath(config));
    QFile conf(config + "/velmoran.conf");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("[store]\nserver=%1\n").arg(server()).toUtf8());
    conf.close();
    const QByteArray before = [&] {
        QFile f(listings());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QProcess tool;
    tool.start(QStringLiteral(VELMORAN_CLI_TOOL), {"backup", "--folder", folder()});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QStringList made =
        QDir(QDir(folder()).filePath("backups")).entryList({"server-*"}, QDir::Dirs);
    ASSERT_EQ(made.size(), 1);
    const QString copy = QDir(folder()).filePath("backups/" + made.front());
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardOutput()).contains(made.front()));
    EXPECT_EQ(dumpFile(QDir(copy).filePath("newil.db"), listingsTable()),
              dumpServer(server(), listingsTable()));
    EXPECT_EQ(dumpFile(QDir(copy).filePath("pc.db"), passwordTable()),
              dumpServer(server(), passwordTable()));
    QFile after(listings());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}
