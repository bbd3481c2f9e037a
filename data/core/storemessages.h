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
// Its control characters are shown as escapes (visibleText); a fragment of
// several lines is isolated line by line, as a line break ends an isolate.
QString isolated(const QString& fragment);
// A path, in the system's separators, isolated, every control character in
// it shown as an escape.
QString isolatedPath(const QString& path);

// `text` with its control characters (C0, DEL, C1) written as escapes: \n,
// \r, \t, else \xHH; line breaks too unless `keepLineBreaks` (a CR LF then
// stands as the LF). What a file or a store holds is shown so, never sent to
// a terminal raw: an escape sequence in a cell could set the terminal's
// title or fake lines.
QString visibleText(const QString& text, bool keepLineBreaks = false);

// What can be wrong with a store file or an operation on it.
enum class StoreProblem {
    CannotCreate,     // detail: engineDetail() of the failure
    CannotOpen,       // detail: engineDetail() of the failure
    NotAFile,         //
    NotWritable,      //
    NotADatabase,     // detail: the engine's English text
    NoTable,          // detail: the table name
    WithoutRowid,     // detail: the table name
    MissingColumns,   // detail: the missing field names
    CannotRead,       // detail: engineDetail() of the failure
    CannotWrite,      // detail: engineDetail() of the failure
    NoCurrentRow,     //
    EmptyTable,       //
    ChangedElsewhere, // another copy changed the listing; the user kept nothing
};

// The Persian message for `problem` in the file at `path`; the path and the
// detail are isolated.
QString storeMessage(StoreProblem problem, const QString& path, const QString& detail = QString());

// The common causes of a failure of the engine or the system, each with a
// Persian sentence of its own.
enum class StoreCause {
    Other,
    NotADatabase, // not a database file, or a damaged one
    Locked,       // another copy of the program holds the file
    NoPermission, // the user may not open or change the file or its folder
    DiskFull,     // no room left on the disk
    ReadOnly,     // the file or its disk takes no writing
};

// The cause of a system error number (errno).
StoreCause causeOfSystemError(int error);

// The detail of a failure: the Persian sentence of its cause, then the
// engine's or the system's own English text on the next line in parentheses,
// for whoever helps the agency; the English text alone (isolated) for
// another cause.
QString engineDetail(StoreCause cause, const QString& englishText);

// The detail of a failure of the system, errno `error`: engineDetail() of its
// cause and the system's own text.
QString systemError(int error);

} // namespace velmoran
