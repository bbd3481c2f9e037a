#pragma once

#include <QString>

namespace velmoran {

namespace pg {
class Error;
}

// What can be wrong with a store on a server or an operation on it.
enum class PgProblem {
    CannotConnect,    // detail: libpq's text
    ConnectionLost,   // detail: libpq's text; nothing was stored or read
    CommitUnknown,    // detail: libpq's text; a save may or may not have been done
    NotUtf8,          // detail: the database's encoding
    NoTable,          // detail: why it could not be made (the server's text)
    MissingColumns,   // detail: the missing column names
    WrongColumnType,  // detail: the column and its type
    NoIdNumbers,      // the id column gives new rows no number
    NotWritable,      // the role may not read and write the table
    CannotCreate,     // detail: the server's text
    CannotRead,       // detail: the server's text
    CannotWrite,      // detail: the server's text
    NoCurrentRow,     //
    EmptyTable,       //
    ChangedElsewhere, // another desk changed the listing; the user kept nothing
    NoAnswer,         // detail: libpq's text; the server did not answer in time
};

// The Persian message for `problem` with table `table` of the server
// `server` (shown as pg::displayName gives it). The server, the table and
// the detail stand between direction isolates (storemessages.h).
QString pgMessage(PgProblem problem, const QString& server, const QString& table,
                  const QString& detail = QString());

// The Persian message for the failure `e` of an operation on table `table`
// of `server`. A connection that could not be made names its cause: the
// password (none given, refused, or a password file libpq would not read for
// its permissions, with the chmod that mends it) or the host and port no
// server answered at; libpq's text follows on a line of its own, isolated.
// Any other failure is pgMessage(problem, server, table, e.text()).
QString pgMessage(const pg::Error& e, PgProblem problem, const QString& server,
                  const QString& table);

} // namespace velmoran
