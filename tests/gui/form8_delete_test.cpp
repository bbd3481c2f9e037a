// The edit panel's delete: the question naming the owner, No, Yes with the
// row gone from the file at once, the first listing after it, the last
// listing, nothing to delete, a closed edit view and a file that refuses.

#include "data/core/fields.h"
#include "data/store/recordsource.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "tests/gui/editfixture.h"
#include "tests/gui/form8expect.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

#include <sqlite3.h>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

class EditDeleteTest : public EditTest {
protected:
    // Presses delete and answers its question.
    void pressDelete(int answer) {
        boxes().setNextAnswer(answer);
        click(panel, "Command9");
        settle();
    }
    // The question naming `owner` is box `index` of those shown.
    void expectQuestion(std::size_t index, const QString& owner) {
        ASSERT_GT(boxes().shown().size(), index);
        const MessageBox::Request& shown = boxes().shown()[index].request;
        EXPECT_EQ(shown.text, utf8(kDeleteQuestionOpening) + owner + utf8(kDeleteQuestionClosing));
        EXPECT_EQ(shown.title, utf8(kDeleteQuestionTitle));
        EXPECT_EQ(shown.icon, MessageBox::Icon::None);
        EXPECT_EQ(shown.buttons, MessageBox::Buttons::YesNo);
    }
    void expectNothingToDelete() {
        expectLastBox(utf8(kNothingToDelete), utf8(kNothingToDeleteTitle), MessageBox::Icon::None);
    }
};

TEST_F(EditDeleteTest, NoToTheQuestionChangesNothing) {
    addListing({{}, "", "", QStringLiteral("a")});
    const long long b = addListing({{}, "", "", utf8("بهرام")});
    addListing({{}, "", "", QStringLiteral("c")});
    openBoth();
    findOwner(utf8("بهرام"));
    ASSERT_EQ(viewRow(), b);
    pressDelete(MessageBox::vbNo);
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectQuestion(0, utf8("بهرام"));
    EXPECT_EQ(ownersInTable(), (QStringList{"a", utf8("بهرام"), "c"}));
    EXPECT_EQ(viewRow(), b);
    EXPECT_EQ(viewText("Text1"), utf8("بهرام"));
}

TEST_F(EditDeleteTest, YesRemovesTheShownListingAtOnceAndShowsTheFirst) {
    const long long a = addListing({{"fooroosh"}, "150", "", QStringLiteral("a")});
    const long long b = addListing({{"fooroosh"}, "150", "", QStringLiteral("b")});
    addListing({{"fooroosh"}, "150", "", QStringLiteral("c")});
    const long long d = addListing({{"fooroosh"}, "150", "", QStringLiteral("d")});
    openBoth();
    type(panel, "Text56", QStringLiteral("100"));
    type(panel, "Text68", QStringLiteral("200"));
    click(panel, "Command1");
    click(panel, "Command2");
    click(panel, "Command2");
    ASSERT_EQ(viewText("Text1"), QStringLiteral("c"));
    // A change pending on the listing goes with it.
    type(edit(), "Text2", QStringLiteral("changed"));

    pressDelete(MessageBox::vbYes);
    ASSERT_EQ(boxes().shown().size(), 1u); // the question alone
    expectQuestion(0, QStringLiteral("c"));
    EXPECT_EQ(ownersInTable(), (QStringList{"a", "b", "d"}));
    EXPECT_EQ(viewRow(), a);
    EXPECT_EQ(viewText("Text1"), QStringLiteral("a"));
    EXPECT_EQ(storedText(a, "mantagheh"), QString());
    // The panel's boxes are as they were.
    EXPECT_EQ(box(panel, "Text56")->text(), QStringLiteral("100"));

    // Next goes on from the first listing, not from where the deleted one was.
    click(panel, "Command2");
    EXPECT_EQ(viewRow(), b);
    click(panel, "Command2");
    EXPECT_EQ(viewRow(), d);
    EXPECT_EQ(boxes().shown().size(), 1u);
}

TEST_F(EditDeleteTest, DeletingTheLastListingLeavesEmptyFieldsWithoutAMessage) {
    addListing({{"vila"}, "150", "", QStringLiteral("last")});
    openBoth();
    ASSERT_EQ(viewText("Text1"), QStringLiteral("last"));
    pressDelete(MessageBox::vbYes);
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectQuestion(0, QStringLiteral("last"));
    EXPECT_TRUE(ownersInTable().isEmpty());
    EXPECT_EQ(viewRow(), 0);
    EXPECT_EQ(viewText("Text1"), QString());
    EXPECT_EQ(viewText("Text10"), QString());

    // Again, with nothing shown: the question names nobody, and Yes is told
    // there is nothing to delete.
    boxes().clear();
    pressDelete(MessageBox::vbYes);
    ASSERT_EQ(boxes().shown().size(), 2u);
    expectQuestion(0, QString());
    expectNothingToDelete();
    // And No asks nothing more.
    boxes().clear();
    pressDelete(MessageBox::vbNo);
    EXPECT_EQ(boxes().shown().size(), 1u);
}

TEST_F(EditDeleteTest, WithNoListingShownNothingIsDeleted) {
    openBoth(); // on an empty table
    ASSERT_EQ(viewRow(), 0);
    // Another screen stores a listing meanwhile; the edit view still shows none.
    addListing({{}, "", "", QStringLiteral("new one")});
    pressDelete(MessageBox::vbYes);
    ASSERT_EQ(boxes().shown().size(), 2u);
    expectQuestion(0, QString());
    expectNothingToDelete();
    EXPECT_EQ(ownersInTable(), QStringList{"new one"});
}

TEST_F(EditDeleteTest, WithTheEditViewClosedTheDeleteOpensItFirst) {
    addListing({{}, "", "", QStringLiteral("first")});
    const long long second = addListing({{}, "", "", QStringLiteral("second")});
    openBoth();
    findOwner(QStringLiteral("second"));
    ASSERT_TRUE(edit()->unload());
    settle();
    ASSERT_FALSE(edit());
    // The reopened view stands on its first listing: that is the one asked about.
    pressDelete(MessageBox::vbYes);
    ASSERT_TRUE(edit());
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectQuestion(0, QStringLiteral("first"));
    EXPECT_EQ(ownersInTable(), QStringList{"second"});
    EXPECT_EQ(viewRow(), second);
    // The panel keeps the activation.
    EXPECT_EQ(QApplication::activeWindow(), panel);
}

TEST_F(EditDeleteTest, AFileThatRefusesTheDeleteIsNamedAndTheListingStays) {
    addListing({{}, "", "", QStringLiteral("kept")});
    openBoth();
    edit()->Data1()->setBusyTimeout(50);
    // Another copy of the program is writing.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(folder()).filePath("newil.db").toUtf8().constData(), &other),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    pressDelete(MessageBox::vbYes);
    ASSERT_EQ(boxes().shown().size(), 2u);
    const MessageBox::Request& failure = boxes().shown().back().request;
    EXPECT_NE(failure.text, utf8(kNothingToDelete));
    EXPECT_TRUE(failure.text.contains(QStringLiteral("newil.db"))) << failure.text.toStdString();
    EXPECT_EQ(failure.icon, MessageBox::Icon::Critical);
    ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(ownersInTable(), QStringList{"kept"});
    EXPECT_EQ(viewText("Text1"), QStringLiteral("kept"));

    // Once the other copy is done, the same delete goes through.
    boxes().clear();
    pressDelete(MessageBox::vbYes);
    EXPECT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(ownersInTable().isEmpty());
}

} // namespace
