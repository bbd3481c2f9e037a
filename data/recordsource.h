#pragma once

#include "data/fields.h"

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

namespace velmoran {

// A failure of the record source: the file can't be opened or written, a
// criterion can't be evaluated, an operation without a current row. The
// message is Persian, ready to be shown, and names the file and the problem
// (with SQLite's own message where there is one).
class RecordSourceError : public std::runtime_error {
public:
    // Whose the failure was: the criterion handed in (the caller's input,
    // nothing searched), or the store and its file.
    enum class Kind { Store, Criterion };

    explicit RecordSourceError(const QString& message, Kind kind = Kind::Store);
    const QString& message() const { return message_; }
    Kind kind() const { return kind_; }

private:
    QString message_;
    Kind kind_;
};

// The record source a data screen owns (`Data1`): a cursor over one table of
// one file, in natural (rowid) order, with one current row that the bound
// controls show and edit.
//
// Write-back: a change through a bound control marks the current row
// changed. Before AddNew, a find or MoveFirst, and when the screen unloads
// (writeBack()), a changed row is stored: a pending new row inserted, an
// existing row updated. A pending new row without changes is dropped then.
// Every stored change is one transaction.
//
// Nothing loads the table: opening and every find cost the rows stepped over.
class RecordSource : public QObject {
    Q_OBJECT
public:
    // Opens `folder`/tableSpec.fileName read-write and stands on the first row.
    // The file must exist with its table and every field's column.
    RecordSource(const QString& folder, const TableSpec& tableSpec, QObject* parent = nullptr);
    ~RecordSource() override;

    const TableSpec& tableSpec() const;
    QString filePath() const;

    // Current row.
    bool hasCurrentRow() const;
    long long currentRowId() const; // 0 for a pending new row or none
    bool isNewRow() const;          // an AddNew row not stored yet
    bool isChanged() const;         // a bound change not stored yet

    // Values of the current row; empty text / false without a current row.
    QString text(int field) const;
    bool flag(int field) const;
    // A change through a bound control. Without a current row it does nothing
    // and returns false. Emits fieldChanged(field) when the value differs.
    bool setText(int field, const QString& value);
    bool setFlag(int field, bool value);

    // The operations the screens rely on; each raises RecordSourceError.
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

    // The write-back rule, run by the screen when it unloads.
    void writeBack();

    // True when the last stored change was to a row that another copy of the
    // program had deleted meanwhile: the row was stored anew, as a new row at
    // the end of the table, so nothing typed is lost. It is current.
    bool wasStoredAnew() const;

    // How long a write waits for another copy's write to finish before it
    // fails (3 s unless set).
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
