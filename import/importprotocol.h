#pragma once

#include <QString>
#include <QStringList>

namespace velmoran::import {

// With --progress the tool tells the program what it does, one line each on
// its standard output ("@word payload"); anything else there is ignored.
namespace protocol {
inline constexpr char kFile[] = "@file";           // path of the Access file begun
inline constexpr char kTemporary[] = "@temporary"; // path of the temporary file made
inline constexpr char kProgress[] = "@progress";   // rows stored, rows in all
inline constexpr char kReport[] = "@report";       // one line of the report
inline constexpr char kError[] = "@error";         // the Persian message of a failure

// One line of the protocol; line breaks in the payload become blanks.
QString line(const char* word, const QString& payload);

struct Message {
    QString word;
    QString payload;
};
// Reads a line written by line(); a line outside the protocol gives an
// empty word.
Message parse(const QString& line);
} // namespace protocol

// The Access files in `folder` waiting to be brought over at start: newil.mdb
// when there is no newil.db, pc.mdb when there is no pc.db. The names are
// matched without regard to case, as on the agency's old system.
struct PendingImports {
    QString listings; // empty when none
    QString password; // empty when none
    bool any() const { return !listings.isEmpty() || !password.isEmpty(); }
};
// With `source`, the Access files are looked for there instead (the old
// program's own folder), the stores still in `folder`.
PendingImports pendingImports(const QString& folder, const QString& source = QString());

} // namespace velmoran::import
