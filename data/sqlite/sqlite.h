#pragma once

#include "data/core/storemessages.h"

#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// Small owning wrappers over SQLite's C interface: one connection, one
// prepared statement. Every failure throws sql::Error carrying SQLite's
// result code and message.
namespace velmoran::sql {

class Error : public std::runtime_error {
public:
    // `systemError`: the errno behind a failure to open or read the file, 0
    // when none.
    Error(int code, const std::string& message, int systemError = 0);
    int code() const { return code_; }
    // SQLite's own English text, for the end of a Persian message.
    QString text() const { return QString::fromUtf8(what()); }
    // What it comes to for the user: a locked file, a full disk, ...
    StoreCause cause() const;
    // The Persian sentence of the cause with SQLite's text after it.
    QString detail() const { return engineDetail(cause(), text()); }

private:
    int code_;
    int systemError_;
};

class Statement;

// What the program does while a connection waits for another copy of the
// program to finish writing (up to the connection's busy timeout): a
// program with windows shows the wait and keeps them painting. Called again
// and again, every few milliseconds, for as long as the wait lasts; nothing
// is installed unless the program installs it.
using BusyWait = std::function<void()>;
void setBusyWait(BusyWait wait);

class Database {
public:
    Database();
    // Opens `path` with SQLITE_OPEN_* `flags`; throws on failure.
    Database(const QString& path, int flags);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens `path` read-only, leaving its write-ahead journal alone: a
    // check, a look or a copy never folds someone's journal into the file.
    static Database readOnly(const QString& path);

    sqlite3* handle() const { return db_; }
    bool isOpen() const { return db_ != nullptr; }
    void close();
    // Closing this connection folds nothing of the journal into the file.
    void keepJournal();

    // Runs SQL without parameters (pragmas, BEGIN/COMMIT, schema).
    void exec(const char* sql);
    void exec(const QString& sql) { exec(sql.toUtf8().constData()); }
    Statement prepare(const QString& sql);

    void setBusyTimeout(int milliseconds);
    bool isReadOnly() const;
    long long lastInsertRowId() const;
    int changes() const;
    bool inTransaction() const;

    // Throws Error with the connection's last message for result `rc`.
    [[noreturn]] void fail(int rc) const;

    struct BusyState;

private:
    sqlite3* db_ = nullptr;
    std::unique_ptr<BusyState> busy_;
};

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }
    sqlite3_stmt* handle() const { return stmt_; }

    // Parameters are numbered from 1.
    void bindText(int index, const QString& value);
    void bindText(int index, const std::string& utf8);
    void bindInt(int index, long long value);
    void bindDouble(int index, double value);

    // One step: true when a row is ready, false when done.
    bool step();
    // Steps a statement that returns no row, then resets it.
    void run();
    // Ready to step again; bindings are kept.
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    QString columnText(int column) const;
    long long columnInt(int column) const;

private:
    [[noreturn]] void fail(int rc) const;

    sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement when the scope ends, so no read stays open on the
// connection between operations.
class ResetGuard {
public:
    explicit ResetGuard(Statement& statement) : statement_(statement) {}
    ~ResetGuard() { sqlite3_reset(statement_.handle()); }
    ResetGuard(const ResetGuard&) = delete;
    ResetGuard& operator=(const ResetGuard&) = delete;

private:
    Statement& statement_;
};

// A write transaction (BEGIN IMMEDIATE); rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool open_ = true;
};

// An SQL identifier in double quotes, inner quotes doubled.
QString quoted(const char* identifier);
QString quoted(const QString& identifier);

} // namespace velmoran::sql
