#pragma once

#include "data/core/fields.h"
#include "data/maintenance/storecheck.h"

#include <QString>

#include <functional>
#include <optional>

namespace velmoran {

// After the main window has closed: a backup of each store file of `folder`
// written to since its newest backup (backupDue), with a small progress
// window when it takes more than half a second, then the old backups pruned.
// A failure is told in Persian and leaves the earlier backups as they were.
// `soundAsOf` tells the state in which this session's check found a store
// sound, if it did: a store still in that state is not read through again.
using SoundAsOf = std::function<std::optional<StoreFileState>(const TableSpec& tableSpec)>;
void backupChangedStores(const QString& folder, const SoundAsOf& soundAsOf = {});

} // namespace velmoran
