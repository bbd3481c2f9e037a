#pragma once

#include "data/core/fields.h"
#include "data/core/storeerror.h"
#include "data/core/storemessages.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace velmoran {

class Criterion;

// The values of one row, by field: the texts of text fields, the flags of
// flag fields (the other entry of each field stays empty / false).
struct RowValues {
    std::vector<QString> texts;
    std::vector<bool> flags;
};

// What an opened store is for: a record source reads and writes; a tool that
// only reads (an export) may read a file it can't write.
enum class StoreAccess { ReadWrite, ReadOnly };

// A field that another copy of the program changed since this copy read the
// row, to a value other than this copy's: what it holds now.
struct FieldConflict {
    int field;
    QString text; // a text field's
    bool flag;    // a flag field's
};

// The changed fields of `ours` whose stored value (`now`) is no longer the
// one this copy read (`read`) nor the one it stores.
std::vector<FieldConflict> fieldConflicts(const TableSpec& tableSpec, const RowValues& now,
                                          const RowValues& read, const RowValues& ours,
                                          const std::vector<bool>& changed);

// Where a change was stored: the row's id, and whether the row had been
// deleted by another copy of the program and so was stored anew. With
// conflicts nothing was stored.
struct StoredRow {
    long long id;
    bool anew;
    std::vector<FieldConflict> conflicts;
};

// One row of a list of a find's matches: its id and the values of the fields
// listed (the other fields stay empty / false).
struct ListedRow {
    long long id;
    RowValues values;
};

// One table of one store as the record source and every tool reach it: rows
// in stored (id) order, read, found, inserted, updated and deleted one at a
// time, or read whole in id order (scan). Two
// implementations: the SQLite file of the data folder (sqlitestore.h) and a
// table on a PostgreSQL server (pgstore.h). Every failure is thrown as
// StoreError with a Persian message naming the store.
class TableStore {
public:
    virtual ~TableStore() = default;

    // The table's fields, as opened.
    virtual const TableSpec& tableSpec() const = 0;
    // What the messages name: the file's path, or the server.
    virtual QString name() const = 0;
    // The Persian message for `problem` in this store.
    virtual QString message(StoreProblem problem, const QString& detail = QString()) const = 0;

    // The first row (by id) into `row`: its id, nothing for an empty table.
    virtual std::optional<long long> first(RowValues& row) = 0;
    // Row `id` into `row`; false when it is not there (any more).
    virtual bool read(long long id, RowValues& row) = 0;
    // The first row after `after` (or the first of all) that satisfies `c`,
    // into `row`: its id, nothing when none does.
    virtual std::optional<long long> find(const Criterion& c, std::optional<long long> after,
                                          RowValues& row) = 0;

    // Each of these is one transaction.
    // Inserts a new row with every field's value; returns its id.
    virtual long long insert(const RowValues& row) = 0;
    // Stores the `changed` fields of row `id`, where each still holds what
    // was read (`read`) or what is stored now; a field another copy changed
    // meanwhile to something else is a conflict, and then nothing is stored.
    // A row that is no longer there is inserted whole instead (anew), so
    // nothing typed is lost.
    virtual StoredRow update(long long id, const RowValues& row, const std::vector<bool>& changed,
                             const RowValues& read) = 0;
    virtual void remove(long long id) = 0;

    // Every row in id order, handed to `each` one at a time as of one moment
    // (one statement), so a whole table is read without being held. `each`
    // returns false to stop.
    using EachRow = std::function<bool(long long id, const RowValues& row)>;
    virtual void scan(const EachRow& each) = 0;

    // How long a write waits for another copy's write to finish.
    virtual void setBusyTimeout(int milliseconds) = 0;

    // Inserts the rows `next` hands over, one at a time until it returns
    // false, as new rows in ONE transaction: every one of them is stored, or,
    // when the store fails or `next` throws (a cancel, a file found bad half
    // way), none is, and what `next` threw is thrown on. A kill half way
    // leaves the table as it was. Returns how many rows were stored.
    using NextRow = std::function<bool(RowValues& row)>;
    virtual long long insertAll(const NextRow& next) = 0;
    // The rows of `rows`, likewise.
    long long insertAll(const std::vector<RowValues>& rows);

    // The list of a find's matches, read a page at a time; `c` null stands
    // for every row. Each is one statement, as of one moment.
    // Up to `count` rows satisfying `c`, in id order after `after` (or from
    // the first), with the values of `fields` only; `descending`: from the
    // last downwards, below `after`.
    virtual std::vector<ListedRow> listPage(const Criterion* c, const std::vector<int>& fields,
                                            std::optional<long long> after, int count,
                                            bool descending) = 0;
    // The values of `fields` of those rows of `ids` that are still there, in
    // id order.
    virtual std::vector<ListedRow> listRows(const std::vector<long long>& ids,
                                            const std::vector<int>& fields) = 0;
    // How many rows satisfy `c`.
    virtual long long countMatches(const Criterion* c) = 0;
    // The id and the text of text field `field` of every row satisfying
    // `c`, in id order (what a list sorts by).
    using EachText = std::function<void(long long id, const QString& text)>;
    virtual void matchTexts(const Criterion* c, int field, const EachText& each) = 0;
    // Every row satisfying `c` (null: every row), in id order, with the
    // values of `fields` only, handed to `each` one at a time as of one
    // moment (one statement): a pass over many rows, none of them held.
    using EachListed = std::function<void(const ListedRow& row)>;
    virtual void matchRows(const Criterion* c, const std::vector<int>& fields,
                           const EachListed& each) = 0;
};

} // namespace velmoran
