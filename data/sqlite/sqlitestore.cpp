#include "data/sqlite/sqlitestore.h"

#include "data/core/criterion.h"
#include "data/core/priceindex.h"
#include "data/core/storeerror.h"
#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/sqlite/sqlitecriterion.h"
#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/sqlitepricefind.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#include <algorithm>

namespace velmoran {

namespace {
constexpr int kDefaultBusyTimeout = 3000;
// The page cache of a batch of inserts.
constexpr int kBatchCacheKiB = 32 * 1024;
} // namespace

struct SqliteTableStore::Impl {
    Impl(const TableSpec& s, const QString& p)
        : tableSpec(s), path(p),
          priceFind(db, s, [this](const sql::Statement& st, int at, RowValues& row) {
              return take(st, row, at);
          }) {}

    const TableSpec& tableSpec;
    QString path;
    sql::Database db;
    QString table;   // quoted table name
    QString columns; // quoted field names in field order
    sql::Statement first, byId, insert, remove, lastFind;
    QString findSql;
    QString findBound;         // the criterion (findKey) whose values lastFind holds
    QString findIndex;         // the find index's name; empty when the file has none
    std::vector<bool> indexed; // by field: held by the find index
    int ownerKeyed = -1;       // the owner field, when the file has the owner index
    SqlitePriceFind priceFind; // through the price indexes, where the file has them

    [[noreturn]] void fail(StoreProblem problem, const sql::Error& e) const {
        throw StoreError(storeMessage(problem, path, e.detail()));
    }

    // Takes the row the statement stands on (rowid in column `at`, then the
    // fields).
    long long take(const sql::Statement& st, RowValues& row, int at = 0) const {
        row.texts.assign(tableSpec.fieldCount, QString());
        row.flags.assign(tableSpec.fieldCount, false);
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int column = at + static_cast<int>(i) + 1;
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                row.flags[i] = st.columnInt(column) != 0;
            } else {
                row.texts[i] = st.columnText(column);
            }
        }
        return st.columnInt(at);
    }

    // Steps `st` once: the row found goes into `row`. Nothing when none.
    std::optional<long long> moveTo(sql::Statement& st, RowValues& row) {
        sql::ResetGuard guard(st);
        try {
            if (!st.step()) {
                return std::nullopt;
            }
            return take(st, row);
        } catch (const sql::Error& e) {
            fail(StoreProblem::CannotRead, e);
        }
    }

    void bindValues(sql::Statement& st, const RowValues& row) const {
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int param = static_cast<int>(i) + 1;
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                st.bindInt(param, row.flags[i] ? -1 : 0);
            } else {
                st.bindText(param, row.texts[i]);
            }
        }
    }

    long long insertRow(const RowValues& row) {
        bindValues(insert, row);
        insert.run();
        return db.lastInsertRowId();
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

    // The table, or its find index where that holds every one of `fields`
    // (a pass over its narrow entries reads less); the table for a condition
    // that looks up the owner index (`keyed`).
    QString listSource(const std::vector<int>& fields, bool keyed = false) const {
        const bool narrow = !keyed && !findIndex.isEmpty() &&
                            std::all_of(fields.begin(), fields.end(), [this](int f) {
                                return f >= 0 && indexed[static_cast<std::size_t>(f)];
                            });
        return narrow ? QStringLiteral("%1 INDEXED BY %2").arg(table, sql::quoted(findIndex))
                      : table;
    }

    // rowid, then the columns of `fields`.
    QString listColumns(const std::vector<int>& fields) const {
        QStringList names{QStringLiteral("rowid")};
        for (int f : fields) {
            names << sql::quoted(tableSpec.fields[f].name);
        }
        return names.join(QStringLiteral(", "));
    }

    ListedRow takeListed(const sql::Statement& st, const std::vector<int>& fields) const {
        ListedRow listed{st.columnInt(0), {}};
        listed.values.texts.assign(tableSpec.fieldCount, QString());
        listed.values.flags.assign(tableSpec.fieldCount, false);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int column = static_cast<int>(i) + 1;
            const auto f = static_cast<std::size_t>(fields[i]);
            if (tableSpec.fields[f].kind == FieldKind::Flag) {
                listed.values.flags[f] = st.columnInt(column) != 0;
            } else {
                listed.values.texts[f] = st.columnText(column);
            }
        }
        return listed;
    }

    sql::Statement& findStatement(const QString& sql) {
        if (sql != findSql || !lastFind.isValid()) {
            lastFind = sql::Statement();
            findSql.clear();
            findBound.clear();
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

SqliteTableStore::SqliteTableStore(const QString& folder, const TableSpec& tableSpec,
                                   StoreAccess access)
    : d(std::make_unique<Impl>(tableSpec,
                               QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName)))) {
    d->table = sql::quoted(tableSpec.table);
    QStringList names;
    QStringList params;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        names << sql::quoted(tableSpec.fields[i].name);
        params << QStringLiteral("?");
    }
    d->columns = names.join(QStringLiteral(", "));
    try {
        if (access == StoreAccess::ReadOnly) {
            if (!QFileInfo::exists(d->path)) {
                throw StoreError(
                    storeMessage(StoreProblem::CannotOpen, d->path, systemError(ENOENT)));
            }
            d->db = sql::Database::readOnly(d->path);
        } else {
            d->db = sql::Database(d->path, SQLITE_OPEN_READWRITE);
            if (d->db.isReadOnly() || !mayWrite(d->path)) {
                throw StoreError(storeMessage(StoreProblem::NotWritable, d->path));
            }
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
        if (hasFileOwnerIndex(d->db, tableSpec)) {
            d->ownerKeyed = tableSpec.indexOf(QStringLiteral("malek"));
        }
        d->priceFind.lookUp();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotOpen, e);
    }
}

SqliteTableStore::~SqliteTableStore() = default;

const TableSpec& SqliteTableStore::tableSpec() const {
    return d->tableSpec;
}

QString SqliteTableStore::name() const {
    return d->path;
}

QString SqliteTableStore::message(StoreProblem problem, const QString& detail) const {
    return storeMessage(problem, d->path, detail);
}

std::optional<long long> SqliteTableStore::first(RowValues& row) {
    return d->moveTo(d->first, row);
}

bool SqliteTableStore::read(long long id, RowValues& row) {
    d->byId.bindInt(1, id);
    return d->moveTo(d->byId, row).has_value();
}

// Through the price indexes where they serve `c`; else a pass in id order.
// With the find index and every field of `c` in it, the pass steps over the
// index's narrow entries and reads only the row found.
std::optional<long long> SqliteTableStore::find(const Criterion& c, std::optional<long long> after,
                                                RowValues& row) {
    const bool narrow =
        !d->findIndex.isEmpty() &&
        std::all_of(c.fields().begin(), c.fields().end(), [this](int f) { return d->indexed[f]; });
    if (d->priceFind.serves(c)) {
        const QString scanSource =
            narrow ? QStringLiteral("%1 INDEXED BY %2").arg(d->table, sql::quoted(d->findIndex))
                   : d->table;
        try {
            return d->priceFind.find(c, after, scanSource, row);
        } catch (const sql::Error& e) {
            // Another program may have dropped an index: a pass does without.
            const std::size_t had = d->priceFind.present().size();
            try {
                d->priceFind.lookUp();
            } catch (const sql::Error&) {
            }
            if (d->priceFind.present().size() == had) {
                d->fail(StoreProblem::CannotRead, e);
            }
        }
    }
    const SqliteCriterion compiled(c, d->tableSpec, d->ownerKeyed);
    // An owner looked up in its index reads its few entries there instead.
    const bool pass = narrow && !compiled.keyed();
    QString sql = pass
                      ? QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2 WHERE ")
                            .arg(d->table, sql::quoted(d->findIndex))
                      : QStringLiteral("SELECT rowid, %1 FROM %2 WHERE ").arg(d->columns, d->table);
    if (after) {
        sql += QStringLiteral("rowid > ? AND ");
    }
    sql += compiled.sql() + QStringLiteral(" ORDER BY rowid LIMIT 1");
    sql::Statement& st = d->findStatement(sql);
    long long id = 0;
    {
        sql::ResetGuard guard(st);
        try {
            if (after) {
                st.bindInt(1, *after);
            }
            // Values bound again only for another criterion: binding a flag
            // anew makes SQLite plan the statement again (partial indexes).
            const QString key = findKey(c);
            if (key != d->findBound) {
                d->findBound.clear();
                compiled.bind(st, after ? 2 : 1);
                d->findBound = key;
            }
            if (!st.step()) {
                return std::nullopt;
            }
            if (!pass) {
                return d->take(st, row);
            }
            id = st.columnInt(0);
        } catch (const sql::Error& e) {
            d->fail(StoreProblem::CannotRead, e);
        }
    }
    if (!read(id, row)) {
        return std::nullopt;
    }
    return id;
}

long long SqliteTableStore::insert(const RowValues& row) {
    long long id = 0;
    try {
        sql::Transaction transaction(d->db);
        id = d->insertRow(row);
        d->priceFind.changed();
        transaction.commit();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotWrite, e);
    }
    return id;
}

StoredRow SqliteTableStore::update(long long id, const RowValues& row,
                                   const std::vector<bool>& changed, const RowValues& read) {
    const TableSpec& tableSpec = d->tableSpec;
    StoredRow stored{id, false, {}};
    try {
        sql::Transaction transaction(d->db);
        // Within the write transaction no other copy changes the row.
        RowValues now;
        d->byId.bindInt(1, id);
        if (d->moveTo(d->byId, now)) {
            stored.conflicts = fieldConflicts(tableSpec, now, read, row, changed);
            if (!stored.conflicts.empty()) {
                return stored; // rolled back: nothing stored
            }
        }
        QStringList sets;
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            if (changed[i]) {
                sets << sql::quoted(tableSpec.fields[i].name) + QStringLiteral(" = ?");
            }
        }
        sql::Statement update = d->db.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                                  .arg(d->table, sets.join(QStringLiteral(", "))));
        int param = 1;
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            if (!changed[i]) {
                continue;
            }
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                update.bindInt(param++, row.flags[i] ? -1 : 0);
            } else {
                update.bindText(param++, row.texts[i]);
            }
        }
        update.bindInt(param, id);
        update.run();
        if (d->db.changes() == 0) {
            // Another copy deleted the row: keep what was typed.
            stored = {d->insertRow(row), true, {}};
        }
        d->priceFind.changed();
        transaction.commit();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotWrite, e);
    }
    return stored;
}

void SqliteTableStore::remove(long long id) {
    try {
        sql::Transaction transaction(d->db);
        d->remove.bindInt(1, id);
        d->remove.run();
        d->priceFind.changed();
        transaction.commit();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotWrite, e);
    }
}

void SqliteTableStore::scan(const EachRow& each) {
    try {
        sql::Statement all = d->db.prepare(
            QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(d->columns, d->table));
        RowValues row;
        while (all.step()) {
            const long long id = d->take(all, row);
            if (!each(id, row)) {
                break;
            }
        }
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
}

void SqliteTableStore::setBusyTimeout(int milliseconds) {
    d->db.setBusyTimeout(milliseconds);
}

// One write transaction: the journal keeps the file as it was until the
// commit, so a failure or a kill before it leaves no row of the batch.
long long SqliteTableStore::insertAll(const NextRow& next) {
    long long count = 0;
    // A larger page cache while the batch goes in: the indexes' pages stay
    // in memory rather than going to the journal again and again.
    struct Cache {
        sql::Database& db;
        explicit Cache(sql::Database& d) : db(d) {
            db.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kBatchCacheKiB));
        }
        ~Cache() {
            try {
                db.exec("PRAGMA cache_size = -2000");
            } catch (const sql::Error&) {
            }
        }
    };
    try {
        const Cache cache(d->db);
        sql::Transaction transaction(d->db);
        RowValues row;
        while (next(row)) {
            d->insertRow(row);
            ++count;
        }
        d->priceFind.changed();
        transaction.commit();
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotWrite, e);
    }
    return count;
}

namespace {

// The fields of `c` and `more`: what a pass over the matches reads.
std::vector<int> fieldsRead(const Criterion* c, std::vector<int> more = {}) {
    if (c) {
        more.insert(more.end(), c->fields().begin(), c->fields().end());
    }
    return more;
}

} // namespace

std::vector<ListedRow> SqliteTableStore::listPage(const Criterion* c,
                                                  const std::vector<int>& fields,
                                                  std::optional<long long> after, int count,
                                                  bool descending) {
    std::optional<SqliteCriterion> compiled;
    if (c) {
        compiled.emplace(*c, d->tableSpec, d->ownerKeyed);
    }
    QStringList where;
    if (after) {
        where << (descending ? QStringLiteral("rowid < ?") : QStringLiteral("rowid > ?"));
    }
    if (compiled) {
        where << QStringLiteral("(%1)").arg(compiled->sql());
    }
    const QString order = descending ? QStringLiteral("rowid DESC") : QStringLiteral("rowid");
    // The ids through the narrowest source, then the page's rows by id.
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (SELECT rowid FROM %3%4 ORDER BY %5 "
                       "LIMIT ?) ORDER BY %5")
            .arg(d->listColumns(fields), d->table,
                 d->listSource(fieldsRead(c), compiled && compiled->keyed()),
                 where.isEmpty() ? QString()
                                 : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")),
                 order);
    std::vector<ListedRow> rows;
    try {
        sql::Statement st = d->db.prepare(sql);
        int param = 1;
        if (after) {
            st.bindInt(param++, *after);
        }
        if (compiled) {
            compiled->bind(st, param);
            param += compiled->parameterCount();
        }
        st.bindInt(param, count);
        while (st.step()) {
            rows.push_back(d->takeListed(st, fields));
        }
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
    return rows;
}

std::vector<ListedRow> SqliteTableStore::listRows(const std::vector<long long>& ids,
                                                  const std::vector<int>& fields) {
    constexpr std::size_t kChunk = 500; // ids bound at once
    std::vector<ListedRow> rows;
    try {
        for (std::size_t from = 0; from < ids.size(); from += kChunk) {
            const std::size_t n = std::min(kChunk, ids.size() - from);
            QStringList marks;
            for (std::size_t i = 0; i < n; ++i) {
                marks << QStringLiteral("?");
            }
            sql::Statement st = d->db.prepare(
                QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (%3) ORDER BY rowid")
                    .arg(d->listColumns(fields), d->table, marks.join(QLatin1Char(','))));
            for (std::size_t i = 0; i < n; ++i) {
                st.bindInt(static_cast<int>(i) + 1, ids[from + i]);
            }
            while (st.step()) {
                rows.push_back(d->takeListed(st, fields));
            }
        }
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
    std::sort(rows.begin(), rows.end(),
              [](const ListedRow& a, const ListedRow& b) { return a.id < b.id; });
    return rows;
}

long long SqliteTableStore::countMatches(const Criterion* c) {
    std::optional<SqliteCriterion> compiled;
    if (c) {
        compiled.emplace(*c, d->tableSpec, d->ownerKeyed);
    }
    try {
        sql::Statement st = d->db.prepare(
            QStringLiteral("SELECT count(*) FROM %1%2")
                .arg(d->listSource(fieldsRead(c), compiled && compiled->keyed()),
                     compiled ? QStringLiteral(" WHERE ") + compiled->sql() : QString()));
        if (compiled) {
            compiled->bind(st, 1);
        }
        return st.step() ? st.columnInt(0) : 0;
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
}

void SqliteTableStore::matchTexts(const Criterion* c, int field, const EachText& each) {
    std::optional<SqliteCriterion> compiled;
    if (c) {
        compiled.emplace(*c, d->tableSpec, d->ownerKeyed);
    }
    try {
        sql::Statement st = d->db.prepare(
            QStringLiteral("SELECT rowid, %1 FROM %2%3 ORDER BY rowid")
                .arg(sql::quoted(d->tableSpec.fields[field].name),
                     d->listSource(fieldsRead(c, {field}), compiled && compiled->keyed()),
                     compiled ? QStringLiteral(" WHERE ") + compiled->sql() : QString()));
        if (compiled) {
            compiled->bind(st, 1);
        }
        while (st.step()) {
            each(st.columnInt(0), st.columnText(1));
        }
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
}

void SqliteTableStore::matchRows(const Criterion* c, const std::vector<int>& fields,
                                 const EachListed& each) {
    std::optional<SqliteCriterion> compiled;
    if (c) {
        compiled.emplace(*c, d->tableSpec, d->ownerKeyed);
    }
    try {
        sql::Statement st = d->db.prepare(
            QStringLiteral("SELECT %1 FROM %2%3 ORDER BY rowid")
                .arg(d->listColumns(fields),
                     d->listSource(fieldsRead(c, fields), compiled && compiled->keyed()),
                     compiled ? QStringLiteral(" WHERE ") + compiled->sql() : QString()));
        if (compiled) {
            compiled->bind(st, 1);
        }
        while (st.step()) {
            each(d->takeListed(st, fields));
        }
    } catch (const sql::Error& e) {
        d->fail(StoreProblem::CannotRead, e);
    }
}

} // namespace velmoran
