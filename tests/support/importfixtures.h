#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The public Access files of the fixtures folder, and copies of them changed
// in place to stand for an agency's files.
namespace velmoran::test {

// Path of a fixture: testV1997.mdb (Jet 3), delTestV2000.mdb,
// test2V2000.mdb, testUnicodeCompV2003.mdb (Jet 4).
QString mdbFixture(const QString& name);
QByteArray readFixture(const QString& name);
void writeFile(const QString& path, const QByteArray& bytes);

// Replaces every occurrence of the Jet 4 name `from` (UTF-16) by `to`,
// padded with NUL characters to the same length: the library reads a name
// up to its first NUL, so the table or column is renamed in place.
void renameJet4(QByteArray& file, const QString& from, const QString& to);

// testUnicodeCompV2003.mdb with its table renamed `new` and its column
// "Unicode" renamed `malek`: table `new` with 8 rows of text in many scripts
// and an extra column ID.
QByteArray listingsMdb();
// test2V2000.mdb with its table renamed `pc` and its memo column
// PROJ_PROP_AUTHOR renamed `passsecurity`: one row, 73 extra columns.
QByteArray passwordMdb();

// testV1997.mdb (Jet 3) with the text "abcdefg" of Table1's second row
// replaced by the Windows-1256 bytes of "پاركينگ" and the header declaring
// code page `codePage` (0: none).
QByteArray jet3WithArabicText(int codePage);
QString arabicText();

// What `mdb-export` prints for `table` of `file`, split into rows of fields
// (the first row is the header), run in the C locale with binary values
// stripped. `jet3Charset`, when given, is put in MDB_JET3_CHARSET.
std::vector<QStringList> mdbExport(const QString& file, const QString& table,
                                   const QByteArray& jet3Charset = {});
// The user tables `mdb-tables` lists.
QStringList mdbTables(const QString& file);

// The names of the files in `folder`, hidden ones included.
QStringList filesIn(const QString& folder);

} // namespace velmoran::test
