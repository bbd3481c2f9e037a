#include "data/recordsource.h"

#include "data/criterion.h"
#include "data/fileaccess.h"
#include "data/sqlite.h"
#include "data/storemessages.h"

#include <QDir>

#include <algorithm>
#include <limits>
#include <optional>

namespace velmoran {

RecordSourceError::RecordSourceError(const QString& message, Kind kind)
    : std::runtime_error(message.toStdString()), message_(message), kind_(kind) {}

namespace {
constexpr int kDefaultBusyTimeout = 3000;
}

struct RecordSource::Impl {
    enum class State { None, Stored, New };

    Impl(const TableSpec& s, const QString& p) : tableSpec(s), path(p) {}

    const TableSpec& tableSpec;
    QString path;
    sql::Database db;
    QString table;   // quoted table name
    QString columns; // quoted field names in field order
    sql::Statement first, byId, insert, remove, lastFind;
    QString findSql;
    QString findIndex;         // the find index's name; empty when the file has none
    std::vector<bool> indexed; // by field: held by the find index

    State state = State::None;
    long long rowId = 0;                // the stored current row
    std::optional<long long> position;  // where a find-next goes on after a delete
    std::optional<long long> beforeNew; // the row current before AddNew
    std::vector<QString> texts;
    std::vector<bool> flags;
    std::vector<bool> changed;
    bool anyChanged = false;
    bool noMatch = false;
    bool storedAnew = false;

    [[noreturn]] void fail(StoreProblem problem, const sql::Error& e) const {
        throw RecordSourceError(storeMessage(problem, path, e.detail()));
    }

    void clearValues() {
        texts.assign(tableSpec.fieldCount, QString());
        flags.assign(tableSpec.fieldCount, false);
        changed.assign(tableSpec.fieldCount, false);
        anyChanged = false;
    }

    // Takes the row the statement stands on (rowid, then the fields).
    void take(const sql::Statement& st) {
        clearValues();
        rowId = st.columnInt(0);
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int column = static_cast<int>(i) + 1;
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                flags[i] = st.columnInt(column) != 0;
            } else {
                texts[i] = st.columnText(column);
            }
        }
        state = State::Stored;
        position = rowId;
    }

    // Steps `st` once: the row found becomes current. False when none.
    bool moveTo(sql::Statement& st) {
        sql::ResetGuard guard(st);
        try {
            if (!st.step()) {
                return false;
            }
            take(st);
        } catch (const sql::Error& e) {
            fail(StoreProblem::CannotRead, e);
        }
        return true;
    }

    bool load(long long id) {
        byId.bindInt(1, id);
        return moveTo(byId);
    }

    void bindValues(sql::Statement& st) const {
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int param = static_cast<int>(i) + 1;
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                st.bindInt(param, flags[i] ? -1 : 0);
            } else {
                st.bindText(param, texts[i]);
            }
        }
    }

    long long insertRow() {
        bindValues(insert);
        insert.run();
        return db.lastInsertRowId();
    }

    // Stores the pending new row or the changes of the current row, in one
    // transaction.
    void store() {
        long long id = rowId;
        bool anew = false;
        try {
            sql::Transaction transaction(db);
            if (state == State::New) {
                id = insertRow();
            } else {
                QStringList sets;
                for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                    if (changed[i]) {
                        sets << sql::quoted(tableSpec.fields[i].name) + QStringLiteral(" = ?");
                    }
                }
                sql::Statement update =
                    db.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                   .arg(table, sets.join(QStringLiteral(", "))));
                int param = 1;
                for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                    if (!changed[i]) {
                        continue;
                    }
                    if (tableSpec.fields[i].kind == FieldKind::Flag) {
                        update.bindInt(param++, flags[i] ? -1 : 0);
                    } else {
                        update.bindText(param++, texts[i]);
                    }
                }
                update.bindInt(param, rowId);
                update.run();
                if (db.changes() == 0) {
                    // Another copy deleted the row: keep what was typed.
                    id = insertRow();
                    anew = true;
                }
            }
            transaction.commit();
        } catch (const sql::Error& e) {
            fail(StoreProblem::CannotWrite, e);
        }
        rowId = id;
        storedAnew = anew;
        state = State::Stored;
        position = rowId;
        changed.assign(tableSpec.fieldCount, false);
        anyChanged = false;
        beforeNew.reset();
    }

    // Leaves a pending new row: back on the row that was current before.
    void dropNew() {
        const std::optional<long long> back = beforeNew;
        beforeNew.reset();
        state = State::None;
        clearValues();
        if (back && !load(*back)) {
            position = back; // it was deleted meanwhile; go on from there
        }
    }

    // The first row after `after` (or the first of all) satisfying `c`
    // becomes current; false, and nothing changed, when there is none. With
    // the find index and every field of `c` in it, the pass steps over the
    // index's narrow entries and reads only the row found.
    bool find(const Criterion& c, std::optional<long long> after) {
        const bool narrow =
            !findIndex.isEmpty() &&
            std::all_of(c.fields().begin(), c.fields().end(), [this](int f) { return indexed[f]; });
        QString sql = narrow
                          ? QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2 WHERE ")
                                .arg(table, sql::quoted(findIndex))
                          : QStringLiteral("SELECT rowid, %1 FROM %2 WHERE ").arg(columns, table);
        if (after) {
            sql += QStringLiteral("rowid > ? AND ");
        }
        sql += c.sql() + QStringLiteral(" ORDER BY rowid LIMIT 1");
        sql::Statement& st = findStatement(sql);
        long long id = 0;
        {
            sql::ResetGuard guard(st);
            try {
                if (after) {
                    st.bindInt(1, *after);
                }
                c.bind(st, after ? 2 : 1);
                if (!narrow) {
                    if (!st.step()) {
                        return false;
                    }
                    take(st);
                    return true;
                }
                if (!st.step()) {
                    return false;
                }
                id = st.columnInt(0);
            } catch (const sql::Error& e) {
                fail(StoreProblem::CannotRead, e);
            }
        }
        return load(id);
    }

    // Notes which fields the find index holds, when the file has it.
    void lookForFindIndex() {
        const QString name = QString::fromUtf8(tableSpec.table) + QStringLiteral("_find");
        indexed.assign(tableSpec.fieldCount, false);
        sql::Statement info =
            db.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
        info.bindText(1, name);
        bool first = true;
        while (info.step()) {
            const QString column = info.columnText(0);
            if (first && column.compare(QLatin1String("id"), Qt::CaseInsensitive) != 0) {
                return; // not in stored order: no use for a find
            }
            first = false;
            const int field = tableSpec.indexOf(column);
            if (field >= 0) {
                indexed[field] = true;
            }
        }
        if (!first) {
            findIndex = name;
        }
    }

    sql::Statement& findStatement(const QString& sql) {
        if (sql != findSql || !lastFind.isValid()) {
            lastFind = sql::Statement();
            findSql.clear();
            try {
                lastFind = db.prepare(sql);
            } catch (const sql::Error& e) {
                fail(StoreProblem::CannotRead, e);
            }
            findSql = sql;
        }
        return lastFind;
    }
};

RecordSource::RecordSource(const QString& folder, const TableSpec& tableSpec, QObject* parent)
    : QObject(parent),
      d(std::make_unique<Impl>(tableSpec,
                               QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName)))) {
    d->clearValues();
    d->table = sql::quoted(tableSpec.table);
    QStringList names;
    QStringList params;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        names << sql::quoted(tableSpec.fields[i].name);
        params << QStringLiteral("?");
    }
    d->columns = names.join(QStringLiteral(", "));
    try {
        d->db = sql::Database(d->path, SQLITE_OPEN_READWRITE);
        if (d->db.isReadOnly() || !mayWrite(d->path)) {
            throw RecordSourceError(storeMessage(StoreProblem::NotWritable, d->path));
        }
        d->db.setBusyTimeout(kDefaultBusyTimeout);
        d->db.exec("PRAGMA synchronous = FULL");
        // Pages are large (64 KiB): fold the journal back into the file every
        // 4 MiB rather than SQLite's usual 1000 pages.
        d->db.exec("PRAGMA wal_autocheckpoint = 64");
        registerCriterionFunctions(d->db.handle());
        const QString select =
            QStringLiteral("SELECT rowid, %1 FROM %2 ").arg(d->columns, d->table);
        d->first = d->db.prepare(select + QStringLiteral("ORDER BY rowid LIMIT 1"));
        d->byId = d->db.prepare(select + QStringLiteral("WHERE rowid = ?"));
        d->insert = d->db.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(d->table, d->columns, params.join(QLatin1Char(','))));
        d->remove = d->db.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->table));
        d->lookForFindIndex();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotOpen, e);
    }
    d->moveTo(d->first);
}

RecordSource::~RecordSource() = default;

const TableSpec& RecordSource::tableSpec() const {
    return d->tableSpec;
}

QString RecordSource::filePath() const {
    return d->path;
}

bool RecordSource::hasCurrentRow() const {
    return d->state != Impl::State::None;
}

long long RecordSource::currentRowId() const {
    return d->state == Impl::State::Stored ? d->rowId : 0;
}

bool RecordSource::isNewRow() const {
    return d->state == Impl::State::New;
}

bool RecordSource::isChanged() const {
    return d->anyChanged;
}

QString RecordSource::text(int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= d->tableSpec.fieldCount ||
        d->state == Impl::State::None) {
        return QString();
    }
    if (d->tableSpec.fields[field].kind == FieldKind::Flag) {
        return d->flags[field] ? QStringLiteral("-1") : QStringLiteral("0");
    }
    return d->texts[field];
}

bool RecordSource::flag(int field) const {
    return field >= 0 && static_cast<std::size_t>(field) < d->tableSpec.fieldCount &&
           d->state != Impl::State::None && d->flags[field];
}

bool RecordSource::setText(int field, const QString& value) {
    if (field < 0 || static_cast<std::size_t>(field) >= d->tableSpec.fieldCount ||
        d->state == Impl::State::None || d->tableSpec.fields[field].kind != FieldKind::Text) {
        return false;
    }
    if (d->texts[field] != value) {
        d->texts[field] = value;
        d->changed[field] = true;
        d->anyChanged = true;
        emit fieldChanged(field);
    }
    return true;
}

bool RecordSource::setFlag(int field, bool value) {
    if (field < 0 || static_cast<std::size_t>(field) >= d->tableSpec.fieldCount ||
        d->state == Impl::State::None || d->tableSpec.fields[field].kind != FieldKind::Flag) {
        return false;
    }
    if (d->flags[field] != value) {
        d->flags[field] = value;
        d->changed[field] = true;
        d->anyChanged = true;
        emit fieldChanged(field);
    }
    return true;
}

void RecordSource::writeBack() {
    if (d->state == Impl::State::New && !d->anyChanged) {
        d->dropNew();
        emit rowChanged();
    } else if (d->state != Impl::State::None && d->anyChanged) {
        d->store();
    }
}

void RecordSource::AddNew() {
    writeBack();
    d->beforeNew.reset();
    if (d->state == Impl::State::Stored) {
        d->beforeNew = d->rowId;
    }
    d->state = Impl::State::New;
    d->rowId = 0;
    d->clearValues();
    emit rowChanged();
}

void RecordSource::Update() {
    if (d->state == Impl::State::None) {
        throw RecordSourceError(storeMessage(StoreProblem::NoCurrentRow, d->path));
    }
    if (d->state == Impl::State::New || d->anyChanged) {
        d->store();
    }
}

void RecordSource::CancelUpdate() {
    if (d->state == Impl::State::New) {
        d->dropNew();
    } else if (d->state == Impl::State::Stored && d->anyChanged) {
        const long long id = d->rowId;
        if (!d->load(id)) {
            d->state = Impl::State::None;
            d->clearValues();
        }
    } else {
        return;
    }
    emit rowChanged();
}

void RecordSource::FindFirst(const QString& criterion) {
    const Criterion compiled(criterion, d->tableSpec);
    writeBack();
    d->noMatch = !d->find(compiled, std::nullopt);
    if (!d->noMatch) {
        emit rowChanged();
    }
}

void RecordSource::FindNext(const QString& criterion) {
    const Criterion compiled(criterion, d->tableSpec);
    writeBack();
    // Without a row to go on from (an empty table at opening), from the start.
    d->noMatch = !d->find(compiled, d->position);
    if (!d->noMatch) {
        emit rowChanged();
    }
}

bool RecordSource::NoMatch() const {
    return d->noMatch;
}

void RecordSource::Delete() {
    if (d->state == Impl::State::None) {
        throw RecordSourceError(storeMessage(StoreProblem::NoCurrentRow, d->path));
    }
    if (d->state == Impl::State::Stored) {
        try {
            sql::Transaction transaction(d->db);
            d->remove.bindInt(1, d->rowId);
            d->remove.run();
            transaction.commit();
        } catch (const sql::Error& e) {
            d->fail(StoreProblem::CannotWrite, e);
        }
        d->position = d->rowId;
    }
    // A pending new row, never stored, just goes.
    d->beforeNew.reset();
    d->state = Impl::State::None;
    d->rowId = 0;
    d->clearValues();
    emit rowChanged();
}

void RecordSource::MoveFirst() {
    if (!tryMoveFirst()) {
        throw RecordSourceError(storeMessage(StoreProblem::EmptyTable, d->path));
    }
}

bool RecordSource::tryMoveFirst() {
    writeBack();
    const bool moved = d->moveTo(d->first);
    if (!moved) {
        // The table is empty: no row is current any more.
        d->state = Impl::State::None;
        d->rowId = 0;
        d->clearValues();
    }
    emit rowChanged();
    return moved;
}

bool RecordSource::wasStoredAnew() const {
    return d->storedAnew;
}

void RecordSource::setBusyTimeout(int milliseconds) {
    d->db.setBusyTimeout(milliseconds);
}

} // namespace velmoran
