#include "data/maintenance/storecopy.h"
#include "data/folder/datafolder.h"
#include "data/folder/fileaccess.h"
#include "data/sqlite/storefiles.h"

#include "data/core/applicants.h"
#include "data/core/storemessages.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgmessages.h"
#include "data/postgres/pgschema.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>

namespace velmoran {

namespace {

const TableSpec* const kTables[] = {&listingsTable(), &passwordTable()};

// Rows between two progress reports, and bytes sent to COPY at a time.
constexpr long long kProgressRows = 5000;
constexpr int kCopyChunk = 1 << 20;

[[noreturn]] void failed(const QString& message) {
    throw CopyError(CopyError::Kind::Failed, message);
}

QString tableName(const TableSpec& layout) {
    return QString::fromUtf8(layout.table);
}

QString filePath(const QString& folder, const TableSpec& layout) {
    return QDir(folder).filePath(QString::fromUtf8(layout.fileName));
}

// The field columns of `layout` for SQLite, quoted, in field order.
QString sqliteColumns(const TableSpec& layout) {
    QStringList names;
    for (std::size_t i = 0; i < layout.fieldCount; ++i) {
        names << sql::quoted(layout.fields[i].name);
    }
    return names.join(QStringLiteral(", "));
}

// A text value in COPY's text form.
void appendEscaped(QByteArray& line, const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

struct Reporter {
    const CopyOptions& options;
    long long rows = 0;
    void row() {
        if (++rows % kProgressRows == 0 && options.progress) {
            options.progress(rows);
        }
    }
};

// The highest id given so far in the SQLite file: its last row's or, with
// AUTOINCREMENT, the one kept in sqlite_sequence.
long long sqliteLastId(sql::Database& db, const TableSpec& layout) {
    long long last = 0;
    {
        sql::Statement max = db.prepare(QStringLiteral("SELECT coalesce(max(rowid), 0) FROM %1")
                                            .arg(sql::quoted(layout.table)));
        if (max.step()) {
            last = max.columnInt(0);
        }
    }
    try {
        sql::Statement seq =
            db.prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
        seq.bindText(1, tableName(layout));
        if (seq.step()) {
            last = std::max(last, seq.columnInt(0));
        }
    } catch (const sql::Error&) {
        // A table without AUTOINCREMENT has no sqlite_sequence.
    }
    return last;
}

// The server's sequence behind the id column; empty when it has none.
QString pgSequence(pg::Connection& c, const PgTable& table) {
    const pg::Result seq = c.exec(QStringLiteral("SELECT pg_get_serial_sequence($1, $2)"),
                                  {pg::param(table.table), pg::param(table.idName)});
    return seq.isNull(0, 0) ? QString() : seq.text(0, 0);
}

// Sends every row of the SQLite table to the server's table through COPY.
long long sendRows(sql::Database& db, pg::Connection& c, const TableSpec& layout,
                   const PgTable& table, Reporter& reporter) {
    c.copyIn(QStringLiteral("COPY %1 (%2, %3) FROM STDIN")
                 .arg(table.table, table.id, table.columnList()));
    sql::Statement rows = db.prepare(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                                         .arg(sqliteColumns(layout), sql::quoted(layout.table)));
    QByteArray buffer;
    long long count = 0;
    while (rows.step()) {
        buffer += QByteArray::number(rows.columnInt(0));
        for (std::size_t i = 0; i < layout.fieldCount; ++i) {
            const int column = static_cast<int>(i) + 1;
            buffer += '\t';
            if (layout.fields[i].kind == FieldKind::Flag) {
                buffer += QByteArray::number(rows.columnInt(column));
            } else {
                const auto* text =
                    reinterpret_cast<const char*>(sqlite3_column_text(rows.handle(), column));
                appendEscaped(buffer, text ? text : "",
                              text ? sqlite3_column_bytes(rows.handle(), column) : 0);
            }
        }
        buffer += '\n';
        ++count;
        reporter.row();
        if (buffer.size() >= kCopyChunk) {
            c.putCopyData(buffer);
            buffer.clear();
        }
    }
    if (!buffer.isEmpty()) {
        c.putCopyData(buffer);
    }
    c.endCopy();
    return count;
}

// A new file of the store's structure under a temporary name in `folder`
// (mode 600), without rows.
std::unique_ptr<TemporaryStoreFile> makeTemporary(const QString& folder, const TableSpec& layout) {
    QString pattern = folder + QStringLiteral("/.") + QString::fromUtf8(layout.fileName) +
                      QStringLiteral(".copy-XXXXXX");
    if (!makePrivateFile(pattern)) {
        failed(
            storeMessage(StoreProblem::CannotCreate, filePath(folder, layout), systemError(errno)));
    }
    auto file = std::make_unique<TemporaryStoreFile>(pattern);
    try {
        createStoreSchema(file->path(), layout);
        sql::Database db(file->path(), SQLITE_OPEN_READWRITE);
        // The copy brings its own rows (the password row included).
        db.exec(QStringLiteral("DELETE FROM %1").arg(sql::quoted(layout.table)));
        db.exec("DELETE FROM sqlite_sequence");
    } catch (const sql::Error& e) {
        failed(storeMessage(StoreProblem::CannotCreate, filePath(folder, layout), e.detail()));
    }
    return file;
}

// Writes every row of the server's table into the SQLite file, with its id.
long long receiveRows(pg::Connection& c, const PgTable& table, const TableSpec& layout,
                      const QString& path, Reporter& reporter) {
    sql::Database db(path, SQLITE_OPEN_READWRITE);
    sql::Transaction transaction(db);
    QStringList params;
    for (std::size_t i = 0; i <= layout.fieldCount; ++i) {
        params << QStringLiteral("?");
    }
    sql::Statement insert = db.prepare(
        QStringLiteral("INSERT INTO %1 (id, %2) VALUES (%3)")
            .arg(sql::quoted(layout.table), sqliteColumns(layout), params.join(QLatin1Char(','))));
    long long count = 0;
    c.eachRow(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1")
                  .arg(table.id, table.columnList(), table.table),
              {}, [&](const pg::Result& row) {
                  insert.bindInt(1, row.integer(0, 0));
                  for (std::size_t i = 0; i < layout.fieldCount; ++i) {
                      const int column = static_cast<int>(i) + 1;
                      const QByteArray value(PQgetvalue(row.handle(), 0, column),
                                             PQgetlength(row.handle(), 0, column));
                      if (layout.fields[i].kind == FieldKind::Flag) {
                          insert.bindInt(column + 1, value.toLongLong());
                      } else {
                          insert.bindText(column + 1, value.toStdString());
                      }
                  }
                  insert.run();
                  ++count;
                  reporter.row();
              });
    // The ids the server has handed out go along, so none is given again.
    const QString sequence = pgSequence(c, table);
    if (!sequence.isEmpty()) {
        const pg::Result last =
            c.exec(QStringLiteral("SELECT CASE WHEN is_called THEN last_value ELSE last_value - 1 "
                                  "END FROM %1")
                       .arg(sequence),
                   {});
        sql::Statement seq = db.prepare(
            QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?) WHERE name = ?"));
        seq.bindInt(1, last.integer(0, 0));
        seq.bindText(2, tableName(layout));
        seq.run();
        if (db.changes() == 0) {
            sql::Statement first =
                db.prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
            first.bindText(1, tableName(layout));
            first.bindInt(2, last.integer(0, 0));
            first.run();
        }
    }
    transaction.commit();
    db.close();
    return count;
}

// Puts the finished temporary file in place of `target`. An existing target
// is first made whole by itself (its journal folded in, which fails while
// another program holds it open) and kept as <target>.before-copy-<time>.
void putInPlace(const QString& temporary, const QString& target, bool replace,
                const QString& stamp) {
    if (QFile::exists(target)) {
        if (!replace) {
            throw CopyError(CopyError::Kind::NotEmpty,
                            QStringLiteral("فايل %1 از قبل وجود دارد و جايگزين نشد.")
                                .arg(isolatedPath(target)));
        }
        try {
            sql::Database old(target, SQLITE_OPEN_READWRITE);
            old.setBusyTimeout(3000);
            sql::Statement journal = old.prepare(QStringLiteral("PRAGMA journal_mode = DELETE"));
            if (!journal.step() ||
                journal.columnText(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
                failed(storeMessage(StoreProblem::CannotWrite, target,
                                    QStringLiteral("برنامه ديگري از اين فايل استفاده مي كند")));
            }
        } catch (const sql::Error& e) {
            failed(storeMessage(StoreProblem::CannotWrite, target, e.detail()));
        }
        const QString kept = target + QStringLiteral(".before-copy-") + stamp;
        if (!renameOver(target, kept)) {
            failed(storeMessage(StoreProblem::CannotWrite, target, systemError(errno)));
        }
    }
    if (!linkNew(temporary, target)) {
        failed(storeMessage(StoreProblem::CannotCreate, target, systemError(errno)));
    }
}

// Both tables of the server's store as they are; a missing table or column
// ends the copy with the server's message. `current` names the table being
// read, for a failure of the connection meanwhile.
void describeServerTables(pg::Connection& c, const QString& server, PgTable (&tables)[2],
                          const TableSpec*& current) {
    for (int t = 0; t < 2; ++t) {
        current = kTables[t];
        if (std::optional<TableProblem> p = describePgTable(c, *kTables[t], tables[t])) {
            // A copy down makes nothing on the server: a missing table is
            // only missing.
            if (p->problem == PgProblem::NoTable) {
                failed(QStringLiteral("روي سرور %1 جدول %2 وجود ندارد و چيزي كپي نشد؛ برنامه در "
                                      "شروع با اين سرور، يا copy --to-server، آن را مي سازد.")
                           .arg(isolated(server), isolated(tableName(*kTables[t]))));
            }
            failed(pgMessage(p->problem, server, tableName(*kTables[t]), p->detail));
        }
    }
}

} // namespace

CopyError::CopyError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), kind_(kind), message_(message) {}

CopyCounts copyToServer(const QString& folder, const QString& conninfo,
                        const CopyOptions& options) {
    const QString server = pg::displayName(conninfo);
    // The files must be there: a copy never makes an empty store to send.
    std::vector<sql::Database> sources;
    for (const TableSpec* layout : kTables) {
        const QString path = filePath(folder, *layout);
        if (!QFile::exists(path)) {
            failed(storeMessage(StoreProblem::CannotOpen, path, systemError(ENOENT)));
        }
        const QString problem = prepareStoreFile(folder, *layout);
        if (!problem.isEmpty()) {
            failed(problem);
        }
        try {
            sources.emplace_back(path, SQLITE_OPEN_READONLY);
            sources.back().exec("BEGIN"); // one snapshot of each file
        } catch (const sql::Error& e) {
            failed(storeMessage(StoreProblem::CannotOpen, path, e.detail()));
        }
    }
    for (const TableSpec* layout : {kTables[0], kTables[1], &applicantsTable()}) {
        const QString problem = preparePgStore(conninfo, *layout);
        if (!problem.isEmpty()) {
            failed(problem);
        }
    }
    CopyCounts counts;
    const TableSpec* current = kTables[0];
    try {
        // The applicants, in the listings' file where it has them.
        const bool fileApplicants = hasTable(sources[0], applicantsTable());
        pg::Connection c(conninfo);
        PgTable tables[2];
        describeServerTables(c, server, tables, current);
        PgTable applicants;
        current = &applicantsTable();
        if (std::optional<TableProblem> p = describePgTable(c, applicantsTable(), applicants)) {
            failed(pgMessage(p->problem, server, tableName(applicantsTable()), p->detail));
        }
        current = kTables[0];
        pg::Transaction transaction(c);
        // No desk stores into the tables while they are filled.
        c.exec(QStringLiteral("LOCK TABLE %1, %2, %3 IN SHARE ROW EXCLUSIVE MODE")
                   .arg(tables[0].table, tables[1].table, applicants.table),
               {});
        const pg::Result held = c.exec(
            QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1), EXISTS (SELECT 1 FROM %2 WHERE %3 "
                           "<> ''), EXISTS (SELECT 1 FROM %4)")
                .arg(tables[0].table, tables[1].table, tables[1].columns[0], applicants.table),
            {});
        if ((held.text(0, 0) == QLatin1String("t") || held.text(0, 1) == QLatin1String("t") ||
             held.text(0, 2) == QLatin1String("t")) &&
            !options.replace) {
            throw CopyError(CopyError::Kind::NotEmpty,
                            QStringLiteral("روي سرور %1 از قبل فايل، متقاضي يا رمز ثبت شده است؛ "
                                           "فقط به يك بانك خالي كپي مي شود.")
                                .arg(isolated(server)));
        }
        Reporter reporter{options};
        long long* copied[2] = {&counts.listings, &counts.passwords};
        for (int t = 0; t < 2; ++t) {
            current = kTables[t];
            c.exec(QStringLiteral("DELETE FROM %1").arg(tables[t].table), {});
            *copied[t] = sendRows(sources[t], c, *kTables[t], tables[t], reporter);
            const long long last = sqliteLastId(sources[t], *kTables[t]);
            const QString sequence = pgSequence(c, tables[t]);
            if (!sequence.isEmpty() && last > 0) {
                c.exec(QStringLiteral("SELECT setval($1::regclass, $2)"),
                       {pg::param(sequence), pg::param(last)});
            }
        }
        current = &applicantsTable();
        c.exec(QStringLiteral("DELETE FROM %1").arg(applicants.table), {});
        if (fileApplicants) {
            counts.applicants = sendRows(sources[0], c, applicantsTable(), applicants, reporter);
            const long long last = sqliteLastId(sources[0], applicantsTable());
            const QString sequence = pgSequence(c, applicants);
            if (!sequence.isEmpty() && last > 0) {
                c.exec(QStringLiteral("SELECT setval($1::regclass, $2)"),
                       {pg::param(sequence), pg::param(last)});
            }
        }
        transaction.commit();
    } catch (const pg::Error& e) {
        failed(pgMessage(e, e.connectionLost() ? PgProblem::ConnectionLost : PgProblem::CannotWrite,
                         server, tableName(*current)));
    } catch (const sql::Error& e) {
        failed(storeMessage(StoreProblem::CannotRead, filePath(folder, *current), e.detail()));
    }
    return counts;
}

CopyCounts copyFromServer(const QString& conninfo, const QString& folder,
                          const CopyOptions& options) {
    const QString server = pg::displayName(conninfo);
    if (!makePrivateFolder(folder)) {
        failed(QStringLiteral("پوشه %1 ساخته نمي شود.").arg(isolatedPath(folder)));
    }
    for (const TableSpec* layout : kTables) {
        if (QFile::exists(filePath(folder, *layout)) && !options.replace) {
            throw CopyError(CopyError::Kind::NotEmpty,
                            QStringLiteral("فايل %1 از قبل وجود دارد و جايگزين نشد.")
                                .arg(isolatedPath(filePath(folder, *layout))));
        }
    }
    std::unique_ptr<TemporaryStoreFile> files[2];
    CopyCounts counts;
    const TableSpec* current = kTables[0];
    try {
        pg::Connection c(conninfo);
        PgTable tables[2];
        describeServerTables(c, server, tables, current);
        // A server made before the applicants has none to give.
        PgTable applicants;
        current = &applicantsTable();
        std::optional<TableProblem> noApplicants =
            describePgTable(c, applicantsTable(), applicants);
        if (noApplicants && noApplicants->problem != PgProblem::NoTable) {
            failed(pgMessage(noApplicants->problem, server, tableName(applicantsTable()),
                             noApplicants->detail));
        }
        for (int t = 0; t < 2; ++t) {
            current = kTables[t];
            files[t] = makeTemporary(folder, *kTables[t]);
        }
        current = &applicantsTable();
        {
            sql::Database db(files[0]->path(), SQLITE_OPEN_READWRITE);
            createStoreTable(db, applicantsTable());
        }
        // Every table as one moment saw them.
        c.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
        Reporter reporter{options};
        long long* copied[2] = {&counts.listings, &counts.passwords};
        for (int t = 0; t < 2; ++t) {
            current = kTables[t];
            *copied[t] = receiveRows(c, tables[t], *kTables[t], files[t]->path(), reporter);
        }
        if (!noApplicants) {
            current = &applicantsTable();
            counts.applicants =
                receiveRows(c, applicants, applicantsTable(), files[0]->path(), reporter);
        }
        c.exec("COMMIT");
    } catch (const pg::Error& e) {
        failed(pgMessage(e, e.connectionLost() ? PgProblem::ConnectionLost : PgProblem::CannotRead,
                         server, tableName(*current)));
    } catch (const sql::Error& e) {
        failed(storeMessage(StoreProblem::CannotWrite, filePath(folder, *current), e.detail()));
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int t = 0; t < 2; ++t) {
        putInPlace(files[t]->path(), filePath(folder, *kTables[t]), options.replace, stamp);
    }
    syncPath(folder, true);
    return counts;
}

} // namespace velmoran
