#pragma once

#include <QString>

namespace velmoran {

// The data folder: $XDG_DATA_HOME/velmoran, or ~/.local/share/velmoran where
// XDG_DATA_HOME is unset or empty; on Windows %LOCALAPPDATA%\velmoran
// (datafolder_windows.cpp).
QString dataFolder();

// The folder of the user's configuration files: $XDG_CONFIG_HOME, or
// ~/.config; on Windows %APPDATA%, where Qt keeps its own settings files.
QString configFolder();

// The folder where the agency's old program kept its Access files
// (newil.mdb, pc.mdb), offered for import at the first start: C:\VELMORAN
// on Windows; none elsewhere.
QString formerProgramFolder();

// Creates the data folder when it is missing; returns false when it can't.
bool ensureDataFolder(const QString& folder);

// Makes `path` and each folder above it that is missing, every one it makes
// for its owner alone (mode 700): the folders of the program hold the
// agency's listings and the names and dates of their backups. A folder that
// is there stays as it is. False when it can't be made.
bool makePrivateFolder(const QString& path);

} // namespace velmoran
