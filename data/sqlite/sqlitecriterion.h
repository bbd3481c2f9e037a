#pragma once

#include "data/core/criterion.h"
#include "data/core/fields.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <optional>
#include <vector>

namespace velmoran {

namespace sql {
class Statement;
}

// A criterion compiled to an SQLite condition on the columns of its table,
// with anonymous "?" parameters: "=" on a text through the letters collation,
// ">" and "<" on a text by the number function or character by character, a
// flag compared as SQLite compares a number with a value.
//
// `keyedField`: a field the file has the owner index of
// (sqliteOwnerKeyExpression); its "=" then looks up the index's keys that
// the text may have before the letters compare (keyed()).
class SqliteCriterion {
public:
    SqliteCriterion(const Criterion& c, const TableSpec& tableSpec, int keyedField = -1);
    // The condition goes through the owner index: a pass must not be held
    // to another index.
    bool keyed() const { return keyed_; }

    const QString& sql() const { return sql_; }
    // Binds the values starting at parameter `first`.
    void bind(sql::Statement& statement, int first) const;
    int parameterCount() const { return static_cast<int>(params_.size()); }

private:
    QString sql_;
    std::vector<Criterion::Param> params_;
    bool keyed_ = false;
};

// The key of the owner find's index of a file: the owner with its ASCII
// letters lowered and the Arabic Yeh and Kaf made Persian, by SQLite's own
// functions only, so the file stays writable by any program that opens it.
// `column` is quoted. The letters collation folds more (every Latin letter's
// case): the key narrows a find to a few entries, the collation decides.
QString sqliteOwnerKeyExpression(const QString& column);

// Every key a stored text may have that the letters collation finds equal
// to `text`: one for a Persian name or one in ASCII letters, a few for
// other Latin letters. Nothing when they are too many to look up one by one
// (the find then passes over the listings).
std::optional<QStringList> sqliteOwnerKeys(const QString& text);

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
