// The reading layer on the public Access fixtures, against what mdb-export
// prints, and on copies damaged in the ways an agency's file can be.

#include "import/importerror.h"
#include "import/mdbreader.h"
#include "tests/support/importfixtures.h"
#include "tests/support/testenv.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmoran;
using namespace velmoran::import;
using namespace velmoran::test;

namespace {

std::vector<MdbRow> readAll(MdbTable& table) {
    std::vector<MdbRow> rows;
    MdbRow row;
    while (table.next(row)) {
        rows.push_back(row);
    }
    return rows;
}

QStringList columnNames(const MdbTable& table) {
    QStringList names;
    for (const MdbColumn& column : table.columns()) {
        names << column.name;
    }
    return names;
}

class MdbReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        writeFile(path, bytes);
        return path;
    }
    ImportProblem problemOf(const QString& path) {
        try {
            MdbDatabase database(path);
            for (const QString& table : database.tableNames()) {
                std::unique_ptr<MdbTable> reader = database.openTable(table);
                readAll(*reader);
            }
        } catch (const ImportError& e) {
            EXPECT_TRUE(e.message().contains(shownPath(path))) << e.message().toStdString();
            return e.problem();
        }
        ADD_FAILURE() << "read without a failure: " << path.toStdString();
        return ImportProblem::CannotRead;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(MdbReaderTest, EveryFixtureReadsBackAsMdbExportPrintsIt) {
    for (const char* name :
         {"testV1997.mdb", "delTestV2000.mdb", "test2V2000.mdb", "testUnicodeCompV2003.mdb"}) {
        SCOPED_TRACE(name);
        const QString path = mdbFixture(QLatin1String(name));
        MdbDatabase database(path);
        ASSERT_EQ(database.tableNames(), mdbTables(path));
        for (const QString& tableName : database.tableNames()) {
            SCOPED_TRACE(tableName.toStdString());
            std::unique_ptr<MdbTable> table = database.openTable(tableName);
            const std::vector<QStringList> expected = mdbExport(path, tableName);
            ASSERT_FALSE(expected.empty());
            EXPECT_EQ(columnNames(*table), expected.front());
            const std::vector<MdbRow> rows = readAll(*table);
            ASSERT_EQ(rows.size() + 1, expected.size());
            for (std::size_t r = 0; r < rows.size(); ++r) {
                EXPECT_EQ(QStringList(rows[r].begin(), rows[r].end()), expected[r + 1])
                    << "row " << r;
            }
            EXPECT_EQ(table->rowsRead(), table->declaredRows());
        }
    }
}

TEST_F(MdbReaderTest, ColumnKindsAndTheirText) {
    MdbDatabase jet3(mdbFixture(QStringLiteral("testV1997.mdb")));
    EXPECT_EQ(jet3.header().jetVersion, 3);
    std::unique_ptr<MdbTable> table = jet3.openTable(QStringLiteral("table1")); // any case
    EXPECT_EQ(table->name(), QStringLiteral("Table1"));
    const ColumnKind kinds[] = {ColumnKind::Text,   ColumnKind::Text,   ColumnKind::Number,
                                ColumnKind::Number, ColumnKind::Number, ColumnKind::Number,
                                ColumnKind::Date,   ColumnKind::Number, ColumnKind::Flag};
    ASSERT_EQ(table->columns().size(), std::size(kinds));
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        EXPECT_EQ(table->columns()[i].kind, kinds[i]) << i;
    }
    // Recorded: text, byte, integer, long, double, date, currency, yes/no.
    const std::vector<MdbRow> rows = readAll(*table);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(QStringList(rows[1].begin(), rows[1].end()),
              (QStringList{"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555",
                           "09/21/74 00:00:00", "3.5000", "1"}));
    EXPECT_EQ(rows[0].back(), QStringLiteral("0"));

    MdbDatabase jet4(mdbFixture(QStringLiteral("test2V2000.mdb")));
    std::unique_ptr<MdbTable> projects = jet4.openTable(QStringLiteral("MSP_PROJECTS"));
    for (const MdbColumn& column : projects->columns()) {
        if (column.name == QLatin1String("PROJ_PROP_AUTHOR")) {
            EXPECT_EQ(column.kind, ColumnKind::Text); // a memo
        } else if (column.name == QLatin1String("RESERVED_BINARY_DATA")) {
            EXPECT_EQ(column.kind, ColumnKind::Binary);
        }
    }
}

TEST_F(MdbReaderTest, Jet4TextIsUnicode) {
    MdbDatabase database(mdbFixture(QStringLiteral("testUnicodeCompV2003.mdb")));
    EXPECT_EQ(database.header().jetVersion, 4);
    std::unique_ptr<MdbTable> table = database.openTable(QStringLiteral("Table"));
    const std::vector<MdbRow> rows = readAll(*table);
    ASSERT_EQ(rows.size(), 8u);
    // Recorded, in stored order (the Greek with its polytonic accents).
    const QStringList expected{
        QStringLiteral("only ascii chars"), QStringLiteral("ääkkösiä"), QStringLiteral("Мир"),
        QStringLiteral("\u03f0\u03b1\u1f76 \u03c4\u1f79\u03c4' \u1f10\u03b3\u1f7c "
                       "\u039a\u1f7b\u03f0\u03bb\u03c9\u03c0\u03b1"),
        QStringLiteral("漢字仮名交じり文")};
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rows[i][0], QString::number(i + 1));
        EXPECT_EQ(rows[i][1], expected[i]);
    }
    EXPECT_TRUE(rows[7][1].endsWith(QStringLiteral("ÝÞßàáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ")));
}

TEST_F(MdbReaderTest, Jet3TextIsDecodedByTheDeclaredCodePageOrAsArabicScript) {
    // The library's own choice, or a $MDB_JET3_CHARSET of the user's, must
    // not change what is read.
    qputenv("MDB_JET3_CHARSET", "CP1252");
    struct Case {
        int declared;
        QByteArray encoding;
        QByteArray exportedAs; // what mdb-export needs to be told to agree
    };
    for (const Case& c : {Case{1256, "CP1256", "WINDOWS-1256"}, Case{0, "CP1256", "WINDOWS-1256"},
                          Case{1251, "CP1251", "WINDOWS-1251"}}) {
        SCOPED_TRACE(c.declared);
        const QString path =
            write(QStringLiteral("jet3-%1.mdb").arg(c.declared), jet3WithArabicText(c.declared));
        MdbDatabase database(path);
        EXPECT_EQ(database.header().codePage, c.declared);
        EXPECT_EQ(database.textEncoding(), c.encoding);
        std::unique_ptr<MdbTable> table = database.openTable(QStringLiteral("Table1"));
        const std::vector<MdbRow> rows = readAll(*table);
        ASSERT_EQ(rows.size(), 2u);
        const std::vector<QStringList> exported =
            mdbExport(path, QStringLiteral("Table1"), c.exportedAs);
        ASSERT_EQ(exported.size(), 3u);
        EXPECT_EQ(rows[1][0], exported[2][0]);
        if (c.declared != 1251) {
            EXPECT_EQ(rows[1][0], arabicText());
        } else {
            EXPECT_EQ(rows[1][0], QStringLiteral("ЃЗСЯндђ"));
        }
    }
    qunsetenv("MDB_JET3_CHARSET");
    // Where the file declares nothing, the library's default reads Western
    // letters: never what we read.
    const QString none = write(QStringLiteral("none.mdb"), jet3WithArabicText(0));
    EXPECT_NE(mdbExport(none, QStringLiteral("Table1"))[2][0], arabicText());
}

TEST_F(MdbReaderTest, RowsKeepTheirOrderAndDeletedRowsStayGone) {
    const QString path = mdbFixture(QStringLiteral("delTestV2000.mdb"));
    // The table's data page holds three row slots, the second one deleted.
    const QByteArray file = readFixture(QStringLiteral("delTestV2000.mdb"));
    const auto* page = reinterpret_cast<const unsigned char*>(file.constData()) + 31 * 4096;
    ASSERT_EQ(page[0], 1);                // a data page
    ASSERT_EQ(page[4], 23);               // of the table defined on page 23
    ASSERT_EQ(page[12], 3);               // three slots
    ASSERT_EQ(page[14 + 3] & 0x80, 0x80); // the second is deleted
    MdbDatabase database(path);
    std::unique_ptr<MdbTable> table = database.openTable(QStringLiteral("Table"));
    const std::vector<MdbRow> rows = readAll(*table);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (MdbRow{"z", "y"}));
    EXPECT_EQ(rows[1], (MdbRow{"v", "u"}));
}

TEST_F(MdbReaderTest, DamagedFilesAreNamedWithTheirProblem) {
    const QByteArray good = listingsMdb();
    QByteArray sqlite("SQLite format 3\0", 16);
    sqlite.append(QByteArray(8192, '\0'));
    EXPECT_EQ(problemOf(write(QStringLiteral("text.mdb"), "just some text\n")),
              ImportProblem::NotAccess);
    EXPECT_EQ(problemOf(write(QStringLiteral("empty.mdb"), QByteArray())),
              ImportProblem::NotAccess);
    EXPECT_EQ(problemOf(write(QStringLiteral("sqlite.mdb"), sqlite)), ImportProblem::NotAccess);
    QByteArray header = good;
    header.replace(0, 64, QByteArray(64, 'x'));
    EXPECT_EQ(problemOf(write(QStringLiteral("header.mdb"), header)), ImportProblem::NotAccess);
    QByteArray ace = good;
    ace.replace(4, 15, "Standard ACE DB");
    EXPECT_EQ(problemOf(write(QStringLiteral("ace.accdb"), ace)),
              ImportProblem::UnsupportedVersion);
    // Cut anywhere, and cut at a page's end after the table's definition
    // (page 53) but before its rows (page 55).
    EXPECT_EQ(problemOf(write(QStringLiteral("cut.mdb"), good.left(100000))),
              ImportProblem::Truncated);
    EXPECT_EQ(problemOf(write(QStringLiteral("short.mdb"), good.left(100))),
              ImportProblem::Truncated);
    EXPECT_EQ(problemOf(write(QStringLiteral("pages.mdb"), good.left(55 * 4096))),
              ImportProblem::Damaged);
    QByteArray encrypted = good;
    encrypted[0x3e] = static_cast<char>(encrypted[0x3e] ^ 0x5a);
    EXPECT_EQ(problemOf(write(QStringLiteral("encrypted.mdb"), encrypted)),
              ImportProblem::Encrypted);
    EXPECT_EQ(problemOf(QStringLiteral("/nonexistent/newil.mdb")), ImportProblem::CannotRead);
}

TEST_F(MdbReaderTest, AMissingTableIsNamed) {
    MdbDatabase database(mdbFixture(QStringLiteral("delTestV2000.mdb")));
    try {
        database.openTable(QStringLiteral("new"));
        FAIL() << "no table new in the fixture";
    } catch (const ImportError& e) {
        EXPECT_EQ(e.problem(), ImportProblem::NoTable);
        EXPECT_TRUE(e.message().contains(QStringLiteral("new")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("delTestV2000.mdb")));
    }
}

} // namespace
