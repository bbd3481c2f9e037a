#include "data/core/tablestore.h"

namespace velmoran {

std::vector<FieldConflict> fieldConflicts(const TableSpec& tableSpec, const RowValues& now,
                                          const RowValues& read, const RowValues& ours,
                                          const std::vector<bool>& changed) {
    std::vector<FieldConflict> conflicts;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        if (!changed[i]) {
            continue;
        }
        const bool flag = tableSpec.fields[i].kind == FieldKind::Flag;
        const bool moved = flag ? now.flags[i] != read.flags[i] : now.texts[i] != read.texts[i];
        const bool same = flag ? now.flags[i] == ours.flags[i] : now.texts[i] == ours.texts[i];
        if (moved && !same) {
            conflicts.push_back({static_cast<int>(i), now.texts[i], now.flags[i]});
        }
    }
    return conflicts;
}

long long TableStore::insertAll(const std::vector<RowValues>& rows) {
    std::size_t at = 0;
    return insertAll([&](RowValues& row) {
        if (at == rows.size()) {
            return false;
        }
        row = rows[at++];
        return true;
    });
}

} // namespace velmoran
