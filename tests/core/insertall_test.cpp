// Many rows stored as one transaction on both stores: every value exact
// (the server's COPY escapes included), in the order handed over, and
// nothing at all when the rows stop half way with a failure.

#include "data/core/tablestore.h"
#include "tests/core/storefixture.h"

#include <stdexcept>

using namespace velmoran;
using namespace velmoran::test;

namespace {

class InsertAllTest : public StoreTest {
protected:
    std::unique_ptr<TableStore> open() const { return openTableStore(store(), listingsTable()); }
    static RowValues listing(const QString& owner) {
        RowValues row;
        row.texts.assign(kListingFieldCount, QString());
        row.flags.assign(kListingFieldCount, false);
        row.texts[field("malek")] = owner;
        return row;
    }
};

TEST_P(InsertAllTest, EveryRowIsStoredExactlyInTheOrderHandedOver) {
    std::vector<RowValues> rows;
    // What COPY's text format escapes, and Persian text in both forms.
    const QStringList owners = {QStringLiteral("a\\b\tc\nd\re"), QStringLiteral("\\N"),
                                QStringLiteral("علي كريمي"),     QStringLiteral("علی\u200Cکریمی"),
                                QStringLiteral("\uFEFF۱۲۳٤٥٦"),  QString()};
    for (const QString& owner : owners) {
        RowValues row = listing(owner);
        row.texts[field("details")] = owner + owner;
        row.flags[field("fooroosh")] = rows.size() % 2 == 0;
        rows.push_back(row);
    }
    const auto table = open();
    table->insert(listing(QStringLiteral("before")));
    EXPECT_EQ(table->insertAll(rows), static_cast<long long>(rows.size()));
    std::vector<RowValues> stored;
    table->scan([&](long long, const RowValues& row) {
        stored.push_back(row);
        return true;
    });
    ASSERT_EQ(stored.size(), rows.size() + 1);
    EXPECT_EQ(stored[0].texts[field("malek")], QStringLiteral("before"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(stored[i + 1].texts, rows[i].texts) << "row " << i;
        EXPECT_EQ(stored[i + 1].flags, rows[i].flags) << "row " << i;
    }
    // Nothing handed over: nothing stored, the store still usable.
    EXPECT_EQ(table->insertAll(std::vector<RowValues>{}), 0);
    EXPECT_EQ(countRows(), static_cast<long long>(rows.size() + 1));
}

TEST_P(InsertAllTest, RowsThatStopWithAFailureHalfWayLeaveTheStoreAsItWas) {
    const auto table = open();
    table->insert(listing(QStringLiteral("kept")));
    int handed = 0;
    EXPECT_THROW(table->insertAll([&](RowValues& row) {
        if (handed == 5000) {
            throw std::runtime_error("the file ended half way");
        }
        row = listing(QString::number(++handed));
        return true;
    }),
                 std::runtime_error);
    EXPECT_EQ(countRows(), 1);
    // The store takes the next batch and single rows as before.
    EXPECT_EQ(table->insertAll({listing(QStringLiteral("x")), listing(QStringLiteral("y"))}), 2);
    table->insert(listing(QStringLiteral("z")));
    EXPECT_EQ(countRows(), 4);
}

VELMORAN_ON_BOTH_STORES(InsertAllTest);

} // namespace
