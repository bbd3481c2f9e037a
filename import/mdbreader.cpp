#include "import/mdbreader.h"

#include "import/importerror.h"

#include "data/core/clocale.h"

#include <mdbtools.h>

#include <iconv.h>

namespace velmoran::import {

namespace {

// Room for one value: the size mdb-export binds with, so long memo texts
// come through whole as it prints them.
constexpr std::size_t kBindSize = 200000;

ColumnKind kindOf(int type) {
    switch (type) {
    case MDB_BOOL:
        return ColumnKind::Flag;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return ColumnKind::Number;
    case MDB_DATETIME:
        return ColumnKind::Date;
    case MDB_TEXT:
    case MDB_MEMO:
        return ColumnKind::Text;
    case MDB_BINARY:
    case MDB_OLE:
        return ColumnKind::Binary;
    default:
        return ColumnKind::Other;
    }
}

} // namespace

struct MdbDatabase::Handle {
    MdbHandle* mdb = nullptr;
    ~Handle() { mdb_close(mdb); }
};

struct MdbTable::Cursor {
    MdbTableDef* table = nullptr;
    // Not zeroed: each is large, and the library writes a value's text with
    // its terminating NUL on every fetch; untouched pages cost nothing.
    std::vector<std::unique_ptr<char[]>> values;
    std::vector<int> lengths;
    ~Cursor() { mdb_free_tabledef(table); }
};

MdbDatabase::MdbDatabase(const QString& path)
    : path_(path), header_(readMdbHeader(path)), handle_(std::make_unique<Handle>()) {
    handle_->mdb = mdb_open(path.toLocal8Bit().constData(), MDB_NOFLAGS);
    if (!handle_->mdb) {
        throw ImportError(ImportProblem::Damaged, path, QStringLiteral("mdb_open"));
    }
    MdbHandle* mdb = handle_->mdb;
    // The library decodes Jet 3 text by the file's code page only when it is
    // one it lists, and by Windows-1252 otherwise (or by $MDB_JET3_CHARSET),
    // into the encoding $MDBICONV names: its converter is replaced with ours.
    encoding_ =
        header_.jetVersion == 3 ? jet3Encoding(header_.codePage) : QByteArrayLiteral("UTF-16LE");
    const iconv_t ours = iconv_open("UTF-8", encoding_.constData());
    if (ours == reinterpret_cast<iconv_t>(-1)) {
        throw ImportError(ImportProblem::CannotRead, path,
                          QStringLiteral("iconv: %1").arg(QString::fromLatin1(encoding_)));
    }
    if (mdb->iconv_in != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(mdb->iconv_in);
    }
    mdb->iconv_in = ours;
    mdb_set_bind_size(mdb, kBindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        throw ImportError(ImportProblem::Damaged, path, QStringLiteral("catalog"));
    }
}

MdbDatabase::~MdbDatabase() = default;

QStringList MdbDatabase::tableNames() const {
    QStringList names;
    MdbHandle* mdb = handle_->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry)) {
            names << QString::fromUtf8(entry->object_name);
        }
    }
    return names;
}

std::unique_ptr<MdbTable> MdbDatabase::openTable(const QString& name) {
    MdbHandle* mdb = handle_->mdb;
    MdbCatalogEntry* found = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !found; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry) &&
            name.compare(QString::fromUtf8(entry->object_name), Qt::CaseInsensitive) == 0) {
            found = entry;
        }
    }
    if (!found) {
        throw ImportError(ImportProblem::NoTable, path_, name);
    }
    auto cursor = std::make_unique<MdbTable::Cursor>();
    cursor->table = mdb_read_table(found);
    if (!cursor->table || !mdb_read_columns(cursor->table)) {
        throw ImportError(ImportProblem::Damaged, path_,
                          QStringLiteral("table %1").arg(QString::fromUtf8(found->object_name)));
    }
    return std::unique_ptr<MdbTable>(new MdbTable(*this, std::move(cursor)));
}

MdbTable::MdbTable(const MdbDatabase& database, std::unique_ptr<Cursor> cursor)
    : database_(database), cursor_(std::move(cursor)) {
    MdbTableDef* table = cursor_->table;
    name_ = QString::fromUtf8(table->name);
    declaredRows_ = table->num_rows;
    const unsigned count = table->num_cols;
    cursor_->values.resize(count);
    cursor_->lengths.assign(count, 0);
    for (unsigned i = 0; i < count; ++i) {
        auto* column = static_cast<::MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns_.push_back({QString::fromUtf8(column->name), kindOf(column->col_type)});
        if (columns_.back().kind != ColumnKind::Binary) {
            cursor_->values[i].reset(new char[kBindSize]);
            cursor_->values[i][0] = '\0';
            mdb_bind_column(table, static_cast<int>(i) + 1, cursor_->values[i].get(),
                            &cursor_->lengths[i]);
        }
    }
    mdb_rewind_table(table);
}

MdbTable::~MdbTable() = default;

bool MdbTable::next(MdbRow& row) {
    const CLocaleScope cLocale;
    if (!mdb_fetch_row(cursor_->table)) {
        if (rowsRead_ < declaredRows_) {
            throw ImportError(ImportProblem::Damaged, database_.path(),
                              QStringLiteral("جدول %1 %2 رديف دارد و تنها %3 رديف آن خوانده شد")
                                  .arg(name_)
                                  .arg(declaredRows_)
                                  .arg(rowsRead_));
        }
        return false;
    }
    row.resize(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const char* value = cursor_->values[i].get();
        row[i] = value ? QString::fromUtf8(value, qstrnlen(value, kBindSize)) : QString();
    }
    ++rowsRead_;
    return true;
}

} // namespace velmoran::import
