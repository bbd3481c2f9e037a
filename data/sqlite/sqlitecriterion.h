#pragma once

#include "data/core/criterion.h"
#include "data/core/fields.h"

#include <QString>

#include <sqlite3.h>

#include <vector>

namespace velmoran {

namespace sql {
class Statement;
}

// A criterion compiled to an SQLite condition on the columns of its table,
// with anonymous "?" parameters: "=" on a text through the letters collation,
// ">" and "<" on a text by the number function or character by character, a
// flag compared as SQLite compares a number with a value.
class SqliteCriterion {
public:
    SqliteCriterion(const Criterion& c, const TableSpec& tableSpec);

    const QString& sql() const { return sql_; }
    // Binds the values starting at parameter `first`.
    void bind(sql::Statement& statement, int first) const;
    int parameterCount() const { return static_cast<int>(params_.size()); }

private:
    QString sql_;
    std::vector<Criterion::Param> params_;
};

// The SQL function the compiled conditions call to test a field's number
// against a range (all ">" and "<" of one field, joined, so each row's text
// is read once); registered on each connection by
// registerCriterionFunctions().
constexpr const char* kNumberBetweenFunction = "velmoran_number_between";
// The collation of "=" on text fields, registered with it: the texts equal
// when they are letter for letter the same after foldedLetter().
constexpr const char* kLettersCollation = "velmoran_letters";
void registerCriterionFunctions(sqlite3* db);

} // namespace velmoran
