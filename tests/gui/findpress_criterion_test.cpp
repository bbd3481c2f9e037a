// The criterion each find button builds and the texts of its messages.

#include "data/core/findcriterion.h"
#include "screens/search/searchpanel.h"
#include "tests/gui/findpressexpect.h"
#include "tests/gui/searchfixture.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <cstring>

using namespace velmoran;
using namespace velmoran::test;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(BoundRuleTest, TypedNumbersBecomeWholeNumbersInAsciiDigits) {
    const struct {
        const char* typed;
        const char* bound;
    } cases[] = {
        {"1500", "1500"},
        {"1500.9", "1500"},
        {"-0.5", "-1"},
        {"-1500.0", "-1500"},
        {"-1500.01", "-1501"},
        {"-0", "0"},
        {"-0.000", "0"},
        {"+42", "42"},
        {"0042", "42"},
        {".75", "0"},
        {"-.75", "-1"},
        {"150.", "150"},
        {"  2000  ", "2000"},
        {"\t99\t", "99"},
        {"۱۲۰۰", "1200"},   // Persian digits
        {"٣٤٥", "345"},     // Arabic-Indic digits
        {"۱۲۰۰٫۵", "1200"}, // Arabic decimal separator
        {"-۹٫۱", "-10"},    // carried into a new digit
        {"-999.5", "-1000"},
        {"12345678901234567890", "12345678901234567890"}, // not rounded by a double
        {"-99999999999999999999.5", "-100000000000000000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(boundText(utf8(c.typed)), std::optional<QString>(utf8(c.bound))) << c.typed;
    }
}

TEST(BoundRuleTest, AnythingElseIsRefused) {
    const char* const refused[] = {
        "",    "   ",   "abc",  "12a", "1'00", "'",        "1,500", "۱٬۵۰۰",
        "1e3", "1E3",   "0x10", "--1", "+-1",  "1 000",    ".",     "-",
        "+",   "1.2.3", "inf",  "nan", "12-",  "۱۲ تومان", "1500'", "1;2",
    };
    for (const char* typed : refused) {
        EXPECT_EQ(boundText(utf8(typed)), std::nullopt) << typed;
    }
}

TEST(CriterionShapeTest, TheFourShapes) {
    // Shape 1: the examples of a mortgage row and a sale row.
    EXPECT_EQ(buildCriterion(CriterionShape::PriceDealKind, {"100", "200"},
                             "' and  rahn = -1 and kolanghi = -1 "),
              utf8(kMortgageOldBuildings100To200));
    // Shape 2 with the bounds rewritten by the bound rule.
    EXPECT_EQ(buildCriterion(CriterionShape::PriceRentKind, {"500.2", "۹۰۰", "10", " 20 "},
                             "'  and ejareh = -1 and apartman = -1  "),
              utf8(kApartmentsForRent500To900And10To20));
    // Shape 3: the price range and the deal alone.
    EXPECT_EQ(buildCriterion(CriterionShape::PriceDeal, {"1000", "5000"}, "' and  fooroosh = -1  "),
              QStringLiteral("gheymatehkoole > '1000' AND  gheymatehkoole < '5000' and  "
                             "fooroosh = -1  "));
    // Shape 4: the owner whole, blanks included, its quotes doubled.
    EXPECT_EQ(buildCriterion(CriterionShape::Owner, {QStringLiteral(" a'b ")}, QString()),
              QStringLiteral("malek=' a''b '"));
    EXPECT_EQ(buildCriterion(CriterionShape::Owner, {QStringLiteral("x' and malek > '")}, {}),
              QStringLiteral("malek='x'' and malek > '''"));
    EXPECT_EQ(buildCriterion(CriterionShape::Owner, {QString()}, QString()),
              QStringLiteral("malek=''"));
}

TEST(CriterionShapeTest, ABoundThatIsNotANumberBuildsNothing) {
    const QString piece = QStringLiteral("' and  rahn = -1 and kolanghi = -1 ");
    EXPECT_EQ(buildCriterion(CriterionShape::PriceDealKind, {"", "200"}, piece), std::nullopt);
    EXPECT_EQ(buildCriterion(CriterionShape::PriceDealKind, {"100", "2'00"}, piece), std::nullopt);
    // Every rent row needs all four boxes.
    EXPECT_EQ(buildCriterion(CriterionShape::PriceRentKind, {"100", "200", "10", ""}, piece),
              std::nullopt);
    EXPECT_EQ(buildCriterion(CriterionShape::PriceRentKind, {"100", "200"}, piece), std::nullopt);
}

TEST(NotFoundTextTest, TypedTextsJoinedAsTyped) {
    EXPECT_EQ(notFoundText(CriterionShape::PriceDealKind, {"1500.9", "-0.5"}, priceJoiner(),
                           QStringLiteral(" end")),
              utf8(kPriceOpening) + QStringLiteral("1500.9") + utf8(kJoiner) +
                  QStringLiteral("-0.5 end"));
    // The rent bounds are not named.
    EXPECT_EQ(
        notFoundText(CriterionShape::PriceRentKind, {"1", "2", "3", "4"}, priceJoiner(), QString()),
        utf8(kPriceOpening) + QStringLiteral("1") + utf8(kJoiner) + QStringLiteral("2"));
    EXPECT_EQ(notFoundTitle(), utf8(kNotFoundTitle));
    EXPECT_EQ(inputErrorText(), utf8(kInputError));
    EXPECT_EQ(inputErrorTitle(), utf8(kInputErrorTitle));
}

// Every button of both panels, as the panel builds it from its boxes.
class ButtonCriterionTest : public SearchTest {};

QString expectedCriterion(const ExpectedRow& row, const QStringList& bounds) {
    const QString deal = QString::fromLatin1(row.deal);
    const QString kind = QString::fromLatin1(row.kind);
    QString criterion =
        QStringLiteral("gheymatehkoole > '%1' AND  gheymatehkoole < '%2").arg(bounds[0], bounds[1]);
    if (deal == QLatin1String("ejareh")) {
        return criterion + QStringLiteral("' and  vahed02 > '%1' AND  vahed02 < '%2'  and "
                                          "ejareh = -1 and %3 = -1  ")
                               .arg(bounds[2], bounds[3], kind);
    }
    return criterion + QStringLiteral("' and  %1 = -1 and %2 = -1 ").arg(deal, kind);
}

TEST_F(ButtonCriterionTest, EachOfTheThirtySixButtonsBuildsItsRowsCriterion) {
    ASSERT_TRUE(openSearch());
    SearchPanel* form4 = openForm4();
    SearchPanel* form13 = openForm13();
    ASSERT_TRUE(form4 && form13);
    const QStringList typed = {QStringLiteral("100.7"), QStringLiteral("۲۰۰"),
                               QStringLiteral("-0.5"), QStringLiteral(" ٣٠ ")};
    const QStringList bounds = {"100", "200", "-1", "30"};
    int index = 0;
    for (const ExpectedRow& expected : kExpectedRows) {
        SearchPanel* panel = index++ < kForm4Rows ? form4 : form13;
        const FindButton& button = row(panel, expected.button);
        for (int i = 0; i < 4; ++i) {
            const char* name = expected.boxes[i];
            ASSERT_EQ(name == nullptr, button.boxes[i] == nullptr) << expected.button;
            if (name) {
                EXPECT_STREQ(button.boxes[i], name) << expected.button;
                type(panel, name, typed[i]);
            }
        }
        EXPECT_EQ(button.find == FindKind::First, expected.first) << expected.button;
        EXPECT_STREQ(button.focusBox, expected.focus) << expected.button;
        EXPECT_EQ(criterionFor(panel, button), expectedCriterion(expected, bounds))
            << expected.button;
        // The button on the panel carries its caption.
        QAbstractButton* control = SearchTest::button(panel, expected.button);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->text(),
                  utf8(expected.first ? kSearchButtonCaption : kNextButtonCaption));
    }
    EXPECT_EQ(index, 36);
}

TEST_F(ButtonCriterionTest, TheExamplesCharacterForCharacter) {
    ASSERT_TRUE(openSearch());
    SearchPanel* form4 = openForm4();
    SearchPanel* form13 = openForm13();
    ASSERT_TRUE(form4 && form13);
    fill(form4, row(form4, "Command10"), {"100", "200"});
    EXPECT_EQ(criterionFor(form4, row(form4, "Command10")), utf8(kMortgageOldBuildings100To200));
    EXPECT_EQ(criterionFor(form4, row(form4, "Command9")), utf8(kMortgageOldBuildings100To200));
    fill(form4, row(form4, "Command20"), {"2000", "8000"});
    EXPECT_EQ(criterionFor(form4, row(form4, "Command20")), utf8(kShopsForSale2000To8000));
    fill(form13, row(form13, "Command18"), {"500", "900", "10", "20"});
    EXPECT_EQ(criterionFor(form13, row(form13, "Command18")),
              utf8(kApartmentsForRent500To900And10To20));
}

} // namespace
