#pragma once

#include <QString>

namespace velmoran {

// The data folder: $XDG_DATA_HOME/velmoran, or ~/.local/share/velmoran where
// XDG_DATA_HOME is unset or empty.
QString dataFolder();

// Creates the data folder when it is missing; returns false when it can't.
bool ensureDataFolder(const QString& folder);

} // namespace velmoran
