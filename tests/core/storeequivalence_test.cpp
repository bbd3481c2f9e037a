// The two stores against each other: one generated set of listings, with
// every way of writing a number, in an SQLite file and on the server; every
// criterion the panels' find buttons build finds the same rows in the same
// order on both.

#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "data/store/storelocation.h"
#include "tests/support/findcases.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QStringList>

#include <random>

using namespace velmoran;
using velmoran::test::foundIds;
using velmoran::test::languageCriteria;
using velmoran::test::numberWritings;
using velmoran::test::panelCriteria;
using velmoran::test::TestDatabase;

namespace {

const char* const kDealsAndKinds[] = {"fooroosh",    "rahn",     "ejareh", "kolanghi",   "maghazeh",
                                      "daftarehkar", "apartman", "vila",   "mostaghelat"};

// Typed bounds for the price and rent boxes, as the bound rule takes them.
const QStringList kTypedBounds = {"0",
                                  "1",
                                  "99",
                                  "100",
                                  "150",
                                  "1000",
                                  "-200",
                                  "4999.9",
                                  "۲۰۰",
                                  "500000000",
                                  "12345678901234567890"};
// Owners written with the Arabic and with the Persian Yeh and Kaf, in Latin
// capitals and small letters, with a quote, empty, a number.
const QStringList kOwners = {QString::fromUtf8("\u0639\u0644\u064A \u0643\u0631\u064A\u0645\u064A"),
                             QString::fromUtf8("\u0639\u0644\u06CC \u06A9\u0631\u06CC\u0645\u06CC"),
                             "ALI Karimi",
                             "ali karimi",
                             "Émile",
                             "émile",
                             "it's",
                             "",
                             "1,500"};

class StoreEquivalenceTest : public velmoran::test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        database_ = std::make_unique<TestDatabase>();
        sqlite_ = {folder(), QString()};
        server_ = {folder(), database_->conninfo()};
        ASSERT_EQ(prepareStore(sqlite_, listingsTable()), QString());
        ASSERT_EQ(prepareStore(server_, listingsTable()), QString());
    }
    void TearDown() override {
        database_.reset();
        DataFolderTest::TearDown();
    }

    // The same listings, in the same order, into both stores.
    void generate(int count) {
        const TableSpec& layout = listingsTable();
        const QStringList writings = numberWritings();
        std::mt19937 random(20240611);
        RecordSource a(sqlite_, layout), b(server_, layout);
        for (int n = 0; n < count; ++n) {
            const QString price = writings[random() % writings.size()];
            const QString rent = writings[random() % writings.size()];
            const QString owner = kOwners[random() % kOwners.size()];
            std::vector<int> flags;
            for (const char* name : kDealsAndKinds) {
                if (random() % 2) {
                    flags.push_back(layout.indexOf(name));
                }
            }
            for (RecordSource* source : {&a, &b}) {
                source->AddNew();
                source->setText(layout.indexOf("gheymatehkoole"), price);
                source->setText(layout.indexOf("vahed02"), rent);
                source->setText(layout.indexOf("malek"), owner);
                for (int f : flags) {
                    source->setFlag(f, true);
                }
                source->Update();
            }
            ASSERT_EQ(a.currentRowId(), b.currentRowId());
        }
    }

    std::unique_ptr<TestDatabase> database_;
    StoreLocation sqlite_, server_;
};

TEST_F(StoreEquivalenceTest, EveryPanelCriterionFindsTheSameRowsInTheSameOrderOnBothStores) {
    generate(800);
    RecordSource a(sqlite_, listingsTable()), b(server_, listingsTable());
    QStringList criteria = panelCriteria(kTypedBounds, kOwners, 5, 99);
    criteria << languageCriteria();
    std::size_t matched = 0;
    for (const QString& criterion : criteria) {
        const std::vector<long long> onFile = foundIds(a, criterion);
        EXPECT_EQ(foundIds(b, criterion), onFile) << criterion.toStdString();
        matched += onFile.size();
    }
    EXPECT_GT(criteria.size(), 100);
    EXPECT_GT(matched, 500u); // the criteria found rows, not only nothing
}

} // namespace
