#pragma once

#include <QString>

namespace velmoran {

// After the main window has closed: a backup of each store file of `folder`
// written to since its newest backup (backupDue), with a small progress
// window when it takes more than half a second, then the old backups pruned.
// A failure is told in Persian and leaves the earlier backups as they were.
void backupChangedStores(const QString& folder);

} // namespace velmoran
