// The find press as the user meets it on the two search panels: found,
// not found, input errors, stepping with "next", the shared position, and a
// search screen that was closed.

#include "app/mdiform1.h"
#include "app/workspace.h"
#include "data/store/recordsource.h"
#include "screens/search/form2.h"
#include "screens/search/searchpanel.h"
#include "tests/gui/findpressexpect.h"
#include "tests/gui/searchfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>

#include <iterator>
#include <map>
#include <memory>
#include <vector>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

class FindPressTest : public SearchTest {
protected:
    // The search screen open with both panels.
    void openAll() {
        ASSERT_TRUE(openSearch());
        form4 = openForm4();
        form13 = openForm13();
        ASSERT_TRUE(form4 && form13);
    }
    SearchPanel* panelOf(const char* button) const {
        return form4->findChild<QAbstractButton*>(QString::fromLatin1(button)) ? form4 : form13;
    }
    // The expected not-found message of a row for the typed prices.
    static QString notFound(const ExpectedRow& row, const QString& low, const QString& high) {
        const bool command9 = QLatin1String(row.button) == QLatin1String("Command9");
        return utf8(kPriceOpening) + low + utf8(command9 ? kCommand9Joiner : kJoiner) + high +
               utf8(row.closingText);
    }
    void expectInputError() {
        ASSERT_FALSE(boxes().shown().empty());
        const MessageBox::Request& shown = boxes().shown().back().request;
        EXPECT_EQ(shown.text, utf8(kInputError));
        EXPECT_EQ(shown.title, utf8(kInputErrorTitle));
        EXPECT_EQ(shown.icon, MessageBox::Icon::Exclamation);
        EXPECT_EQ(shown.buttons, MessageBox::Buttons::Ok);
    }
    void expectNotFound(const QString& text) {
        ASSERT_FALSE(boxes().shown().empty());
        const MessageBox::Request& shown = boxes().shown().back().request;
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.title, utf8(kNotFoundTitle));
        EXPECT_EQ(shown.icon, MessageBox::Icon::Critical);
        EXPECT_EQ(shown.buttons, MessageBox::Buttons::Ok);
    }
    QString focusName(QWidget* panel) const {
        QWidget* focus = panel->focusWidget();
        return focus ? focus->objectName() : QString();
    }

    SearchPanel* form4 = nullptr;
    SearchPanel* form13 = nullptr;
};

// One listing for each of the 18 rows (its kind and deal alone, price 150,
// rent 15), and listings no row may find: prices equal to a bound, 1500 and
// 50 (between 100 and 200 in text order only), rents outside the range.
TEST_F(FindPressTest, EveryRowFindsItsOwnListingThenReportsThatNoMoreExist) {
    std::map<QString, long long> target; // "kind/deal" -> row id
    const char* const kinds[] = {"kolanghi",    "maghazeh", "daftarehkar",
                                 "mostaghelat", "apartman", "vila"};
    const char* const deals[] = {"fooroosh", "rahn", "ejareh"};
    for (const char* kind : kinds) {
        for (const char* deal : deals) {
            for (const char* price : {"100", "1500", "50", "200", "توافقي"}) {
                addListing({{kind, deal}, utf8(price), "15", {}});
            }
            if (QLatin1String(deal) == QLatin1String("ejareh")) {
                for (const char* rent : {"20", "150", ""}) {
                    addListing({{kind, deal}, "150", rent, {}});
                }
            }
            target[QStringLiteral("%1/%2").arg(kind, deal)] =
                addListing({{kind, deal}, "150", "15", {}});
        }
    }
    openAll();
    for (const ExpectedRow& expected : kExpectedRows) {
        if (!expected.first) {
            continue;
        }
        SearchPanel* panel = panelOf(expected.button);
        fill(panel, row(panel, expected.button), {"100", "200", "10", "20"});
    }
    for (const ExpectedRow& expected : kExpectedRows) {
        SCOPED_TRACE(expected.button);
        SearchPanel* panel = panelOf(expected.button);
        const long long wanted =
            target.at(QStringLiteral("%1/%2").arg(expected.kind, expected.deal));
        if (expected.first) {
            boxes().clear();
            click(panel, expected.button);
            EXPECT_TRUE(boxes().shown().empty());
            EXPECT_EQ(shownRow(), wanted);
            EXPECT_EQ(shownPrice(), QStringLiteral("150"));
            // The focus stays on the pressed button.
            EXPECT_EQ(focusName(panel), QLatin1String(expected.button));
        } else {
            // Only one listing of the row: next finds nothing more, and the
            // search screen keeps showing the match.
            click(panel, expected.button);
            expectNotFound(notFound(expected, QStringLiteral("100"), QStringLiteral("200")));
            EXPECT_EQ(shownRow(), wanted);
            EXPECT_EQ(focusName(panel), QLatin1String(expected.focus));
        }
    }
}

TEST_F(FindPressTest, NotFoundMessagesAndTheFocusAfterThemForEveryButton) {
    addListing({{"apartman", "fooroosh"}, "900", "", {}});
    openAll();
    const long long first = shownRow();
    for (const ExpectedRow& expected : kExpectedRows) {
        SCOPED_TRACE(expected.button);
        SearchPanel* panel = panelOf(expected.button);
        fill(panel, row(panel, expected.button), {"1000", "5000", "1", "2"});
        click(panel, expected.button);
        expectNotFound(notFound(expected, QStringLiteral("1000"), QStringLiteral("5000")));
        EXPECT_EQ(focusName(panel), QLatin1String(expected.focus));
        EXPECT_EQ(shownRow(), first);
        // Nothing is cleared.
        EXPECT_EQ(box(panel, expected.boxes[0])->text(), QStringLiteral("1000"));
    }
    // The owner's examples, character for character.
    click(form4, "Command20");
    expectNotFound(utf8(kCommand20Message1000To5000));
    click(form13, "Command14");
    expectNotFound(utf8(kCommand14Message1000To5000));
    fill(form4, row(form4, "Command9"), {"100", "200"});
    click(form4, "Command9");
    expectNotFound(utf8(kCommand9Message100To200));
    // The typed texts appear as typed, not as the bounds sent.
    fill(form4, row(form4, "Command20"), {"1500.9", "-0.5"});
    click(form4, "Command20");
    expectNotFound(notFound(kExpectedRows[6], QStringLiteral("1500.9"), QStringLiteral("-0.5")));
    ASSERT_STREQ(kExpectedRows[6].button, "Command20");
}

TEST_F(FindPressTest, InputErrorsLeaveTheListingTheBoxesAndTheFocusAsTheyWere) {
    addListing({{"maghazeh", "ejareh"}, "150", "15", {}});
    const long long second = addListing({{"maghazeh", "ejareh"}, "160", "16", {}});
    openAll();
    const FindButton& rent = row(form4, "Command24");
    fill(form4, rent, {"100", "200", "10", "20"});
    click(form4, "Command24");
    click(form4, "Command23");
    ASSERT_EQ(shownRow(), second);
    ASSERT_TRUE(boxes().shown().empty());

    const struct {
        const char* box;
        const char* typed;
    } cases[] = {
        {"Text22", ""},    {"Text22", "abc"}, {"Text21", "2'00"}, {"Text21", "1,500"},
        {"Text43", "1e3"}, {"Text44", ""},    {"Text44", " "},    {"Text22", "۱۲ تومان"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " = " + c.typed);
        fill(form4, rent, {"100", "200", "10", "20"});
        type(form4, c.box, utf8(c.typed));
        const std::map<QString, QString> before = {{"Text22", box(form4, "Text22")->text()},
                                                   {"Text21", box(form4, "Text21")->text()},
                                                   {"Text43", box(form4, "Text43")->text()},
                                                   {"Text44", box(form4, "Text44")->text()}};
        for (const char* pressed : {"Command24", "Command23"}) {
            boxes().clear();
            click(form4, pressed);
            ASSERT_EQ(boxes().shown().size(), 1u);
            expectInputError();
            EXPECT_EQ(shownRow(), second);
            EXPECT_EQ(shownPrice(), QStringLiteral("160"));
            EXPECT_EQ(focusName(form4), QLatin1String(pressed));
            for (const auto& [name, text] : before) {
                EXPECT_EQ(box(form4, name.toLatin1().constData())->text(), text);
            }
        }
    }
}

TEST_F(FindPressTest, NextStepsThroughEveryMatchInOrderThenStaysOnTheLast) {
    // Income property for rent among neighbours it must not match.
    std::vector<long long> matches;
    matches.push_back(addListing({{"mostaghelat", "ejareh"}, "۲۵۰", "30", {}}));
    addListing({{"mostaghelat", "rahn"}, "250", "30", {}});
    addListing({{"apartman", "ejareh"}, "250", "30", {}});
    matches.push_back(addListing({{"mostaghelat", "ejareh", "fooroosh"}, "201", "49", {}}));
    addListing({{"mostaghelat", "ejareh"}, "200", "30", {}});
    addListing({{"mostaghelat", "ejareh"}, "250", "50", {}});
    addListing({{"mostaghelat", "ejareh"}, "2500", "30", {}});
    matches.push_back(addListing({{"mostaghelat", "ejareh", "vila"}, "299.5", "11", {}}));
    addListing({{"mostaghelat", "ejareh"}, "توافقي", "30", {}});
    addListing({{"mostaghelat", "ejareh"}, "250", "", {}});
    matches.push_back(addListing({{"mostaghelat", "ejareh"}, "  260 ", "٢٠", {}}));
    addListing({{"mostaghelat", "ejareh"}, "300", "30", {}});
    openAll();
    fill(form13, row(form13, "Command37"), {"200", "300", "10", "50"});

    std::vector<long long> shown;
    click(form13, "Command37");
    ASSERT_TRUE(boxes().shown().empty());
    shown.push_back(shownRow());
    for (int press = 0; press < 10 && boxes().shown().empty(); ++press) {
        click(form13, "Command38");
        if (boxes().shown().empty()) {
            shown.push_back(shownRow());
        }
    }
    EXPECT_EQ(shown, matches);
    const QString message = utf8(kPriceOpening) + QStringLiteral("200") + utf8(kJoiner) +
                            QStringLiteral("300") + utf8(kCommand38ClosingText);
    expectNotFound(message);
    EXPECT_EQ(shownRow(), matches.back());
    // Again: searched again from the last match, the same message.
    boxes().clear();
    click(form13, "Command38");
    expectNotFound(message);
    EXPECT_EQ(shownRow(), matches.back());
    EXPECT_EQ(focusName(form13), QStringLiteral("Text35"));
}

TEST_F(FindPressTest, NextBeforeAnyFirstGoesOnFromTheListingShown) {
    const long long first = addListing({{"vila", "fooroosh"}, "150", "", {}});
    const long long second = addListing({{"vila", "fooroosh"}, "160", "", {}});
    openAll();
    ASSERT_EQ(shownRow(), first);
    fill(form13, row(form13, "Command25"), {"100", "200"});
    click(form13, "Command25");
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(shownRow(), second);
}

TEST_F(FindPressTest, BothPanelsShareTheSearchScreensPosition) {
    const long long shop1 = addListing({{"maghazeh", "fooroosh"}, "150", "", {}});
    const long long apartment = addListing({{"apartman", "fooroosh"}, "150", "", {}});
    const long long shop2 = addListing({{"maghazeh", "fooroosh"}, "150", "", {}});
    const long long both = addListing({{"maghazeh", "apartman", "fooroosh"}, "150", "", {}});
    openAll();
    fill(form13, row(form13, "Command14"), {"100", "200"});
    fill(form4, row(form4, "Command20"), {"100", "200"});
    click(form13, "Command14");
    ASSERT_EQ(shownRow(), apartment);
    // Next on the other panel goes on from the apartment, past the first shop.
    click(form4, "Command19");
    EXPECT_EQ(shownRow(), shop2);
    // And back: the apartments' next goes on from the shop.
    click(form13, "Command13");
    EXPECT_EQ(shownRow(), both);
    click(form4, "Command20");
    EXPECT_EQ(shownRow(), shop1);
    EXPECT_TRUE(boxes().shown().empty());
}

TEST_F(FindPressTest, AClosedSearchScreenIsReopenedByThePressOnItsFirstListing) {
    const long long first = addListing({{"kolanghi", "rahn"}, "150", "", {}});
    const long long second = addListing({{"kolanghi", "rahn"}, "160", "", {}});
    openAll();
    fill(form4, row(form4, "Command10"), {"100", "200"});
    click(form4, "Command10");
    click(form4, "Command9");
    ASSERT_EQ(shownRow(), second);
    ASSERT_TRUE(search()->unload());
    settle();
    ASSERT_FALSE(screens().isLoaded(ScreenId::Form2));
    ASSERT_TRUE(screens().isLoaded(ScreenId::Form4)); // the panel stays open

    // Next runs on the reopened screen, which stands on its first listing.
    click(form4, "Command9");
    settle();
    Form2* reopened = search();
    ASSERT_TRUE(reopened);
    EXPECT_TRUE(reopened->isVisible());
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(shownRow(), second);
    EXPECT_EQ(shownPrice(), QStringLiteral("160"));
    // The panel keeps the focus on the button.
    EXPECT_EQ(QApplication::activeWindow(), form4);
    EXPECT_EQ(QApplication::focusWidget(), button(form4, "Command9"));

    // And an input error after reopening moves nothing.
    ASSERT_TRUE(search()->unload());
    settle();
    type(form4, "Text8", QString());
    click(form4, "Command10");
    settle();
    expectInputError();
    ASSERT_TRUE(search());
    EXPECT_EQ(shownRow(), first);
}

TEST_F(FindPressTest, AFindLeavesTheSearchScreenWhereItIsAmongTheChildWindows) {
    addListing({{"vila", "rahn"}, "150", "", {}});
    const long long villa = addListing({{"vila", "fooroosh"}, "150", "", {}});
    openAll();
    // The entry screen comes over the search screen.
    ASSERT_TRUE(screens().show(ScreenId::Form1));
    settle();
    MDIForm1* window = mainForm();
    QMdiSubWindow* active = window->workspace()->activeSubWindow();
    ASSERT_TRUE(active);
    ASSERT_EQ(active->widget(), screens().find(ScreenId::Form1));

    QWidget* panel = screens().find(ScreenId::Form13);
    ASSERT_TRUE(panel);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    fill(form13, row(form13, "Command26"), {"100", "200"});
    click(form13, "Command26");
    settle();
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(shownRow(), villa);
    EXPECT_EQ(window->workspace()->activeSubWindow(), active);
    EXPECT_EQ(QApplication::activeWindow(), panel);
    EXPECT_EQ(QApplication::focusWidget(), button(form13, "Command26"));
}

TEST_F(FindPressTest, AFileThatFailsIsNamedNotBlamedOnTheBoxes) {
    const long long first = addListing({{"vila", "fooroosh"}, "150", "", {}});
    const long long apartment = addListing({{"apartman", "fooroosh"}, "150", "", {}});
    openAll();
    fill(form13, row(form13, "Command14"), {"100", "200"});

    // Another program takes the table away under the search screen.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(folder()).filePath("newil.db").toUtf8().constData(), &other),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "ALTER TABLE new RENAME TO moved", nullptr, nullptr, nullptr),
              SQLITE_OK);
    click(form13, "Command14");
    ASSERT_EQ(boxes().shown().size(), 1u);
    EXPECT_NE(lastMessage(), utf8(kInputError));
    EXPECT_NE(lastTitle(), utf8(kNotFoundTitle));
    EXPECT_FALSE(lastMessage().isEmpty());
    EXPECT_EQ(shownRow(), first);
    EXPECT_EQ(box(form13, "Text12")->text(), QStringLiteral("100"));

    // Once it is back, the same press finds.
    ASSERT_EQ(sqlite3_exec(other, "ALTER TABLE moved RENAME TO new", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    boxes().clear();
    click(form13, "Command14");
    EXPECT_TRUE(boxes().shown().empty());
    EXPECT_EQ(shownRow(), apartment);
}

// A message box whose closing makes the main window active, as a window
// manager may do.
class ActivatingRecorder : public MessageBox::Recorder {
public:
    int show(const MessageBox::Request& request) override {
        const int answer = Recorder::show(request);
        if (MDIForm1* main = mainForm()) {
            main->activateWindow();
            activated = QTest::qWaitForWindowActive(main) && activated;
        }
        return answer;
    }
    bool activated = true;
};

TEST_F(FindPressTest, AfterAMessageThePanelIsActiveAgainWithTheFocusWhereItBelongs) {
    addListing({{"vila", "rahn"}, "150", "", {}});
    openAll();
    auto recorder = std::make_shared<ActivatingRecorder>();
    MessageBox::setBackend(recorder);
    fill(form13, row(form13, "Command28"), {"1000", "5000"});
    click(form13, "Command28");
    ASSERT_EQ(recorder->shown().size(), 1u);
    ASSERT_TRUE(recorder->activated);
    EXPECT_TRUE(QTest::qWaitForWindowActive(form13, 1000));
    EXPECT_EQ(QApplication::focusWidget(), box(form13, "Text26"));
    // After an input error the focus is still on the button pressed.
    type(form13, "Text25", QString());
    click(form13, "Command27");
    ASSERT_EQ(recorder->shown().size(), 2u);
    EXPECT_EQ(recorder->shown().back().request.text, utf8(kInputError));
    EXPECT_TRUE(QTest::qWaitForWindowActive(form13, 1000));
    EXPECT_EQ(QApplication::focusWidget(), button(form13, "Command27"));
}

// The mechanism as a panel with an owner row and clearing rows uses it: the
// locate-and-delete panel's way, on a panel of the test's own.
class OtherPanelTest : public FindPressTest {
protected:
    void SetUp() override {
        FindPressTest::SetUp();
        panel = std::make_unique<QWidget>();
        for (const char* name : {"Text5", "Text56", "Text68"}) {
            (new QLineEdit(panel.get()))->setObjectName(QString::fromLatin1(name));
        }
        for (const FindButton& row : kRows) {
            (new QPushButton(panel.get()))->setObjectName(QString::fromLatin1(row.button));
        }
        connectFindButtons(panel.get(), ScreenId::Form2, kRows, std::size(kRows), [this] {
            ++clears;
            box(panel.get(), "Text56")->clear();
            box(panel.get(), "Text68")->clear();
        });
        panel->show();
    }
    void TearDown() override {
        panel.reset();
        FindPressTest::TearDown();
    }

    static constexpr FindButton kRows[] = {
        {"Owner1",
         FindKind::First,
         CriterionShape::Owner,
         {"Text5"},
         nullptr,
         "-",
         " none",
         "Text5",
         true},
        {"Owner2",
         FindKind::Next,
         CriterionShape::Owner,
         {"Text5"},
         nullptr,
         "-",
         " no more",
         "Text5",
         true},
        {"Sale1",
         FindKind::First,
         CriterionShape::PriceDeal,
         {"Text56", "Text68"},
         "' and  fooroosh = -1  ",
         "~",
         " none",
         "Text56",
         true},
        {"Sale2",
         FindKind::Next,
         CriterionShape::PriceDeal,
         {"Text56", "Text68"},
         "' and  fooroosh = -1  ",
         "~",
         " no more",
         nullptr,
         false},
        {"Broken",
         FindKind::First,
         CriterionShape::PriceDeal,
         {"Text56", "Text68"},
         "' and  fooroosh = -1  ",
         "~",
         " none",
         "Missing",
         false},
    };
    std::unique_ptr<QWidget> panel;
    int clears = 0;
};

TEST_F(OtherPanelTest, OwnerRowsAndRowsThatClearAfterANoMatch) {
    const long long first = addListing({{"vila", "rahn"}, "150", "", "x"});
    const long long owner = addListing({{"vila", "rahn"}, "150", "", utf8("علي كريمي")});
    const long long sale = addListing({{"apartman", "fooroosh"}, "150", "", utf8("علي كريمي")});
    ASSERT_TRUE(openSearch());
    QWidget* p = panel.get();

    // The owner, whole: found, then found again by next, then no more.
    type(p, "Text5", utf8("علي كريمي"));
    click(p, "Owner1");
    EXPECT_EQ(shownRow(), owner);
    click(p, "Owner2");
    EXPECT_EQ(shownRow(), sale);
    EXPECT_TRUE(boxes().shown().empty());
    type(p, "Text56", QStringLiteral("1"));
    type(p, "Text68", QStringLiteral("2"));
    click(p, "Owner2");
    expectNotFound(utf8(kOwnerOpening) + utf8("علي كريمي") + QStringLiteral(" no more"));
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(box(p, "Text56")->text(), QString());
    EXPECT_EQ(box(p, "Text5")->text(), utf8("علي كريمي"));
    EXPECT_EQ(p->focusWidget(), box(p, "Text5"));
    EXPECT_EQ(shownRow(), sale);

    // A quote is part of the name: no owner is called so, and the message
    // names him as typed.
    boxes().clear();
    type(p, "Text5", QStringLiteral("O'Brien"));
    click(p, "Owner1");
    ASSERT_EQ(boxes().shown().size(), 1u);
    expectNotFound(utf8(kOwnerOpening) + QStringLiteral("O'Brien none"));
    EXPECT_EQ(clears, 2);
    EXPECT_EQ(shownRow(), sale);

    // After a clearing no-match, the emptied boxes are an input error.
    boxes().clear();
    type(p, "Text56", QStringLiteral("1000"));
    type(p, "Text68", QStringLiteral("5000"));
    click(p, "Sale1");
    expectNotFound(utf8(kPriceOpening) + QStringLiteral("1000~5000 none"));
    EXPECT_EQ(clears, 3);
    EXPECT_EQ(p->focusWidget(), box(p, "Text56"));
    click(p, "Sale2");
    expectInputError();

    // A next row that neither clears nor moves the focus.
    type(p, "Text56", QStringLiteral("100"));
    type(p, "Text68", QStringLiteral("200"));
    click(p, "Sale1");
    EXPECT_EQ(shownRow(), sale);
    boxes().clear();
    click(p, "Sale2");
    expectNotFound(utf8(kPriceOpening) + QStringLiteral("100~200 no more"));
    EXPECT_EQ(clears, 3);
    EXPECT_EQ(box(p, "Text56")->text(), QStringLiteral("100"));
    EXPECT_EQ(p->focusWidget(), button(p, "Sale2"));

    // A focus that can't be moved is an error after the message.
    boxes().clear();
    click(p, "Broken");
    EXPECT_EQ(shownRow(), sale);
    EXPECT_TRUE(boxes().shown().empty()); // found
    type(p, "Text56", QStringLiteral("5000"));
    type(p, "Text68", QStringLiteral("6000"));
    boxes().clear();
    click(p, "Broken");
    ASSERT_EQ(boxes().shown().size(), 2u);
    EXPECT_EQ(boxes().shown()[0].request.title, utf8(kNotFoundTitle));
    expectInputError();
    EXPECT_EQ(shownRow(), sale);
    EXPECT_NE(first, owner);
}

} // namespace
