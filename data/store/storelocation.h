#pragma once

#include "data/core/fields.h"
#include "data/core/tablestore.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmoran {

class TableStore;

// Where the listings and the password are kept: the SQLite files of the data
// folder (a single desk), or the tables of a PostgreSQL server (every desk of
// an agency on one set of listings). The data folder is there in both cases.
struct StoreLocation {
    QString folder; // the data folder
    QString server; // a libpq connection string; empty: the files in `folder`

    bool onServer() const { return !server.isEmpty(); }
};

// $XDG_CONFIG_HOME/velmoran/velmoran.conf, or ~/.config/velmoran/velmoran.conf
// where XDG_CONFIG_HOME is unset or empty.
QString configFilePath();

// The store the configuration file names: `[store] server=<libpq connection
// string>` (INI, as QSettings reads it). Without the file or the key, the
// data folder's files. A file that can't be read sets `problem` to a Persian
// message naming it.
StoreLocation configuredStore(QString* problem);

// The store chosen at start, which every record source of the screens opens.
// Until one is chosen (tests, tools), the data folder's files.
StoreLocation activeStore();
void setActiveStore(const StoreLocation& store);
void clearActiveStore();

// Makes sure the table of `tableSpec` can be used in `store`: the SQLite file
// (sqlite/sqlitefile.h) or the server's table (pgschema.h), created when missing. The
// empty string when it can, else a Persian message naming the problem. A
// table kept in the listings' file (the applicants, applicants.h) is added
// to a file that lacks it, past the write gate.
QString prepareStore(const StoreLocation& store, const TableSpec& tableSpec);

// Whether the table of `tableSpec` is there to read, without making it or
// writing anything: a file (or a server) without it, or no file, has none.
// Throws StoreError.
bool storeHasTable(const StoreLocation& store, const TableSpec& tableSpec);

// What the program does while a write waits for another copy of the program
// to finish writing the file, or a save waits to learn from a server whether
// its commit was done: a program with windows shows the wait and keeps them
// painting (sqlite.h's and pgconnection.h's BusyWait).
void setStoreBusyWait(std::function<void()> wait);

// Opens the table of `tableSpec` in `store`; throws StoreError. Opened for
// writing, each of its writes passes the write gate first (writegate.h).
std::unique_ptr<TableStore> openTableStore(const StoreLocation& store, const TableSpec& tableSpec,
                                           StoreAccess access = StoreAccess::ReadWrite);

} // namespace velmoran
