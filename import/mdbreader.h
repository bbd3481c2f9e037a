#pragma once

#include "import/mdbheader.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velmoran::import {

// How a column of an Access table holds its values.
enum class ColumnKind {
    Flag,   // yes/no
    Number, // byte, integer, long, single, double, currency, decimal
    Date,   // date/time
    Text,   // text and memo
    Binary, // binary and OLE object: not read
    Other,  // replication id and anything newer
};

struct MdbColumn {
    QString name;
    ColumnKind kind;
};

// One row: each column's value as text, as mdb-export prints it. A yes/no is
// "1" or "0"; numbers and dates in mdbtools' formatting (C locale); text as
// Unicode; a null, a binary or an OLE value is the empty text.
using MdbRow = std::vector<QString>;

class MdbTable;

// An Access (Jet 3 or Jet 4) file opened for reading through mdbtools'
// libmdb. The header is checked first (readMdbHeader). Jet 4 text is
// Unicode; Jet 3 text is decoded by the code page the file declares, or as
// Windows-1256 where it declares none, never by the library's Western
// default. The file is only read. Throws ImportError naming the file.
class MdbDatabase {
public:
    explicit MdbDatabase(const QString& path);
    ~MdbDatabase();
    MdbDatabase(const MdbDatabase&) = delete;
    MdbDatabase& operator=(const MdbDatabase&) = delete;

    const QString& path() const { return path_; }
    const MdbHeader& header() const { return header_; }
    // iconv's name of the encoding the file's text is decoded from.
    const QByteArray& textEncoding() const { return encoding_; }
    // The user tables, in the catalog's order.
    QStringList tableNames() const;
    // The user table called `name`, compared without regard to case as Jet
    // does; throws ImportError (NoTable) when there is none. The database
    // must outlive the table.
    std::unique_ptr<MdbTable> openTable(const QString& name);

private:
    struct Handle;
    QString path_;
    MdbHeader header_;
    QByteArray encoding_;
    std::unique_ptr<Handle> handle_;
};

// A table read row by row in its natural (stored) order; deleted rows are
// skipped.
class MdbTable {
public:
    ~MdbTable();
    MdbTable(const MdbTable&) = delete;
    MdbTable& operator=(const MdbTable&) = delete;

    const QString& name() const { return name_; }
    const std::vector<MdbColumn>& columns() const { return columns_; }
    // The row count the table's definition holds.
    quint64 declaredRows() const { return declaredRows_; }
    quint64 rowsRead() const { return rowsRead_; }

    // Reads the next row into `row`; false after the last. A table that ends
    // before its declared count was cut short or is damaged: ImportError.
    bool next(MdbRow& row);

private:
    friend class MdbDatabase;
    struct Cursor;
    MdbTable(const MdbDatabase& database, std::unique_ptr<Cursor> cursor);

    const MdbDatabase& database_;
    std::unique_ptr<Cursor> cursor_;
    QString name_;
    std::vector<MdbColumn> columns_;
    quint64 declaredRows_ = 0;
    quint64 rowsRead_ = 0;
};

} // namespace velmoran::import
