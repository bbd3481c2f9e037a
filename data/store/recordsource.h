#pragma once

#include "data/core/fields.h"
#include "data/core/storeerror.h"
#include "data/core/tablestore.h"
#include "data/store/writegate.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace velmoran {

class Criterion;
struct StoreLocation;
class TableStore;

// What the user keeps of the fields another copy of the program changed
// since the row was read (`conflicts`, with what they hold now) while this
// copy changed them too (`ours`): for each, true in `keepTheirs` to take the
// other copy's value, false to store ours over it. False: the user cancelled,
// and nothing is stored. The program installs one that asks the user; without
// one, such a save is refused.
using ConflictChooser =
    std::function<bool(const TableSpec& tableSpec, const std::vector<FieldConflict>& conflicts,
                       const RowValues& ours, std::vector<bool>& keepTheirs)>;
void setConflictChooser(ConflictChooser choose);
const ConflictChooser& conflictChooser();

// The record source a data screen owns (`Data1`): a cursor over one table of
// one store, in natural (id) order, with one current row that the bound
// controls show and edit. The store is an SQLite file of the data folder or a
// table on a PostgreSQL server (tablestore.h); the record source works the
// same on either.
//
// Every write goes through the store's write gate (writegate.h): a refusal
// throws StoreError, nothing is written and the typed row stays as it is.
//
// Write-back: a change through a bound control marks the current row
// changed. Before AddNew, a find or MoveFirst, and when the screen unloads
// (writeBack()), a changed row is stored: a pending new row inserted, an
// existing row updated. A pending new row without changes is dropped then.
// Every stored change is one transaction. A save stores only the changed
// fields; one that another copy changed meanwhile too is the user's to
// settle (setConflictChooser); after a save the row shows what is stored,
// other copies' changes to other fields included.
//
// Nothing loads the table: opening costs one row; a find costs the entries
// of its price range in the store's price indexes (priceindex.h), or, in a
// store without them and for other criteria, the rows stepped over.
//
// On a server, a find sees what other copies of the program stored before it
// started; a server that can't be reached fails the operation (the typed row
// stays) and the next operation connects again.
class RecordSource : public QObject {
    Q_OBJECT
public:
    // Opens `folder`/tableSpec.fileName read-write and stands on the first row.
    // The file must exist with its table and every field's column.
    RecordSource(const QString& folder, const TableSpec& tableSpec, QObject* parent = nullptr);
    // Opens the table of `store`, its files or its server.
    RecordSource(const StoreLocation& store, const TableSpec& tableSpec, QObject* parent = nullptr);
    // Opens on `table` and stands on its first row.
    explicit RecordSource(std::unique_ptr<TableStore> table, QObject* parent = nullptr);
    ~RecordSource() override;

    const TableSpec& tableSpec() const;
    // What messages name: the file's path, or the server.
    QString storeName() const;

    // Current row.
    bool hasCurrentRow() const;
    long long currentRowId() const; // 0 for a pending new row or none
    bool isNewRow() const;          // an AddNew row not stored yet
    bool isChanged() const;         // a bound change not stored yet

    // Values of the current row; empty text / false without a current row.
    QString text(int field) const;
    bool flag(int field) const;
    // Every value of the current row at once (empty / false without one).
    RowValues values() const;
    // A change through a bound control. Without a current row it does nothing
    // and returns false. Emits fieldChanged(field) when the value differs.
    bool setText(int field, const QString& value);
    bool setFlag(int field, bool value);

    // The operations the screens rely on; each raises StoreError.
    void AddNew();
    void Update();
    void CancelUpdate();
    void FindFirst(const QString& criterion);
    void FindNext(const QString& criterion);
    bool NoMatch() const;
    void Delete();
    void MoveFirst();
    // MoveFirst that takes an empty table as an answer, not a failure: false
    // when there is no row (and so no current row).
    bool tryMoveFirst();

    // The criterion of the last find (FindFirst or FindNext), matched or
    // not, as it was sent and compiled; null before the first find.
    const Criterion* lastCriterion() const;
    QString lastCriterionText() const;
    // Row `id` becomes current as if a find had stopped on it (a find-next
    // goes on after it), the write-back run first. False, and nothing
    // moved, when the row is not there any more (another copy deleted it).
    bool MoveTo(long long id);

    // The write-back rule, run by the screen when it unloads.
    void writeBack();

    // True when the last stored change was to a row that another copy of the
    // program had deleted meanwhile: the row was stored anew, as a new row at
    // the end of the table, so nothing typed is lost. It is current.
    bool wasStoredAnew() const;

    // How long a write waits for another copy's write to finish before it
    // fails (3 s unless set; on a server, the wait for a row another copy
    // holds).
    void setBusyTimeout(int milliseconds);

signals:
    // The current row is another one (or none): bound controls show it anew.
    void rowChanged();
    // One field of the current row was set: controls bound to it refresh.
    void fieldChanged(int field);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace velmoran
