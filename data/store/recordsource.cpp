#include "data/store/recordsource.h"

#include "data/core/criterion.h"
#include "data/core/storemessages.h"
#include "data/store/storelocation.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace velmoran {

struct RecordSource::Impl {
    enum class State { None, Stored, New };

    explicit Impl(std::unique_ptr<TableStore> s)
        : table(std::move(s)), tableSpec(table->tableSpec()) {}

    std::unique_ptr<TableStore> table;
    const TableSpec& tableSpec;

    State state = State::None;
    long long rowId = 0;                // the stored current row
    std::optional<long long> position;  // where a find-next goes on after a delete
    std::optional<long long> beforeNew; // the row current before AddNew
    std::vector<QString> texts;
    std::vector<bool> flags;
    RowValues read; // the current row as it was read from the store
    std::vector<bool> changed;
    bool anyChanged = false;
    bool noMatch = false;
    bool storedAnew = false;
    // The last criterion compiled: a find-next press sends its row's same
    // text again.
    QString criterionText;
    std::optional<Criterion> criterion;
    bool searched = false; // a find has run with `criterion`

    const Criterion& compiled(const QString& text) {
        if (!criterion || text != criterionText) {
            criterion.reset();
            criterion.emplace(text, tableSpec);
            criterionText = text;
        }
        return *criterion;
    }

    void clearValues() {
        texts.assign(tableSpec.fieldCount, QString());
        flags.assign(tableSpec.fieldCount, false);
        changed.assign(tableSpec.fieldCount, false);
        anyChanged = false;
    }

    // Row `id`, read into `row`, becomes current; false, and nothing
    // changed, when there is none.
    bool take(const std::optional<long long>& id, RowValues& row) {
        if (!id) {
            return false;
        }
        read = row;
        texts = std::move(row.texts);
        flags = std::move(row.flags);
        changed.assign(tableSpec.fieldCount, false);
        anyChanged = false;
        rowId = *id;
        state = State::Stored;
        position = rowId;
        return true;
    }

    bool load(long long id) {
        RowValues row;
        return take(table->read(id, row) ? std::optional<long long>(id) : std::nullopt, row);
    }

    bool moveFirst() {
        RowValues row;
        const std::optional<long long> id = table->first(row);
        return take(id, row);
    }

    // Stores the pending new row or the changes of the current row, in one
    // transaction. A field another copy changed since it was read is the
    // user's to settle (conflictChooser()); nothing is stored before that,
    // nor when they cancel. A stored row is read back, so what is shown is
    // what is stored, other copies' changes to other fields included.
    void store() {
        StoredRow stored{rowId, false, {}};
        if (state == State::New) {
            stored.id = table->insert(RowValues{texts, flags});
        } else {
            for (;;) {
                stored = table->update(rowId, RowValues{texts, flags}, changed, read);
                if (stored.conflicts.empty()) {
                    break;
                }
                settle(stored.conflicts);
                if (std::none_of(changed.begin(), changed.end(), [](bool c) { return c; })) {
                    stored = {rowId, false, {}}; // the other copy's values kept: nothing to store
                    break;
                }
            }
        }
        rowId = stored.id;
        storedAnew = stored.anew;
        state = State::Stored;
        position = rowId;
        changed.assign(tableSpec.fieldCount, false);
        anyChanged = false;
        beforeNew.reset();
        RowValues row;
        if (table->read(rowId, row)) {
            take(rowId, row);
        }
    }

    // The user's choice for each conflict: theirs replaces ours (and is not
    // stored again), ours is stored over theirs. Throws when they cancel.
    void settle(const std::vector<FieldConflict>& conflicts) {
        const ConflictChooser& choose = conflictChooser();
        std::vector<bool> keepTheirs(conflicts.size(), false);
        if (!choose || !choose(tableSpec, conflicts, RowValues{texts, flags}, keepTheirs)) {
            throw StoreError(table->message(StoreProblem::ChangedElsewhere));
        }
        for (std::size_t c = 0; c < conflicts.size(); ++c) {
            const FieldConflict& conflict = conflicts[c];
            read.texts[conflict.field] = conflict.text;
            read.flags[conflict.field] = conflict.flag;
            if (keepTheirs[c]) {
                texts[conflict.field] = conflict.text;
                flags[conflict.field] = conflict.flag;
                changed[conflict.field] = false;
            }
        }
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
    // becomes current; false, and nothing changed, when there is none.
    bool find(const Criterion& c, std::optional<long long> after) {
        RowValues row;
        const std::optional<long long> id = table->find(c, after, row);
        return take(id, row);
    }
};

namespace {
ConflictChooser& chooser() {
    static ConflictChooser chosen;
    return chosen;
}
} // namespace

const ConflictChooser& conflictChooser() {
    return chooser();
}

void setConflictChooser(ConflictChooser choose) {
    chooser() = std::move(choose);
}

RecordSource::RecordSource(const QString& folder, const TableSpec& tableSpec, QObject* parent)
    : RecordSource(StoreLocation{folder, QString()}, tableSpec, parent) {}

RecordSource::RecordSource(const StoreLocation& store, const TableSpec& tableSpec, QObject* parent)
    : RecordSource(openTableStore(store, tableSpec), parent) {}

RecordSource::RecordSource(std::unique_ptr<TableStore> store, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>(std::move(store))) {
    d->clearValues();
    d->moveFirst();
}

RecordSource::~RecordSource() = default;

const TableSpec& RecordSource::tableSpec() const {
    return d->tableSpec;
}

QString RecordSource::storeName() const {
    return d->table->name();
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

RowValues RecordSource::values() const {
    const std::size_t count = d->tableSpec.fieldCount;
    RowValues row{std::vector<QString>(count), std::vector<bool>(count, false)};
    for (std::size_t i = 0; i < count; ++i) {
        if (d->tableSpec.fields[i].kind == FieldKind::Flag) {
            row.flags[i] = flag(static_cast<int>(i));
        } else {
            row.texts[i] = text(static_cast<int>(i));
        }
    }
    return row;
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
        throw StoreError(d->table->message(StoreProblem::NoCurrentRow));
    }
    if (d->state == Impl::State::New || d->anyChanged) {
        const bool existing = d->state == Impl::State::Stored;
        d->store();
        if (existing) {
            emit rowChanged(); // the stored values, other copies' too
        }
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
    const Criterion& compiled = d->compiled(criterion);
    d->searched = true;
    writeBack();
    d->noMatch = !d->find(compiled, std::nullopt);
    if (!d->noMatch) {
        emit rowChanged();
    }
}

void RecordSource::FindNext(const QString& criterion) {
    const Criterion& compiled = d->compiled(criterion);
    d->searched = true;
    writeBack();
    // Without a row to go on from (an empty table at opening), from the start.
    d->noMatch = !d->find(compiled, d->position);
    if (!d->noMatch) {
        emit rowChanged();
    }
}

const Criterion* RecordSource::lastCriterion() const {
    return d->searched && d->criterion ? &*d->criterion : nullptr;
}

QString RecordSource::lastCriterionText() const {
    return lastCriterion() ? d->criterionText : QString();
}

bool RecordSource::MoveTo(long long id) {
    writeBack();
    RowValues row;
    if (!d->table->read(id, row)) {
        return false;
    }
    d->take(id, row);
    d->noMatch = false;
    emit rowChanged();
    return true;
}

bool RecordSource::NoMatch() const {
    return d->noMatch;
}

void RecordSource::Delete() {
    if (d->state == Impl::State::None) {
        throw StoreError(d->table->message(StoreProblem::NoCurrentRow));
    }
    if (d->state == Impl::State::Stored) {
        d->table->remove(d->rowId);
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
        throw StoreError(d->table->message(StoreProblem::EmptyTable));
    }
}

bool RecordSource::tryMoveFirst() {
    writeBack();
    const bool moved = d->moveFirst();
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
    d->table->setBusyTimeout(milliseconds);
}

} // namespace velmoran
