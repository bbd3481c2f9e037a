#pragma once

#include <QString>
#include <QStringList>

namespace velmoran {

// Removes from `folder` (and its backups folder) the temporary files that the
// program's own steps leave while they work and that only a killed process
// leaves behind: a store being created (.newil.db.XXXXXX), imported
// (.newil.db.import.XXXXXX), restored (.newil.db.restore.XXXXXX) or backed
// up (backups/.newil.db.backup.XXXXXX), each with the journal files SQLite
// may have put beside it; the same for pc.db. No other file is touched. Run
// only while no other copy works on the folder. Returns the paths removed.
QStringList removeLeftovers(const QString& folder);

} // namespace velmoran
