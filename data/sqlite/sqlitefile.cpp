#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/sqlitepriceindex.h"
#include "data/sqlite/storefiles.h"

#include "data/core/priceindex.h"
#include "data/core/storemessages.h"
#include "data/folder/fileaccess.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitecriterion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <set>

namespace velmoran {

namespace {

// Page size of a created file: large pages make a pass over the table cheap.
constexpr int kPageSize = 65536;

// How long a check waits for another copy that holds the file.
constexpr int kBusyTimeout = 3000;

QString columnDefinition(const FieldDef& field) {
    return sql::quoted(field.name) + (field.kind == FieldKind::Flag
                                          ? QStringLiteral(" INTEGER NOT NULL DEFAULT 0")
                                          : QStringLiteral(" TEXT NOT NULL DEFAULT ''"));
}

QString createTableSql(const TableSpec& tableSpec) {
    // AUTOINCREMENT: a deleted row's id is never given again, so a copy still
    // standing on it can't write into someone else's new listing.
    QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT")};
    // The fields the finds test come first, so that a pass over the rows
    // reads them from the front of each record.
    std::set<int> placed;
    for (const int i : searchedFields(tableSpec)) {
        columns << columnDefinition(tableSpec.fields[i]);
        placed.insert(i);
    }
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        if (!placed.count(static_cast<int>(i))) {
            columns << columnDefinition(tableSpec.fields[i]);
        }
    }
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(sql::quoted(tableSpec.table), columns.join(QStringLiteral(", ")));
}

// A narrow copy of the searched fields in stored order: a find steps over
// its entries instead of whole listings, a tenth of the bytes. Empty for a
// table without searched fields.
QString createFindIndexSql(const TableSpec& tableSpec) {
    QStringList columns{QStringLiteral("id")};
    for (const int i : searchedFields(tableSpec)) {
        columns << sql::quoted(tableSpec.fields[i].name);
    }
    if (columns.size() == 1) {
        return QString();
    }
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(sql::quoted(QString::fromUtf8(tableSpec.table) + QStringLiteral("_find")),
             sql::quoted(tableSpec.table), columns.join(QStringLiteral(", ")));
}

// Builds the file under a temporary name in the folder and links it in place
// without replacing anything, so two copies starting at once never clobber
// each other: the second finds the first one's file and uses it.
QString createStore(const QString& folder, const QString& path, const TableSpec& tableSpec) {
    QString temporary = folder + QStringLiteral("/.") + QString::fromUtf8(tableSpec.fileName) +
                        QStringLiteral(".XXXXXX");
    // Both files stay the owner's alone as they are made: the password, and
    // the owners' names and telephone numbers, are for the agency's user alone.
    if (!makePrivateFile(temporary)) {
        return storeMessage(StoreProblem::CannotCreate, path, systemError(errno));
    }
    TemporaryStoreFile cleanup(temporary);
    try {
        createStoreSchema(temporary, tableSpec);
    } catch (const sql::Error& e) {
        return storeMessage(StoreProblem::CannotCreate, path, e.detail());
    }
    if (!linkNew(temporary, path) && errno != EEXIST) {
        return storeMessage(StoreProblem::CannotCreate, path, systemError(errno));
    }
    // Make the new name durable.
    syncPath(folder, true);
    return QString();
}

// True when the file's header names the write-ahead journal (its read and
// write versions, bytes 18 and 19, are 2).
bool hasWriteAheadJournal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray header = file.read(20);
    return header.size() == 20 && header[18] == 2 && header[19] == 2;
}

// Checks an existing file without writing to it; the empty string when fine.
QString checkStore(const QString& path, const TableSpec& tableSpec, const PathStatus& st) {
    if (!st.isFile) {
        return storeMessage(StoreProblem::NotAFile, path);
    }
    if (!mayWrite(path)) {
        return storeMessage(StoreProblem::NotWritable, path);
    }
    try {
        sql::Database db(path, SQLITE_OPEN_READWRITE);
        // Another copy starting at the same moment may hold the file briefly.
        db.setBusyTimeout(kBusyTimeout);
        // A check must not fold someone's journal into the file.
        db.keepJournal();
        if (db.isReadOnly()) {
            return storeMessage(StoreProblem::NotWritable, path);
        }
        sql::Statement table =
            db.prepare(QStringLiteral("SELECT type, wr FROM pragma_table_list WHERE schema = "
                                      "'main' AND name = ? COLLATE NOCASE"));
        table.bindText(1, QString::fromUtf8(tableSpec.table));
        if (!table.step() || table.columnText(0) != QLatin1String("table")) {
            return storeMessage(StoreProblem::NoTable, path, QString::fromUtf8(tableSpec.table));
        }
        if (table.columnInt(1) != 0) {
            return storeMessage(StoreProblem::WithoutRowid, path,
                                QString::fromUtf8(tableSpec.table));
        }
        table.reset();
        sql::Statement info = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        info.bindText(1, QString::fromUtf8(tableSpec.table));
        std::set<QString> present;
        while (info.step()) {
            present.insert(info.columnText(0).toLower());
        }
        QStringList missing;
        for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
            if (!present.count(QString::fromUtf8(tableSpec.fields[i].name).toLower())) {
                missing << QString::fromUtf8(tableSpec.fields[i].name);
            }
        }
        if (!missing.isEmpty()) {
            return storeMessage(StoreProblem::MissingColumns, path,
                                missing.join(QStringLiteral("، ")));
        }
    } catch (const sql::Error& e) {
        const int primary = e.code() & 0xff;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
            return storeMessage(StoreProblem::NotADatabase, path, e.text());
        }
        return storeMessage(StoreProblem::CannotOpen, path, e.detail());
    }
    return QString();
}

QString createPriceIndexSql(const PriceIndex& index, const TableSpec& tableSpec) {
    std::vector<QString> columns;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        columns.push_back(sql::quoted(tableSpec.fields[i].name));
    }
    return sqliteCreateIndexSql(index, sql::quoted(tableSpec.table), columns);
}

} // namespace

QStringList createPriceIndexesSql(const TableSpec& tableSpec) {
    QStringList statements;
    for (const PriceIndex& index : priceIndexes(tableSpec)) {
        statements << createPriceIndexSql(index, tableSpec);
    }
    return statements;
}

std::vector<const PriceIndex*> missingPriceIndexes(sql::Database& db, const TableSpec& tableSpec) {
    std::vector<const PriceIndex*> missing;
    const std::vector<PriceIndex>& indexes = priceIndexes(tableSpec);
    if (indexes.empty()) {
        return missing;
    }
    sql::Statement schema =
        db.prepare(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND "
                                  "tbl_name = ? COLLATE NOCASE"));
    schema.bindText(1, QString::fromUtf8(tableSpec.table));
    std::set<std::pair<QString, QString>> found;
    while (schema.step()) {
        found.insert({schema.columnText(0), schema.columnText(1)});
    }
    for (const PriceIndex& index : indexes) {
        // Only an index made exactly as the program makes it counts: another
        // of the name could hold other entries, and a walk must see them all.
        if (!found.count({index.name, createPriceIndexSql(index, tableSpec)})) {
            missing.push_back(&index);
        }
    }
    return missing;
}

int addFilePriceIndexes(sql::Database& db, const TableSpec& tableSpec) {
    sql::Transaction transaction(db);
    const std::vector<const PriceIndex*> missing = missingPriceIndexes(db, tableSpec);
    for (const PriceIndex* index : missing) {
        db.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(sql::quoted(index->name)));
        db.exec(createPriceIndexSql(*index, tableSpec));
    }
    transaction.commit();
    return static_cast<int>(missing.size());
}

namespace {

QString ownerIndexName(const TableSpec& tableSpec) {
    return QString::fromUtf8(tableSpec.table) + QStringLiteral("_owner");
}

} // namespace

QString createOwnerIndexSql(const TableSpec& tableSpec) {
    const int owner = tableSpec.indexOf(QStringLiteral("malek"));
    if (owner < 0) {
        return QString();
    }
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(sql::quoted(ownerIndexName(tableSpec)), sql::quoted(tableSpec.table),
             sqliteOwnerKeyExpression(sql::quoted(tableSpec.fields[owner].name)));
}

bool hasFileOwnerIndex(sql::Database& db, const TableSpec& tableSpec) {
    const QString wanted = createOwnerIndexSql(tableSpec);
    if (wanted.isEmpty()) {
        return true;
    }
    // Only the index made exactly so counts: another of the name could hold
    // other keys, and a find must see every listing of the owner.
    sql::Statement schema = db.prepare(
        QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?"));
    schema.bindText(1, ownerIndexName(tableSpec));
    return schema.step() && schema.columnText(0) == wanted;
}

bool addFileOwnerIndex(sql::Database& db, const TableSpec& tableSpec) {
    if (hasFileOwnerIndex(db, tableSpec)) {
        return false;
    }
    sql::Transaction transaction(db);
    db.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(sql::quoted(ownerIndexName(tableSpec))));
    db.exec(createOwnerIndexSql(tableSpec));
    transaction.commit();
    return true;
}

void createStoreSchema(const QString& path, const TableSpec& tableSpec) {
    sql::Database db(path, SQLITE_OPEN_READWRITE);
    db.exec(QStringLiteral("PRAGMA page_size = %1").arg(kPageSize));
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = FULL");
    sql::Transaction transaction(db);
    db.exec(createTableSql(tableSpec));
    const QString index = createFindIndexSql(tableSpec);
    if (!index.isEmpty()) {
        db.exec(index);
    }
    for (const QString& priceIndex : createPriceIndexesSql(tableSpec)) {
        db.exec(priceIndex);
    }
    const QString ownerIndex = createOwnerIndexSql(tableSpec);
    if (!ownerIndex.isEmpty()) {
        db.exec(ownerIndex);
    }
    if (tableSpec.fields == kPasswordFields) {
        // The password row: empty until the user sets one.
        db.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(sql::quoted(tableSpec.table)));
    }
    transaction.commit();
    db.close(); // checkpoints the journal into the file
}

QString prepareStoreFile(const QString& folder, const TableSpec& tableSpec) {
    const QString path = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    PathStatus st;
    if (!pathStatus(path, st)) {
        if (errno != ENOENT) {
            return storeMessage(StoreProblem::CannotOpen, path, systemError(errno));
        }
        const QString error = createStore(folder, path, tableSpec);
        if (!error.isEmpty()) {
            return error;
        }
        if (!pathStatus(path, st)) {
            return storeMessage(StoreProblem::CannotOpen, path, systemError(errno));
        }
    }
    const QString error = checkStore(path, tableSpec, st);
    if (!error.isEmpty()) {
        return error;
    }
    // Only a sound file gets the write-ahead journal; a busy file keeps its
    // journal as it is, which is just as safe. A journal left by a killed
    // copy is not folded into the file here, before it is read through for
    // damage; an empty one goes when this connection closes.
    if (hasWriteAheadJournal(path) && QFileInfo(path + QStringLiteral("-wal")).size() > 0) {
        return QString();
    }
    try {
        sql::Database db(path, SQLITE_OPEN_READWRITE);
        db.setBusyTimeout(kBusyTimeout);
        db.exec("PRAGMA journal_mode = WAL");
    } catch (const sql::Error&) {
    }
    return QString();
}

void createStoreTable(sql::Database& db, const TableSpec& tableSpec) {
    db.exec(createTableSql(tableSpec));
}

bool hasTable(sql::Database& db, const TableSpec& tableSpec) {
    sql::Statement table = db.prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    table.bindText(1, QString::fromUtf8(tableSpec.table));
    return table.step();
}

bool hasStoreTable(const QString& folder, const TableSpec& tableSpec) {
    const QString path = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    sql::Database db = sql::Database::readOnly(path);
    db.setBusyTimeout(kBusyTimeout);
    return hasTable(db, tableSpec);
}

QString addStoreTable(const QString& folder, const TableSpec& tableSpec) {
    const QString path = QDir(folder).filePath(QString::fromUtf8(tableSpec.fileName));
    try {
        sql::Database db(path, SQLITE_OPEN_READWRITE);
        db.setBusyTimeout(kBusyTimeout);
        sql::Transaction transaction(db);
        // Another copy adding it at the same moment waits for this one's
        // transaction and then finds it.
        if (!hasTable(db, tableSpec)) {
            createStoreTable(db, tableSpec);
        }
        transaction.commit();
    } catch (const sql::Error& e) {
        return storeMessage(StoreProblem::CannotCreate, path, e.detail());
    }
    return prepareStoreFile(folder, tableSpec);
}

} // namespace velmoran
