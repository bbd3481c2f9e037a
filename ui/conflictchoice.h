#pragma once

#include "data/store/recordsource.h"

namespace velmoran {

// The program's way of settling a save that meets another desk's change to
// the same field: one question a field, naming its caption, the user's text
// and the other desk's; Yes keeps the user's, No the other desk's, Cancel
// stores nothing (the listing stays on the screen).
bool askWhichToKeep(const TableSpec& tableSpec, const std::vector<FieldConflict>& conflicts,
                    const RowValues& ours, std::vector<bool>& keepTheirs);

} // namespace velmoran
