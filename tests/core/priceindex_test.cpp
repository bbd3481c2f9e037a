// The price indexes' reading of numbers against the program's own, on SQLite
// (built-in functions only) and on the server (the schema's function); which
// index a criterion walks; and a created file that any SQLite client can
// write.

#include "data/core/criterion.h"
#include "data/core/findcriterion.h"
#include "data/core/numbers.h"
#include "data/core/priceindex.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgpriceindex.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/sqlitepriceindex.h"
#include "data/store/recordsource.h"
#include "tests/support/findcases.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <random>

using namespace velmoran;
using velmoran::test::numberWritings;

namespace {

// The writings of the suites, and texts drawn from every character the
// reading knows (and a few it doesn't), short and up to the reading's limits.
QStringList textsToRead() {
    QStringList texts = numberWritings();
    const QStringList pieces = {"0", "5", "9", "۰", "۷",  "۹",  "٠",  "٣",      "٩", ",", "٬", ".",
                                "٫", "+", "-", " ", "\t", "\n", "\r", "\u00a0", "a", "ي", "e"};
    std::mt19937 random(7);
    for (int n = 0; n < 20000; ++n) {
        QString text;
        const int length = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % pieces.size()];
        }
        texts << text;
    }
    // Long numbers, where SQLite's reading and the program's may part in the
    // last digits.
    for (int n = 0; n < 3000; ++n) {
        QString text = random() % 3 == 0 ? QStringLiteral("-") : QString();
        const int whole = static_cast<int>(random() % 71);
        for (int i = 0; i < whole; ++i) {
            text += QChar('0' + static_cast<char>(random() % 10));
        }
        if (random() % 2) {
            text += QLatin1Char('.');
            const int fraction = static_cast<int>(random() % (72 - whole));
            for (int i = 0; i < fraction; ++i) {
                text += QChar('0' + static_cast<char>(random() % 10));
            }
        }
        texts << text;
    }
    return texts;
}

// The index walks a range a little wider than the numbers read: each number
// the program reads must be read by the index within a far smaller margin.
void expectClose(double indexed, double read, const QString& text) {
    EXPECT_LE(std::fabs(indexed - read), std::fabs(read) * 0x1p-40) << text.toStdString();
}

TEST(PriceIndexNumbers, SqliteReadsEveryNumberTheProgramReadsAndTheWalkTakesIt) {
    sql::Database db(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sql::Statement read =
        db.prepare(QStringLiteral("SELECT ") + sqliteNumberExpression(QStringLiteral("?1")));
    int numbers = 0;
    for (const QString& text : textsToRead()) {
        const std::optional<double> value = readNumber(text);
        if (!value) {
            continue; // the index may hold anything for it; the reading decides
        }
        ++numbers;
        read.reset();
        read.bindText(1, text);
        ASSERT_TRUE(read.step());
        ASSERT_FALSE(read.isNull(0)) << text.toStdString();
        const double indexed = sqlite3_column_double(read.handle(), 0);
        const bool arabicIndic = std::any_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x0660 && c.unicode() <= 0x0669;
        });
        if (arabicIndic) { // left to the program's reading: every walk takes it
            EXPECT_EQ(indexed, kSqliteUnreadNumber) << text.toStdString();
            continue;
        }
        expectClose(indexed, *value, text);
        // A range that holds the number just holds it in the widened walk.
        const double below = std::nextafter(*value, -INFINITY);
        const double above = std::nextafter(*value, INFINITY);
        EXPECT_GE(indexed, widenedLow(below)) << text.toStdString();
        EXPECT_LE(indexed, widenedHigh(above)) << text.toStdString();
    }
    EXPECT_GT(numbers, 5000);

    // A column without a type may hold numbers as numbers.
    db.exec("CREATE TABLE t (v)");
    db.exec("INSERT INTO t VALUES (5), (-2.5), (1e20), (0)");
    sql::Statement typed = db.prepare(
        QStringLiteral("SELECT v, %1 FROM t").arg(sqliteNumberExpression(QStringLiteral("v"))));
    while (typed.step()) {
        EXPECT_EQ(sqlite3_column_double(typed.handle(), 1),
                  sqlite3_column_double(typed.handle(), 0));
    }
}

// Every client that opens the file parses the indexes' expressions, and
// SQLite's parser holds only so many nested calls: the expression leaves
// room for ten more.
TEST(PriceIndexNumbers, SqliteParsesTheExpressionWithRoomToSpare) {
    sql::Database db(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    QString nested = sqliteNumberExpression(QStringLiteral("'۱٬۵۰۰'"));
    for (int level = 0; level < 10; ++level) {
        nested = QStringLiteral("abs(%1)").arg(nested);
    }
    sql::Statement st = db.prepare(QStringLiteral("SELECT ") + nested);
    ASSERT_TRUE(st.step());
    EXPECT_EQ(sqlite3_column_double(st.handle(), 0), 1500);
}

TEST(PriceIndexNumbers, TheServersFunctionReadsExactlyAsTheProgram) {
    velmoran::test::TestDatabase database;
    pg::Connection c(database.conninfo());
    c.exec(pgCreateFunctionSql(QString()), {});
    c.prepare("read", QStringLiteral("SELECT %1($1)").arg(QLatin1String(kPgNumberFunction)));
    const QStringList texts = textsToRead();
    for (int i = 0; i < texts.size(); i += 4) { // a quarter of them: a trip each
        const QString& text = texts[i];
        const pg::Result result = c.execPrepared("read", {pg::param(text)});
        const std::optional<double> value = readNumber(text);
        ASSERT_EQ(result.isNull(0, 0), !value) << text.toStdString();
        if (value) {
            EXPECT_EQ(result.text(0, 0).toDouble(), *value) << text.toStdString();
        }
    }
}

std::vector<const PriceIndex*> all() {
    std::vector<const PriceIndex*> indexes;
    for (const PriceIndex& index : priceIndexes(listingsTable())) {
        indexes.push_back(&index);
    }
    return indexes;
}

TEST(PriceIndexWalks, EveryPanelRowWalksAnIndexOfItsDealAndKind) {
    const TableSpec& layout = listingsTable();
    int served = 0;
    for (const QString& text : velmoran::test::panelCriteria({"100", "5000"}, {"x"}, 2, 1)) {
        const Criterion c(text, layout);
        const std::vector<PriceWalk> walks = priceWalks(c, all());
        if (text.startsWith(QLatin1String("malek"))) {
            EXPECT_TRUE(walks.empty()); // the owner find is no price range
            continue;
        }
        ASSERT_FALSE(walks.empty()) << text.toStdString();
        ++served;
        // Each walk holds only rows with the flags the criterion requires,
        // and no fewer of them than another index would.
        const bool rent = text.contains(QLatin1String("vahed02"));
        EXPECT_EQ(walks.size(), rent ? 2u : 1u) << text.toStdString();
        for (const PriceWalk& walk : walks) {
            for (int f : walk.index->flags) {
                EXPECT_TRUE(text.contains(QString::fromUtf8(layout.fields[f].name) + " = -1"))
                    << text.toStdString();
            }
            const int flagsTested = static_cast<int>(text.count(QLatin1String("= -1")));
            EXPECT_EQ(static_cast<int>(walk.index->flags.size()), flagsTested);
            EXPECT_EQ(walk.ranges.size(), walk.index->keys.size()) << text.toStdString();
        }
    }
    EXPECT_EQ(served, 2 * 21); // 18 deal and kind rows and 3 deal rows
}

TEST(PriceIndexWalks, NoIndexIsWalkedForRowsItMayNotHold) {
    const TableSpec& layout = listingsTable();
    for (const char* text :
         {"gheymatehkoole > '1' and fooroosh = 0", "gheymatehkoole > '1' and fooroosh = '-1'",
          "gheymatehkoole > '1' and fooroosh < 0", "gheymatehkoole > 'abc' and fooroosh = -1",
          "gheymatehkoole = '1' and fooroosh = -1", "vahed02 > '1' and fooroosh = -1",
          "tel03 > '1' and rahn = -1 and vila = -1", "gheymatehkoole > '1'"}) {
        EXPECT_TRUE(priceWalks(Criterion(QString::fromUtf8(text), layout), all()).empty()) << text;
    }
    // Without the deal and kind index, the deal's serves.
    const Criterion c(QStringLiteral("gheymatehkoole > '1' and rahn = -1 and vila = -1"), layout);
    std::vector<const PriceIndex*> some;
    for (const PriceIndex* index : all()) {
        if (index->flags.size() == 1) {
            some.push_back(index);
        }
    }
    const std::vector<PriceWalk> walks = priceWalks(c, some);
    ASSERT_EQ(walks.size(), 1u);
    EXPECT_EQ(walks[0].index->name, QStringLiteral("new_price_rahn"));
}

class CreatedStoreTest : public velmoran::test::DataFolderTest {};

// The indexes use SQLite's own functions only: a plain connection, as the
// sqlite3 shell or another program opens the file, writes every kind of
// number, and the file stays sound with every index as made.
TEST_F(CreatedStoreTest, AnySqliteClientWritesTheFileAndItsIndexesStaySound) {
    ASSERT_EQ(prepareStoreFile(folder(), listingsTable()), QString());
    const QString path = QDir(folder()).filePath(QStringLiteral("newil.db"));
    {
        sql::Database plain(path, SQLITE_OPEN_READWRITE);
        EXPECT_TRUE(missingPriceIndexes(plain, listingsTable()).empty());
        sql::Statement insert = plain.prepare(
            QStringLiteral("INSERT INTO new (gheymatehkoole, vahed02, fooroosh, ejareh, apartman) "
                           "VALUES (?, ?, -1, -1, -1)"));
        for (const QString& text : numberWritings()) {
            insert.bindText(1, text);
            insert.bindText(2, text);
            insert.run();
        }
        plain.exec("UPDATE new SET gheymatehkoole = vahed02 || '0' WHERE rowid % 3 = 0");
        plain.exec("DELETE FROM new WHERE rowid % 5 = 0");
        sql::Statement check = plain.prepare(QStringLiteral("PRAGMA integrity_check"));
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.columnText(0), QStringLiteral("ok"));
    }
    // And the program finds in it through the indexes as a pass would.
    RecordSource source(folder(), listingsTable());
    std::vector<long long> expected;
    {
        sql::Database plain(path, SQLITE_OPEN_READWRITE);
        sql::Statement all =
            plain.prepare(QStringLiteral("SELECT rowid, gheymatehkoole FROM new ORDER BY rowid"));
        while (all.step()) {
            const std::optional<double> v = readNumber(all.columnText(1));
            if (v && *v > 99 && *v < 5000) {
                expected.push_back(all.columnInt(0));
            }
        }
    }
    EXPECT_EQ(velmoran::test::foundIds(
                  source, *buildCriterion(CriterionShape::PriceDealKind, {"99", "5000"},
                                          QStringLiteral("' and fooroosh = -1 and apartman = -1"))),
              expected);
    EXPECT_FALSE(expected.empty());
}

} // namespace
