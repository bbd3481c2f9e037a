#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace velmoran {

// A find through the price indexes (priceindex.h), as both stores run it.
//
// The rows a find may stop on are the entries of its walks: every row that
// passes lies within the walk's price (or rent) range, but the walk gives
// them in price order, and a find wants the lowest id after the current row.
// So two searches run side by side, in rounds of growing budgets:
// - the scan, as a store without the indexes finds: rows in id order after
//   the current one, tested one by one; a match there is the answer;
// - the walks, each of its index's entries within the range; a walk that ends
//   within its budget has given every row that may pass, and the answer is
//   the lowest of them after the current row (and after what the scan has
//   looked at) that does pass.
// A find costs about twice the cheaper of the two: a range that holds few
// listings answers at once however long the table, and a criterion that most
// listings pass meets one in the first rows.
//
// A finished walk's ids, sorted, are kept (FindMemory) for the find-next
// presses that follow, which then read only the rows they stop on, for as
// long as the table has not changed. While the scans answer the presses, the
// ids they look at add up, and once they reach twice what a walk was last
// given, a walk is given that many: stepping through a criterion's matches
// costs at most about twice the scans or once its walk, whichever is less.

// The budgets: the scan's first span of ids and the walks' first number of
// entries, both multiplied by `growth` each round.
struct FindSchedule {
    long long span;
    int limit;
    int growth;
};

// What one round found: the scan's first match among the ids after `from`
// up to `to` (from + span), if any; the table's last id (none when it is
// empty); and the ids each walk gave, if the walks ran (`limit` of them at
// most).
struct FindRound {
    std::optional<long long> match;
    long long to = 0;
    std::optional<long long> last;
    bool walked = false;
    std::vector<std::vector<long long>> walks;
};

struct RaceOutcome {
    std::optional<long long> match;                   // met by the scan
    std::optional<std::vector<long long>> candidates; // a finished walk's ids, sorted
    long long scannedTo = 0; // the scan found nothing in (after, scannedTo]
};

// What a store keeps between the finds of one criterion (findKey): the
// sorted ids of a finished walk with the state of the table they hold for (a
// text that changes whenever the table may have changed), and how the scans
// have fared.
class FindMemory {
public:
    // Starts afresh unless the last find was of `key`.
    void use(const QString& key);
    bool holdsIds() const { return held_; }
    const QString& version() const { return version_; }
    void keep(const QString& version, std::vector<long long> ids);
    void forgetIds();
    void forget();
    // The held ids after `after` (all of them for none), at most `count`.
    std::vector<long long> after(std::optional<long long> after, std::size_t count) const;

private:
    friend class FindRace;
    QString key_;
    bool held_ = false;
    QString version_;
    std::vector<long long> ids_;
    long long scanned_ = 0; // ids the scans looked at since the last walk
    long long walked_ = 0;  // the budget the last walk was given
    bool dense_ = false;    // the last find's first round met a match
};

// Runs rounds, each `round(from, span, limit, anyway)`, until the scan
// meets a match, the scan has passed the table's last id (no match at all),
// or a walk ends within its limit. The first round's `from` is `after`, the
// id the find goes on after (none: from the first row); each next one goes
// on from the last one's `to`. A round runs its walks only when `limit` is
// above 0 and, when its scan met a match, only if `anyway`: from the second
// round on (the scan has cost as much), or when the scans have paid for it.
class FindRace {
public:
    using Round = std::function<FindRound(std::optional<long long> from, long long span, int limit,
                                          bool anyway)>;
    static RaceOutcome run(std::optional<long long> after, const FindSchedule& schedule,
                           FindMemory& memory, const Round& round);
};

// Ids in (from, from + span], without overflow.
long long spanEnd(long long from, long long span);

} // namespace velmoran
