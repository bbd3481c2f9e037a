#include "data/core/indexedfind.h"

#include <algorithm>
#include <limits>

namespace velmoran {

namespace {
constexpr long long kMost = std::numeric_limits<long long>::max();
constexpr long long kMostEntries = 1 << 30;
} // namespace

long long spanEnd(long long from, long long span) {
    return from > kMost - span ? kMost : from + span;
}

RaceOutcome FindRace::run(std::optional<long long> after, const FindSchedule& schedule,
                          FindMemory& memory, const Round& round) {
    RaceOutcome outcome;
    std::optional<long long> from = after;
    long long span = schedule.span;
    long long limit = schedule.limit;
    for (int r = 0;; ++r) {
        long long walk = limit;
        bool anyway = r > 0;
        if (r == 0 && memory.dense_) {
            walk = 0; // the scans have been meeting matches at once
        }
        if (memory.scanned_ >= 2 * std::max<long long>(memory.walked_, schedule.limit)) {
            // The scans have looked at enough to pay for a walk.
            walk = std::max(walk, std::min(memory.scanned_, kMostEntries));
            anyway = true;
        }
        FindRound found = round(from, span, static_cast<int>(walk), anyway);
        if (found.walked) {
            memory.walked_ = std::max(memory.walked_, walk);
        }
        const std::vector<long long>* shortest = nullptr;
        for (const std::vector<long long>& ids : found.walks) {
            if (static_cast<long long>(ids.size()) < walk &&
                (!shortest || ids.size() < shortest->size())) {
                shortest = &ids;
            }
        }
        if (shortest) {
            std::vector<long long> ids = *shortest;
            std::sort(ids.begin(), ids.end());
            ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
            outcome.candidates = std::move(ids);
            memory.scanned_ = 0;
        }
        const long long start = from.value_or(found.to - span);
        if (found.match) {
            outcome.match = found.match;
            memory.scanned_ += *found.match - start;
            memory.dense_ = r == 0;
            return outcome;
        }
        memory.dense_ = false;
        outcome.scannedTo = found.to;
        if (!found.last || found.to >= *found.last || outcome.candidates) {
            // Every row after `after` looked at, or every one that may pass.
            return outcome;
        }
        memory.scanned_ += found.to - start;
        from = found.to;
        span = span > kMost / schedule.growth ? kMost : span * schedule.growth;
        limit = std::min(limit * schedule.growth, kMostEntries);
    }
}

void FindMemory::use(const QString& key) {
    if (key != key_) {
        forget();
        key_ = key;
    }
}

void FindMemory::keep(const QString& version, std::vector<long long> ids) {
    held_ = true;
    version_ = version;
    ids_ = std::move(ids);
}

void FindMemory::forgetIds() {
    held_ = false;
    version_.clear();
    ids_.clear();
    ids_.shrink_to_fit();
}

void FindMemory::forget() {
    forgetIds();
    key_.clear();
    scanned_ = 0;
    walked_ = 0;
    dense_ = false;
}

std::vector<long long> FindMemory::after(std::optional<long long> after, std::size_t count) const {
    auto first = after ? std::upper_bound(ids_.begin(), ids_.end(), *after) : ids_.begin();
    const auto last =
        first + static_cast<std::ptrdiff_t>(std::min<std::size_t>(count, ids_.end() - first));
    return std::vector<long long>(first, last);
}

} // namespace velmoran
