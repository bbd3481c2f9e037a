#pragma once

#include <QByteArray>
#include <QString>

#include <libpq-fe.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

// Small owning wrappers over libpq: one connection, one result. Every
// failure throws pg::Error carrying the server's SQLSTATE and message.
// Values travel as parameters in text form, UTF-8.
namespace velmoran::pg {

// Why a connection could not be made, as far as the program can tell.
enum class ConnectFailure {
    None,                // the connection was made (or the failure came later)
    NoPassword,          // the server asked for a password and none was given
    PasswordFileRefused, // and the password file was not read: others may read it
    WrongPassword,       // the server refused the password
    Unreachable,         // no server answered at the host and port
    Other,               // anything else (a refused database, role, SSL, …)
};

// What a failed connection tried: where, as whom, with which password file.
struct ConnectFacts {
    ConnectFailure failure = ConnectFailure::None;
    QString host; // a host name, an address or a socket's folder
    QString port;
    QString user;
    QString passwordFile;     // the file libpq looked in (or would have)
    int passwordFileMode = 0; // its permission bits, when it exists
};

class Error : public std::runtime_error {
public:
    Error(const QString& message, const QByteArray& sqlState, bool connectionLost,
          bool uncertain = false, bool timedOut = false);
    // A connection that could not be made (or made again).
    Error(const QString& message, const ConnectFacts& facts);
    // libpq's or the server's own English text, for the end of a Persian
    // message.
    QString text() const { return text_; }
    const QByteArray& sqlState() const { return sqlState_; }
    // The connection went away (server restarted, network gone, refused).
    bool connectionLost() const { return connectionLost_; }
    // The connection went away while a commit was under way and the server
    // could not tell afterwards whether it was done.
    bool uncertain() const { return uncertain_; }
    // The server did not answer within the connection's deadline; it was
    // let go.
    bool timedOut() const { return timedOut_; }
    // Why the connection could not be made; failure None for any other error.
    const ConnectFacts& connectFacts() const { return facts_; }

private:
    QString text_;
    QByteArray sqlState_;
    bool connectionLost_;
    bool uncertain_;
    bool timedOut_;
    ConnectFacts facts_;
};

// How long one operation waits for the server (to connect, or to answer a
// statement) before it gives up: the windows paint meanwhile (setBusyWait).
constexpr int kServerDeadline = 5000; // ms

// A statement's parameters in text form; nothing stands for NULL.
using Params = std::vector<std::optional<QByteArray>>;

class Result {
public:
    Result() = default;
    explicit Result(PGresult* result) : result_(result) {}
    ~Result();
    Result(Result&& other) noexcept;
    Result& operator=(Result&& other) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    PGresult* handle() const { return result_; }
    int rows() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    long long integer(int row, int column) const;
    // Rows a command changed (UPDATE, DELETE, INSERT).
    long long affected() const;

private:
    PGresult* result_ = nullptr;
};

class Connection {
public:
    Connection() = default;
    // Connects with the libpq connection string `conninfo`, as every libpq
    // client does (pg_service.conf, ~/.pgpass and the PG* variables take
    // part), speaking UTF-8. With a `deadline` (ms; a desk's store uses
    // kServerDeadline) it waits at most that long to connect and for each
    // statement's answer, then the statement is cancelled and the connection
    // closed (Error::timedOut); without one (the tools' long copies and
    // index builds) a statement takes as long as it takes and the connection
    // is waited for 10 s. PGCONNECT_TIMEOUT, where it is set, bounds the
    // connection. The windows paint meanwhile (setBusyWait). Throws Error.
    explicit Connection(const QString& conninfo, int deadline = 0);
    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    PGconn* handle() const { return conn_; }
    bool isOpen() const { return conn_ != nullptr; }

    Result exec(const char* sql);
    Result exec(const QString& sql, const Params& params);
    void prepare(const QByteArray& name, const QString& sql);
    Result execPrepared(const QByteArray& name, const Params& params);

    // COPY … FROM STDIN: starts it, sends data in any pieces, ends it
    // (throws on the server's refusal of any of it).
    void copyIn(const QString& sql);
    void putCopyData(const QByteArray& data);
    void endCopy();
    // Ends a COPY under way without storing any of it (the server refuses
    // it); the transaction it was in is then failed and rolls back.
    void abortCopy();

    // Runs `sql` and hands its rows to `row` one at a time, so a large table
    // is never held whole.
    void eachRow(const QString& sql, const Params& params,
                 const std::function<void(const Result&)>& row);

    // Reads what the server sent while the connection was idle: false when it
    // has gone (the server restarted or closed it).
    bool stillThere();
    // Connects again with the same settings. Statements prepared before are
    // gone. Throws Error.
    void reset();
    // The number of times it connected again.
    int generation() const { return generation_; }

    // The server's answer `result` as an Error (or the connection's failure).
    [[noreturn]] void fail(PGresult* result) const;

private:
    Result checked(PGresult* result) const;
    // Connects with the settings held; throws Error (no connection then).
    void open();
    // The answer to what was just sent (`sent`: libpq took it), waited for
    // within the deadline.
    Result answer(int sent);

    PGconn* conn_ = nullptr;
    QString conninfo_;
    int deadline_ = 0;
    int generation_ = 0;
};

// A transaction on `connection`; rolled back unless committed. A commit
// whose answer was lost with the connection is asked after on a new
// connection: done, commit() returns; not done, it throws the loss (nothing
// was stored); not known, it throws an uncertain Error.
// What the program does while a connection waits for the server (a lost
// commit's outcome asked after): a program with windows shows the wait and
// keeps them painting. Nothing is installed unless the program installs it.
using BusyWait = std::function<void()>;
void setBusyWait(BusyWait wait);

class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& connection_;
    QByteArray xid_;
    bool open_ = true;
};

// Parameters from values.
QByteArray param(long long value);
QByteArray param(const QString& value);
// A float8 exactly as it is (infinities by name).
QByteArray realParam(double value);
// Appends `value` to `params`; returns its place in a statement, "$n::type".
QString placeholder(Params& params, const QByteArray& value, const char* type);

// `conninfo` as it may be shown: every setting but a password.
QString displayName(const QString& conninfo);

} // namespace velmoran::pg
