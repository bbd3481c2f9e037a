#pragma once

#include <QString>

namespace velmoran {

// The Persian messages for what goes wrong with a store, for every layer
// that reports one (the record source, the start-up check, the import, the
// screens).
//
// Left-to-right fragments inside a Persian sentence (a path, SQLite's or the
// system's English text, a table or field name) stand between Unicode
// direction isolates, U+2068 FIRST STRONG ISOLATE ... U+2069 POP DIRECTIONAL
// ISOLATE, so they read in their own direction: a path keeps its leading "/"
// and is not broken as "//tmp/...".
QString isolated(const QString& fragment);
// A path, in the system's separators, isolated.
QString isolatedPath(const QString& path);

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
