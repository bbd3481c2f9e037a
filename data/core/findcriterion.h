#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmoran {

// The four ways a find button puts its boxes into a find criterion.
enum class CriterionShape {
    PriceDealKind, // price range, then a closing piece testing the deal and the kind
    PriceRentKind, // price range, rent range (vahed02), then the closing piece
    PriceDeal,     // price range, then a closing piece testing the deal only
    Owner,         // the owner name, whole and exact (its quotes doubled in the literal)
};

// The number of boxes a shape reads: 2, 4, 2 and 1.
int boxCount(CriterionShape shape);

// The bound rule: a typed price becomes the text that stands in a criterion.
// Accepted: blanks around, a sign, digits in ASCII, Persian (۰–۹) or
// Arabic-Indic (٠–٩) script, "." or "٫" as the decimal point. The number is
// rounded down toward minus infinity and written in ASCII digits, with a
// leading "-" when negative, without grouping or a decimal part: "1500.9"
// gives "1500", "-0.5" gives "-1", "۱۲۰" gives "120". Nothing is lost to
// floating point: "12345678901234567890" stays as it is. Anything else (the
// empty text, letters, a quote, grouping marks, an exponent) gives nothing.
std::optional<QString> boundText(const QString& typed);

// The tool's bound rule (velmoran-cli find): a typed bound compared as the
// number it is, decimals and all. Accepted as readNumber (numbers.h) takes a
// number, grouping by "," or "٬" in threes included; written in ASCII
// digits without grouping or blanks, "." as the point: "1,000" gives
// "1000", "۹۹۹٫۵" gives "999.5", "-0.5" stays. Anything else gives nothing.
std::optional<QString> exactBoundText(const QString& typed);

// How the typed bounds become a criterion's: the panels round down
// (boundText), the tool keeps them exact (exactBoundText).
enum class BoundRule { RoundDown, Exact };

// The criterion of `shape` for the boxes' texts as typed, in the order low
// price, high price, low rent, high rent (the owner box alone for Owner),
// ended by the row's closing piece (unused for Owner). Nothing when a price
// or rent text does not pass the bound rule (`rule`). The owner stands in one quoted
// literal with each of its quotes doubled: "O'Neil" gives malek='O''Neil'.
std::optional<QString> buildCriterion(CriterionShape shape, const QStringList& typed,
                                      const QString& closingPiece,
                                      BoundRule rule = BoundRule::RoundDown);

// The text of the not-found message: the opening, the typed low and high
// price joined by `joiner` (the owner name for Owner), then the button's
// closing text.
QString notFoundText(CriterionShape shape, const QStringList& typed, const QString& joiner,
                     const QString& closingText);

// The texts every find button shares.
QString notFoundTitle();
QString inputErrorText();
QString inputErrorTitle();
QString priceJoiner(); // between the two prices in most messages

} // namespace velmoran
