// The edit panel's finds as the user meets them: every button's not-found
// message with the clearing and the focus after it, the three price rows, the
// owner row with its whole-name test, input errors, edits stored when a find
// moves away, and an edit view that was closed.

#include "screens/edit/form7.h"
#include "screens/edit/form8.h"
#include "tests/gui/editfixture.h"
#include "tests/gui/findpressexpect.h"
#include "tests/gui/form8expect.h"

#include <QApplication>
#include <QLineEdit>

#include <map>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

class EditFindTest : public EditTest {
protected:
    void expectNotFound(const QString& text) {
        expectLastBox(text, utf8(kNotFoundTitle), MessageBox::Icon::Critical);
    }
    void expectInputError() {
        expectLastBox(utf8(kInputError), utf8(kInputErrorTitle), MessageBox::Icon::Exclamation);
    }
};

const char* const kAllBoxes[] = {"Text56", "Text68", "Text2", "Text1", "Text4", "Text3", "Text5"};

TEST_F(EditFindTest, EachButtonsNotFoundMessageThenItsClearingAndFocus) {
    addListing({{"apartman", "fooroosh", "rahn", "ejareh"}, "900", "", utf8("مالك")});
    openBoth();
    const long long shown = viewRow();
    ASSERT_NE(shown, 0);
    const std::map<QString, QString> typed = {
        {"Text56", "1000"}, {"Text68", "5000"}, {"Text2", "1001.5"},        {"Text1", "5001"},
        {"Text4", "۱۰۰۲"},  {"Text3", "5002"},  {"Text5", utf8("كسي ديگر")}};
    for (const ExpectedEditRow& expected : kExpectedEditRows) {
        SCOPED_TRACE(expected.button);
        for (const auto& [name, text] : typed) {
            type(panel, name.toLatin1().constData(), text);
        }
        boxes().clear();
        click(panel, expected.button);
        ASSERT_EQ(boxes().shown().size(), 1u);
        const QString low = typed.at(QLatin1String(expected.low));
        if (expected.high) {
            expectNotFound(utf8(kPriceOpening) + low + utf8(kJoiner) +
                           typed.at(QLatin1String(expected.high)) + utf8(expected.closingText));
        } else {
            expectNotFound(utf8(kOwnerOpening) + low + utf8(expected.closingText));
        }
        // The six price boxes emptied or all kept; the owner's name always stays.
        for (const char* name : kAllBoxes) {
            const bool owner = QLatin1String(name) == QLatin1String("Text5");
            const QString expectedText =
                expected.clears && !owner ? QString() : typed.at(QLatin1String(name));
            EXPECT_EQ(box(panel, name)->text(), expectedText) << name;
        }
        EXPECT_EQ(focusName(panel),
                  QLatin1String(expected.focus ? expected.focus : expected.button));
        EXPECT_EQ(viewRow(), shown);
    }
}

TEST_F(EditFindTest, ClearallcommandsEmptiesThePriceBoxesInItsOrderAndKeepsTheOwner) {
    openBoth();
    std::vector<QString> emptied;
    for (const char* name : kAllBoxes) {
        type(panel, name, QStringLiteral("7"));
        QLineEdit* edit = box(panel, name);
        QObject::connect(edit, &QLineEdit::textChanged, panel, [&emptied, edit](const QString& t) {
            if (t.isEmpty()) {
                emptied.push_back(edit->objectName());
            }
        });
    }
    panel->clearallcommands();
    EXPECT_EQ(emptied,
              (std::vector<QString>{"Text1", "Text2", "Text68", "Text56", "Text3", "Text4"}));
    EXPECT_EQ(box(panel, "Text5")->text(), QStringLiteral("7"));
}

TEST_F(EditFindTest, TheSaleRowSendsItsCriterionEndingInTwoBlanks) {
    addListing({{"fooroosh"}, "900", "", {}});
    openBoth();
    type(panel, "Text56", QStringLiteral("1000"));
    type(panel, "Text68", QStringLiteral("5000"));
    EXPECT_EQ(criterionFor(panel, row(panel, "Command1")), utf8(kSale1000To5000));
    EXPECT_TRUE(utf8(kSale1000To5000).endsWith(QStringLiteral("-1  ")));
    // Not found: the bounds joined with no blank on either side.
    click(panel, "Command1");
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_TRUE(lastMessage().startsWith(utf8(kPriceOpening) + QStringLiteral("1000") +
                                         utf8(kJoiner) + QStringLiteral("5000") +
                                         QLatin1Char(' ')));
}

TEST_F(EditFindTest, EachPriceRowFindsItsDealAndStepsWithNext) {
    const long long rent = addListing({{"ejareh", "vila"}, "150", "", {}});
    const long long sale1 = addListing({{"fooroosh", "apartman"}, "150", "", {}});
    addListing({{"fooroosh"}, "100", "", {}});  // a bound: not inside
    addListing({{"fooroosh"}, "1500", "", {}}); // between the bounds in text order only
    const long long mortgage = addListing({{"rahn"}, "199", "", {}});
    const long long sale2 = addListing({{"fooroosh", "rahn"}, "۱۶۰", "", {}});
    openBoth();
    for (const char* name : {"Text56", "Text2", "Text4"}) {
        type(panel, name, QStringLiteral("100"));
    }
    for (const char* name : {"Text68", "Text1", "Text3"}) {
        type(panel, name, QStringLiteral("200"));
    }
    click(panel, "Command1");
    EXPECT_EQ(viewRow(), sale1);
    EXPECT_EQ(viewText("Text10"), QStringLiteral("150"));
    EXPECT_EQ(focusName(panel), QStringLiteral("Command1"));
    click(panel, "Command2");
    EXPECT_EQ(viewRow(), sale2);
    EXPECT_TRUE(boxes().shown().empty());
    // No more: the last match stays, nothing cleared, the focus stays.
    click(panel, "Command2");
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(viewRow(), sale2);
    EXPECT_EQ(box(panel, "Text56")->text(), QStringLiteral("100"));
    EXPECT_EQ(focusName(panel), QStringLiteral("Command2"));

    click(panel, "Command4");
    EXPECT_EQ(viewRow(), mortgage);
    // The mortgage row's next goes on from the mortgage found: the sale that
    // is also for mortgage.
    click(panel, "Command3");
    EXPECT_EQ(viewRow(), sale2);
    click(panel, "Command6");
    EXPECT_EQ(viewRow(), rent);
    boxes().clear();
    click(panel, "Command5");
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_EQ(viewRow(), rent);
    EXPECT_EQ(box(panel, "Text4")->text(), QString()); // the rent row's next clears
}

TEST_F(EditFindTest, TheOwnerRowComparesTheWholeName) {
    const long long first = addListing({{}, "", "", utf8("علي كريمي")});
    addListing({{}, "", "", utf8("علي")});
    addListing({{}, "", "", utf8("علي كريمي زاده")});
    const long long empty = addListing({{}, "", "", QString()});
    const long long second = addListing({{}, "", "", utf8("علي كريمي")});
    openBoth();
    findOwner(utf8("علي كريمي"));
    EXPECT_EQ(viewRow(), first);
    click(panel, "Command8");
    EXPECT_EQ(viewRow(), second);
    EXPECT_EQ(viewText("Text1"), utf8("علي كريمي"));
    EXPECT_TRUE(boxes().shown().empty());

    // Typed on a Persian keyboard (Persian Yeh and Keheh), the name stored
    // with the Arabic letters is found, and the next press goes on to the
    // second one.
    findOwner(QString::fromUtf8("\u0639\u0644\u06CC \u06A9\u0631\u06CC\u0645\u06CC"));
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(viewRow(), first);
    click(panel, "Command8");
    EXPECT_EQ(viewRow(), second);

    // An empty owner box finds the listings whose owner is the empty text.
    findOwner(QString());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(viewRow(), empty);
    EXPECT_EQ(viewText("Text1"), QString());
}

TEST_F(EditFindTest, AQuoteInTheOwnersNameIsPartOfTheName) {
    addListing({{}, "", "", QStringLiteral("x")});
    addListing({{}, "", "", QStringLiteral("zz")});
    const long long oneil = addListing({{}, "", "", QStringLiteral("O'Neil")});
    const long long crafted = addListing({{}, "", "", QStringLiteral("x' and malek > '")});
    addListing({{}, "", "", QStringLiteral("O''Neil")});
    openBoth();
    findOwner(QStringLiteral("O'Neil"));
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(viewRow(), oneil);
    click(panel, "Command8");
    ASSERT_EQ(boxes().shown().size(), 1u); // "O''Neil" is another name

    // A name that looks like more criterion finds that name alone.
    boxes().clear();
    findOwner(QStringLiteral("x' and malek > '"));
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(viewRow(), crafted);
    click(panel, "Command8");
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectNotFound(utf8(kOwnerOpening) + QStringLiteral("x' and malek > '") +
                   utf8(kExpectedEditRows[7].closingText));
    ASSERT_STREQ(kExpectedEditRows[7].button, "Command8");
    EXPECT_EQ(viewRow(), crafted);
    EXPECT_EQ(ownersInTable().size(), 5);
}

TEST_F(EditFindTest, InputErrorsClearNothingAndLeaveTheFocus) {
    const long long only = addListing({{"fooroosh"}, "150", "", {}});
    openBoth();
    type(panel, "Text56", QString());
    type(panel, "Text68", QStringLiteral("200"));
    type(panel, "Text5", QStringLiteral("someone"));
    click(panel, "Command1");
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectInputError();
    EXPECT_EQ(box(panel, "Text68")->text(), QStringLiteral("200"));
    EXPECT_EQ(focusName(panel), QStringLiteral("Command1"));

    // After a clearing no-match every price row's next is an input error.
    type(panel, "Text4", QStringLiteral("1000"));
    type(panel, "Text3", QStringLiteral("2000"));
    click(panel, "Command6");
    ASSERT_EQ(boxes().shown().size(), 2u);
    for (const char* next : {"Command2", "Command3", "Command5"}) {
        boxes().clear();
        click(panel, next);
        ASSERT_EQ(boxes().shown().size(), 1u) << next;
        expectInputError();
    }
    EXPECT_EQ(viewRow(), only);
    EXPECT_EQ(box(panel, "Text5")->text(), QStringLiteral("someone"));
}

TEST_F(EditFindTest, AnEditIsStoredWhenAFindMovesAwayAndWhenTheViewCloses) {
    const long long first = addListing({{}, "", "", QStringLiteral("first")});
    const long long second = addListing({{}, "", "", QStringLiteral("second")});
    openBoth();
    findOwner(QStringLiteral("first"));
    ASSERT_EQ(viewRow(), first);
    type(edit(), "Text2", utf8("منطقه ۳"));
    EXPECT_EQ(storedText(first, "mantagheh"), QString()); // not yet

    findOwner(QStringLiteral("second"));
    EXPECT_EQ(viewRow(), second);
    EXPECT_EQ(storedText(first, "mantagheh"), utf8("منطقه ۳"));
    EXPECT_EQ(viewText("Text2"), QString());

    // A find that finds nothing does not move, and stores nothing yet.
    type(edit(), "Text2", QStringLiteral("north"));
    findOwner(QStringLiteral("nobody"));
    EXPECT_EQ(viewRow(), second);
    EXPECT_EQ(viewText("Text2"), QStringLiteral("north"));
    ASSERT_TRUE(edit()->unload());
    settle();
    EXPECT_EQ(storedText(second, "mantagheh"), QStringLiteral("north"));
    EXPECT_EQ(ownersInTable(), (QStringList{"first", "second"}));
}

TEST_F(EditFindTest, APressWithTheEditViewClosedOpensItAndFindsThere) {
    const long long first = addListing({{"rahn"}, "150", "", QStringLiteral("a")});
    const long long second = addListing({{"rahn"}, "160", "", QStringLiteral("b")});
    openBoth();
    type(panel, "Text2", QStringLiteral("100"));
    type(panel, "Text1", QStringLiteral("200"));
    click(panel, "Command4");
    click(panel, "Command3");
    ASSERT_EQ(viewRow(), second);
    ASSERT_TRUE(edit()->unload());
    settle();
    ASSERT_FALSE(edit());
    ASSERT_TRUE(editPanel()); // the panel stays open

    // Next runs on the reopened view, which stands on its first listing.
    click(panel, "Command3");
    settle();
    ASSERT_TRUE(edit());
    EXPECT_TRUE(edit()->isVisible());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(viewRow(), second);
    EXPECT_EQ(viewText("Text1"), QStringLiteral("b"));
    EXPECT_EQ(QApplication::activeWindow(), panel);
    EXPECT_EQ(focusName(panel), QStringLiteral("Command3"));

    ASSERT_TRUE(edit()->unload());
    settle();
    findOwner(QStringLiteral("a"));
    settle();
    ASSERT_TRUE(edit());
    EXPECT_EQ(viewRow(), first);
}

} // namespace
