// Two desks change one listing: fields only one of them changed merge, a
// field both changed is the second saver's to settle (theirs, mine, or
// nothing stored), and after a save each desk shows what is stored.

#include "data/core/applicants.h"
#include "tests/core/storefixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace velmoran;
using velmoran::test::StoreTest;

namespace {

class DeskConflictTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        setConflictChooser([this](const TableSpec&, const std::vector<FieldConflict>& conflicts,
                                  const RowValues& ours, std::vector<bool>& keepTheirs) {
            asked.push_back(conflicts);
            oursAsked.push_back(ours);
            if (!answer) {
                return false;
            }
            keepTheirs.assign(conflicts.size(), *answer);
            return true;
        });
    }
    void TearDown() override {
        setConflictChooser(nullptr);
        StoreTest::TearDown();
    }

    std::optional<bool> answer; // keep theirs; none: cancel
    std::vector<std::vector<FieldConflict>> asked;
    std::vector<RowValues> oursAsked;
};

TEST_P(DeskConflictTest, TheSameFieldChangedAtTwoDesksIsTheSecondSaversToSettle) {
    RecordSource first(store(), listingsTable());
    const long long id =
        addListing(first, {{"malek", "owner"}, {"address", "old street"}, {"tel03", "1"}});
    RecordSource second(store(), listingsTable());
    ASSERT_EQ(second.currentRowId(), id);

    first.setText(field("address"), "first desk's street");
    first.setFlag(field("vila"), true);
    first.Update();
    EXPECT_TRUE(asked.empty()); // nobody else changed anything

    // The other desk still shows what it read; its address meets the first
    // desk's, its telephone is its own.
    EXPECT_EQ(second.text(field("address")), "old street");
    second.setText(field("address"), "second desk's street");
    second.setText(field("tel03"), "2");
    answer = true; // keep the other desk's
    second.Update();
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_EQ(asked[0].size(), 1u);
    EXPECT_EQ(asked[0][0].field, field("address"));
    EXPECT_EQ(asked[0][0].text, "first desk's street");
    EXPECT_EQ(oursAsked[0].texts[field("address")], "second desk's street");
    EXPECT_EQ(rawText(id, "address"), "first desk's street");
    EXPECT_EQ(rawText(id, "tel03"), "2");
    // Shown after the save: what is stored, the first desk's tick included.
    EXPECT_EQ(second.text(field("address")), "first desk's street");
    EXPECT_TRUE(second.flag(field("vila")));
    EXPECT_FALSE(second.isChanged());

    // Mine over theirs.
    first.setText(field("address"), "first again");
    first.Update();
    second.setText(field("address"), "mine after all");
    answer = false;
    second.Update();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(rawText(id, "address"), "mine after all");
    EXPECT_EQ(second.text(field("address")), "mine after all");

    // Cancelled: nothing stored, the typed text stays on the screen.
    first.setText(field("address"), "first once more");
    first.Update();
    second.setText(field("address"), "typed, then cancelled");
    second.setText(field("details"), "also typed");
    answer.reset();
    EXPECT_THROW(second.Update(), StoreError);
    EXPECT_EQ(rawText(id, "address"), "first once more");
    EXPECT_EQ(rawText(id, "details"), "");
    EXPECT_TRUE(second.isChanged());
    EXPECT_EQ(second.text(field("address")), "typed, then cancelled");
    EXPECT_EQ(second.text(field("details")), "also typed");
}

// An applicant kept beside the listings gets the same question: the phone
// changed at both desks is asked about, the note one desk changed merges.
TEST_P(DeskConflictTest, AnApplicantChangedAtTwoDesksGetsTheListingsQuestion) {
    ASSERT_EQ(prepareStore(store(), applicantsTable()), QString());
    const auto at = [](const char* name) { return applicantsTable().indexOf(QLatin1String(name)); };
    RecordSource first(store(), applicantsTable());
    first.AddNew();
    first.setText(at(applicant::kName), "applicant");
    first.setText(at(applicant::kPhone), "1");
    first.setFlag(at("rahn"), true);
    first.Update();
    RecordSource second(store(), applicantsTable());
    ASSERT_EQ(second.currentRowId(), first.currentRowId());

    first.setText(at(applicant::kPhone), "first desk's phone");
    first.Update();
    second.setText(at(applicant::kPhone), "second desk's phone");
    second.setText(at(applicant::kNote), "a note");
    answer = true; // keep the other desk's
    second.Update();
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_EQ(asked[0].size(), 1u);
    EXPECT_EQ(asked[0][0].field, at(applicant::kPhone));
    EXPECT_EQ(asked[0][0].text, "first desk's phone");
    RecordSource third(store(), applicantsTable());
    EXPECT_EQ(third.text(at(applicant::kPhone)), "first desk's phone");
    EXPECT_EQ(third.text(at(applicant::kNote)), "a note");
    EXPECT_TRUE(third.flag(at("rahn")));
}

TEST_P(DeskConflictTest, TheSameValueAtBothDesksOrAWriteBackBeforeAFindAskNothingNeedlessly) {
    RecordSource first(store(), listingsTable());
    const long long id = addListing(first, {{"malek", "owner"}, {"address", "a"}});
    RecordSource second(store(), listingsTable());
    first.setText(field("address"), "same");
    first.Update();
    second.setText(field("address"), "same");
    second.Update();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(rawText(id, "address"), "same");

    // The write-back before a find meets the conflict too, and the choice is
    // asked there.
    first.setText(field("address"), "first");
    first.Update();
    second.setText(field("address"), "second");
    answer = false;
    second.FindFirst("malek='owner'");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(rawText(id, "address"), "second");

    // The other desk's value kept for the only field changed: nothing is
    // left to store, and the screen shows theirs. (The first desk shows the
    // listing again first, so it changes what is stored.)
    first.FindFirst("malek='owner'");
    EXPECT_EQ(first.text(field("address")), "second");
    first.setText(field("address"), "first's, kept");
    first.Update();
    second.setText(field("address"), "dropped");
    answer = true;
    second.Update();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(rawText(id, "address"), "first's, kept");
    EXPECT_EQ(second.text(field("address")), "first's, kept");
    EXPECT_FALSE(second.isChanged());
}

INSTANTIATE_TEST_SUITE_P(Stores, DeskConflictTest,
                         ::testing::Values(velmoran::test::StoreKind::Sqlite,
                                           velmoran::test::StoreKind::Server),
                         velmoran::test::storeKindName);

} // namespace
