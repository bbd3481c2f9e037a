#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// Spreadsheet files made by hand for the tests of the sheet import: zips
// with the members given (written through minizip), and sheets of cells.
namespace velmoran::test {

using ZipMembers = std::vector<std::pair<QByteArray, QByteArray>>; // name, bytes

// A zip at `path` holding `members`, deflated.
void writeZip(const QString& path, const ZipMembers& members);

// A zip whose one member `name` holds `deflated` (raw deflate data) while
// the zip's directory says it inflates to `declared` bytes: a zip bomb's
// shape, or a directory that lies.
void writeRawZip(const QString& path, const QByteArray& name, const QByteArray& deflated,
                 quint64 declared, quint32 crc);

// `bytes` as raw deflate data.
QByteArray deflated(const QByteArray& bytes);

// The XML of a worksheet whose <sheetData> is `rows` (the <row> elements).
QByteArray sheetXml(const QByteArray& rows);

// An .xlsx at `path`: its first sheet `rows` (see sheetXml), and the shared
// strings and styles given (none when empty).
void writeXlsx(const QString& path, const QByteArray& rows, const QByteArray& sharedStrings = {},
               const QByteArray& styles = {});

// An inline string cell at `ref` with `text` (escaped for XML).
QByteArray inlineCell(const char* ref, const QString& text);

} // namespace velmoran::test
