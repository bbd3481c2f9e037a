#include "data/sqlite/sqlitepricefind.h"
#include "data/sqlite/sqlitepriceindex.h"

#include "data/core/criterion.h"
#include "data/sqlite/sqlitefile.h"

#include <QStringList>

#include <algorithm>

namespace velmoran {

namespace {

// Small first budgets: a round is a few statements on a local file.
constexpr FindSchedule kSchedule{512, 512, 4};
// Kept ids read at a time while stepping; prepared statements kept.
constexpr std::size_t kStepBatch = 64;
constexpr std::size_t kKeptStatements = 32;

} // namespace

SqlitePriceFind::SqlitePriceFind(sql::Database& db, const TableSpec& tableSpec, Take take)
    : db_(db), tableSpec_(tableSpec), take_(std::move(take)), table_(sql::quoted(tableSpec.table)) {
    QStringList names;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        columns_.push_back(sql::quoted(tableSpec.fields[i].name));
        names << columns_.back();
    }
    numbers_.resize(tableSpec.fieldCount);
    select_ =
        QStringLiteral("SELECT rowid, %1 FROM %2 ").arg(names.join(QStringLiteral(", ")), table_);
}

void SqlitePriceFind::lookUp() {
    present_.clear();
    statements_.clear();
    memory_.forget();
    const std::vector<const PriceIndex*> missing = missingPriceIndexes(db_, tableSpec_);
    for (const PriceIndex& index : priceIndexes(tableSpec_)) {
        if (std::find(missing.begin(), missing.end(), &index) != missing.end()) {
            continue;
        }
        present_.push_back(&index);
        for (int k : index.keys) {
            if (numbers_[k].isEmpty()) {
                numbers_[k] = sqliteNumberExpression(columns_[k]);
            }
        }
    }
}

bool SqlitePriceFind::serves(const Criterion& c) const {
    return !present_.empty() && !priceWalks(c, present_).empty();
}

SqlitePriceFind::Kept& SqlitePriceFind::kept(const QString& sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        return found->second;
    }
    if (statements_.size() >= kKeptStatements) {
        statements_.clear();
    }
    return statements_.emplace(sql, Kept{db_.prepare(sql), QString()}).first->second;
}

sql::Statement& SqlitePriceFind::withCriterion(const QString& sql, const SqliteCriterion& c,
                                               int first) {
    Kept& k = kept(sql);
    if (k.bound != key_) {
        k.bound.clear();
        c.bind(k.statement, first);
        k.bound = key_;
    }
    return k.statement;
}

// A read transaction: the find's statements see one state of the file.
void SqlitePriceFind::begin() {
    statement(QStringLiteral("BEGIN")).run();
}

void SqlitePriceFind::commit() {
    statement(QStringLiteral("COMMIT")).run();
}

// What changed the file since the walk was kept: another connection's
// commit (data_version) or this one's.
QString SqlitePriceFind::version() {
    sql::Statement& st = statement(QStringLiteral("PRAGMA data_version"));
    sql::ResetGuard guard(st);
    st.step();
    return QStringLiteral("%1:%2").arg(st.columnInt(0)).arg(writes_);
}

FindRound SqlitePriceFind::round(const SqliteCriterion& c, const std::vector<PriceWalk>& walks,
                                 const QString& scanSource, std::optional<long long> from,
                                 long long span, int limit, bool anyway) {
    FindRound found;
    {
        sql::Statement& ends = statement(
            QStringLiteral("SELECT (SELECT min(rowid) FROM %1), (SELECT max(rowid) FROM %1)")
                .arg(table_));
        sql::ResetGuard guard(ends);
        if (!ends.step() || ends.isNull(0)) {
            return found; // an empty table
        }
        if (!from) {
            from = ends.columnInt(0) - 1;
        }
        found.last = ends.columnInt(1);
        found.to = spanEnd(*from, span);
    }
    {
        sql::Statement& scan = withCriterion(
            QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ? AND rowid <= ? AND %2 "
                           "ORDER BY rowid LIMIT 1")
                .arg(scanSource, c.sql()),
            c, 3);
        sql::ResetGuard guard(scan);
        scan.bindInt(1, *from);
        scan.bindInt(2, found.to);
        if (scan.step()) {
            found.match = scan.columnInt(0);
        }
    }
    if (limit <= 0 || (found.match && !anyway)) {
        return found;
    }
    found.walked = true;
    for (const PriceWalk& walk : walks) {
        // The entries within the range, and those of numbers left to the
        // program's reading (the leading key's, and where the other keys
        // are within their range or left too).
        std::vector<long long> ids;
        for (const bool unread : {false, true}) {
            QString sql = QStringLiteral("SELECT rowid FROM %1 INDEXED BY \"%2\" WHERE ")
                              .arg(table_, walk.index->name);
            QStringList conditions;
            for (int f : walk.index->flags) {
                conditions << columns_[f] + QStringLiteral(" = -1");
            }
            for (const WalkRange& range : walk.ranges) {
                const QString& number = numbers_[walk.index->keys[range.key]];
                const QString within = QStringLiteral("%1 >= ? AND %1 <= ?").arg(number);
                const QString left = QStringLiteral("%1 = ?").arg(number);
                if (range.key == 0) {
                    conditions << (unread ? left : within);
                } else {
                    conditions << QStringLiteral("(%1 OR %2)").arg(within, left);
                }
            }
            sql += conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT ?");
            sql::Statement& st = statement(sql);
            sql::ResetGuard guard(st);
            int param = 1;
            for (const WalkRange& range : walk.ranges) {
                if (range.key != 0 || !unread) {
                    st.bindDouble(param++, widenedLow(range.low));
                    st.bindDouble(param++, widenedHigh(range.high));
                }
                if (range.key != 0 || unread) {
                    st.bindDouble(param++, kSqliteUnreadNumber);
                }
            }
            st.bindInt(param, limit);
            while (st.step()) {
                ids.push_back(st.columnInt(0));
            }
        }
        found.walks.push_back(std::move(ids));
    }
    return found;
}

SqlitePriceFind::Step SqlitePriceFind::step(const SqliteCriterion& c,
                                            std::optional<long long> after, RowValues& row,
                                            bool inFind) {
    sql::Statement& check =
        withCriterion(select_ + QStringLiteral("WHERE rowid = ? AND ") + c.sql(), c, 2);
    Step result;
    if (!inFind) {
        begin();
        if (version() != memory_.version()) {
            commit();
            result.moved = true;
            return result;
        }
    }
    for (;;) {
        const std::vector<long long> ids = memory_.after(after, kStepBatch);
        if (ids.empty()) {
            break;
        }
        for (long long id : ids) {
            sql::ResetGuard guard(check);
            check.bindInt(1, id);
            if (check.step()) {
                result.id = take_(check, 0, row);
                break;
            }
        }
        if (result.id) {
            break;
        }
        after = ids.back();
    }
    if (!inFind) {
        commit();
    }
    return result;
}

std::optional<long long> SqlitePriceFind::find(const Criterion& c, std::optional<long long> after,
                                               const QString& scanSource, RowValues& row) {
    key_ = findKey(c);
    memory_.use(key_);
    const SqliteCriterion compiled(c, tableSpec_);
    if (sqlite3_get_autocommit(db_.handle()) == 0) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr); // a find cut short
    }
    try {
        if (memory_.holdsIds()) {
            const Step kept = step(compiled, after, row, false);
            if (!kept.moved) {
                return kept.id;
            }
            memory_.forgetIds();
        }
        begin();
        const QString now = version();
        const std::vector<PriceWalk> walks = priceWalks(c, present_);
        RaceOutcome outcome = FindRace::run(
            after, kSchedule, memory_,
            [&](std::optional<long long> from, long long span, int limit, bool anyway) {
                return round(compiled, walks, scanSource, from, span, limit, anyway);
            });
        if (outcome.candidates) {
            memory_.keep(now, std::move(*outcome.candidates));
        }
        std::optional<long long> id;
        if (outcome.match) {
            sql::Statement& read = statement(select_ + QStringLiteral("WHERE rowid = ?"));
            sql::ResetGuard guard(read);
            read.bindInt(1, *outcome.match);
            if (read.step()) {
                id = take_(read, 0, row);
            }
        } else if (memory_.holdsIds()) {
            id = step(compiled, outcome.scannedTo, row, true).id;
        }
        commit();
        return id;
    } catch (const sql::Error&) {
        if (sqlite3_get_autocommit(db_.handle()) == 0) {
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw;
    }
}

} // namespace velmoran
