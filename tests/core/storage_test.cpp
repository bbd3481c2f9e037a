#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <map>
#include <sys/stat.h>
#include <thread>

using namespace velmoran;

namespace {

class StorageTest : public velmoran::test::DataFolderTest {
protected:
    QString path(const char* name) const { return QDir(folder()).filePath(name); }

    static QByteArray bytes(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    static unsigned mode(const QString& file) {
        struct stat st {};
        EXPECT_EQ(::stat(file.toLocal8Bit().constData(), &st), 0) << file.toStdString();
        return st.st_mode & 0777;
    }

    // Builds a listings file by `sql` under the listings name.
    void makeListings(const char* sqlText) {
        sql::Database db(path("newil.db"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec(sqlText);
    }

    // Every listing column, for a hand-made table.
    static QString allColumns() {
        QStringList columns;
        for (std::size_t i = 0; i < kListingFieldCount; ++i) {
            columns << sql::quoted(kListingFields[i].name);
        }
        return columns.join(", ");
    }

    // prepareStore must refuse the file with a message naming it and leave it
    // byte for byte as it was.
    void expectRefusedUnchanged(const char* what) {
        const QString file = path("newil.db");
        const QByteArray before = bytes(file);
        const QString message = prepareStoreFile(folder(), listingsTable());
        EXPECT_FALSE(message.isEmpty()) << what;
        EXPECT_TRUE(message.contains(test::shownPath(file)))
            << what << ": " << message.toStdString();
        EXPECT_EQ(bytes(file), before) << what;
        EXPECT_THROW(RecordSource(folder(), listingsTable()), StoreError) << what;
        EXPECT_EQ(bytes(file), before) << what;
    }
};

TEST_F(StorageTest, CreatesTheListingsTableWithOneColumnPerFieldInAWriteAheadJournal) {
    ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
    // Nothing of the building is left behind.
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"newil.db"});
    sql::Database db(path("newil.db"), SQLITE_OPEN_READONLY);
    sql::Statement info =
        db.prepare("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info('new')");
    std::map<QString, QStringList> columns;
    while (info.step()) {
        columns[info.columnText(0)] = {info.columnText(1), info.columnText(2), info.columnText(3),
                                       info.columnText(4)};
    }
    ASSERT_EQ(columns.size(), kListingFieldCount + 1);
    EXPECT_EQ(columns["id"], (QStringList{"INTEGER", "0", "", "1"}));
    for (std::size_t i = 0; i < kListingFieldCount; ++i) {
        const FieldDef& f = kListingFields[i];
        ASSERT_TRUE(columns.count(f.name)) << f.name;
        const QStringList expected = f.kind == FieldKind::Flag
                                         ? QStringList{"INTEGER", "1", "0", "0"}
                                         : QStringList{"TEXT", "1", "''", "0"};
        EXPECT_EQ(columns[f.name], expected) << f.name;
    }
    sql::Statement journal = db.prepare("PRAGMA journal_mode");
    ASSERT_TRUE(journal.step());
    EXPECT_EQ(journal.columnText(0), "wal");
}

TEST_F(StorageTest, PasswordFileIsOwnerOnlyWithOneEmptyRowAndItsJournalsToo) {
    ASSERT_EQ(prepareStoreFile(folder(), passwordTable()), QString());
    EXPECT_EQ(mode(path("pc.db")), 0600u);
    {
        sql::Database db(path("pc.db"), SQLITE_OPEN_READONLY);
        sql::Statement rows = db.prepare("SELECT passsecurity FROM pc ORDER BY rowid");
        ASSERT_TRUE(rows.step());
        EXPECT_FALSE(rows.isNull(0));
        EXPECT_EQ(rows.columnText(0), "");
        EXPECT_FALSE(rows.step());
    }
    RecordSource pc(folder(), passwordTable());
    pc.setText(0, "secret");
    pc.Update();
    EXPECT_EQ(mode(path("pc.db-wal")), 0600u);
    EXPECT_EQ(mode(path("pc.db-shm")), 0600u);
}

TEST_F(StorageTest, AnExistingSoundFileIsUsedAsItIsExtraColumnsIncluded) {
    makeListings(QStringLiteral("CREATE TABLE New (extra TEXT, %1, more INTEGER)")
                     .arg(allColumns())
                     .toUtf8()
                     .constData());
    {
        sql::Database db(path("newil.db"), SQLITE_OPEN_READWRITE);
        db.exec("PRAGMA journal_mode = WAL");
        db.exec("INSERT INTO New (extra, malek) VALUES ('kept', 'a')");
    }
    const QByteArray before = bytes(path("newil.db"));
    const QString problem = prepareStoreFile(folder(), listingsTable());
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(bytes(path("newil.db")), before);
    RecordSource source(folder(), listingsTable());
    EXPECT_EQ(source.text(listingsTable().indexOf("malek")), "a");
    source.setText(listingsTable().indexOf("malek"), "b");
    source.Update();
    sql::Database db(path("newil.db"), SQLITE_OPEN_READONLY);
    sql::Statement st = db.prepare("SELECT extra, malek FROM new");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.columnText(0), "kept");
    EXPECT_EQ(st.columnText(1), "b");
}

TEST_F(StorageTest, DamagedOrForeignFilesAreRefusedAndLeftByteForByte) {
    const QString file = path("newil.db");
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"not a database",
         [&] {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(5000, 'x') + "آگهي");
         }},
        {"empty file",
         [&] {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         }},
        {"missing table", [&] { makeListings("CREATE TABLE other (malek TEXT)"); }},
        {"view instead of table",
         [&] {
             makeListings(QStringLiteral("CREATE TABLE t (%1); CREATE VIEW new AS SELECT * FROM t")
                              .arg(allColumns())
                              .toUtf8()
                              .constData());
         }},
        {"missing column",
         [&] {
             QString columns = allColumns();
             columns.remove(QStringLiteral(", \"vahed02\""));
             makeListings(
                 QStringLiteral("CREATE TABLE new (%1)").arg(columns).toUtf8().constData());
         }},
        {"without rowid",
         [&] {
             makeListings(QStringLiteral("CREATE TABLE new (k INTEGER PRIMARY KEY, %1) "
                                         "WITHOUT ROWID")
                              .arg(allColumns())
                              .toUtf8()
                              .constData());
         }},
        {"read-only by mode",
         [&] {
             makeListings(
                 QStringLiteral("CREATE TABLE new (%1)").arg(allColumns()).toUtf8().constData());
             ASSERT_EQ(::chmod(file.toLocal8Bit().constData(), 0444), 0);
         }},
    };
    for (const auto& [what, make] : cases) {
        QFile::remove(file);
        make();
        expectRefusedUnchanged(what);
        ::chmod(file.toLocal8Bit().constData(), 0644);
    }
    QFile::remove(file);
    ASSERT_TRUE(QDir(folder()).mkdir("newil.db"));
    EXPECT_FALSE(prepareStoreFile(folder(), listingsTable()).isEmpty());
}

TEST_F(StorageTest, TwoCopiesStartingAtOnceShareOneFile) {
    for (int round = 0; round < 10; ++round) {
        const QString dir = QDir(folder()).filePath(QString::number(round));
        ASSERT_TRUE(QDir().mkpath(dir));
        QString first, second;
        std::thread a([&] { first = prepareStoreFile(dir, passwordTable()); });
        std::thread b([&] { second = prepareStoreFile(dir, passwordTable()); });
        a.join();
        b.join();
        EXPECT_TRUE(first.isEmpty()) << first.toStdString();
        EXPECT_TRUE(second.isEmpty()) << second.toStdString();
        // One store and no temporary file. The write-ahead journal's two
        // files may stay beside it: a check closing last leaves them (it must
        // not fold the journal), and SQLite takes them up at the next open.
        QStringList files = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(QStringLiteral("pc.db-wal"));
        files.removeAll(QStringLiteral("pc.db-shm"));
        EXPECT_EQ(files, QStringList{"pc.db"});
        sql::Database db(QDir(dir).filePath("pc.db"), SQLITE_OPEN_READONLY);
        sql::Statement count = db.prepare("SELECT count(*) FROM pc");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.columnInt(0), 1);
    }
}

} // namespace
