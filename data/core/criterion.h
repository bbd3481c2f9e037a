#pragma once

#include "data/core/fields.h"

#include <QString>

#include <optional>
#include <vector>

namespace velmoran {

// A find criterion as the panels write it, parsed into the tests a row must
// pass; each store compiles the tests to its own dialect (sqlitecriterion.h,
// pgcriterion.h).
//
// The language: one or more comparisons joined by "and" (any case), each a
// field name of the table (any case), one of ">", "<", "=", and a value: a
// single-quoted text ('' stands for a quote) or a whole number such as -1.
// Blanks may stand between any two items.
//
// Field names enter a store's SQL only from the field table; every value is
// a bound parameter. A ">" or "<" whose value is a number compares numbers: the
// field's text is read as the agency writes numbers (data/core/numbers.h), and a
// text that is not a number does not satisfy it. Any other value compares as
// text, character by character. "=" compares the whole text letter by letter
// (for a flag, the number), with the Arabic Yeh and Kaf (U+064A, U+0643) the
// same letters as the Persian Yeh and Keheh (U+06CC, U+06A9), and a Latin
// capital the same as its small letter: "علي كريمي" = "علی کریمی", "ALI" =
// "Ali". Nothing else is set aside: blanks and every other letter count.
class Criterion {
public:
    // Throws StoreError (Persian) for anything outside the language
    // or a field the table does not have.
    Criterion(const QString& text, const TableSpec& tableSpec);

    // The fields it tests, by index in the table's field list.
    const std::vector<int>& fields() const { return fields_; }

    struct Param {
        enum class Kind { Text, Integer, Real } kind;
        QString text;
        long long integer = 0;
        double real = 0;
    };

    // One test of the criterion, as every store compiles it.
    struct Test {
        enum class Kind {
            Flag,        // a flag field `op` the value (a number or a text)
            TextEquals,  // a text field's text is the value exactly
            TextOrder,   // a text field's text `op` the value, character by character
            NumberRange, // a text field read as a number: low < number < high
        } kind;
        int field;
        QChar op;                 // '=', '<' or '>' (Flag, TextOrder)
        Param value;              // Flag, TextEquals, TextOrder
        double low = 0, high = 0; // NumberRange; either may be infinite
    };
    // The tests, all of which a row must pass, cheap ones first.
    const std::vector<Test>& tests() const { return tests_; }

private:
    std::vector<int> fields_;
    std::vector<Test> tests_;
};

// The number a flag (a number column) is compared with when the criterion
// gives a text: the text read as a number column of the file reads it (blanks
// around, a sign, digits with a point or an exponent), an integer where the
// value is a whole number within 64 bits, else a real; nothing when the text
// stays a text, which every number is less than.
std::optional<Criterion::Param> flagOperand(const QString& text);

// A letter as names are compared: Arabic Yeh and Kaf as the Persian Yeh and
// Keheh, a Latin capital as its small letter; any other character as it is.
char32_t foldedLetter(char32_t cp);

} // namespace velmoran
