#pragma once

#include <QString>

namespace velmoran {

// What can be wrong with a store file or an operation on it.
enum class StoreProblem {
    CannotCreate,   // detail: the system's or SQLite's text
    CannotOpen,     // detail: the system's or SQLite's text
    NotAFile,       //
    NotWritable,    //
    NotADatabase,   // detail: SQLite's text
    NoTable,        // detail: the table name
    WithoutRowid,   // detail: the table name
    MissingColumns, // detail: the missing field names
    CannotRead,     // detail: SQLite's text
    CannotWrite,    // detail: SQLite's text
    NoCurrentRow,   //
    EmptyTable,     //
};

// The Persian message for `problem` in the file at `path`.
QString storeMessage(StoreProblem problem, const QString& path, const QString& detail = QString());

} // namespace velmoran
