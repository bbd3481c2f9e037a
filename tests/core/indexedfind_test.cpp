// A find through the price indexes against the pass over every row that a
// store without them makes: the same listings, generated with every writing
// of a number and ids with gaps, in a store as the program makes it and in
// one without the indexes; every criterion of the panels finds the same rows
// in the same order on both, on SQLite and on the server, also when the
// listings change between the presses.

#include "data/core/priceindex.h"
#include "data/maintenance/storeoptimise.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgpriceindex.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/core/storefixture.h"
#include "tests/support/findcases.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QDir>

#include <iterator>
#include <random>

using namespace velmoran;
using velmoran::test::foundIds;
using velmoran::test::StoreKind;
using velmoran::test::TestDatabase;

namespace {

const char* const kDeals[] = {"fooroosh", "rahn", "ejareh"};
const char* const kKinds[] = {"apartman", "vila",     "mostaghelat",
                              "kolanghi", "maghazeh", "daftarehkar"};
const QStringList kTypedBounds = {
    "0",   "1",         "99",   "100",   "150",    "1000",    "-200",     "4999.9",
    "۲۰۰", "500000000", "5000", "20000", "100000", "1000000", "10000000", "12345678901234567890"};
const QStringList kOwners = {"علي كريمي", "it's"};

// A price as typed: a writing of the suites now and then, else a number of
// one to nine digits, some in Persian digits, some grouped.
QString price(std::mt19937& random, const QStringList& writings) {
    if (random() % 3 == 0) {
        return writings[random() % writings.size()];
    }
    QString digits = QString::number(random() % 1000000000ULL / (1ULL << (random() % 24)));
    switch (random() % 6) {
    case 0:
        for (QChar& c : digits) {
            c = QChar(0x06F0 + (c.unicode() - '0'));
        }
        return digits;
    case 1:
        for (int i = digits.size() - 3; i > 0; i -= 3) {
            digits.insert(i, QLatin1Char(','));
        }
        return digits;
    default:
        return digits;
    }
}

class IndexedFindTest : public velmoran::test::DataFolderTest,
                        public ::testing::WithParamInterface<StoreKind> {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        const QString plainFolder = QDir(folder()).filePath(QStringLiteral("plain"));
        ASSERT_TRUE(QDir().mkpath(plainFolder));
        indexed_ = {folder(), QString()};
        plain_ = {plainFolder, QString()};
        if (onServer()) {
            a_ = std::make_unique<TestDatabase>();
            b_ = std::make_unique<TestDatabase>();
            indexed_.server = a_->conninfo();
            plain_.server = b_->conninfo();
        }
        ASSERT_EQ(prepareStore(indexed_, listingsTable()), QString());
        ASSERT_EQ(prepareStore(plain_, listingsTable()), QString());
        // The plain store as an earlier version made it: no price indexes.
        if (onServer()) {
            exec(plain_, QStringLiteral("DROP FUNCTION %1(text) CASCADE")
                             .arg(QLatin1String(kPgNumberFunction)));
        } else {
            for (const PriceIndex& index : priceIndexes(listingsTable())) {
                exec(plain_, QStringLiteral("DROP INDEX \"%1\"").arg(index.name));
            }
        }
        ASSERT_EQ(checkPriceIndexes(indexed_, listingsTable()).missing, 0);
        ASSERT_EQ(checkPriceIndexes(plain_, listingsTable()).missing,
                  static_cast<int>(priceIndexes(listingsTable()).size()));
    }
    void TearDown() override {
        a_.reset();
        b_.reset();
        DataFolderTest::TearDown();
    }

    bool onServer() const { return GetParam() == StoreKind::Server; }

    static void exec(const StoreLocation& store, const QString& sql) {
        if (store.onServer()) {
            pg::Connection(store.server).exec(sql, {});
        } else {
            sql::Database(QDir(store.folder).filePath(QStringLiteral("newil.db")),
                          SQLITE_OPEN_READWRITE)
                .exec(sql);
        }
    }
    void onBoth(const QString& sql) const {
        exec(indexed_, sql);
        exec(plain_, sql);
    }

    // `count` listings into both stores, their ids with gaps of 1 to 20.
    void generate(int count) {
        const QStringList writings = velmoran::test::numberWritings();
        std::mt19937 random(31337);
        QStringList rows;
        long long id = 0;
        for (int n = 0; n < count; ++n) {
            id += 1 + static_cast<long long>(random() % 20);
            QStringList flags;
            for (std::size_t deal = 0; deal < std::size(kDeals); ++deal) {
                flags << (random() % 3 == 0 ? QStringLiteral("-1") : QStringLiteral("0"));
            }
            const int kind = static_cast<int>(random() % 7);
            for (int k = 0; k < 6; ++k) {
                flags << (k == kind ? QStringLiteral("-1") : QStringLiteral("0"));
            }
            auto quote = [](QString text) {
                return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
                       QLatin1Char('\'');
            };
            rows << QStringLiteral("(%1, %2, %3, %4, %5)")
                        .arg(id)
                        .arg(quote(price(random, writings)), quote(price(random, writings)),
                             quote(kOwners[random() % kOwners.size()]),
                             flags.join(QStringLiteral(", ")));
        }
        QStringList columns{"id", "gheymatehkoole", "vahed02", "malek"};
        for (const char* deal : kDeals) {
            columns << deal;
        }
        for (const char* kind : kKinds) {
            columns << kind;
        }
        onBoth(QStringLiteral("INSERT INTO new (%1) VALUES %2")
                   .arg(columns.join(QStringLiteral(", ")), rows.join(QStringLiteral(", "))));
        if (onServer()) { // new rows are numbered after the given ones
            onBoth(QStringLiteral(
                "SELECT setval(pg_get_serial_sequence('new', 'id'), (SELECT max(id) FROM new))"));
        }
    }

    QStringList criteria() const {
        return velmoran::test::panelCriteria(kTypedBounds, kOwners, 3, 5)
               << velmoran::test::languageCriteria();
    }

    std::unique_ptr<TestDatabase> a_, b_;
    StoreLocation indexed_, plain_;
};

// From a find-next without a find-first before it (the row the source stands
// on after opening).
std::vector<long long> nextIds(RecordSource& source, const QString& criterion) {
    std::vector<long long> ids;
    source.tryMoveFirst();
    for (source.FindNext(criterion); !source.NoMatch(); source.FindNext(criterion)) {
        ids.push_back(source.currentRowId());
    }
    return ids;
}

TEST_P(IndexedFindTest, EveryPanelCriterionFindsWhatAPassOverTheRowsFinds) {
    // Fewer on the server, where each press is a trip to it.
    generate(onServer() ? 1500 : 2500);
    RecordSource indexed(indexed_, listingsTable()), plain(plain_, listingsTable());
    std::size_t matched = 0, finds = 0, n = 0;
    for (const QString& criterion : criteria()) {
        SCOPED_TRACE(criterion.toStdString());
        const std::vector<long long> expected = foundIds(plain, criterion);
        EXPECT_EQ(foundIds(indexed, criterion), expected);
        // Again: the kept walk answers now.
        EXPECT_EQ(foundIds(indexed, criterion), expected);
        if (n++ % 3 == 0) {
            EXPECT_EQ(nextIds(indexed, criterion), nextIds(plain, criterion));
        }
        matched += expected.size();
        finds += expected.empty() ? 0 : 1;
    }
    EXPECT_GT(matched, 1500u); // the criteria found rows, not only nothing
    EXPECT_GT(finds, 40u);
}

// Between the presses another copy of the program changes listings: one
// comes to match ahead of the current row, the next match goes, a new one is
// stored; and this copy changes the current row so it no longer matches.
// Both stores go on alike.
TEST_P(IndexedFindTest, ChangesBetweenThePressesAreSeenAsAPassSeesThem) {
    generate(3000);
    for (const char* closing :
         {"' and  fooroosh = -1 and apartman = -1 ", "'  and ejareh = -1 and vila = -1  "}) {
        const bool rent = QString::fromUtf8(closing).contains(QLatin1String("ejareh"));
        const QString criterion =
            rent ? QStringLiteral("gheymatehkoole > '100' AND  gheymatehkoole < '1000000' and  "
                                  "vahed02 > '100' AND  vahed02 < '1000000") +
                       QString::fromUtf8(closing)
                 : QStringLiteral("gheymatehkoole > '100' AND  gheymatehkoole < '100000000") +
                       QString::fromUtf8(closing);
        SCOPED_TRACE(criterion.toStdString());
        RecordSource indexed(indexed_, listingsTable()), plain(plain_, listingsTable());
        const std::vector<long long> before = foundIds(plain, criterion);
        ASSERT_GT(before.size(), 6u);
        std::vector<long long> seen[2];
        RecordSource* sources[2] = {&indexed, &plain};
        for (int s = 0; s < 2; ++s) {
            sources[s]->FindFirst(criterion);
            sources[s]->FindNext(criterion);
            seen[s].push_back(sources[s]->currentRowId());
        }
        const long long current = seen[0].back();
        // A row between two matches comes to match; the fourth match goes.
        const QString deal = rent ? QStringLiteral("ejareh = -1, vila = -1")
                                  : QStringLiteral("fooroosh = -1, apartman = -1");
        QStringList matches;
        for (long long id : before) {
            matches << QString::number(id);
        }
        onBoth(QStringLiteral("UPDATE new SET gheymatehkoole = '۵۰۰', vahed02 = '500', %1 WHERE "
                              "id = (SELECT min(id) FROM new WHERE id > %2 AND id < %3 AND id NOT "
                              "IN (%4))")
                   .arg(deal)
                   .arg(current)
                   .arg(before[5])
                   .arg(matches.join(QLatin1Char(','))));
        onBoth(QStringLiteral("DELETE FROM new WHERE id = %1").arg(before[3]));
        for (const StoreLocation* store : {&indexed_, &plain_}) {
            RecordSource other(*store, listingsTable());
            other.AddNew();
            other.setText(listingsTable().indexOf("gheymatehkoole"), QStringLiteral("1,000"));
            other.setText(listingsTable().indexOf("vahed02"), QStringLiteral("1000"));
            for (const char* flag : {"fooroosh", "apartman", "ejareh", "vila"}) {
                other.setFlag(listingsTable().indexOf(flag), true);
            }
            other.Update();
        }
        for (int s = 0; s < 2; ++s) {
            RecordSource& source = *sources[s];
            source.FindNext(criterion);
            seen[s].push_back(source.currentRowId());
            // This copy's own change: the current row no longer matches.
            source.setText(listingsTable().indexOf("gheymatehkoole"), QStringLiteral("1"));
            source.Update();
            for (source.FindNext(criterion); !source.NoMatch(); source.FindNext(criterion)) {
                seen[s].push_back(source.currentRowId());
            }
        }
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_NE(seen[0], before);
        EXPECT_EQ(foundIds(indexed, criterion), foundIds(plain, criterion));
    }
}

// A file holding an index of a price index's name made otherwise (not by
// this program), or a server whose function of the name reads otherwise,
// finds by a pass, as a store without them does.
TEST_P(IndexedFindTest, AnIndexOrFunctionMadeOtherwiseUnderTheNameIsNotUsed) {
    generate(500);
    if (onServer()) {
        const QLatin1String function(kPgNumberFunction);
        exec(indexed_, QStringLiteral("DROP FUNCTION %1(text) CASCADE").arg(function));
        exec(indexed_, QStringLiteral("CREATE FUNCTION %1(text) RETURNS float8 LANGUAGE sql "
                                      "IMMUTABLE STRICT AS $$ SELECT 7::float8 $$")
                           .arg(function));
        exec(indexed_, QStringLiteral("CREATE INDEX new_price_fooroosh_apartman ON new "
                                      "(%1(gheymatehkoole)) WHERE fooroosh = -1 AND apartman = -1")
                           .arg(function));
    } else {
        exec(indexed_, QStringLiteral("DROP INDEX new_price_fooroosh_apartman"));
        exec(indexed_, QStringLiteral("CREATE INDEX new_price_fooroosh_apartman ON new "
                                      "(gheymatehkoole) WHERE fooroosh = -1 AND apartman = -1 AND "
                                      "vila = 0"));
    }
    EXPECT_EQ(checkPriceIndexes(indexed_, listingsTable()).missing,
              onServer() ? static_cast<int>(priceIndexes(listingsTable()).size()) : 1);
    RecordSource indexed(indexed_, listingsTable()), plain(plain_, listingsTable());
    const QString criterion = QStringLiteral(
        "gheymatehkoole > '100' AND  gheymatehkoole < '1000000' and  fooroosh = -1 and apartman = "
        "-1 ");
    EXPECT_EQ(foundIds(indexed, criterion), foundIds(plain, criterion));
    EXPECT_FALSE(foundIds(plain, criterion).empty());
}

// A find that met nothing is no answer for later: a listing another copy
// stores meanwhile is found by the next press.
TEST_P(IndexedFindTest, AListingStoredElsewhereAfterANoMatchIsFound) {
    generate(500);
    const QString criterion = QStringLiteral(
        "gheymatehkoole > '123456' AND  gheymatehkoole < '123458' and  rahn = -1 and vila = -1 ");
    RecordSource indexed(indexed_, listingsTable());
    for (int press = 0; press < 2; ++press) {
        indexed.FindFirst(criterion);
        EXPECT_TRUE(indexed.NoMatch());
    }
    RecordSource other(indexed_, listingsTable());
    other.AddNew();
    other.setText(listingsTable().indexOf("gheymatehkoole"), QStringLiteral("۱۲۳۴۵۷"));
    other.setFlag(listingsTable().indexOf("rahn"), true);
    other.setFlag(listingsTable().indexOf("vila"), true);
    other.Update();
    indexed.FindFirst(criterion);
    ASSERT_FALSE(indexed.NoMatch());
    EXPECT_EQ(indexed.currentRowId(), other.currentRowId());
    // And one this copy deletes is not found again.
    indexed.Delete();
    indexed.FindFirst(criterion);
    EXPECT_TRUE(indexed.NoMatch());
}

// optimise gives a store of an earlier version its indexes; it finds the same
// rows after.
TEST_P(IndexedFindTest, OptimiseAddsTheIndexesAndTheStoreFindsTheSame) {
    generate(500);
    RecordSource before(plain_, listingsTable());
    const QStringList all = criteria();
    std::vector<std::vector<long long>> expected;
    for (const QString& criterion : all) {
        expected.push_back(foundIds(before, criterion));
    }
    const PriceIndexCheck added = addPriceIndexes(plain_, listingsTable());
    ASSERT_TRUE(added.ok()) << added.error.toStdString();
    EXPECT_EQ(added.missing, static_cast<int>(priceIndexes(listingsTable()).size()));
    EXPECT_EQ(checkPriceIndexes(plain_, listingsTable()).missing, 0);
    EXPECT_EQ(addPriceIndexes(plain_, listingsTable()).missing, 0); // nothing more to add
    RecordSource after(plain_, listingsTable());
    for (int i = 0; i < all.size(); ++i) {
        EXPECT_EQ(foundIds(after, all[i]), expected[i]) << all[i].toStdString();
    }
}

VELMORAN_ON_BOTH_STORES(IndexedFindTest);

} // namespace
