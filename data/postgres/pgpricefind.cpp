#include "data/postgres/pgpricefind.h"
#include "data/postgres/pgpriceindex.h"

#include "data/core/criterion.h"
#include "data/postgres/pgcriterion.h"

#include <QStringList>

#include <algorithm>

namespace velmoran {

namespace {

// Larger first budgets than on a file: each round is a trip to the server.
constexpr FindSchedule kSchedule{4096, 4096, 8};
// Kept ids checked by one statement while stepping, at first and at most:
// on the server a walk's ids all pass a panel's criterion, read exactly.
constexpr std::size_t kFirstBatch = 1;
constexpr std::size_t kLastBatch = 1024;

// A statement of the find saw another snapshot than the first one did.
struct SnapshotMoved {};

void see(const QString& seen, QString& snapshot) {
    if (snapshot.isEmpty()) {
        snapshot = seen;
    } else if (seen != snapshot) {
        throw SnapshotMoved{};
    }
}

std::vector<long long> idsOf(const QString& array) {
    std::vector<long long> ids;
    const QString inner = array.mid(1, array.size() - 2); // "{1,2,3}"
    if (!inner.isEmpty()) {
        for (const QString& id : inner.split(QLatin1Char(','))) {
            ids.push_back(id.toLongLong());
        }
    }
    return ids;
}

QByteArray arrayOf(const std::vector<long long>& ids) {
    QByteArray text("{");
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i) {
            text += ',';
        }
        text += QByteArray::number(ids[i]);
    }
    return text + '}';
}

// A transaction that sees one snapshot of the server and writes nothing.
class SnapshotTransaction {
public:
    explicit SnapshotTransaction(pg::Connection& c) : connection_(c) {
        connection_.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }
    ~SnapshotTransaction() {
        if (PQstatus(connection_.handle()) == CONNECTION_OK &&
            PQtransactionStatus(connection_.handle()) != PQTRANS_IDLE) {
            PQclear(PQexec(connection_.handle(), "ROLLBACK"));
        }
    }
    SnapshotTransaction(const SnapshotTransaction&) = delete;
    SnapshotTransaction& operator=(const SnapshotTransaction&) = delete;
    void end() { connection_.exec("COMMIT"); }

private:
    pg::Connection& connection_;
};

} // namespace

PgPriceFind::PgPriceFind(const TableSpec& tableSpec, Exec exec, Take take)
    : tableSpec_(tableSpec), exec_(std::move(exec)), take_(std::move(take)) {}

void PgPriceFind::lookUp(pg::Connection& connection, const PgTable& table) {
    table_ = table;
    present_.clear();
    memory_.forget();
    statements_ = Statements();
    if (priceIndexes(tableSpec_).empty()) {
        return;
    }
    const PgPriceIndexes found = lookUpPgPriceIndexes(connection, tableSpec_, table);
    schema_ = found.schema;
    present_ = found.present;
}

bool PgPriceFind::serves(const Criterion& c) const {
    return !present_.empty() && !priceWalks(c, present_).empty();
}

void PgPriceFind::prepare(const Criterion& c) {
    const QString key = findKey(c);
    if (statements_.key == key) {
        return;
    }
    const QString& id = table_.id;
    const QString& table = table_.table;
    const std::vector<PriceWalk> walks = priceWalks(c, present_);
    // A round: $1 the id it goes on after (none: before the first), $2 the
    // scan's span, $3 the walks' limit.
    pg::Params params{std::nullopt, QByteArray(), QByteArray()};
    const QString condition = pgCondition(c, table_, params);
    QStringList arrays;
    for (const PriceWalk& walk : walks) {
        QStringList conditions;
        for (int f : walk.index->flags) {
            conditions << table_.columns[f] + QStringLiteral(" = -1");
        }
        for (const WalkRange& range : walk.ranges) {
            const QString number = QStringLiteral("%1.%2(%3)")
                                       .arg(schema_, QLatin1String(kPgNumberFunction),
                                            table_.columns[walk.index->keys[range.key]]);
            conditions << QStringLiteral("%1 > %2").arg(
                              number, pg::placeholder(params, pg::realParam(range.low), "float8"))
                       << QStringLiteral("%1 < %2").arg(
                              number, pg::placeholder(params, pg::realParam(range.high), "float8"));
        }
        arrays << QStringLiteral("ARRAY(SELECT %1 FROM %2 WHERE %3 LIMIT $3::int8)")
                      .arg(id, table, conditions.join(QStringLiteral(" AND ")));
    }
    statements_.round =
        QStringLiteral("SELECT pg_current_snapshot()::text, w.lo + $2::int8, (SELECT max(%1) "
                       "FROM %2), %3, s.* FROM (SELECT COALESCE($1::int8, (SELECT min(%1) FROM "
                       "%2) - 1) AS lo) AS w LEFT JOIN LATERAL (SELECT %1, %4 FROM %2 WHERE %1 > "
                       "w.lo AND %1 <= w.lo + $2::int8 AND %5 ORDER BY %1 LIMIT 1) AS s ON true")
            .arg(id, table, arrays.join(QStringLiteral(", ")), table_.columnList(), condition);
    statements_.roundParams = std::move(params);
    statements_.walks = walks.size();
    // A step: $1 the kept ids to read, in order. When every walk is the
    // criterion itself, its ids are the rows that pass in the snapshot the
    // step must see again: the row is read as it is.
    pg::Params stepParams{QByteArray()};
    const bool exact =
        std::all_of(walks.begin(), walks.end(), [](const PriceWalk& walk) { return walk.exact; });
    const QString stepCondition =
        exact ? QStringLiteral("TRUE") : pgCondition(c, table_, stepParams);
    statements_.step = QStringLiteral("SELECT pg_current_snapshot()::text, s.* FROM (SELECT 1) AS "
                                      "one LEFT JOIN LATERAL (SELECT %1, %2 FROM %3 WHERE %1 = "
                                      "ANY($1::int8[]) AND %4 ORDER BY %1 LIMIT 1) AS s ON true")
                           .arg(id, table_.columnList(), table, stepCondition);
    statements_.stepParams = std::move(stepParams);
    statements_.key = key;
}

FindRound PgPriceFind::round(std::optional<long long> from, long long span, int limit,
                             RowValues& row, QString& snapshot) {
    pg::Params& params = statements_.roundParams;
    params[0] = from ? std::optional<QByteArray>(pg::param(*from)) : std::nullopt;
    params[1] = pg::param(span);
    params[2] = pg::param(limit);
    const pg::Result result = exec_(statements_.round, params);
    see(result.text(0, 0), snapshot);
    FindRound found;
    if (result.isNull(0, 2)) {
        return found; // an empty table
    }
    found.to = result.integer(0, 1);
    found.last = result.integer(0, 2);
    found.walked = limit > 0;
    const int walks = static_cast<int>(statements_.walks);
    for (int w = 0; w < walks && found.walked; ++w) {
        found.walks.push_back(idsOf(result.text(0, 3 + w)));
    }
    if (!result.isNull(0, 3 + walks)) {
        found.match = take_(result, 3 + walks, row);
    }
    return found;
}

std::optional<long long> PgPriceFind::step(std::optional<long long> after, RowValues& row,
                                           QString& snapshot) {
    pg::Params& params = statements_.stepParams;
    for (std::size_t batch = kFirstBatch;; batch = std::min(batch * 4, kLastBatch)) {
        const std::vector<long long> ids = memory_.after(after, batch);
        if (ids.empty()) {
            if (batch == kFirstBatch) {
                // No row to read: still, the table must be as the walk saw it.
                see(exec_(QStringLiteral("SELECT pg_current_snapshot()::text"), {}).text(0, 0),
                    snapshot);
            }
            return std::nullopt;
        }
        params[0] = arrayOf(ids);
        const pg::Result result = exec_(statements_.step, params);
        see(result.text(0, 0), snapshot);
        if (!result.isNull(0, 1)) {
            return take_(result, 1, row);
        }
        after = ids.back();
    }
}

std::optional<long long> PgPriceFind::attempt(std::optional<long long> after, RowValues& row,
                                              QString& snapshot) {
    RaceOutcome outcome =
        FindRace::run(after, kSchedule, memory_,
                      [&](std::optional<long long> from, long long span, int limit, bool) {
                          return round(from, span, limit, row, snapshot);
                      });
    if (outcome.candidates) {
        memory_.keep(snapshot, std::move(*outcome.candidates));
    }
    if (outcome.match || !outcome.candidates) {
        return outcome.match;
    }
    return step(outcome.scannedTo, row, snapshot);
}

std::optional<long long> PgPriceFind::find(pg::Connection& connection, const Criterion& c,
                                           std::optional<long long> after, RowValues& row) {
    prepare(c);
    memory_.use(statements_.key);
    if (memory_.holdsIds()) {
        QString snapshot = memory_.version();
        try {
            return step(after, row, snapshot);
        } catch (const SnapshotMoved&) {
            memory_.forgetIds(); // the table may have changed since the walk
        }
    }
    try {
        QString snapshot;
        return attempt(after, row, snapshot);
    } catch (const SnapshotMoved&) {
        memory_.forgetIds();
    }
    // Another desk stored something meanwhile: once more, in one snapshot.
    SnapshotTransaction transaction(connection);
    QString snapshot;
    const std::optional<long long> id = attempt(after, row, snapshot);
    transaction.end();
    return id;
}

} // namespace velmoran
