// The list of a find's matches as both stores read it: pages in id order
// either way, the count, the sort texts and rows read back by id, each
// checked against the generated table itself.
#include "data/core/criterion.h"
#include "data/core/numbers.h"
#include "tests/core/storefixture.h"

#include <algorithm>

using namespace velmoran;
using velmoran::test::StoreTest;

namespace {

struct Generated {
    long long id;
    QString owner;
    QString price;
    bool sale;
    bool apartment;
};

class MatchPagesTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        table = openTableStore(store(), listingsTable());
        const QStringList owners = {QStringLiteral("علي كريمي"),
                                    QStringLiteral("علی کریمی"),
                                    QStringLiteral("O'Neil \"ق\""),
                                    QStringLiteral("ALI"),
                                    QString(),
                                    QStringLiteral("  رضا ۱۲ "),
                                    QStringLiteral("ali")};
        const QStringList prices = {QStringLiteral("1500"),
                                    QStringLiteral("۱۵۰"),
                                    QStringLiteral("12,000"),
                                    QStringLiteral("abc"),
                                    QString(),
                                    QStringLiteral("150"),
                                    QStringLiteral("0150"),
                                    QStringLiteral("100"),
                                    QStringLiteral("200"),
                                    QStringLiteral("1999.5"),
                                    QStringLiteral("2"),
                                    QStringLiteral("10'0")};
        for (int i = 0; i < 150; ++i) {
            RowValues row;
            row.texts.assign(listingsTable().fieldCount, QString());
            row.flags.assign(listingsTable().fieldCount, false);
            Generated g{0, owners[i % owners.size()], prices[(i * 7) % prices.size()], i % 3 != 0,
                        i % 4 != 1};
            row.texts[field("malek")] = g.owner;
            row.texts[field("gheymatehkoole")] = g.price;
            row.flags[field("fooroosh")] = g.sale;
            row.flags[field("apartman")] = g.apartment;
            g.id = table->insert(row);
            rows.push_back(g);
        }
        // A hole in the ids, as a deleted listing leaves.
        deleted = rows[10].id;
        table->remove(deleted);
        rows.erase(rows.begin() + 10);
    }

    std::vector<long long> expected(bool (*passes)(const Generated&)) const {
        std::vector<long long> ids;
        for (const Generated& g : rows) {
            if (passes(g)) {
                ids.push_back(g.id);
            }
        }
        return ids;
    }

    // Every page of `count` after the last, until a short one.
    std::vector<long long> walk(const Criterion* c, int count, bool descending) const {
        std::vector<long long> ids;
        std::optional<long long> after;
        for (;;) {
            const std::vector<ListedRow> page =
                table->listPage(c, {field("malek")}, after, count, descending);
            for (const ListedRow& row : page) {
                ids.push_back(row.id);
            }
            if (page.size() < static_cast<std::size_t>(count)) {
                return ids;
            }
            after = page.back().id;
        }
    }

    std::unique_ptr<TableStore> table;
    std::vector<Generated> rows;
    long long deleted = 0;
};

// The sale-of-apartments row with the boxes 100 and 200: a range of prices
// read as the agency writes numbers.
const QString kSaleOfApartments = QStringLiteral(
    "gheymatehkoole > '100' AND  gheymatehkoole < '200' and  fooroosh = -1 and apartman = -1 ");

bool saleOfApartments(const Generated& g) {
    const std::optional<double> price = readNumber(g.price);
    return g.sale && g.apartment && price && *price > 100 && *price < 200;
}

bool folds(const QString& a, const QString& b) {
    const QList<uint> x = a.toUcs4(), y = b.toUcs4();
    if (x.size() != y.size()) {
        return false;
    }
    for (int i = 0; i < x.size(); ++i) {
        if (foldedLetter(x[i]) != foldedLetter(y[i])) {
            return false;
        }
    }
    return true;
}

bool ownerAli(const Generated& g) {
    return folds(g.owner, QStringLiteral("علي كريمي"));
}

TEST_P(MatchPagesTest, PagesGiveEveryMatchOnceInIdOrderEitherWayAndTheCountAgrees) {
    const Criterion sale(kSaleOfApartments, listingsTable());
    const Criterion owner(QStringLiteral("malek='علي كريمي'"), listingsTable());
    for (const auto& [criterion, passes] :
         {std::pair{&sale, &saleOfApartments}, std::pair{&owner, &ownerAli},
          std::pair{static_cast<const Criterion*>(nullptr),
                    +[](const Generated&) { return true; }}}) {
        const std::vector<long long> want = expected(passes);
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(walk(criterion, 7, false), want);
        EXPECT_EQ(walk(criterion, want.size(), false), want); // a last page exactly full
        std::vector<long long> down(want.rbegin(), want.rend());
        EXPECT_EQ(walk(criterion, 5, true), down);
        EXPECT_EQ(table->countMatches(criterion), static_cast<long long>(want.size()));
    }
    // A criterion nothing passes.
    const Criterion none(QStringLiteral("malek='nobody'"), listingsTable());
    EXPECT_TRUE(walk(&none, 10, false).empty());
    EXPECT_EQ(table->countMatches(&none), 0);
}

TEST_P(MatchPagesTest, RowsCarryTheListedFieldsExactlyAsStoredAndOnlyThose) {
    const std::vector<ListedRow> page =
        table->listPage(nullptr, {field("malek"), field("gheymatehkoole"), field("fooroosh")},
                        std::nullopt, 20, false);
    ASSERT_EQ(page.size(), 20u);
    for (std::size_t i = 0; i < page.size(); ++i) {
        EXPECT_EQ(page[i].id, rows[i].id);
        EXPECT_EQ(page[i].values.texts[field("malek")], rows[i].owner);
        EXPECT_EQ(page[i].values.texts[field("gheymatehkoole")], rows[i].price);
        EXPECT_EQ(page[i].values.flags[field("fooroosh")], rows[i].sale);
        EXPECT_FALSE(page[i].values.flags[field("apartman")]); // not listed
    }
    // By id, in id order, a deleted one left out.
    const std::vector<ListedRow> byId =
        table->listRows({rows[30].id, rows[2].id, deleted, 999999}, {field("malek")});
    ASSERT_EQ(byId.size(), 2u);
    EXPECT_EQ(byId[0].id, rows[2].id);
    EXPECT_EQ(byId[1].id, rows[30].id);
    EXPECT_EQ(byId[1].values.texts[field("malek")], rows[30].owner);
}

TEST_P(MatchPagesTest, MatchTextsHandsEveryMatchItsSortText) {
    const Criterion sale(kSaleOfApartments, listingsTable());
    std::vector<std::pair<long long, QString>> got;
    table->matchTexts(&sale, field("gheymatehkoole"),
                      [&](long long id, const QString& text) { got.emplace_back(id, text); });
    std::vector<std::pair<long long, QString>> want;
    for (const Generated& g : rows) {
        if (saleOfApartments(g)) {
            want.emplace_back(g.id, g.price);
        }
    }
    EXPECT_EQ(got, want);
}

TEST_P(MatchPagesTest, RecordSourceKeepsItsLastCriterionAndMovesToAListedRow) {
    RecordSource source(store(), listingsTable());
    EXPECT_EQ(source.lastCriterion(), nullptr);
    const std::vector<long long> want = expected(&saleOfApartments);
    ASSERT_GE(want.size(), 3u);
    source.FindFirst(kSaleOfApartments);
    ASSERT_NE(source.lastCriterion(), nullptr);
    EXPECT_EQ(source.lastCriterionText(), kSaleOfApartments);
    EXPECT_EQ(table->countMatches(source.lastCriterion()), static_cast<long long>(want.size()));

    // A listed row becomes current; a find-next goes on after it.
    source.setText(field("details"), QStringLiteral("typed"));
    ASSERT_TRUE(source.MoveTo(want[1]));
    EXPECT_EQ(source.currentRowId(), want[1]);
    EXPECT_EQ(rawText(want[0], "details"), QStringLiteral("typed")); // written back first
    source.FindNext(kSaleOfApartments);
    EXPECT_EQ(source.currentRowId(), want[2]);

    // Another desk changes a row, then deletes one: the move shows what is
    // stored, and a deleted row is refused with nothing moved.
    rawExec(QStringLiteral("UPDATE new SET malek = 'changed' WHERE id = %1").arg(want[0]));
    ASSERT_TRUE(source.MoveTo(want[0]));
    EXPECT_EQ(source.text(field("malek")), QStringLiteral("changed"));
    table->remove(want[1]);
    EXPECT_FALSE(source.MoveTo(want[1]));
    EXPECT_EQ(source.currentRowId(), want[0]);
}

INSTANTIATE_TEST_SUITE_P(Stores, MatchPagesTest,
                         ::testing::Values(velmoran::test::StoreKind::Sqlite,
                                           velmoran::test::StoreKind::Server),
                         velmoran::test::storeKindName);

} // namespace
