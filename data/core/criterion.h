#pragma once

#include "data/core/fields.h"

#include <QString>

#include <sqlite3.h>

#include <vector>

namespace velmoran {

namespace sql {
class Statement;
}

// A find criterion as the panels write it, compiled to an SQL condition.
//
// The language: one or more comparisons joined by "and" (any case), each a
// field name of the table (any case), one of ">", "<", "=", and a value: a
// single-quoted text ('' stands for a quote) or a whole number such as -1.
// Blanks may stand between any two items.
//
// Field names enter the SQL only from the field table; every value is a bound
// parameter. A ">" or "<" whose value is a number compares numbers: the
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

    // The condition for SQLite, with anonymous "?" parameters.
    const QString& sql() const { return sql_; }
    // Binds the values starting at parameter `first`.
    void bind(sql::Statement& statement, int first) const;
    int parameterCount() const { return static_cast<int>(params_.size()); }
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
    QString sql_;
    std::vector<Param> params_;
    std::vector<int> fields_;
    std::vector<Test> tests_;
};

// The SQL function the compiled conditions call to test a field's number
// against a range (all ">" and "<" of one field, joined, so each row's text
// is read once); registered on each connection by
// registerCriterionFunctions().
constexpr const char* kNumberBetweenFunction = "velmoran_number_between";
// The collation of "=" on text fields, registered with it: the texts equal
// when they are letter for letter the same after foldedLetter().
// A letter as names are compared: Arabic Yeh and Kaf as the Persian Yeh and
// Keheh, a Latin capital as its small letter; any other character as it is.
char32_t foldedLetter(char32_t cp);
constexpr const char* kLettersCollation = "velmoran_letters";
void registerCriterionFunctions(sqlite3* db);

} // namespace velmoran
