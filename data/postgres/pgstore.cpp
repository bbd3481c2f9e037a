#include "data/postgres/pgstore.h"

#include "data/core/criterion.h"
#include "data/core/storeerror.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgcriterion.h"
#include "data/postgres/pgmessages.h"
#include "data/postgres/pgpricefind.h"
#include "data/postgres/pgschema.h"

#include <QStringList>

#include <cstdlib>
#include <map>

namespace velmoran {

namespace {

constexpr int kDefaultBusyTimeout = 3000;
// Prepared finds kept on the connection; the panels send a handful of shapes.
constexpr std::size_t kKeptFinds = 32;

PgProblem pgProblemOf(StoreProblem problem) {
    switch (problem) {
    case StoreProblem::CannotCreate:
        return PgProblem::CannotCreate;
    case StoreProblem::CannotOpen:
        return PgProblem::CannotConnect;
    case StoreProblem::NotWritable:
        return PgProblem::NotWritable;
    case StoreProblem::NoTable:
        return PgProblem::NoTable;
    case StoreProblem::MissingColumns:
        return PgProblem::MissingColumns;
    case StoreProblem::CannotWrite:
        return PgProblem::CannotWrite;
    case StoreProblem::NoCurrentRow:
        return PgProblem::NoCurrentRow;
    case StoreProblem::EmptyTable:
        return PgProblem::EmptyTable;
    case StoreProblem::ChangedElsewhere:
        return PgProblem::ChangedElsewhere;
    default:
        return PgProblem::CannotRead;
    }
}

} // namespace

struct PgTableStore::Impl {
    Impl(const QString& c, const TableSpec& s)
        : conninfo(c), server(pg::displayName(c)), tableSpec(s),
          priceFind(
              s,
              [this](const QString& sql, const pg::Params& params) {
                  return connection.execPrepared(findStatement(sql), params);
              },
              [this](const pg::Result& result, int at, RowValues& row) {
                  return take(result, row, at);
              }) {}

    QString conninfo;
    QString server;
    const TableSpec& tableSpec;
    pg::Connection connection;
    PgTable table;
    QString select; // id and the fields, FROM the table
    int busyTimeout = kDefaultBusyTimeout;
    int preparedFor = -1; // the connection's generation the statements were prepared on
    std::map<QString, QByteArray> finds;
    int findNames = 0;
    PgPriceFind priceFind;     // through the price indexes, where the table has them
    bool ownerIndexed = false; // the table has the owner find's index

    // What a find's matches are ordered by: the id, or for an owner find on
    // a table with the owner index the id as a number the server computes.
    // Ordered by the id itself, the server may walk the whole table in id
    // order hoping to meet the owner soon (for a name nobody has, every
    // listing); this way it takes the owner's few entries from the index
    // and orders them.
    QString orderOf(const Criterion* c) const {
        if (ownerIndexed && c) {
            const int owner = tableSpec.indexOf(QStringLiteral("malek"));
            for (const Criterion::Test& t : c->tests()) {
                if (t.kind == Criterion::Test::Kind::TextEquals && t.field == owner) {
                    return QStringLiteral("(%1 + 0)").arg(table.id);
                }
            }
        }
        return table.id;
    }

    QString tableName() const { return QString::fromUtf8(tableSpec.table); }

    QString message(PgProblem problem, const QString& detail = QString()) const {
        return pgMessage(problem, server, tableName(), detail);
    }
    // The failure `e`; a connection that could not be made names its cause.
    QString message(const pg::Error& e, PgProblem problem) const {
        return pgMessage(e, problem, server, tableName());
    }

    [[noreturn]] void fail(PgProblem problem, const pg::Error& e) const {
        if (e.uncertain()) {
            problem = PgProblem::CommitUnknown;
        } else if (e.timedOut()) {
            problem = PgProblem::NoAnswer;
        } else if (e.connectionLost()) {
            problem = PgProblem::ConnectionLost;
        }
        throw StoreError(message(e, problem), problem == PgProblem::NoAnswer
                                                  ? StoreError::Kind::NoAnswer
                                                  : StoreError::Kind::Store);
    }

    // A connection that could not be made (again): a server that did not
    // answer within the deadline, or the cause the connection names.
    StoreError connectFailure(const pg::Error& e) const {
        if (e.timedOut()) {
            return StoreError(message(PgProblem::NoAnswer, e.text()), StoreError::Kind::NoAnswer);
        }
        return StoreError(message(e, PgProblem::CannotConnect));
    }

    // Runs one operation. When the server ended the connection before the
    // operation was done (a restart, a session closed), nothing of it
    // stayed: it runs once more on a new connection. Any other failure, and
    // a second one, is thrown as `problem`.
    template <class Operation> auto run(PgProblem problem, Operation&& operation) {
        ensureConnected();
        try {
            return operation();
        } catch (const pg::Error& e) {
            if (!e.connectionLost() || e.uncertain()) {
                fail(problem, e);
            }
        }
        try {
            connection.reset();
        } catch (const pg::Error& e) {
            throw connectFailure(e);
        }
        ensureConnected();
        try {
            return operation();
        } catch (const pg::Error& e) {
            fail(problem, e);
        }
    }

    // Looks the table up and prepares the statements on a new connection.
    void setUp() {
        TableProblem problem{PgProblem::CannotRead, QString()};
        try {
            if (std::optional<TableProblem> p = describePgTable(connection, tableSpec, table)) {
                problem = *p;
            } else {
                applyBusyTimeout();
                select = QStringLiteral("SELECT %1, %2 FROM %3 ")
                             .arg(table.id, table.columnList(), table.table);
                connection.prepare("first",
                                   select + QStringLiteral("ORDER BY %1 LIMIT 1").arg(table.id));
                connection.prepare("read", select + QStringLiteral("WHERE %1 = $1").arg(table.id));
                connection.prepare(
                    "lock", select + QStringLiteral("WHERE %1 = $1 FOR UPDATE").arg(table.id));
                QStringList params;
                for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                    params << QStringLiteral("$%1").arg(i + 1);
                }
                connection.prepare("insert", QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) "
                                                            "RETURNING %4")
                                                 .arg(table.table, table.columnList(),
                                                      params.join(QLatin1Char(',')), table.id));
                connection.prepare(
                    "remove",
                    QStringLiteral("DELETE FROM %1 WHERE %2 = $1").arg(table.table, table.id));
                finds.clear();
                priceFind.lookUp(connection, table);
                ownerIndexed = hasPgOwnerIndex(connection, tableSpec, table);
                if (priceFind.hasIndexes()) {
                    // The statements are planned once, for any values:
                    // planning a find through the indexes anew at each press
                    // (the server's choice while it weighs the two) would cost
                    // more than the find itself.
                    connection.exec("SET plan_cache_mode = force_generic_plan");
                }
                preparedFor = connection.generation();
                return;
            }
        } catch (const pg::Error& e) {
            fail(PgProblem::CannotRead, e);
        }
        throw StoreError(message(problem.problem, problem.detail));
    }

    void applyBusyTimeout() {
        connection.exec(QStringLiteral("SET lock_timeout = %1").arg(busyTimeout), {});
    }

    // Before each operation: a connection that went away is made again.
    void ensureConnected() {
        if (!connection.isOpen()) {
            try {
                connection = pg::Connection(conninfo, pg::kServerDeadline);
                preparedFor = -1; // a new connection: nothing prepared on it
            } catch (const pg::Error& e) {
                throw connectFailure(e);
            }
        } else if (!connection.stillThere()) {
            try {
                connection.reset();
            } catch (const pg::Error& e) {
                throw connectFailure(e);
            }
        }
        if (preparedFor != connection.generation()) {
            setUp();
        }
    }

    // The row of `result` (id in column `at`, then the fields) into `row`;
    // its id.
    long long take(const pg::Result& result, RowValues& row, int at = 0) const {
        row.texts.assign(tableSpec.fieldCount, QString());
        row.flags.assign(tableSpec.fieldCount, false);
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            const int column = at + static_cast<int>(i) + 1;
            if (result.isNull(0, column)) {
                continue;
            }
            if (tableSpec.fields[i].kind == FieldKind::Flag) {
                row.flags[i] = std::strtod(PQgetvalue(result.handle(), 0, column), nullptr) != 0;
            } else {
                row.texts[i] = result.text(0, column);
            }
        }
        return result.integer(0, at);
    }

    // The id and the columns of `fields`, FROM the table.
    QString listSelect(const std::vector<int>& fields) const {
        QStringList names{table.id};
        for (int f : fields) {
            names << table.columns[static_cast<std::size_t>(f)];
        }
        return QStringLiteral("SELECT %1 FROM %2 ")
            .arg(names.join(QStringLiteral(", ")), table.table);
    }

    std::vector<ListedRow> takeListed(const pg::Result& result,
                                      const std::vector<int>& fields) const {
        std::vector<ListedRow> rows;
        rows.reserve(static_cast<std::size_t>(result.rows()));
        for (int r = 0; r < result.rows(); ++r) {
            ListedRow listed{result.integer(r, 0), {}};
            listed.values.texts.assign(tableSpec.fieldCount, QString());
            listed.values.flags.assign(tableSpec.fieldCount, false);
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const int column = static_cast<int>(i) + 1;
                const auto f = static_cast<std::size_t>(fields[i]);
                if (result.isNull(r, column)) {
                    continue;
                }
                if (tableSpec.fields[f].kind == FieldKind::Flag) {
                    listed.values.flags[f] =
                        std::strtod(PQgetvalue(result.handle(), r, column), nullptr) != 0;
                } else {
                    listed.values.texts[f] = result.text(r, column);
                }
            }
            rows.push_back(std::move(listed));
        }
        return rows;
    }

    // " WHERE " and the condition of `c` (with `more` before it), or nothing.
    QString where(const Criterion* c, QStringList more, pg::Params& params) const {
        if (c) {
            more << QStringLiteral("(%1)").arg(pgCondition(*c, table, params));
        }
        return more.isEmpty() ? QString()
                              : QStringLiteral("WHERE ") + more.join(QStringLiteral(" AND ")) +
                                    QLatin1Char(' ');
    }

    std::optional<long long> readOne(const QByteArray& statement, const pg::Params& params,
                                     RowValues& row) {
        return run(PgProblem::CannotRead, [&]() -> std::optional<long long> {
            const pg::Result result = connection.execPrepared(statement, params);
            if (result.rows() == 0) {
                return std::nullopt;
            }
            return take(result, row);
        });
    }

    pg::Params values(const RowValues& row) const {
        pg::Params params;
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            params.push_back(tableSpec.fields[i].kind == FieldKind::Flag
                                 ? QByteArray(row.flags[i] ? "-1" : "0")
                                 : pg::param(row.texts[i]));
        }
        return params;
    }

    long long insertRow(const RowValues& row) {
        return connection.execPrepared("insert", values(row)).integer(0, 0);
    }

    // The prepared statement of a find's SQL, prepared on first use.
    QByteArray findStatement(const QString& sql) {
        auto found = finds.find(sql);
        if (found != finds.end()) {
            return found->second;
        }
        if (finds.size() >= kKeptFinds) {
            for (const auto& entry : finds) {
                connection.exec(
                    QStringLiteral("DEALLOCATE %1").arg(QString::fromLatin1(entry.second)), {});
            }
            finds.clear();
        }
        const QByteArray name = "find" + QByteArray::number(++findNames);
        connection.prepare(name, sql);
        finds.emplace(sql, name);
        return name;
    }
};

PgTableStore::PgTableStore(const QString& conninfo, const TableSpec& tableSpec)
    : d(std::make_unique<Impl>(conninfo, tableSpec)) {
    d->ensureConnected();
}

PgTableStore::~PgTableStore() = default;

const TableSpec& PgTableStore::tableSpec() const {
    return d->tableSpec;
}

QString PgTableStore::name() const {
    return d->server;
}

QString PgTableStore::message(StoreProblem problem, const QString& detail) const {
    return d->message(pgProblemOf(problem), detail);
}

std::optional<long long> PgTableStore::first(RowValues& row) {
    return d->readOne("first", {}, row);
}

bool PgTableStore::read(long long id, RowValues& row) {
    return d->readOne("read", {pg::param(id)}, row).has_value();
}

// Through the price indexes where they serve `c`; else one statement: the
// lowest id that passes (through the find index where the table has it), and
// its row.
std::optional<long long> PgTableStore::find(const Criterion& c, std::optional<long long> after,
                                            RowValues& row) {
    return d->run(PgProblem::CannotRead, [&]() -> std::optional<long long> {
        // What the table has is known once connected (again).
        if (d->priceFind.serves(c)) {
            return d->priceFind.find(d->connection, c, after, row);
        }
        pg::Params params;
        QString where;
        if (after) {
            params.push_back(pg::param(*after));
            where = QStringLiteral("%1 > $1 AND ").arg(d->table.id);
        }
        where += pgCondition(c, d->table, params);
        const QString sql =
            d->select + QStringLiteral("WHERE %1 = (SELECT %1 FROM %2 WHERE %3 "
                                       "ORDER BY %4 LIMIT 1)")
                            .arg(d->table.id, d->table.table, where, d->orderOf(&c));
        const pg::Result result = d->connection.execPrepared(d->findStatement(sql), params);
        if (result.rows() == 0) {
            return std::nullopt;
        }
        return d->take(result, row);
    });
}

long long PgTableStore::insert(const RowValues& row) {
    return d->run(PgProblem::CannotWrite, [&] {
        pg::Transaction transaction(d->connection);
        const long long id = d->insertRow(row);
        transaction.commit();
        return id;
    });
}

StoredRow PgTableStore::update(long long id, const RowValues& row, const std::vector<bool>& changed,
                               const RowValues& read) {
    const TableSpec& tableSpec = d->tableSpec;
    QStringList sets;
    pg::Params params;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        if (!changed[i]) {
            continue;
        }
        params.push_back(tableSpec.fields[i].kind == FieldKind::Flag
                             ? QByteArray(row.flags[i] ? "-1" : "0")
                             : pg::param(row.texts[i]));
        sets << QStringLiteral("%1 = $%2").arg(d->table.columns[i]).arg(params.size());
    }
    params.push_back(pg::param(id));
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = $%4")
                            .arg(d->table.table, sets.join(QStringLiteral(", ")), d->table.id)
                            .arg(params.size());
    return d->run(PgProblem::CannotWrite, [&] {
        StoredRow stored{id, false, {}};
        pg::Transaction transaction(d->connection);
        // The row held until the commit: no other desk changes it meanwhile.
        const pg::Result locked = d->connection.execPrepared("lock", {pg::param(id)});
        if (locked.rows() > 0) {
            RowValues now;
            d->take(locked, now);
            stored.conflicts = fieldConflicts(tableSpec, now, read, row, changed);
            if (!stored.conflicts.empty()) {
                return stored; // rolled back: nothing stored
            }
        }
        if (d->connection.exec(sql, params).affected() == 0) {
            // Another desk deleted the row: keep what was typed.
            stored = {d->insertRow(row), true, {}};
        }
        transaction.commit();
        return stored;
    });
}

void PgTableStore::remove(long long id) {
    d->run(PgProblem::CannotWrite, [&] { d->connection.execPrepared("remove", {pg::param(id)}); });
}

void PgTableStore::scan(const EachRow& each) {
    d->run(PgProblem::CannotRead, [&] {
        RowValues row;
        bool more = true;
        d->connection.eachRow(d->select + QStringLiteral("ORDER BY %1").arg(d->table.id), {},
                              [&](const pg::Result& result) {
                                  if (more) {
                                      more = each(d->take(result, row), row);
                                  }
                              });
    });
}

std::vector<ListedRow> PgTableStore::listPage(const Criterion* c, const std::vector<int>& fields,
                                              std::optional<long long> after, int count,
                                              bool descending) {
    return d->run(PgProblem::CannotRead, [&] {
        pg::Params params;
        QStringList more;
        if (after) {
            params.push_back(pg::param(*after));
            more << QStringLiteral("%1 %2 $1")
                        .arg(d->table.id, descending ? QStringLiteral("<") : QStringLiteral(">"));
        }
        const QString condition = d->where(c, more, params);
        params.push_back(pg::param(static_cast<long long>(count)));
        const QString sql =
            d->listSelect(fields) + condition +
            QStringLiteral("ORDER BY %1%2 LIMIT $%3")
                .arg(d->orderOf(c), descending ? QStringLiteral(" DESC") : QString())
                .arg(params.size());
        return d->takeListed(d->connection.execPrepared(d->findStatement(sql), params), fields);
    });
}

std::vector<ListedRow> PgTableStore::listRows(const std::vector<long long>& ids,
                                              const std::vector<int>& fields) {
    QStringList list;
    for (long long id : ids) {
        list << QString::number(id);
    }
    const pg::Params params{pg::param(QStringLiteral("{%1}").arg(list.join(QLatin1Char(','))))};
    const QString sql =
        d->listSelect(fields) +
        QStringLiteral("WHERE %1 = ANY ($1::bigint[]) ORDER BY %1").arg(d->table.id);
    return d->run(PgProblem::CannotRead, [&] {
        return d->takeListed(d->connection.execPrepared(d->findStatement(sql), params), fields);
    });
}

long long PgTableStore::countMatches(const Criterion* c) {
    return d->run(PgProblem::CannotRead, [&] {
        pg::Params params;
        const QString sql = QStringLiteral("SELECT count(*) FROM %1 ").arg(d->table.table) +
                            d->where(c, {}, params);
        return d->connection.execPrepared(d->findStatement(sql), params).integer(0, 0);
    });
}

void PgTableStore::matchTexts(const Criterion* c, int field, const EachText& each) {
    d->run(PgProblem::CannotRead, [&] {
        pg::Params params;
        const QString sql = QStringLiteral("SELECT %1, %2 FROM %3 ")
                                .arg(d->table.id, d->table.columns[static_cast<std::size_t>(field)],
                                     d->table.table) +
                            d->where(c, {}, params) +
                            QStringLiteral("ORDER BY %1").arg(d->table.id);
        d->connection.eachRow(sql, params, [&](const pg::Result& result) {
            each(result.integer(0, 0), result.isNull(0, 1) ? QString() : result.text(0, 1));
        });
    });
}

void PgTableStore::matchRows(const Criterion* c, const std::vector<int>& fields,
                             const EachListed& each) {
    d->run(PgProblem::CannotRead, [&] {
        pg::Params params;
        const QString sql = d->listSelect(fields) + d->where(c, {}, params) +
                            QStringLiteral("ORDER BY %1").arg(d->table.id);
        d->connection.eachRow(sql, params, [&](const pg::Result& result) {
            for (const ListedRow& row : d->takeListed(result, fields)) {
                each(row);
            }
        });
    });
}

void PgTableStore::setBusyTimeout(int milliseconds) {
    d->busyTimeout = milliseconds;
    if (d->connection.isOpen() && d->preparedFor == d->connection.generation()) {
        try {
            d->applyBusyTimeout();
        } catch (const pg::Error&) {
            // Applied again when the connection is made anew.
            d->preparedFor = -1;
        }
    }
}

namespace {

// `text` as COPY's text format carries it: a backslash, tab, line feed and
// carriage return escaped.
void appendCopyText(QByteArray& buffer, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            buffer += "\\\\";
            break;
        case '\t':
            buffer += "\\t";
            break;
        case '\n':
            buffer += "\\n";
            break;
        case '\r':
            buffer += "\\r";
            break;
        default:
            buffer += c;
        }
    }
}

constexpr qsizetype kCopyChunk = 1 << 20;

} // namespace

// One transaction with the rows sent through COPY: until its commit no other
// desk sees them, and a failure, or a connection lost with a kill, rolls all
// of them back. Not run again on a new connection: the rows handed over are
// gone, so a lost connection fails it (nothing was stored).
long long PgTableStore::insertAll(const NextRow& next) {
    d->ensureConnected();
    long long count = 0;
    try {
        pg::Transaction transaction(d->connection);
        d->connection.copyIn(
            QStringLiteral("COPY %1 (%2) FROM STDIN").arg(d->table.table, d->table.columnList()));
        struct CopyGuard {
            pg::Connection& connection;
            bool open = true;
            ~CopyGuard() {
                if (open) {
                    connection.abortCopy();
                }
            }
        } copy{d->connection};
        QByteArray buffer;
        RowValues row;
        const TableSpec& tableSpec = d->tableSpec;
        while (next(row)) {
            for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
                if (i > 0) {
                    buffer += '\t';
                }
                if (tableSpec.fields[i].kind == FieldKind::Flag) {
                    buffer += row.flags[i] ? "-1" : "0";
                } else {
                    appendCopyText(buffer, row.texts[i]);
                }
            }
            buffer += '\n';
            ++count;
            if (buffer.size() >= kCopyChunk) {
                d->connection.putCopyData(buffer);
                buffer.clear();
            }
        }
        if (!buffer.isEmpty()) {
            d->connection.putCopyData(buffer);
        }
        copy.open = false;
        d->connection.endCopy();
        transaction.commit();
    } catch (const pg::Error& e) {
        d->fail(PgProblem::CannotWrite, e);
    }
    return count;
}

} // namespace velmoran
