// The two stores against each other: one generated set of listings, with
// every way of writing a number, in an SQLite file and on the server; every
// criterion the panels' find buttons build finds the same rows in the same
// order on both.

#include "data/recordsource.h"
#include "data/storage.h"
#include "data/storelocation.h"
#include "screens/edit/form8.h"
#include "screens/search/findcriterion.h"
#include "screens/search/form13.h"
#include "screens/search/form4.h"
#include "tests/support/pgtestserver.h"
#include "tests/support/testenv.h"

#include <QStringList>

#include <random>

using namespace velmoran;
using velmoran::test::TestDatabase;

namespace {

// Prices and rents as agencies type them, and texts that only look like
// numbers; the lengths around the reading's limits (70 digits before the
// point, 72 characters in all) too.
QStringList numberWritings() {
    QStringList w = {"",
                     "0",
                     "1",
                     "99",
                     "100",
                     "150",
                     "199",
                     "200",
                     "1000",
                     "4999",
                     "5000",
                     "12000",
                     "150000000",
                     "450000000",
                     "2500000",
                     "-150",
                     "+150",
                     "-0",
                     "0.5",
                     ".5",
                     "150.",
                     "-.5",
                     "150.5",
                     "1,500",
                     "12,345,678",
                     "1,50",
                     "1234,567",
                     ",150",
                     "1,",
                     "1.5,000",
                     "۱۵۰",
                     "١٥٠",
                     "۱٬۵۰۰",
                     "۱۵۰٫۵",
                     "١٬٢٣٤٫٥",
                     "1۲3",
                     " 150",
                     "150 ",
                     "\t150\t",
                     "\n150\r",
                     "\u00a0150\u00a0",
                     "1 50",
                     "- 150",
                     "--150",
                     "+-150",
                     "150-",
                     "1e3",
                     "0x10",
                     "inf",
                     "NaN",
                     "توافقي",
                     "150 تومان",
                     "۱۵۰ميليون",
                     ".",
                     "+",
                     "-",
                     "٫",
                     "٬",
                     "1.2.3",
                     "00150",
                     "0000000000000000000150",
                     "100.00000000000000001",
                     "199.99999999999999999"};
    const QString d70(70, QLatin1Char('7'));
    w << d70 << d70 + "7"
      << "-" + d70.left(69) << "-" + d70 << "+" + d70 << d70 + "." + "5" << d70 + ".55"
      << "." + QString(70, QLatin1Char('1')) << "." + QString(71, QLatin1Char('1'))
      << "-." + QString(69, QLatin1Char('1')) << "-." + QString(70, QLatin1Char('1'))
      << QString(35, QLatin1Char('9')) + "," + "999"
      << "   " + d70 + "   ";
    return w;
}

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
        const TableSpec& spec = listingsTable();
        const QStringList writings = numberWritings();
        std::mt19937 random(20240611);
        RecordSource a(sqlite_, spec), b(server_, spec);
        for (int n = 0; n < count; ++n) {
            const QString price = writings[random() % writings.size()];
            const QString rent = writings[random() % writings.size()];
            const QString owner = kOwners[random() % kOwners.size()];
            std::vector<int> flags;
            for (const char* name : kDealsAndKinds) {
                if (random() % 2) {
                    flags.push_back(spec.indexOf(name));
                }
            }
            for (RecordSource* source : {&a, &b}) {
                source->AddNew();
                source->setText(spec.indexOf("gheymatehkoole"), price);
                source->setText(spec.indexOf("vahed02"), rent);
                source->setText(spec.indexOf("malek"), owner);
                for (int f : flags) {
                    source->setFlag(f, true);
                }
                source->Update();
            }
            ASSERT_EQ(a.currentRowId(), b.currentRowId());
        }
    }

    // The ids a find button's press and its next presses step through.
    static std::vector<long long> found(RecordSource& source, const QString& criterion) {
        std::vector<long long> ids;
        source.FindFirst(criterion);
        while (!source.NoMatch()) {
            ids.push_back(source.currentRowId());
            source.FindNext(criterion);
        }
        return ids;
    }

    // Every criterion of the panels' rows for the typed bounds and owners.
    static QStringList panelCriteria() {
        QStringList criteria;
        std::mt19937 random(99);
        for (const PanelDesign* design :
             {&Form4::panelDesign(), &Form13::panelDesign(), &Form8::panelDesign()}) {
            for (std::size_t i = 0; i < design->buttonCount; ++i) {
                const FindButton& button = design->buttons[i];
                if (button.find != FindKind::First) {
                    continue; // a next press sends its row's same criterion
                }
                if (button.shape == CriterionShape::Owner) {
                    for (const QString& owner : kOwners) {
                        criteria << *buildCriterion(button.shape, {owner}, QString());
                    }
                    continue;
                }
                for (int round = 0; round < 5; ++round) {
                    QStringList typed;
                    for (int b = 0; b < boxCount(button.shape); ++b) {
                        typed << kTypedBounds[random() % kTypedBounds.size()];
                    }
                    if (round == 0) { // a wide range that holds most numbers
                        typed[0] = "-200";
                        typed[1] = "12345678901234567890";
                    }
                    const std::optional<QString> criterion =
                        buildCriterion(button.shape, typed, QString::fromUtf8(button.closingPiece));
                    EXPECT_TRUE(criterion) << typed.join('|').toStdString();
                    criteria << criterion.value_or(QString());
                }
            }
        }
        return criteria;
    }

    std::unique_ptr<TestDatabase> database_;
    StoreLocation sqlite_, server_;
};

TEST_F(StoreEquivalenceTest, EveryPanelCriterionFindsTheSameRowsInTheSameOrderOnBothStores) {
    generate(800);
    RecordSource a(sqlite_, listingsTable()), b(server_, listingsTable());
    QStringList criteria = panelCriteria();
    // Ranges that hold every number read, the longest too; and the language
    // beyond the panels: text order, flags against texts.
    const QString widest =
        QStringLiteral("> '-%1' AND  %3 < '%2'").arg(QString(69, '9'), QString(70, '9'));
    criteria << "gheymatehkoole " + widest.arg("gheymatehkoole") + " and  fooroosh = -1"
             << "vahed02 " + widest.arg("vahed02") << "gheymatehkoole > '-1'"
             << "vahed02 < '1' and vahed02 < '2'"
             << "malek > 'a'"
             << "malek < 'ي' and malek > ''"
             << "gheymatehkoole > '1,000' and gheymatehkoole < '۲۰۰۰'"
             << "gheymatehkoole > 'abc'"
             << "gheymatehkoole = '150'"
             << "vahed02 < 0"
             << "vila = '-1'"
             << "vila = ' -1 '"
             << "vila = '-1.0'"
             << "vila < 'x' and rahn = 0"
             << "vila > 'x'"
             << "vila > -2 and vila < 0";
    std::size_t matched = 0;
    for (const QString& criterion : criteria) {
        const std::vector<long long> onFile = found(a, criterion);
        EXPECT_EQ(found(b, criterion), onFile) << criterion.toStdString();
        matched += onFile.size();
    }
    EXPECT_GT(criteria.size(), 100);
    EXPECT_GT(matched, 500u); // the criteria found rows, not only nothing
}

} // namespace
