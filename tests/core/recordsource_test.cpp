#include "tests/core/storefixture.h"

#include <QSignalSpy>

#include <chrono>
#include <functional>
#include <optional>

using namespace velmoran;
using velmoran::test::StoreTest;

namespace {

class RecordSourceTest : public StoreTest {};

TEST_P(RecordSourceTest, EmptyTableHasNoCurrentRowAndRefusesDeleteAndMoveFirst) {
    RecordSource source(store(), listingsTable());
    EXPECT_FALSE(source.hasCurrentRow());
    EXPECT_EQ(source.text(field("malek")), QString());
    EXPECT_FALSE(source.setText(field("malek"), "x"));
    EXPECT_FALSE(source.isChanged());
    try {
        source.MoveFirst();
        FAIL() << "MoveFirst on an empty table";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(storeName())) << e.message().toStdString();
    }
    EXPECT_THROW(source.Delete(), StoreError);
}

TEST_P(RecordSourceTest, UpdateStoresTextsExactlyAndFlagsAsMinusOneOrZero) {
    RecordSource source(store(), listingsTable());
    QSignalSpy rows(&source, &RecordSource::rowChanged);
    source.AddNew();
    EXPECT_TRUE(source.isNewRow());
    EXPECT_EQ(rows.count(), 1);
    const QString odd = QStringLiteral("  O'Brien \"ق\" ۱۲٫۵ -- ;  ");
    source.setText(field("malek"), QStringLiteral("حسين كريمي"));
    source.setText(field("details"), odd);
    source.setText(field("tarakoom"), QStringLiteral("۶۰٪"));
    source.setFlag(field("fooroosh"), true);
    source.setFlag(field("shoomineh04"), true);
    source.Update();

    const long long id = source.currentRowId();
    ASSERT_GT(id, 0);
    EXPECT_FALSE(source.isNewRow());
    EXPECT_FALSE(source.isChanged());
    EXPECT_EQ(source.text(field("malek")), QStringLiteral("حسين كريمي"));
    EXPECT_EQ(rawText(id, "details"), odd);
    EXPECT_EQ(rawText(id, "tarakoom"), QStringLiteral("۶۰٪"));
    EXPECT_EQ(rawText(id, "address"), QString("")); // empty text, not NULL
    EXPECT_EQ(rawInt(id, "fooroosh"), -1);
    EXPECT_EQ(rawInt(id, "shoomineh04"), -1);
    EXPECT_EQ(rawInt(id, "rahn"), 0);

    // Another record source opens on the stored row, every other box empty.
    RecordSource other(store(), listingsTable());
    EXPECT_EQ(other.currentRowId(), id);
    EXPECT_EQ(other.text(field("details")), odd);
    EXPECT_TRUE(other.flag(field("shoomineh04")));
    EXPECT_FALSE(other.flag(field("rahn")));
    EXPECT_EQ(other.text(field("vahed02")), QString());
}

TEST_P(RecordSourceTest, WriteBackRuleStoresChangesBeforeMovingAndDropsUntouchedNewRows) {
    RecordSource source(store(), listingsTable());
    const long long first = addListing(source, {{"malek", "a"}});
    const long long second = addListing(source, {{"malek", "b"}});

    // A new row without changes is dropped by AddNew and by writeBack.
    source.AddNew();
    source.AddNew();
    source.writeBack();
    EXPECT_EQ(countRows(), 2);
    EXPECT_EQ(source.currentRowId(), second); // back on the row before AddNew

    // A new row with changes is stored by AddNew, by writeBack, by a find.
    source.AddNew();
    source.setText(field("malek"), "c");
    source.AddNew();
    EXPECT_EQ(countRows(), 3);
    source.setText(field("malek"), "d");
    source.writeBack();
    EXPECT_EQ(countRows(), 4);
    EXPECT_FALSE(source.isNewRow());
    source.AddNew();
    source.setText(field("malek"), "e");
    source.FindFirst("malek='a'");
    EXPECT_EQ(countRows(), 5);
    EXPECT_EQ(source.currentRowId(), first);

    // A change of an existing row is stored by a find and by MoveFirst.
    source.setText(field("vahed01"), "10");
    source.FindFirst("malek='b'");
    EXPECT_EQ(rawText(first, "vahed01"), "10");
    source.setText(field("vahed01"), "20");
    source.MoveFirst();
    EXPECT_EQ(rawText(second, "vahed01"), "20");
    EXPECT_EQ(source.currentRowId(), first);
}

TEST_P(RecordSourceTest, CancelUpdateDiscardsANewRowAndAChange) {
    RecordSource source(store(), listingsTable());
    const long long id = addListing(source, {{"malek", "a"}, {"date", "1402/01/01"}});
    source.AddNew();
    source.setText(field("malek"), "typed");
    source.CancelUpdate();
    EXPECT_EQ(countRows(), 1);
    EXPECT_EQ(source.currentRowId(), id);
    EXPECT_EQ(source.text(field("malek")), "a");

    source.setText(field("malek"), "changed");
    source.CancelUpdate();
    EXPECT_EQ(source.text(field("malek")), "a");
    source.writeBack();
    EXPECT_EQ(rawText(id, "malek"), "a");
}

TEST_P(RecordSourceTest, UpdateWritesOnlyChangedFieldsSoAnotherCopysChangeSurvives) {
    RecordSource mine(store(), listingsTable());
    const long long id = addListing(mine, {{"malek", "a"}, {"address", "old"}});
    RecordSource theirs(store(), listingsTable());
    ASSERT_EQ(theirs.currentRowId(), id);
    theirs.setText(field("address"), "theirs");
    theirs.Update();
    mine.setText(field("malek"), "mine");
    mine.Update();
    EXPECT_EQ(rawText(id, "malek"), "mine");
    EXPECT_EQ(rawText(id, "address"), "theirs");
}

TEST_P(RecordSourceTest, ChangeToARowDeletedElsewhereIsStoredAsANewRow) {
    RecordSource mine(store(), listingsTable());
    addListing(mine, {{"malek", "a"}});
    const long long id = addListing(mine, {{"malek", "b"}});
    RecordSource theirs(store(), listingsTable());
    theirs.FindFirst("malek='b'");
    theirs.Delete();

    mine.setText(field("details"), "typed after the delete");
    mine.Update();
    EXPECT_TRUE(mine.wasStoredAnew());
    EXPECT_GT(mine.currentRowId(), id);
    EXPECT_EQ(rawText(mine.currentRowId(), "malek"), "b");
    EXPECT_EQ(rawText(mine.currentRowId(), "details"), "typed after the delete");
    EXPECT_EQ(countRows(), 2);
    mine.setText(field("details"), "again");
    mine.Update();
    EXPECT_FALSE(mine.wasStoredAnew());
}

TEST_P(RecordSourceTest, FindsStepForwardInStoredOrderAndAFailedFindKeepsTheRow) {
    RecordSource source(store(), listingsTable());
    const long long a = addListing(source, {{"malek", "x"}});
    addListing(source, {{"malek", "y"}});
    const long long c = addListing(source, {{"malek", "x"}});
    const long long d = addListing(source, {{"malek", "x"}});

    // Right after opening, the first row is current and find-next goes on
    // after it.
    RecordSource fresh(store(), listingsTable());
    ASSERT_EQ(fresh.currentRowId(), a);
    fresh.FindNext("malek='x'");
    EXPECT_FALSE(fresh.NoMatch());
    EXPECT_EQ(fresh.currentRowId(), c);

    QSignalSpy rows(&source, &RecordSource::rowChanged);
    source.FindFirst("malek='x'");
    EXPECT_EQ(source.currentRowId(), a);
    source.FindNext("malek='x'");
    EXPECT_EQ(source.currentRowId(), c);
    source.FindNext("malek='x'");
    EXPECT_EQ(source.currentRowId(), d);
    EXPECT_EQ(rows.count(), 3);
    source.FindNext("malek='x'");
    EXPECT_TRUE(source.NoMatch());
    EXPECT_EQ(source.currentRowId(), d);
    EXPECT_EQ(rows.count(), 3);
    source.FindFirst("malek='nobody'");
    EXPECT_TRUE(source.NoMatch());
    EXPECT_EQ(source.currentRowId(), d);
    source.FindFirst("malek='y'");
    EXPECT_FALSE(source.NoMatch());
}

TEST_P(RecordSourceTest, DeleteRemovesTheRowAndFindNextGoesOnFromWhereItWas) {
    RecordSource source(store(), listingsTable());
    const long long a = addListing(source, {{"malek", "x"}});
    const long long b = addListing(source, {{"malek", "x"}});
    const long long c = addListing(source, {{"malek", "x"}});
    source.FindFirst("malek='x'");
    source.FindNext("malek='x'");
    ASSERT_EQ(source.currentRowId(), b);
    source.setText(field("details"), "discarded with the row");
    QSignalSpy rows(&source, &RecordSource::rowChanged);
    source.Delete();
    EXPECT_EQ(rows.count(), 1);
    EXPECT_FALSE(source.hasCurrentRow());
    EXPECT_FALSE(source.isChanged());
    EXPECT_EQ(countRows(), 2);
    EXPECT_THROW(source.Delete(), StoreError);
    source.FindNext("malek='x'");
    EXPECT_EQ(source.currentRowId(), c);

    source.MoveFirst();
    EXPECT_EQ(source.currentRowId(), a);
    source.Delete();
    source.MoveFirst();
    source.Delete();
    EXPECT_EQ(countRows(), 0);
    EXPECT_THROW(source.MoveFirst(), StoreError);
    EXPECT_FALSE(source.hasCurrentRow());
}

TEST_P(RecordSourceTest, MoveFirstOnATableEmptiedByAnotherCopyLeavesNoRowShown) {
    RecordSource source(store(), listingsTable());
    addListing(source, {{"malek", QStringLiteral("احمد")}});
    source.MoveFirst();
    ASSERT_TRUE(source.hasCurrentRow());
    emptyListings();

    EXPECT_FALSE(source.tryMoveFirst());
    EXPECT_FALSE(source.hasCurrentRow());
    EXPECT_EQ(source.text(field("malek")), QString());
    EXPECT_THROW(source.Delete(), StoreError);
}

TEST_P(RecordSourceTest, FieldChangedOnlyWhenTheValueDiffers) {
    RecordSource source(store(), listingsTable());
    source.AddNew();
    QSignalSpy fields(&source, &RecordSource::fieldChanged);
    EXPECT_TRUE(source.setText(field("malek"), ""));
    EXPECT_FALSE(source.isChanged());
    EXPECT_TRUE(source.setText(field("malek"), "a"));
    EXPECT_TRUE(source.setFlag(field("vila"), true));
    EXPECT_TRUE(source.setFlag(field("vila"), true));
    ASSERT_EQ(fields.count(), 2);
    EXPECT_EQ(fields.at(0).at(0).toInt(), field("malek"));
    EXPECT_EQ(fields.at(1).at(0).toInt(), field("vila"));
    EXPECT_FALSE(source.setText(field("vila"), "-1")); // a flag takes no text
    EXPECT_FALSE(source.setText(-1, "x"));
}

TEST_P(RecordSourceTest, UpdateAgainstAnotherWritersLockFailsWithAMessageAndKeepsTheChange) {
    RecordSource source(store(), listingsTable());
    const long long id = addListing(source, {{"malek", "a"}});
    source.setBusyTimeout(200);
    source.setText(field("malek"), "b");

    // Another writer holds the file, or on a server the row.
    WriteLock other = holdWriteLock(id);
    const auto start = std::chrono::steady_clock::now();
    try {
        source.Update();
        FAIL() << "Update went through another writer's lock";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(storeName()));
        EXPECT_TRUE(e.message().contains(onServer() ? "lock timeout" : "locked"))
            << e.message().toStdString();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(source.isChanged());
    EXPECT_THROW(source.Delete(), StoreError);
    EXPECT_EQ(source.currentRowId(), id);
    other = WriteLock(); // the other writer goes

    source.Update();
    EXPECT_EQ(rawText(id, "malek"), "b");
}

TEST_P(RecordSourceTest, AFailureSaysWhetherItWasTheCriterionOrTheStore) {
    RecordSource source(store(), listingsTable());
    const long long id = addListing(source, {{"malek", "a"}});
    const auto kindOf = [](const std::function<void()>& operation) {
        try {
            operation();
        } catch (const StoreError& e) {
            return std::optional<StoreError::Kind>(e.kind());
        }
        return std::optional<StoreError::Kind>();
    };
    using Kind = StoreError::Kind;
    // Criteria the language refuses: nothing is searched, the row stays.
    for (const char* refused : {"malek='a", "malek='a' and nosuch = 1", "malek = ", "malek ~ 'a'",
                                "malek='a' or rahn = -1"}) {
        EXPECT_EQ(kindOf([&] { source.FindFirst(refused); }), Kind::Criterion) << refused;
        EXPECT_EQ(kindOf([&] { source.FindNext(refused); }), Kind::Criterion) << refused;
        EXPECT_EQ(source.currentRowId(), id);
    }
    // A sound criterion whose find can't write the pending change back past
    // another copy's lock (on a server, another desk's on the row): the
    // store failed.
    source.setBusyTimeout(100);
    source.setText(field("malek"), "b");
    {
        const WriteLock other = holdWriteLock(id);
        EXPECT_EQ(kindOf([&] { source.FindFirst("malek='a'"); }), Kind::Store);
    }
    source.CancelUpdate();
    source.Delete();
    EXPECT_EQ(kindOf([&] { source.Delete(); }), Kind::Store);
    EXPECT_EQ(kindOf([&] { source.MoveFirst(); }), Kind::Store);
}

TEST_P(RecordSourceTest, OpeningAFileWithoutTheTableRaisesInsteadOfCrashing) {
    if (onServer()) {
        rawExec("DROP TABLE new");
        rawExec("CREATE TABLE new (id serial, malek text)");
        try {
            RecordSource source(store(), listingsTable());
            FAIL() << "opened a table without its columns";
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(storeName()));
            EXPECT_TRUE(e.message().contains("gheymatehkoole")) << e.message().toStdString();
        }
        rawExec("DROP TABLE new");
        EXPECT_THROW(RecordSource(store(), listingsTable()), StoreError);
        return;
    }
    QFile::remove(listingsPath());
    {
        sql::Database db(listingsPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec("CREATE TABLE new (malek TEXT)");
    }
    EXPECT_THROW(RecordSource(store(), listingsTable()), StoreError);
    QFile::remove(listingsPath());
    EXPECT_THROW(RecordSource(store(), listingsTable()), StoreError);
}

TEST_P(RecordSourceTest, PasswordTableOpensOnItsOneEmptyRowAndStoresBack) {
    ASSERT_EQ(prepareStore(store(), passwordTable()), QString());
    {
        RecordSource pc(store(), passwordTable());
        ASSERT_TRUE(pc.hasCurrentRow());
        EXPECT_EQ(pc.text(0), QString());
        pc.setText(0, QStringLiteral("رمز"));
        pc.writeBack();
    }
    RecordSource again(store(), passwordTable());
    EXPECT_EQ(again.text(0), QStringLiteral("رمز"));
}

VELMORAN_ON_BOTH_STORES(RecordSourceTest);

} // namespace
